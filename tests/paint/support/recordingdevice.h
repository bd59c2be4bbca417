#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPaintDevice>
#include <QPointF>
#include <QString>
#include <memory>

// A text run handed to the paint engine, with its baseline origin in device
// pixels.
struct RecordedText {
    QString text;
    QPointF origin;
    QFont font;
    QColor color;
};

class RecordingEngine;

// A paint device that draws nothing and records every text run in the order
// it is painted, at the resolution it was given.
class RecordingDevice : public QPaintDevice {
  public:
    explicit RecordingDevice(int dpi, QSize sizePixels = QSize(20000, 20000));
    ~RecordingDevice() override;

    QPaintEngine* paintEngine() const override;
    const QList<RecordedText>& texts() const;

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    int m_dpi;
    QSize m_size;
    std::unique_ptr<RecordingEngine> m_engine;
};
