// Positions drawn on a PDF, read back as SVG (pdftocairo), whose paths keep
// the writer's twips.
#pragma once

#include <QList>
#include <QPointF>
#include <QString>

namespace lmtest {

// The stroked paths of the first page of `pdf`, each as its points in twips;
// empty when the PDF cannot be read.
QList<QList<QPointF>> strokedPaths(const QString& pdf);

}  // namespace lmtest
