// A label shows the lines its paper gets. The label control lays out each
// label of every label type, in the fonts, sizes, styles and alignments the
// Setup menu offers, and its lines must be the lines the sheet painter puts
// on a 600-dpi PDF page (read back with pdftotext -bbox); on screen, at 96
// dpi and zoom 100, ink lies exactly in the layout's line boxes.

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <map>

#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "paint/labellayout.h"
#include "paint/labelsheet.h"
#include "paint/sheetpainter.h"
#include "platform/labelcontrol.h"
#include "platform/labeltextcodec.h"

using lm::LabelControl;
using lm::LabelSheet;
using lm::SheetLabel;

namespace {

// Long class numbers, many-line labels, words longer than a line, empty
// lines, trailing spaces, and words that wrap.
const char* const kTexts[] = {
    "HF5415.1265",
    "REF\r\nQA76.73\r\n.C153\r\nS77\r\n2013\r\nc.2\r\nv.3\r\nSuppl.\r\nIndex\r\nMaps\r\nEnd",
    "Supercalifragilisticexpialidocious",
    "FIC\r\n\r\nSMITH\r\n\r\n2004",
    "QA76   \r\nC153      \r\n  ",
    "The quick brown fox jumps over the lazy dog",
};
constexpr int kTextCount = int(sizeof(kTexts) / sizeof(kTexts[0]));
constexpr int kAlignments = 4;

struct Style {
    bool bold;
    bool italic;
};
const Style kStyles[] = {{false, false}, {true, false}, {false, true}, {true, true}};

// The words of one PDF page with their boxes, in twips.
struct Word {
    QString text;
    QRectF box;
};

QList<QList<Word>> pdfWords(const QString& path, QString* error) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!tool.waitForFinished(120000) || tool.exitCode() != 0) {
        *error = QString::fromLocal8Bit(tool.readAllStandardError());
        return {};
    }
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<QList<Word>> pages;
    for (auto it = tag.globalMatch(QString::fromUtf8(tool.readAllStandardOutput()));
         it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(1) == 0) {
            pages.append(QList<Word>());
        } else if (!pages.isEmpty()) {
            const QPointF topLeft(m.captured(1).toDouble() * 20, m.captured(2).toDouble() * 20);
            const QPointF bottomRight(m.captured(3).toDouble() * 20, m.captured(4).toDouble() * 20);
            pages.last().append({m.captured(5), QRectF(topLeft, bottomRight)});
        }
    }
    return pages;
}

// The lines of words inside `box`, top to bottom, each "word word ...":
// words whose tops lie within a few twips share a line.
QStringList linesIn(const QList<Word>& words, const QRectF& box) {
    std::vector<const Word*> inside;
    // A word belongs to the label its top lies in: the last line may be cut
    // by the label's bottom edge.
    for (const Word& w : words)
        if (box.contains(QPointF(w.box.center().x(), w.box.top() + 1))) inside.push_back(&w);
    std::sort(inside.begin(), inside.end(), [](const Word* a, const Word* b) {
        if (qAbs(a->box.top() - b->box.top()) > 20) return a->box.top() < b->box.top();
        return a->box.left() < b->box.left();
    });
    QStringList lines;
    double lineTop = -1e9;
    for (const Word* w : inside) {
        if (qAbs(w->box.top() - lineTop) > 20) {
            lines.append(w->text);
            lineTop = w->box.top();
        } else {
            lines.last() += QLatin1Char(' ') + w->text;
        }
    }
    return lines;
}

// A line's characters without its spaces: a justified line of one word
// spreads its letters, which pdftotext then reads as several words.
QString withoutSpaces(QString line) {
    line.remove(QLatin1Char(' '));
    return line;
}

// The layout's lines as they read on paper: blank lines leave nothing.
QStringList paperLines(const QStringList& lines) {
    QStringList read;
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty()) read << withoutSpaces(line);
    return read;
}

// Labels that overlap on their sheet (Mailer-1's) move right until they do
// not, so that each word on the page belongs to one label.
void separateOverlaps(LabelSheet& sheet) {
    for (std::size_t i = 1; i < sheet.labels.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            QRectF& box = sheet.labels[i].box;
            if (box.intersects(sheet.labels[j].box)) {
                box.moveLeft(sheet.labels[j].box.right() + 100);
                j = std::size_t(-1);  // look again from the first
            }
        }
    }
    for (const SheetLabel& label : sheet.labels)
        sheet.pageSize.setWidth(std::max(sheet.pageSize.width(), label.box.right() + 200));
}

