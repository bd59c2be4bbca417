#include "platform/qtdialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/filefilter.h"
#include "platform/fontchooserdialog.h"

namespace lm {
namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton qtButton(MessageAnswer answer) {
    switch (answer) {
        case MessageAnswer::Cancel:
            return QMessageBox::Cancel;
        case MessageAnswer::Yes:
            return QMessageBox::Yes;
        case MessageAnswer::No:
            return QMessageBox::No;
        case MessageAnswer::Ok:
            break;
    }
    return QMessageBox::Ok;
}

// The first button of each set is the default unless the caller names one.
MessageAnswer firstButton(MessageButtons buttons) {
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
               ? MessageAnswer::Yes
               : MessageAnswer::Ok;
}

// The answer when the box is closed without a button: Cancel where there is
// one, else No, else OK.
MessageAnswer closedAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Cancel;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        case MessageButtons::Ok:
            break;
    }
    return MessageAnswer::Ok;
}

}  // namespace

MessageAnswer QtDialogs::message(const MessageRequest& request) {
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(qtIcon(request.icon), request.title, text, qtButtons(request.buttons),
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    // A short message makes a narrow box, and window managers then cut the
    // title ("Kelvarine … Maker"): a spacer under everything keeps the box at
    // least as wide as the title. (A minimum width on the text label instead
    // is not seen by the box's own sizing, which then cut long texts short.)
    const int titleWidth = box.fontMetrics().horizontalAdvance(request.title) + 120;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.setDefaultButton(qtButton(request.defaultButton.value_or(firstButton(request.buttons))));
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return closedAnswer(request.buttons);
    }
}

int QtDialogs::choose(const ChoiceRequest& request) {
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(qtIcon(request.icon), request.title, text, QMessageBox::NoButton, m_parent);
    box.setTextFormat(Qt::PlainText);
    QList<QAbstractButton*> buttons;
    for (int i = 0; i < request.choices.size(); ++i) {
        buttons << box.addButton(request.choices[i], i == request.escapeChoice
                                                         ? QMessageBox::RejectRole
                                                         : QMessageBox::AcceptRole);
    }
    if (request.defaultChoice >= 0 && request.defaultChoice < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons[request.defaultChoice]));
    if (request.escapeChoice >= 0 && request.escapeChoice < buttons.size())
        box.setEscapeButton(buttons[request.escapeChoice]);
    box.exec();
    const int pressed = int(buttons.indexOf(box.clickedButton()));
    return pressed >= 0 ? pressed : request.escapeChoice;
}

