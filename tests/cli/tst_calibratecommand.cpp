// labelmaker-cli calibrate, calibration-sheet and pdf --calibration: the
// measurements of a printer move every position drawn for it so that the
// printer puts it where it is meant; what is refused; a calibration file
// that cannot be used is reported and ignored; the settings file is never
// touched. Positions are read back from the PDF as SVG (pdftocairo), whose
// paths keep the writer's twips.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "clirun.h"
#include "core/settings.h"

using clitest::Args;
using clitest::CliRun;
using clitest::readBytes;
using clitest::runCli;
using clitest::writeBytes;

namespace {

constexpr double kTwipsPerMm = 1440 / 25.4;
constexpr double kTolerance = 0.2 * kTwipsPerMm;  // 0.2 mm

// sp1 at its default margins: the first label's top-left corner and the
// last label's bottom-right corner.
const QPointF kFirst(640, 920);
const QPointF kLast(640 + 7 * 1386 + 1290, 920 + 4 * 3015 + 2340);

// The stroked paths of the first page of `pdf` as point lists, in twips.
QList<QList<QPointF>> strokedPaths(const QString& pdf) {
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("page.svg"));
    QProcess tool;
    tool.start(QStringLiteral("pdftocairo"),
               {QStringLiteral("-svg"), QStringLiteral("-f"), QStringLiteral("1"),
                QStringLiteral("-l"), QStringLiteral("1"), pdf, svg});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) return {};
    QFile file(svg);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression path(QStringLiteral(
        R"re(<path style="fill:none;stroke-width[^"]*" d="([^"]*)" transform="matrix\(([-\d.]+),0,0,([-\d.]+),([-\d.]+),([-\d.]+)\)")re"));
    static const QRegularExpression point(QStringLiteral(R"re([ML] ([-\d.]+) ([-\d.]+))re"));
    QList<QList<QPointF>> paths;
    for (auto it = path.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        // The page's points back into twips: 20 twips a point.
        const double sx = m.captured(2).toDouble() * 20, sy = m.captured(3).toDouble() * 20;
        const double dx = m.captured(4).toDouble() * 20, dy = m.captured(5).toDouble() * 20;
        QList<QPointF> points;
        for (auto p = point.globalMatch(m.captured(1)); p.hasNext();) {
            const QRegularExpressionMatch q = p.next();
            points << QPointF(q.captured(1).toDouble() * sx + dx,
                              q.captured(2).toDouble() * sy + dy);
        }
        paths << points;
    }
    return paths;
}

// Where the crosshairs cross: each is a level line and an upright one.
QList<QPointF> crosshairCentres(const QString& pdf) {
    const QList<QList<QPointF>> paths = strokedPaths(pdf);
    QList<QPointF> centres;
    for (int i = 0; i + 1 < paths.size(); ++i) {
        const QList<QPointF>& level = paths[i];
        const QList<QPointF>& upright = paths[i + 1];
        if (level.size() != 2 || upright.size() != 2) continue;
        if (qAbs(level[0].y() - level[1].y()) > 0.01 ||
            qAbs(upright[0].x() - upright[1].x()) > 0.01)
            continue;
        centres << QPointF(upright[0].x(), level[0].y());
    }
    return centres;
}

// The top-left corner of the first stroked rectangle (the first outline).
std::optional<QPointF> firstOutlineCorner(const QString& pdf) {
    for (const QList<QPointF>& p : strokedPaths(pdf))
        if (p.size() >= 4) return QPointF(qMin(p[0].x(), p[2].x()), qMin(p[0].y(), p[2].y()));
    return std::nullopt;
}

QString describe(QPointF p) {
    return QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
}

bool near(QPointF found, QPointF wanted) {
    return qAbs(found.x() - wanted.x()) <= kTolerance && qAbs(found.y() - wanted.y()) <= kTolerance;
}

}  // namespace

