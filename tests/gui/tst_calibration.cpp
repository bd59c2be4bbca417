// Setup, Printer Calibration: the dialog works the measurements out, refuses
// what cannot be right in a box that says what was measured and expected,
// and stores, shows and removes the printer's values; prints look their
// printer's values up and say once a run when the calibration file cannot
// be used. The settings file is never touched.

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "paint/calibrationfile.h"
#include "print/calibrationdialog.h"
#include "print/printercalibrations.h"
#include "print/printfailure.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

// sp1 at its default margins.
const lm::CrosshairPair kMeant{640, 920, 11632, 15320};

void click(QDialog& dialog, const char* button) {
    QPushButton* found = dialog.findChild<QPushButton*>(QLatin1String(button));
    QVERIFY2(found, button);
    found->click();
}

void type(QDialog& dialog, const QList<double>& values) {
    const char* names[] = {"firstX", "firstY", "lastX", "lastY"};
    for (int i = 0; i < 4; ++i)
        dialog.findChild<QDoubleSpinBox*>(QLatin1String(names[i]))->setValue(values[i]);
}

QString shownValues(QDialog& dialog) {
    return dialog.findChild<QLabel*>(QStringLiteral("storedValues"))->text();
}

}  // namespace

class TestCalibration : public QObject {
    Q_OBJECT
  private slots:
    // The offscreen tests have no printer: prints go into a PDF file, which a
    // calibration would only move.
    void withoutAPrinterThereIsNothingToCalibrate() {
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        const QByteArray settings = s.folder.readFile("$$$set.val");
        s.dialogs.expectMessage(
            QStringLiteral(
                "The current printer writes a PDF file, which has no calibration. Choose "
                "the printer to calibrate with Select Printer first."),
            MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
        trigger(*s.window, QStringLiteral("mnuSetup_Calibration"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.folder.readFile("$$$set.val"), settings);
    }
    void measurementsStoredOrRefused_data() {
        QTest::addColumn<bool>("inches");
        QTest::addColumn<QList<double>>("measured");
        QTest::addColumn<QString>("values");  // as stored, or empty when refused
        QTest::addColumn<QString>("message");
        QTest::newRow("in mm") << false << QList<double>{12.8, 15.4, 209.1, 272.5}
                               << QStringLiteral(
                                      "offset x +1.37 mm, y -1.03 mm; scale x 1.0124, y 1.0122")
                               << QString();
        QTest::newRow("in inches")
            << true << QList<double>{0.504, 0.606, 8.232, 10.728}
            << QStringLiteral("offset x +1.37 mm, y -1.03 mm; scale x 1.0124, y 1.0122")
            << QString();
        QTest::newRow("a scale of 1.06")
            << false << QList<double>{11.3, 16.2, 217.0, 270.2} << QString()
            << QStringLiteral(
                   "These measurements cannot be right: the x scale is 1.0609 (0.95 to "
                   "1.05 allowed).\n\nMeasured: first crosshair at 11.3, 16.2 mm, last at "
                   "217.0, 270.2 mm.\nExpected: first crosshair at 11.3, 16.2 mm, last at "
                   "205.2, 270.2 mm.\n\nMeasure again from the paper's top-left edge; "
                   "nothing was stored.");
    }
    void measurementsStoredOrRefused() {
        QFETCH(bool, inches);
        QFETCH(QList<double>, measured);
        QFETCH(QString, values);
        QFETCH(QString, message);
        TempWorkFolder folder;
        folder.writeSettings(lm::defaultSettings());
        const QByteArray settings = folder.readFile("$$$set.val");
        ScriptedDialogs dialogs;
        lm::CalibrationDialog dialog(dialogs, QStringLiteral("office"), kMeant, nullptr);
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("printerName"))->text(),
                 QStringLiteral("Printer: office"));
        QCOMPARE(shownValues(dialog), QStringLiteral("Not calibrated."));
        dialog.findChild<QComboBox*>(QStringLiteral("unit"))->setCurrentIndex(inches ? 1 : 0);
        type(dialog, measured);

        if (values.isEmpty()) {
            dialogs.expectMessage(message, MessageButtons::Ok, MessageIcon::Exclamation,
                                  MessageAnswer::Ok);
            click(dialog, "store");
            LM_VERIFY_DIALOGS(dialogs);
            QVERIFY(!QFile::exists(lm::calibrationFilePath()));
            QCOMPARE(shownValues(dialog), QStringLiteral("Not calibrated."));
            QCOMPARE(folder.readFile("$$$set.val"), settings);
            return;
        }
        dialogs.expectOk(
            QStringLiteral("The calibration of office is stored: %1. Every print on it "
                           "is corrected from now on.")
                .arg(values),
            MessageIcon::Information);
        click(dialog, "store");
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(shownValues(dialog), QStringLiteral("Stored: ") + values + QLatin1Char('.'));
        QVERIFY(lm::readCalibrations(lm::calibrationFilePath()).of(QStringLiteral("office")));

        // The distances stay the same lengths in the other unit.
        dialog.findChild<QComboBox*>(QStringLiteral("unit"))->setCurrentIndex(inches ? 0 : 1);
        const double firstX = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("firstX"))->value();
        QVERIFY2(qAbs(firstX - (inches ? 0.504 * 25.4 : 12.8 / 25.4)) < 0.06,
                 qPrintable(QString::number(firstX)));

