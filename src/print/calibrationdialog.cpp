#include "print/calibrationdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "paint/calibrationfile.h"
#include "platform/dialogs.h"
#include "print/printfailure.h"

namespace lm {
namespace {

QString lengthText(double twips, LengthUnit unit) {
    return QStringLiteral("%1 %2")
        .arg(lengthFromTwips(twips, unit), 0, 'f', unit == LengthUnit::Inch ? 2 : 1)
        .arg(QLatin1String(unitName(unit)));
}

QPushButton* addButton(QDialogButtonBox* box, const char* name, const QString& caption,
                       QDialogButtonBox::ButtonRole role) {
    QPushButton* button = box->addButton(caption, role);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CalibrationDialog::CalibrationDialog(Dialogs& dialogs, const QString& printer,
                                     const CrosshairPair& meant, std::function<void()> printSheet,
                                     QWidget* parent)
    : QDialog(parent),
      m_dialogs(dialogs),
      m_printer(printer),
      m_meant(meant),
      m_printSheet(std::move(printSheet)) {
    setObjectName(QStringLiteral("CalibrationDialog"));
    setWindowTitle(QStringLiteral("Printer Calibration"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Printer: ") + printer, this);
    name->setObjectName(QStringLiteral("printerName"));
    layout->addWidget(name);
    m_stored = new QLabel(this);
    m_stored->setObjectName(QStringLiteral("storedValues"));
    layout->addWidget(m_stored);
    m_expected = new QLabel(this);
    m_expected->setObjectName(QStringLiteral("expectedPositions"));
    m_expected->setWordWrap(true);
    layout->addWidget(m_expected);

    auto* form = new QFormLayout;
    m_unit = new QComboBox(this);
    m_unit->setObjectName(QStringLiteral("unit"));
    m_unit->addItem(QStringLiteral("millimetres (mm)"));
    m_unit->addItem(QStringLiteral("inches (in)"));
    form->addRow(QStringLiteral("&Unit:"), m_unit);
    const char* names[] = {"firstX", "firstY", "lastX", "lastY"};
    const char* captions[] = {
        "&First crosshair, from the left edge:", "First crosshair, from the &top edge:",
        "&Last crosshair, from the left edge:", "Last crosshair, from the t&op edge:"};
    for (int i = 0; i < 4; ++i) {
        m_fields[i] = new QDoubleSpinBox(this);
        m_fields[i]->setObjectName(QLatin1String(names[i]));
        form->addRow(QString::fromLatin1(captions[i]), m_fields[i]);
    }
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    connect(addButton(buttons, "printSheet", QStringLiteral("&Print Sheet"),
                      QDialogButtonBox::ActionRole),
            &QPushButton::clicked, this, &CalibrationDialog::printSheet);
    connect(addButton(buttons, "store", QStringLiteral("&Store"), QDialogButtonBox::ActionRole),
            &QPushButton::clicked, this, &CalibrationDialog::store);
    connect(addButton(buttons, "show", QStringLiteral("S&how"), QDialogButtonBox::ActionRole),
            &QPushButton::clicked, this, &CalibrationDialog::showValues);
    connect(addButton(buttons, "reset", QStringLiteral("&Reset"), QDialogButtonBox::ResetRole),
            &QPushButton::clicked, this, &CalibrationDialog::reset);
    connect(addButton(buttons, "close", QStringLiteral("&Close"), QDialogButtonBox::RejectRole),
            &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_unit, &QComboBox::currentIndexChanged, this, &CalibrationDialog::unitChanged);
    unitChanged();
    showStored();
}

LengthUnit CalibrationDialog::unit() const {
    return m_unit->currentIndex() == 1 ? LengthUnit::Inch : LengthUnit::Millimetre;
}

// The distances typed stay the same lengths in the other unit.
void CalibrationDialog::unitChanged() {
    const LengthUnit now = unit();
    for (QDoubleSpinBox* field : m_fields) {
        const double twips = twipsFromLength(field->value(), m_shownUnit);
        field->setDecimals(now == LengthUnit::Inch ? 3 : 1);
        field->setRange(0, lengthFromTwips(20 * 1440, now));  // far beyond any sheet
        field->setSingleStep(now == LengthUnit::Inch ? 0.01 : 0.5);
        field->setSuffix(QLatin1Char(' ') + QLatin1String(unitName(now)));
        field->setValue(lengthFromTwips(twips, now));
    }
    m_shownUnit = now;
    m_expected->setText(
        QStringLiteral("On the sheet, the first crosshair is meant at %1 from the left edge and "
                       "%2 from the top edge; the last at %3 and %4.")
            .arg(lengthText(m_meant.x1, now), lengthText(m_meant.y1, now),
                 lengthText(m_meant.x2, now), lengthText(m_meant.y2, now)));
}

void CalibrationDialog::showStored() {
    const StoredCalibrations stored = readCalibrations(calibrationFilePath());
    const std::optional<PrintCalibration> c = stored.of(m_printer);
    if (c)
        m_stored->setText(QStringLiteral("Stored: ") +
                          QString::fromStdString(describeCalibration(*c)) + QLatin1Char('.'));
    else if (stored.problem)
        m_stored->setText(QStringLiteral("Not calibrated: the calibration file cannot be used (") +
                          QString::fromStdString(stored.problem->message()) +
                          QStringLiteral("). Storing replaces it."));
    else
        m_stored->setText(QStringLiteral("Not calibrated."));
}

void CalibrationDialog::printSheet() {
    if (m_printSheet) m_printSheet();
}

void CalibrationDialog::store() {
    const LengthUnit u = unit();
    auto at = [&](int i) { return twipsFromLength(m_fields[i]->value(), u); };
    const CalibrationOutcome outcome = measureCalibration(m_meant, {at(0), at(1), at(2), at(3)}, u);
    if (!outcome.calibration) {
        m_dialogs.message(QString::fromStdString(outcome.refusal), MessageButtons::Ok,
                          MessageIcon::Exclamation);
        return;
    }
    if (Status stored = storeCalibration(calibrationFilePath(), m_printer, *outcome.calibration);
        !stored) {
        m_dialogs.message(
            failureText(QStringLiteral("The calibration could not be stored."), stored.error()),
            MessageButtons::Ok, MessageIcon::Critical);
        return;
    }
    showStored();
    m_dialogs.message(
        QStringLiteral("The calibration of %1 is stored: %2. Every print on it "
                       "is corrected from now on.")
            .arg(m_printer, QString::fromStdString(describeCalibration(*outcome.calibration))),
        MessageButtons::Ok, MessageIcon::Information);
}

void CalibrationDialog::showValues() {
    showStored();
    m_dialogs.message(m_stored->text(), MessageButtons::Ok, MessageIcon::Information);
}

void CalibrationDialog::reset() {
    bool removed = false;
    if (Status done = resetCalibration(calibrationFilePath(), m_printer, &removed); !done) {
        m_dialogs.message(
            failureText(QStringLiteral("The calibration could not be removed."), done.error()),
            MessageButtons::Ok, MessageIcon::Critical);
        return;
    }
    showStored();
    m_dialogs.message(removed ? QStringLiteral("The calibration of %1 is removed.").arg(m_printer)
                              : QStringLiteral("%1 has no stored calibration.").arg(m_printer),
                      MessageButtons::Ok, MessageIcon::Information);
}

}  // namespace lm