lm::LabelFont labelFont(const lm::SheetFont& font) {
    lm::LabelFont label;
    label.name = font.name;
    label.size = font.pointSize;
    label.bold = font.bold;
    label.italic = font.italic;
    return label;
}

// Gives the control the label's box, margins, font, alignment and text.
void showInControl(LabelControl& control, const SheetLabel& label, const QByteArray& bytes) {
    control.resizeTwips(int(label.box.width()), int(label.box.height()));
    const QMargins m = label.innerMargins;
    control.setInnerMargins({m.left(), m.top(), m.right(), m.bottom()});
    control.setLabelFont(labelFont(label.font));
    control.setLabelAlignment(label.alignment);
    control.setLabelText(bytes.toStdString());
}

}  // namespace

class TestScreenAndPaper : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }
    void screenLinesArePaperLines_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("font");
        for (int type = 1; type <= 10; ++type)
            for (const char* font : {"Liberation Serif", "Liberation Sans", "DejaVu Sans"})
                QTest::addRow("%s, %s", lm::labelTypeName(type).c_str(), font)
                    << type << QString::fromLatin1(font);
    }
    // One page per size and style; the labels of a page take the texts and the
    // alignments in turn, starting one further on every page, so that every
    // text meets every alignment in every label box of the type.
    void screenLinesArePaperLines() {
        QFETCH(int, type);
        QFETCH(QString, font);
        const lm::Settings settings = settingsForType(type);
        QWidget host;
        host.resize(800, 600);
        LabelControl control(LabelControl::Kind::Spine, 2, &host);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sheets.pdf"));
        QPdfWriter pdf(path);
        pdf.setResolution(600);
        QList<LabelSheet> sheets;
        QList<QList<QStringList>> expected;  // per page, per label
        int turn = 0;
        for (int size = 8; size <= 14; ++size) {
            for (const Style& style : kStyles) {
                std::map<std::pair<bool, int>, int> combination;
                LabelSheet sheet =
                    lm::labelSheet(settings, type, [&](bool pocket, int number) -> QString {
                        const int c = (turn + int(combination.size())) % (kTextCount * kAlignments);
                        combination[{pocket, number}] = c;
                        return lm::labelBytesToText(kTexts[c % kTextCount]);
                    });
                separateOverlaps(sheet);
                QList<QStringList> lines;
                for (SheetLabel& label : sheet.labels) {
                    const int c = combination[{label.pocket, label.number}];
                    label.font.name = font;
                    label.font.pointSize = size;
                    label.font.bold = style.bold;
                    label.font.italic = style.italic;
                    label.alignment = c / kTextCount;
                    showInControl(control, label, kTexts[c % kTextCount]);
                    QCOMPARE(control.shownText(), label.text);
                    lines << paperLines(control.textLayout().lineTexts());
                }
                sheets << sheet;
                expected << lines;
                ++turn;
            }
        }
        {
            QPainter painter;
            for (int i = 0; i < sheets.size(); ++i) {
                const QSizeF points = sheets[i].pageSize / 20;
                pdf.setPageSize(
                    QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
                pdf.setPageMargins(QMarginsF());
                if (i == 0)
                    QVERIFY(painter.begin(&pdf));
                else
                    QVERIFY(pdf.newPage());
                lm::paintSheet(painter, sheets[i]);
            }
        }
        QString error;
        const QList<QList<Word>> pages = pdfWords(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(pages.size(), sheets.size());
        for (int p = 0; p < sheets.size(); ++p) {
            const LabelSheet& sheet = sheets[p];
            for (int l = 0; l < int(sheet.labels.size()); ++l) {
                const SheetLabel& label = sheet.labels[std::size_t(l)];
                const QRectF onPaper = label.box.translated(0, -sheet.verticalCorrection);
                // pdftotext leaves out a glyph whose baseline lies off the page,
                // which a line cut by a label's bottom edge near the page's edge
                // may have: labels that close to the edge are not compared.
                if (onPaper.bottom() + 400 > sheet.pageSize.height()) continue;
                QStringList printed = linesIn(pages[p], onPaper);
                for (QString& line : printed) line = withoutSpaces(line);
                QVERIFY2(printed == expected[p][l],
                         qPrintable(QStringLiteral("page %1 %2 %3, %4 pt%5%6 alignment %7: screen "
                                                   "[%8], paper [%9]")
                                        .arg(p + 1)
                                        .arg(QLatin1String(label.pocket ? "pocket" : "spine"))
                                        .arg(label.number)
                                        .arg(label.font.pointSize)
                                        .arg(QLatin1String(label.font.bold ? " bold" : ""))
                                        .arg(QLatin1String(label.font.italic ? " italic" : ""))
                                        .arg(label.alignment)
                                        .arg(expected[p][l].join(u'|'), printed.join(u'|'))));
            }
        }
    }
    void screenInkLiesInTheLineBoxes_data() {
        QTest::addColumn<int>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("zoom");
        for (int text = 0; text < kTextCount; ++text)
            for (int size : {8, 14})
                QTest::addRow("text %d, %d pt, alignment %d", text, size, text % kAlignments)
                    << text << size << text % kAlignments << 100;
        // Other zooms scale the drawing, never the break points.
        for (int zoom : {50, 75, 200})
            for (int text : {1, 5})
                QTest::addRow("text %d, 11 pt, zoom %d", text, zoom) << text << 11 << 0 << zoom;
    }
    // Drawn at 96 dpi, the label puts ink in the rows of its non-empty lines
    // and nowhere else: the lines on screen are the layout's, at zoom 100 and,
    // scaled, at the other zooms.
    void screenInkLiesInTheLineBoxes() {
        QFETCH(int, text);
        QFETCH(int, size);
        QFETCH(int, alignment);
        QFETCH(int, zoom);
        QWidget host;
        host.resize(800, 600);
        LabelControl control(LabelControl::Kind::Spine, 2, &host);
        lm::LabelFont font;
        font.name = QStringLiteral("Liberation Serif");
        font.size = size;
        control.setLabelFont(font);
        control.setLabelAlignment(alignment);
        control.resizeTwips(1290, 2340);
        control.setInnerMargins({35, 144, 144, 144});
        control.setLabelText(kTexts[text]);
        const QStringList atFullSize = control.textLayout().lineTexts();
        control.setZoomFactor(zoom);
        QCOMPARE(control.textLayout().lineTexts(), atFullSize);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(control.logicalDpiY(), 96);
        const QImage image = control.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const double pixelsPerTwip = 96.0 / 1440 * zoom / 100;
        // Rows that should hold ink: the non-empty lines' boxes, a pixel either side.
        std::vector<bool> inkAllowed(std::size_t(image.height()), false);
        std::vector<std::pair<int, int>> mustHaveInk;
        const lm::LabelTextLayout& layout = control.textLayout();
        const QStringList texts = layout.lineTexts();
        for (int i = 0; i < texts.size(); ++i) {
            if (texts[i].trimmed().isEmpty()) continue;
            const QRectF box = layout.lines()[std::size_t(i)].rect;
            const int top = std::max(0, int(box.top() * pixelsPerTwip) - 1);
            const int bottom = std::min(image.height() - 1, int(box.bottom() * pixelsPerTwip) + 1);
            for (int y = top; y <= bottom; ++y) inkAllowed[std::size_t(y)] = true;
            // A line cut by the bottom edge may show too little to hold ink.
            if (box.bottom() * zoom / 100 <= control.heightTwips() &&
                box.bottom() <= control.heightTwips())
                mustHaveInk.push_back(
                    {int(box.top() * pixelsPerTwip) + 1,
                     std::min(image.height() - 2, int(box.bottom() * pixelsPerTwip))});
        }
        auto rowHasInk = [&](int y) {
            // Inside the frame, left of the overflow mark's corner.
            for (int x = 2; x < image.width() - 12; ++x)
                if (qGray(image.pixel(x, y)) < 128) return true;
            return false;
        };
        for (int y = 2; y < image.height() - 2; ++y)
            QVERIFY2(!rowHasInk(y) || inkAllowed[std::size_t(y)],
                     qPrintable(QStringLiteral("ink in row %1 outside the lines").arg(y)));
        for (const auto& [top, bottom] : mustHaveInk) {
            bool found = false;
            for (int y = top; y <= bottom && !found; ++y) found = rowHasInk(y);
            QVERIFY2(found,
                     qPrintable(QStringLiteral("no ink in rows %1 to %2").arg(top).arg(bottom)));
        }
    }
};

QTEST_MAIN(TestScreenAndPaper)
#include "tst_screenandpaper.moc"
