#include "pdfprobe.h"

#include <QProcess>
#include <QRegularExpression>

namespace {

constexpr double kTwipsPerPoint = 20;

bool runTool(const QString& tool, const QStringList& args, QByteArray* out, QString* error) {
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        *error = tool + QStringLiteral(" failed: ") + process.errorString() + QLatin1Char(' ') +
                 QString::fromLocal8Bit(process.readAllStandardError());
        return false;
    }
    *out = process.readAllStandardOutput();
    return true;
}

}  // namespace

const PdfWord* PdfPage::word(const QString& text) const {
    const PdfWord* found = nullptr;
    for (const PdfWord& w : words) {
        if (w.text != text) continue;
        if (found) return nullptr;
        found = &w;
    }
    return found;
}

QStringList PdfPage::texts() const {
    QStringList list;
    for (const PdfWord& w : words) list << w.text;
    return list;
}

bool readPdf(const QString& pdfPath, QList<PdfPage>* pages, QString* error) {
    QByteArray html;
    if (!runTool(QStringLiteral("pdftotext"),
                 {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")}, &html, error))
        return false;
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    pages->clear();
    for (auto it = tag.globalMatch(QString::fromUtf8(html)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(1) > 0) {
            PdfPage page;
            page.width = m.captured(1).toDouble() * kTwipsPerPoint;
            page.height = m.captured(2).toDouble() * kTwipsPerPoint;
            pages->append(page);
        } else if (!pages->isEmpty()) {
            PdfWord word;
            word.left = m.captured(3).toDouble() * kTwipsPerPoint;
            word.top = m.captured(4).toDouble() * kTwipsPerPoint;
            word.right = m.captured(5).toDouble() * kTwipsPerPoint;
            word.bottom = m.captured(6).toDouble() * kTwipsPerPoint;
            word.text = m.captured(7);
            pages->last().words.append(word);
        }
    }
    return true;
}

int pdfPageCount(const QString& pdfPath, QString* error) {
    QByteArray info;
    if (!runTool(QStringLiteral("pdfinfo"), {pdfPath}, &info, error)) return -1;
    static const QRegularExpression pages(QStringLiteral(R"(^Pages:\s+(\d+)\s*$)"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pages.match(QString::fromUtf8(info));
    if (!m.hasMatch()) {
        *error = QStringLiteral("pdfinfo gave no page count: ") + QString::fromUtf8(info);
        return -1;
    }
    return m.captured(1).toInt();
}
