// The label outlines of a test print: on the PDF, every label box of every
// label type is outlined where the page's geometry puts it, within one twip,
// and nothing else is stroked. The PDF is read back as SVG (pdftocairo), whose
// paths keep the writer's twips.

#include <QFile>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "core/settings.h"
#include "paint/labelsheet.h"
#include "paint/pdfsheetwriter.h"
#include "paintfixtures.h"

namespace {

// The stroked rectangles of the first page of `pdf`, in twips.
QList<QRectF> strokedRectangles(const QString& pdf, const QString& svg) {
    QProcess tool;
    tool.start(QStringLiteral("pdftocairo"),
               {QStringLiteral("-svg"), QStringLiteral("-f"), QStringLiteral("1"),
                QStringLiteral("-l"), QStringLiteral("1"), pdf, svg});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) return {};
    QFile file(svg);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromUtf8(file.readAll());
    // <path style="fill:none;stroke-width:..." d="M x0 y0 L x1 y0 L x1 y1 L x0 y1 Z ..."
    //  transform="matrix(a,0,0,d,e,f)"/>
    static const QRegularExpression path(QStringLiteral(
        R"re(<path style="fill:none;stroke-width[^"]*" d="M ([-\d.]+) ([-\d.]+) L ([-\d.]+) ([-\d.]+) L ([-\d.]+) ([-\d.]+) L ([-\d.]+) ([-\d.]+) Z[^"]*" transform="matrix\(([-\d.]+),0,0,([-\d.]+),([-\d.]+),([-\d.]+)\)")re"));
    QList<QRectF> rectangles;
    for (auto it = path.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        auto at = [&](int i) { return m.captured(i).toDouble(); };
        // The page's points back into twips: 20 twips a point.
        const double sx = at(9) * 20, sy = at(10) * 20, dx = at(11) * 20, dy = at(12) * 20;
        const QPointF a(at(1) * sx + dx, at(2) * sy + dy), c(at(5) * sx + dx, at(6) * sy + dy);
        rectangles << QRectF(a, c).normalized();
    }
    // Every stroked path, outlines or not, for the count.
    const int stroked = int(text.count(QStringLiteral("<path style=\"fill:none;stroke-width")));
    if (stroked != rectangles.size()) rectangles << QRectF();  // one that matches no box
    return rectangles;
}

bool within(double a, double b) {
    return qAbs(a - b) <= 1.0;
}

}  // namespace

class TestOutlines : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftocairo")).isEmpty())
            QSKIP("pdftocairo (poppler-utils) is not installed");
    }

    void boxesAsTheGeometryHasThem_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("outlines");
        for (int type = lm::kFirstLabelType; type <= lm::kLastLabelType; ++type)
            QTest::addRow("%s", lm::labelTypeName(type).c_str()) << type << true;
        QTest::newRow("sl4 without outlines") << int(lm::kSl4) << false;
    }

    void boxesAsTheGeometryHasThem() {
        QFETCH(int, type);
        QFETCH(bool, outlines);
        const lm::LabelTypeInfo* info = lm::labelTypeInfo(type);
        const lm::Settings settings = settingsForType(type);
        const lm::LabelSheet sheet =
            lm::labelSheet(settings, type, [](bool, int) { return QStringLiteral("x"); });

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("outlines.pdf"));
        lm::PdfSheetWriter writer(pdf);
        lm::SheetPaintOptions options;
        options.outlines = outlines;
        writer.setPaintOptions(options);
        QVERIFY(writer.addSheet(sheet).ok());
        QVERIFY(writer.finish().ok());
        const QList<QRectF> drawn = strokedRectangles(pdf, dir.filePath(QStringLiteral("p.svg")));

        const lm::PageGeometry geometry =
            lm::pageGeometry(type, settings.PageTopMargin, settings.PageLeftMargin);
        if (!outlines) {
            QVERIFY(drawn.isEmpty());
            return;
        }
        QCOMPARE(drawn.size(), int(geometry.placements.size()));
        for (const lm::LabelPlacement& place : geometry.placements) {
            const QRectF box(place.left, place.top - info->printVerticalCorrection, place.width,
                             place.height);
            const bool found = std::any_of(drawn.begin(), drawn.end(), [&](const QRectF& r) {
                return within(r.left(), box.left()) && within(r.top(), box.top()) &&
                       within(r.right(), box.right()) && within(r.bottom(), box.bottom());
            });
            QVERIFY2(found, qPrintable(QStringLiteral("%1 %2 at %3,%4 %5x%6 is not outlined")
                                           .arg(QLatin1String(place.pocket ? "pocket" : "spine"))
                                           .arg(place.number)
                                           .arg(box.left())
                                           .arg(box.top())
                                           .arg(box.width())
                                           .arg(box.height())));
        }
    }
};

QTEST_MAIN(TestOutlines)
#include "tst_outlines.moc"