        dialogs.expectOk(QStringLiteral("Stored: ") + values + QLatin1Char('.'),
                         MessageIcon::Information);
        click(dialog, "show");
        dialogs.expectOk(QStringLiteral("The calibration of office is removed."),
                         MessageIcon::Information);
        click(dialog, "reset");
        dialogs.expectOk(QStringLiteral("office has no stored calibration."),
                         MessageIcon::Information);
        click(dialog, "reset");
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(shownValues(dialog), QStringLiteral("Not calibrated."));
        QVERIFY(!lm::readCalibrations(lm::calibrationFilePath()).of(QStringLiteral("office")));
        QCOMPARE(folder.readFile("$$$set.val"), settings);
    }
    void unusableFileToldOnceARun_data() {
        QTest::addColumn<QByteArray>("content");  // "<none>": no file
        QTest::addColumn<bool>("told");
        QTest::addColumn<double>("scaleX");  // what a print on "office" uses
        QTest::newRow("no file yet") << QByteArray("<none>") << false << 1.0;
        QTest::newRow("office calibrated")
            << QByteArray("[office]\nOffsetXmm=1.5\nOffsetYmm=-0.8\nScaleX=1.01\nScaleY=1.01\n")
            << false << 1.01;
        QTest::newRow("a scale beyond the limits")
            << QByteArray("[office]\nOffsetXmm=1.5\nOffsetYmm=-0.8\nScaleX=1.2\nScaleY=1.01\n")
            << true << 1.0;
        QTest::newRow("not INI") << QByteArray("\xff\xfe\0\0", 4) << true << 1.0;
    }
    void unusableFileToldOnceARun() {
        QFETCH(QByteArray, content);
        QFETCH(bool, told);
        QFETCH(double, scaleX);
        TempWorkFolder folder;
        if (content != "<none>") folder.writeFile("calibration.ini", content);
        ScriptedDialogs dialogs;
        if (told) {
            const lm::StoredCalibrations stored = lm::readCalibrations(lm::calibrationFilePath());
            QVERIFY(stored.problem);
            dialogs.expectMessage(lm::failureText(lm::kCalibrationFileUnusable, *stored.problem),
                                  MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
        }
        lm::PrinterCalibrations calibrations;
        for (int print = 1; print <= 2; ++print)
            QCOMPARE(calibrations.of(QStringLiteral("office"), dialogs).scaleX, scaleX);
        LM_VERIFY_DIALOGS(dialogs);
        QVERIFY(!QFile::exists(folder.path() + QStringLiteral("/$$$set.val")));
    }
};

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
