#include "pdfwords.h"

#include <QProcess>
#include <QRegularExpression>

const PdfWord* PdfPage::word(const QString& text) const {
    const PdfWord* found = nullptr;
    for (const PdfWord& w : words) {
        if (w.text != text) continue;
        if (found) return nullptr;
        found = &w;
    }
    return found;
}

bool readPdfWords(const QString& pdfPath, QList<PdfPage>* pages, QString* error) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")});
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0) {
        *error = QStringLiteral("pdftotext failed: ") + tool.errorString() + QLatin1Char(' ') +
                 QString::fromLocal8Bit(tool.readAllStandardError());
        return false;
    }
    const QString html = QString::fromUtf8(tool.readAllStandardOutput());
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    pages->clear();
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(1) > 0) {
            PdfPage page;
            page.width = m.captured(1).toDouble() * 20;
            page.height = m.captured(2).toDouble() * 20;
            pages->append(page);
        } else if (!pages->isEmpty()) {
            PdfWord word;
            word.left = m.captured(3).toDouble() * 20;
            word.top = m.captured(4).toDouble() * 20;
            word.right = m.captured(5).toDouble() * 20;
            word.bottom = m.captured(6).toDouble() * 20;
            word.text = m.captured(7);
            pages->last().words.append(word);
        }
    }
    return true;
}