class TestCalibrateCommand : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftocairo")).isEmpty())
            QSKIP("pdftocairo (poppler-utils) is not installed");
    }
    void init() {
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_work->isValid());
        qputenv("QORTEX_DIR", QFile::encodeName(m_work->path()));
        QVERIFY(lm::writeSettingsFile(settingsPath().toStdString(), lm::defaultSettings()).ok());
        m_settings = readBytes(settingsPath());
    }
    // Whatever a test did, the settings file is as it was, byte for byte.
    void cleanup() { QCOMPARE(readBytes(settingsPath()), m_settings); }
    void crosshairsLandWhereMeasured_data() {
        QTest::addColumn<double>("offsetXmm");
        QTest::addColumn<double>("offsetYmm");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QString>("unit");
        QTest::newRow("+1.5, -0.8 mm, 1.01") << 1.5 << -0.8 << 1.01 << QStringLiteral("mm");
        QTest::newRow("the same in inches") << 1.5 << -0.8 << 1.01 << QStringLiteral("in");
        QTest::newRow("-3, +2 mm, 0.99") << -3.0 << 2.0 << 0.99 << QStringLiteral("mm");
    }
    // The printer puts P at offset + scale * P; the sheet and the labels drawn
    // with its calibration must therefore have P at (P - offset) / scale.
    void crosshairsLandWhereMeasured() {
        QFETCH(double, offsetXmm);
        QFETCH(double, offsetYmm);
        QFETCH(double, scale);
        QFETCH(QString, unit);
        const QPointF offset(offsetXmm * kTwipsPerMm, offsetYmm * kTwipsPerMm);
        const double perUnit = unit == QLatin1String("in") ? 1440 : kTwipsPerMm;
        auto measured = [&](QPointF p) { return (offset + scale * p) / perUnit; };
        const QPointF m1 = measured(kFirst), m2 = measured(kLast);
        const std::string numbers = QStringLiteral("%1,%2,%3,%4")
                                        .arg(m1.x(), 0, 'f', 3)
                                        .arg(m1.y(), 0, 'f', 3)
                                        .arg(m2.x(), 0, 'f', 3)
                                        .arg(m2.y(), 0, 'f', 3)
                                        .toStdString();
        CliRun stored = runCli({"calibrate", "--printer", "office", "--type", "1", "--unit",
                                unit.toStdString(), "--measured", numbers});
        QVERIFY2(stored.status == 0, stored.err.c_str());

        auto drawnAt = [&](QPointF p) { return (p - offset) / scale; };
        const QString sheet = work("sheet.pdf");
        CliRun run = runCli({"calibration-sheet", "--calibration", "office", sheet.toStdString()});
        QVERIFY2(run.status == 0, run.err.c_str());
        const QList<QPointF> centres = crosshairCentres(sheet);
        QCOMPARE(centres.size(), 2);
        QVERIFY2(near(centres[0], drawnAt(kFirst)), qPrintable(describe(centres[0])));
        QVERIFY2(near(centres[1], drawnAt(kLast)), qPrintable(describe(centres[1])));

        // Without --calibration the sheet is the printer's sheet as it is.
        QVERIFY(runCli({"calibration-sheet", sheet.toStdString()}).status == 0);
        const QList<QPointF> plain = crosshairCentres(sheet);
        QCOMPARE(plain.size(), 2);
        QVERIFY2(near(plain[0], kFirst) && near(plain[1], kLast), qPrintable(describe(plain[1])));

        // The labels of a label file move the same way, and only with --calibration.
        QVERIFY(writeBytes(work("labels.dat"), "A~~B~~"));
        const QString pdf = work("labels.pdf");
        auto outlineOf = [&](Args options) {
            Args args{"pdf", "--outlines"};
            args.insert(args.end(), options.begin(), options.end());
            args.push_back(work("labels.dat").toStdString());
            args.push_back(pdf.toStdString());
            return runCli(args).status == 0 ? firstOutlineCorner(pdf) : std::nullopt;
        };
        const std::optional<QPointF> corrected = outlineOf({"--calibration", "office"});
        QVERIFY(corrected && near(*corrected, drawnAt(kFirst)));
        const std::optional<QPointF> uncorrected = outlineOf({});
        QVERIFY(uncorrected && near(*uncorrected, kFirst));
    }
    void refused_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<QString>("message");
        const Args store{"calibrate", "--printer", "office", "--unit", "mm", "--measured"};
        auto with = [](Args args, const std::string& last) {
            args.push_back(last);
            return args;
        };
        // The sheet's crosshairs are at 11.3, 16.2 and 205.2, 270.2 mm.
        QTest::newRow("a scale of 1.06")
            << with(store, "11.3,16.2,217.0,270.2")
            << QStringLiteral(
                   "the x scale is 1.0609 (0.95 to 1.05 allowed).\n\nMeasured: first "
                   "crosshair at 11.3, 16.2 mm, last at 217.0, 270.2 mm.");
        QTest::newRow("three numbers")
            << with(store, "1,2,3") << QStringLiteral("that is not four numbers X1,Y1,X2,Y2");
        QTest::newRow("a unit of cm")
            << Args{"calibrate", "--printer", "office", "--unit", "cm", "--measured", "1,2,3,4"}
            << QStringLiteral("--unit cm: that is not mm or in");
        QTest::newRow("no printer")
            << Args{"calibrate", "--show"} << QStringLiteral("--printer NAME is needed");
        QTest::newRow("show and reset at once")
            << Args{"calibrate", "--printer", "office", "--show", "--reset"}
            << QStringLiteral("give exactly one of --measured, --show and --reset");
        QTest::newRow("pdf for a printer never calibrated")
            << Args{"pdf", "--calibration", "office", "labels.dat", "out.pdf"}
            << QStringLiteral("the printer \"office\" has no stored calibration");
        QTest::newRow("a check sheet for a printer never calibrated")
            << Args{"calibration-sheet", "--calibration", "office", "out.pdf"}
            << QStringLiteral("the printer \"office\" has no stored calibration");
    }
    // Refused with exit status 2, nothing stored and no PDF written.
    void refused() {
        QFETCH(Args, args);
        QFETCH(QString, message);
        QDir::setCurrent(m_work->path());
        QVERIFY(writeBytes(work("labels.dat"), "A~~"));
        const CliRun run = runCli(args);
        QCOMPARE(run.status, 2);
        QVERIFY2(QString::fromStdString(run.err).contains(message), run.err.c_str());
        QVERIFY(!QFile::exists(calibrationPath()));
        QVERIFY(!QFile::exists(work("out.pdf")));
    }
    void unusableFileIsReportedAndIgnored_data() {
        QTest::addColumn<QByteArray>("content");  // "<folder>": a folder by that name
        QTest::addColumn<QString>("problem");
        const QByteArray good =
            "[office]\nOffsetXmm=1.5\nOffsetYmm=-0.8\nScaleX=1.01\nScaleY=1.01\n";
        QTest::newRow("not INI at all") << QByteArray("\x89PNG\r\n\x1a\n\0\0garbage", 16)
                                        << QStringLiteral("not in INI format");
        QTest::newRow("a value missing") << QByteArray(good).replace("ScaleY=1.01\n", "")
                                         << QStringLiteral("printer \"office\": ScaleY is missing");
        QTest::newRow("not a number") << QByteArray(good).replace("ScaleX=1.01", "ScaleX=wide")
                                      << QStringLiteral("ScaleX is missing or not a number");
        QTest::newRow("beyond the limits")
            << QByteArray(good).replace("OffsetYmm=-0.8", "OffsetYmm=-12")
            << QStringLiteral("the y offset is -12.00 mm");
        QTest::newRow("values outside a group")
            << "ScaleX=1\n" + good << QStringLiteral("values outside any printer's group");
        QTest::newRow("a folder") << QByteArray("<folder>") << QStringLiteral("calibration.ini: ");
    }
    // Nothing of such a file is used, every run says why, and storing replaces it.
    void unusableFileIsReportedAndIgnored() {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        const bool folder = content == "<folder>";
        QVERIFY(folder ? QDir().mkdir(calibrationPath()) : writeBytes(calibrationPath(), content));
        const CliRun shown = runCli({"calibrate", "--printer", "office", "--show"});
        QCOMPARE(shown.status, 0);
        QCOMPARE(shown.out, std::string("office: not calibrated\n"));
        const QString err = QString::fromStdString(shown.err);
        QVERIFY2(err.startsWith(QStringLiteral("labelmaker-cli: ") + calibrationPath()) &&
                     err.contains(problem) &&
                     err.endsWith(QStringLiteral("; it is ignored and no printer is calibrated\n")),
                 shown.err.c_str());
        QVERIFY(writeBytes(work("labels.dat"), "A~~"));
        const CliRun pdf =
            runCli({"pdf", "--calibration", "office", work("labels.dat").toStdString(),
                    work("out.pdf").toStdString()});
        QCOMPARE(pdf.status, 2);
        QVERIFY(QString::fromStdString(pdf.err).contains(problem));
        if (folder) return;
        QCOMPARE(readBytes(calibrationPath()), content);

        const CliRun stored = runCli({"calibrate", "--printer", "office", "--unit", "mm",
                                      "--measured", "11.3,16.2,205.2,270.2"});
        QCOMPARE(stored.status, 0);
        const CliRun again = runCli({"calibrate", "--printer", "office", "--show"});
        QVERIFY2(again.err.empty(), again.err.c_str());
        QVERIFY(again.out.find("offset x +0.0") != std::string::npos);
    }
    void showAndReset() {
        auto store = [](const char* printer, const char* measured) {
            return runCli(
                {"calibrate", "--printer", printer, "--unit", "mm", "--measured", measured});
        };
        QCOMPARE(store("office", "12.8,15.4,209.1,272.5").status, 0);
        QCOMPARE(store("Front desk / 2", "11.3,16.2,205.2,270.2").status, 0);
        CliRun run = runCli({"calibrate", "--printer", "office", "--show"});
        QCOMPARE(run.out,
                 std::string("office: offset x +1.37 mm, y -1.03 mm; scale x 1.0124, y 1.0122\n"));
        run = runCli({"calibrate", "--printer", "office", "--reset"});
        QCOMPARE(run.out, std::string("calibration removed for office\n"));
        QCOMPARE(runCli({"calibrate", "--printer", "office", "--show"}).out,
                 std::string("office: not calibrated\n"));
        QCOMPARE(runCli({"calibrate", "--printer", "office", "--reset"}).out,
                 std::string("no calibration stored for office\n"));
        // The other printer keeps its values.
        QCOMPARE(runCli({"calibrate", "--printer", "Front desk / 2", "--show"}).out,
                 std::string(
                     "Front desk / 2: offset x +0.01 mm, y -0.03 mm; scale x 1.0001, y 1.0000\n"));
    }

  private:
    QString work(const char* name) const { return m_work->filePath(QLatin1String(name)); }
    QString calibrationPath() const { return work("calibration.ini"); }
    QString settingsPath() const { return work("$$$set.val"); }

    std::unique_ptr<QTemporaryDir> m_work;
    QByteArray m_settings;
};

QTEST_MAIN(TestCalibrateCommand)
#include "tst_calibratecommand.moc"
