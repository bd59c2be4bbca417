#include "multilabel/multilabel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "app/windowcontext.h"
#include "core/editrequest.h"
#include "core/numberlist.h"
#include "edit/highlight.h"
#include "edit/pendingedit.h"
#include "platform/dialogs.h"
#include "platform/labeltextcodec.h"

namespace lm {
namespace {

const QString kCaption = QStringLiteral("Multiple Label Production Setup");
constexpr int kInset = 40;  // pixels from the main window's edges

}  // namespace

MultiLabel::MultiLabel(WindowContext& window, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Tool), m_window(window) {
    setObjectName(QStringLiteral("MultiLabel"));
    setWindowTitle(kCaption);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* form = new QFormLayout;
    m_constant1 = addField(form, "Text1", QStringLiteral("Constant 1"));
    m_numbers1 = addField(form, "Text2", QStringLiteral("Numbers"));
    m_constant2 = addField(form, "Text3", QStringLiteral("Constant 2"));
    m_numbers2 = addField(form, "Text4", QStringLiteral("Numbers"));
    m_copies = addField(form, "Text5", QStringLiteral("Copies of Each Set"));
    m_copies->setText(QStringLiteral("1"));

    m_apply = new QPushButton(QStringLiteral("Apply"), this);
    m_apply->setObjectName(QStringLiteral("MultiApply"));
    m_apply->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("MultiCancel"));
    m_cancel->setAutoDefault(false);
    connect(m_apply, &QPushButton::clicked, this, &MultiLabel::MultiApply_Click);
    connect(m_cancel, &QPushButton::clicked, this, &MultiLabel::MultiCancel_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    m_constant1->setFocus();

    // Wide enough for the whole caption, and beside the page rather than on it.
    setMinimumWidth(fontMetrics().horizontalAdvance(kCaption) + 140);
    adjustSize();
    placeBesideThePage(mainWindow);
}

// Near the top right corner of the main window, where a maximized window
// shows the grey around the sheet, kept on the screen.
void MultiLabel::placeBesideThePage(QWidget* mainWindow) {
    if (!mainWindow) return;
    const QPoint corner = mainWindow->mapToGlobal(QPoint(mainWindow->width(), 0));
    QPoint place(corner.x() - width() - kInset, corner.y() + 3 * kInset);
    if (const QScreen* screen = mainWindow->screen()) {
        const QRect free = screen->availableGeometry();
        place.setX(
            std::clamp(place.x(), free.left(), std::max(free.left(), free.right() - width())));
        place.setY(
            std::clamp(place.y(), free.top(), std::max(free.top(), free.bottom() - height())));
    }
    move(place);
}

QLineEdit* MultiLabel::addField(QFormLayout* form, const char* name, const QString& label) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromUtf8(name));
    form->addRow(label, field);
    return field;
}

void MultiLabel::refuse(const QString& text) {
    m_window.dialogs().message(text, MessageButtons::Ok, MessageIcon::Exclamation);
}

void MultiLabel::MultiApply_Click() {
    // Checked as a whole first: a refused request leaves the state as it was.
    EditRequest request;
    bool encodable1 = true;
    bool encodable2 = true;
    request.MultiConstant1 = labelTextToBytes(m_constant1->text(), &encodable1);
    request.MultiConstant2 = labelTextToBytes(m_constant2->text(), &encodable2);
    // Anything but digits, commas and hyphens is refused, so UTF-8 will do.
    request.MultiNumbers1 = withoutTrailingSpaces(m_numbers1->text().toStdString());
    request.MultiNumbers2 = withoutTrailingSpaces(m_numbers2->text().toStdString());
    const QString illegal = QString::fromUtf8(kIllegalNumbersMessage);
    if (!ValidateNumbers(request.MultiNumbers1)) return refuse(illegal);
    if (!request.MultiNumbers2.empty() && !ValidateNumbers(request.MultiNumbers2))
        return refuse(illegal);
    if (!request.MultiConstant2.empty() && request.MultiNumbers2.empty()) return refuse(illegal);
    const std::optional<int> copies = parseCopiesEntry(m_copies->text().toStdString());
    if (!copies) return refuse(illegal);
    if (!encodable1 || !encodable2)
        return refuse(QStringLiteral("Constant %1 holds a character that a label file cannot "
                                     "store (it stores Windows-1252 characters only).")
                          .arg(encodable1 ? 2 : 1));

    AppState& state = m_window.state();
    state.MultiConstant1 = request.MultiConstant1;
    state.MultiConstant2 = request.MultiConstant2;
    state.MultiNumbers1 = request.MultiNumbers1;
    state.MultiNumbers2 = request.MultiNumbers2;
    state.PendingEditCount = *copies;
    // A save that did not happen (Save As cancelled, a failure reported)
    // keeps the dialog and its entries for another try.
    if (saveWithPendingEdit(m_window, kMultipleCopyPrinting)) accept();
}

void MultiLabel::MultiCancel_Click() {
    reject();
}

void MultiLabel::reject() {
    clearHighlightByRetyping(m_window, m_window.state().SelectedSetIndex);
    QDialog::reject();
}

}  // namespace lm
