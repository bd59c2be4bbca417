#include "app/setupcommands.h"

#include <QAction>

#include <algorithm>

#include "app/setupsettingsfile.h"
#include "app/windowcontext.h"
#include "core/labeltypechoice.h"
#include "core/numbers.h"
#include "core/setupinformation.h"
#include "core/setupmargins.h"
#include "platform/dialogs.h"
#include "platform/labelfont.h"

namespace lm {

struct SetupCommands::MarginCommand {
    MarginItem item;
    const char* title;
    const char* prompt;
    const char* errorTitle;
    // The spine label margin's restart message has OK and Cancel; either just closes it.
    bool restartWithCancel;
};

namespace {

// The font dialog's preset: the font the labels are built with.
FontChoice fontChoice(const LabelFont& font) {
    FontChoice choice;
    choice.name = font.name;
    choice.size = font.size;
    choice.color = font.color;
    choice.bold = font.bold;
    choice.italic = font.italic;
    choice.strikethrough = font.strikethrough;
    choice.underline = font.underline;
    return choice;
}

// The dialog may give a fractional size; the file keeps whole points, halves
// going to the even neighbour.
int pointSize(double size) {
    return static_cast<int>(std::clamp(roundHalfEven(size), 1.0, double(kInt16Max)));
}

void setSpineFont(Settings& s, const FontChoice& font) {
    s.SpineFontName = font.name.toStdString();
    s.SpineFontSize = pointSize(font.size);
    s.SpineFontColor = font.color;
    s.SpineFontBold = SettingsVariant::fromBool(font.bold);
    s.SpineFontItalic = SettingsVariant::fromBool(font.italic);
    s.SpineFontStrikethru = font.strikethrough;
    s.SpineFontUnderline = font.underline;
}

void setPocketFont(Settings& s, const FontChoice& font) {
    s.PocketFontName = font.name.toStdString();
    s.PocketFontSize = pointSize(font.size);
    s.PocketFontColor = font.color;
    s.PocketFontBold = SettingsVariant::fromBool(font.bold);
    s.PocketFontItalic = font.italic;
    s.PocketFontStrikethru = SettingsVariant::fromBool(font.strikethrough);
    s.PocketFontUnderline = font.underline;
}

const QString kLabelTypeRefusal = QStringLiteral(
    "The label file contains labels. You can not change label-type before you either process "
    "and clear the file!");
const QString kPrintingRefusal = QStringLiteral(
    "The label file contains labels. You can not change printing method before you either "
    "process and clear the file!");

const SetupCommands::MarginCommand kTopMargin{
    MarginItem::PageTop, "Top Margin", "Type a new top margin:", "Invalid Top Margin", false};
const SetupCommands::MarginCommand kLeftMargin{
    MarginItem::PageLeft, "Left Margin", "Type a new left margin:", "Invalid Left Margin", false};
const SetupCommands::MarginCommand kSpineMargin{MarginItem::SpineLeft, "Spine Label Left Margin",
                                                "Type a new left margin:", "Invalid Left Margin",
                                                true};
const SetupCommands::MarginCommand kPocketMargin{MarginItem::PocketLeft, "Pocket Label Left Margin",
                                                 "Type a new left margin:", "Invalid Left Margin",
                                                 false};

}  // namespace

SetupCommands::SetupCommands(WindowContext& window, QObject* parent)
    : QObject(parent), m_window(window) {
    connectMenuItem(window, "mnuSetup_Font_Spane", this, [this] { mnuSetup_Font_Spane_Click(); });
    connectMenuItem(window, "mnuSetup_Font_Pocket", this, [this] { mnuSetup_Font_Pocket_Click(); });
    connectMenuArray(window, "mnuSetup_Label_Item", this,
                     [this](int index) { mnuSetup_Label_Item_Click(index); });
    connectMenuItem(window, "mnuSetup_Printing_Interactive", this,
                    [this] { mnuSetup_Printing_Interactive_Click(); });
    connectMenuItem(window, "mnuSetup_Printing_Batch", this,
                    [this] { mnuSetup_Printing_Batch_Click(); });
    connectMenuItem(window, "MnuSetup_Margin", this, [this] { MnuSetup_Margin_Click(); });
    connectMenuItem(window, "MnuSetup_LeftMargin", this, [this] { MnuSetup_LeftMargin_Click(); });
    connectMenuItem(window, "mnuSetup_Spine_Left_Margin", this,
                    [this] { mnuSetup_Spine_Left_Margin_Click(); });
    connectMenuItem(window, "mnuSetup_Pocket_Left_Margin", this,
                    [this] { mnuSetup_Pocket_Left_Margin_Click(); });
    connectMenuArray(window, "mnuSetup_Alignment_Item", this,
                     [this](int index) { mnuSetup_Alignment_Item_Click(index); });
    connectMenuItem(window, "mnuSetup_Show", this, [this] { mnuSetup_Show_Click(); });
}

void SetupCommands::mnuSetup_Font_Spane_Click() {
    chooseFont(FontItems::Spine);
}

void SetupCommands::mnuSetup_Font_Pocket_Click() {
    chooseFont(FontItems::Pocket);
}

// Starts from the file, not from memory; a font the operator does not save
// stays in memory, and the next command that writes the file stores it.
void SetupCommands::chooseFont(FontItems items) {
    Dialogs& dialogs = m_window.dialogs();
    std::optional<Settings> onDisk = readSettingsOrReport(dialogs);
    if (!onDisk) return;
    Settings& record = m_window.state().settings;
    record = *onDisk;
    const bool spine = items == FontItems::Spine;
    std::optional<FontChoice> chosen = dialogs.chooseFont(
        fontChoice(spine ? spineFontFromSettings(record) : pocketFontFromSettings(record)));
    if (!chosen) return;
    Settings changed = record;
    if (spine) {
        setSpineFont(changed, *chosen);
    } else {
        setPocketFont(changed, *chosen);
    }
    if (!askToSave(false)) {
        record = changed;
        return;
    }
    save(changed);
}

void SetupCommands::mnuSetup_Label_Item_Click(int Index) {
    if (!workingFileIsEmpty(kLabelTypeRefusal)) return;
    if (!askToSave(true)) return;
    Settings changed = m_window.state().settings;
    if (!applyLabelTypeChoice(changed, Index)) return;
    if (!save(changed)) return;
    m_window.setMenuArrayCheck(QStringLiteral("mnuSetup_Label_Item"), Index);
    tellToRestart();
}

void SetupCommands::mnuSetup_Printing_Interactive_Click() {
    choosePrintingMethod(kInteractivePrinting);
}

void SetupCommands::mnuSetup_Printing_Batch_Click() {
    choosePrintingMethod(kBatchPrinting);
}

// Takes effect at the next start like the rest, but its check marks move now.
void SetupCommands::choosePrintingMethod(int method) {
    if (!workingFileIsEmpty(kPrintingRefusal)) return;
    if (!askToSave(false)) return;
    Settings changed = m_window.state().settings;
    changed.PrintingMethod = method;
    if (!save(changed)) return;
    if (QAction* interactive = m_window.menuItem(QStringLiteral("mnuSetup_Printing_Interactive")))
        interactive->setChecked(method == kInteractivePrinting);
    if (QAction* batch = m_window.menuItem(QStringLiteral("mnuSetup_Printing_Batch")))
        batch->setChecked(method == kBatchPrinting);
}

void SetupCommands::MnuSetup_Margin_Click() {
    editMargin(kTopMargin);
}

void SetupCommands::MnuSetup_LeftMargin_Click() {
    editMargin(kLeftMargin);
}

void SetupCommands::mnuSetup_Spine_Left_Margin_Click() {
    editMargin(kSpineMargin);
}

void SetupCommands::mnuSetup_Pocket_Left_Margin_Click() {
    editMargin(kPocketMargin);
}

void SetupCommands::editMargin(const MarginCommand& command) {
    Dialogs& dialogs = m_window.dialogs();
    const QString current = QString::fromStdString(
        formatSignedNumber(marginValue(m_window.state().settings, command.item)));
    std::optional<QString> answer = dialogs.inputBox(QString::fromUtf8(command.prompt),
                                                     QString::fromUtf8(command.title), current);
    if (!answer || answer->isEmpty()) return;
    std::optional<int> value = marginFromAnswer(command.item, answer->toStdString());
    if (!value) {
        dialogs.message(*answer + QStringLiteral(" is invalid!"), MessageButtons::Ok,
                        MessageIcon::Critical, QString::fromUtf8(command.errorTitle));
        return;
    }
    if (!askToSave(false)) return;
    Settings changed = m_window.state().settings;
    setMarginValue(changed, command.item, *value);
    if (!save(changed)) return;
    tellToRestart(command.restartWithCancel);
}

void SetupCommands::mnuSetup_Alignment_Item_Click(int Index) {
    if (!askToSave(true)) return;
    Settings changed = m_window.state().settings;
    changed.LabelAlignment = Index;
    if (!save(changed)) return;
    m_window.setMenuArrayCheck(QStringLiteral("mnuSetup_Alignment_Item"), Index);
    tellToRestart();
}

void SetupCommands::mnuSetup_Show_Click() {
    Dialogs& dialogs = m_window.dialogs();
    std::optional<Settings> onDisk = readSettingsOrReport(dialogs);
    if (!onDisk) return;
    m_window.state().settings = *onDisk;
    dialogs.message(QString::fromStdString(setupInformation(*onDisk)), MessageButtons::Ok,
                    MessageIcon::Information, QStringLiteral("Setup Information"));
}

bool SetupCommands::workingFileIsEmpty(const QString& refusal) {
    Dialogs& dialogs = m_window.dialogs();
    std::optional<long long> length = workingFileLengthOrReport(dialogs);
    if (!length) return false;
    if (*length == 0) return true;
    dialogs.message(refusal, MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}

bool SetupCommands::askToSave(bool withCancel) {
    return m_window.dialogs().message(
               QStringLiteral("Do you want to save the change(s)?"),
               withCancel ? MessageButtons::YesNoCancel : MessageButtons::YesNo,
               MessageIcon::Question) == MessageAnswer::Yes;
}

bool SetupCommands::save(const Settings& changed) {
    if (!writeSettingsOrReport(m_window.dialogs(), changed)) return false;
    m_window.state().settings = changed;
    return true;
}

void SetupCommands::tellToRestart(bool withCancel) {
    m_window.dialogs().message(QStringLiteral("You need to restart the Label Maker."),
                               withCancel ? MessageButtons::OkCancel : MessageButtons::Ok,
                               MessageIcon::None);
}

}  // namespace lm