std::optional<QString> QtDialogs::inputBox(const QString& prompt, const QString& title,
                                           const QString& defaultText) {
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> QtDialogs::openFileName(const QString& title, const QString& filter) {
    return fileName(title, filter, false);
}

std::optional<QString> QtDialogs::saveFileName(const QString& title, const QString& filter) {
    return fileName(title, filter, true);
}

std::optional<QString> QtDialogs::fileName(const QString& title, const QString& filter, bool save) {
    QFileDialog dialog(m_parent, title);
    dialog.setNameFilters(qtNameFilters(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A name typed without a suffix gets the filter's, before the dialog asks
    // whether to overwrite: the question is then about the file written.
    if (save) dialog.setDefaultSuffix(defaultSuffix(filter));
    if (!m_lastFileName.isEmpty()) dialog.selectFile(m_lastFileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    m_lastFileName = dialog.selectedFiles().constFirst();
    return m_lastFileName;
}

std::optional<QString> QtDialogs::folderName(const QString& title, const QString& startFolder) {
    QString folder = QFileDialog::getExistingDirectory(m_parent, title, startFolder);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

std::optional<FontChoice> QtDialogs::chooseFont(const FontChoice& preset) {
    FontChooserDialog dialog(preset, m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

bool QtDialogs::printDialog(QPrinter& printer) {
    return runPrintDialog(printer, nullptr);
}

bool QtDialogs::printDialog(QPrinter& printer, PrintOptions& options) {
    return runPrintDialog(printer, &options);
}

bool QtDialogs::runPrintDialog(QPrinter& printer, PrintOptions* options) {
    QPrintDialog dialog(&printer, m_parent);
    // The program's own options on a page of their own, beside Qt's.
    QCheckBox* askStart = nullptr;
    QCheckBox* outlines = nullptr;
    if (options) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("LabelOptions"));
        page->setWindowTitle(QStringLiteral("Labels"));
        auto* layout = new QVBoxLayout(page);
        askStart = new QCheckBox(QStringLiteral("Ask for the start &label on a partly used sheet"), page);
        askStart->setObjectName(QStringLiteral("AskStartPosition"));
        askStart->setChecked(options->askStartPosition);
        outlines = new QCheckBox(QStringLiteral("Print label o&utlines (a test on plain paper)"), page);
        outlines->setObjectName(QStringLiteral("PrintOutlines"));
        outlines->setChecked(options->outlines);
        layout->addWidget(askStart);
        layout->addWidget(outlines);
        layout->addStretch();
        dialog.setOptionTabs({page});
    }
    // The dialog only selects the printer: nothing is printed, and no file
    // written, until a print command runs. Its button says so, and Qt's
    // checks of the output file (which ask whether to overwrite one that
    // exists) are left out; a file that cannot be written is reported when
    // the labels are printed into it.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QPrintDialog::tr("&Select"));
        QObject::disconnect(buttons, &QDialogButtonBox::accepted, nullptr, nullptr);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QPrintDialog::accept);
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    if (options) {
        options->askStartPosition = askStart->isChecked();
        options->outlines = outlines->isChecked();
    }
    return true;
}

namespace {

// Wide enough for the longest problem to be read whole, without scrolling
// sideways, but never wider than most of the screen.
int problemListWidth(const QListWidget& list, const QStringList& problems) {
    int widest = 0;
    for (const QString& problem : problems)
        widest = std::max(widest, list.fontMetrics().horizontalAdvance(problem));
    const int chrome = 2 * list.frameWidth() + list.verticalScrollBar()->sizeHint().width() +
                       list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) * 2 + 8;
    const QScreen* screen = list.screen();
    const int most = screen ? screen->availableGeometry().width() * 9 / 10 : 1200;
    return std::max(560, std::min(widest + chrome, most));
}

}  // namespace

// A list of the problems with a button for each way on: the operator picks a
// line and goes to its label, or prints anyway, or cancels.
PrintProblemAnswer QtDialogs::printProblems(const QString& text, const QStringList& problems) {
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("PrintProblems"));
    dialog.setWindowTitle(kMessageTitle);
    auto* layout = new QVBoxLayout(&dialog);
    auto* intro = new QLabel(text, &dialog);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* list = new QListWidget(&dialog);
    list->addItems(problems);
    list->setCurrentRow(0);
    list->setMinimumWidth(problemListWidth(*list, problems));
    intro->setBuddy(list);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* goTo = buttons->addButton(QStringLiteral("&Go to Label"), QDialogButtonBox::ActionRole);
    QPushButton* anyway =
        buttons->addButton(QStringLiteral("&Print Anyway"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    goTo->setDefault(true);
    layout->addWidget(buttons);
    PrintProblemAnswer answer;
    QObject::connect(goTo, &QPushButton::clicked, &dialog, [&] {
        answer.action = PrintProblemAction::GoToLabel;
        answer.problem = std::max(0, list->currentRow());
        dialog.accept();
    });
    QObject::connect(list, &QListWidget::itemActivated, &dialog, [&] { goTo->click(); });
    QObject::connect(anyway, &QPushButton::clicked, &dialog, [&] {
        answer.action = PrintProblemAction::PrintAnyway;
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return PrintProblemAnswer{};
    return answer;
}

}  // namespace lm
