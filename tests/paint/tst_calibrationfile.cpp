// The calibration file: every printer name comes back as it was stored,
// whatever it holds, in a file QSettings itself reads; a failed write leaves
// the old file as it was.

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

#include "core/atomicfile.h"
#include "core/calibrationmeasure.h"
#include "paint/calibrationfile.h"

namespace {

lm::PrintCalibration calibration(double offsetX, double offsetY, double scaleX, double scaleY) {
    lm::PrintCalibration c;
    c.offsetX = offsetX;
    c.offsetY = offsetY;
    c.scaleX = scaleX;
    c.scaleY = scaleY;
    return c;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

class TestCalibrationFile : public QObject {
    Q_OBJECT
  private slots:
    void printerNamesComeBack_data() {
        QTest::addColumn<QString>("printer");
        QTest::newRow("a CUPS queue") << QStringLiteral("office_laser");
        QTest::newRow("spaces and brackets") << QStringLiteral("HP LaserJet 4 (2nd floor) [A=1]");
        QTest::newRow("slashes, which QSettings nests")
            << QStringLiteral("ipp://host/printers/a\\b");
        QTest::newRow("percent escapes") << QStringLiteral("50% %2F %25");
        QTest::newRow("beyond ASCII") << QStringLiteral("Bücherei Süd – Etiketten");
    }
    void printerNamesComeBack() {
        QFETCH(QString, printer);
        QTemporaryDir dir;
        const QString path = dir.filePath(lm::kCalibrationFileName);
        // At the limits: what was accepted must read back as accepted.
        const lm::PrintCalibration mine =
            calibration(lm::twipsFromMillimetres(10), lm::twipsFromMillimetres(-10), 1.05, 0.95);
        const lm::PrintCalibration other = calibration(1, 2, 1, 1);
        QVERIFY(lm::storeCalibration(path, QStringLiteral("other"), other).ok());
        QVERIFY(lm::storeCalibration(path, printer, mine).ok());

        const lm::StoredCalibrations stored = lm::readCalibrations(path);
        QVERIFY(!stored.problem);
        QCOMPARE(int(stored.printers.size()), 2);
        const std::optional<lm::PrintCalibration> back = stored.of(printer);
        QVERIFY(back);
        QVERIFY(qAbs(back->offsetX - mine.offsetX) < 1e-9 &&
                qAbs(back->offsetY - mine.offsetY) < 1e-9);
        QCOMPARE(back->scaleX, mine.scaleX);
        QCOMPARE(back->scaleY, mine.scaleY);

        // Plain QSettings reads the same file: the values are millimetres.
        QSettings ini(path, QSettings::IniFormat);
        QCOMPARE(ini.childGroups().size(), 2);
        QVERIFY(qAbs(ini.value(QStringLiteral("other/OffsetXmm")).toDouble() - 25.4 / 1440) <
                1e-15);

        bool removed = false;
        QVERIFY(lm::resetCalibration(path, printer, &removed).ok());
        QVERIFY(removed);
        QVERIFY(!lm::readCalibrations(path).of(printer));
        QVERIFY(lm::readCalibrations(path).of(QStringLiteral("other")));
    }
    // The disk fills while the file is written: the reason reaches the caller
    // and the file stays as it was.
    void failedWriteKeepsTheFile() {
        const int error = ENOSPC;
        QTemporaryDir dir;
        const QString path = dir.filePath(lm::kCalibrationFileName);
        QVERIFY(
            lm::storeCalibration(path, QStringLiteral("office"), calibration(10, 10, 1, 1)).ok());
        const QByteArray before = bytesOf(path);

        lm::AtomicFileWriter::InjectedFault fault;
        fault.stage = lm::AtomicFileWriter::Stage::Write;
        fault.afterBytes = 20;
        fault.errorNumber = error;
        lm::AtomicFileWriter::injectFaultForTesting(fault);
        const lm::Status stored =
            lm::storeCalibration(path, QStringLiteral("office"), calibration(20, 20, 1.02, 1.02));
        lm::AtomicFileWriter::clearFaultForTesting();
        QVERIFY(!stored.ok());
        QVERIFY2(stored.error().message().find(lm::systemReason(error)) != std::string::npos,
                 stored.error().message().c_str());
        QCOMPARE(bytesOf(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{lm::kCalibrationFileName});
    }
};

QTEST_MAIN(TestCalibrationFile)
#include "tst_calibrationfile.moc"
