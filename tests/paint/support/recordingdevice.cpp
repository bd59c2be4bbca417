#include "recordingdevice.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

class RecordingEngine : public QPaintEngine {
  public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & QPaintEngine::DirtyTransform) m_transform = state.transform();
    }
    // Shapes (underlines, strike-through lines) are not recorded; the base
    // class would turn them into one another without end.
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    void drawLines(const QLineF*, int) override {}
    void drawLines(const QLine*, int) override {}
    void drawRects(const QRectF*, int) override {}
    void drawRects(const QRect*, int) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        texts.append({item.text(), m_transform.map(p), item.font(), painter()->pen().color()});
    }

    QList<RecordedText> texts;

  private:
    QTransform m_transform;
};

RecordingDevice::RecordingDevice(int dpi, QSize sizePixels)
    : m_dpi(dpi), m_size(sizePixels), m_engine(std::make_unique<RecordingEngine>()) {}

RecordingDevice::~RecordingDevice() = default;

QPaintEngine* RecordingDevice::paintEngine() const {
    return m_engine.get();
}

const QList<RecordedText>& RecordingDevice::texts() const {
    return m_engine->texts;
}

int RecordingDevice::metric(PaintDeviceMetric metric) const {
    if (metric == PdmWidth || metric == PdmWidthMM)
        return metric == PdmWidth ? m_size.width() : int(m_size.width() * 25.4 / m_dpi);
    if (metric == PdmHeight || metric == PdmHeightMM)
        return metric == PdmHeight ? m_size.height() : int(m_size.height() * 25.4 / m_dpi);
    if (metric == PdmDpiX || metric == PdmDpiY || metric == PdmPhysicalDpiX ||
        metric == PdmPhysicalDpiY)
        return m_dpi;
    if (metric == PdmDepth || metric == PdmNumColors) return metric == PdmDepth ? 32 : INT_MAX;
    return QPaintDevice::metric(metric);  // a device pixel ratio of 1
}
