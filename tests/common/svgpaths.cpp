#include "svgpaths.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace lmtest {

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
    // <path style="fill:none;stroke-width:..." d="M x0 y0 L x1 y1 ..."
    //  transform="matrix(a,0,0,d,e,f)"/>
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
    // A stroked path the pattern above did not take is one without points,
    // so that callers counting paths see it.
    const int stroked = int(text.count(QStringLiteral("<path style=\"fill:none;stroke-width")));
    while (paths.size() < stroked) paths << QList<QPointF>();
    return paths;
}

}  // namespace lmtest
