#pragma once

#include <QPaintDevice>
#include <QTransform>

#include <memory>

class QPainter;

namespace velmar {

// A paint device whose drawing goes straight on to another painter, under that painter's
// transformation when the relay was made. Widgets rendered onto a printer arrive as one
// bitmap (Qt draws them into a pixmap for printers); rendered onto a relay to the printer's
// painter they print as vectors and text, as a recording replayed would, but without a
// recording: pictures reach the printer as they are, never compressed into a recording first.
// Its resolution is that of a recording (QPicture), so drawings come out the same.
class PainterRelay : public QPaintDevice {
public:
    PainterRelay(QPainter& target, QSize size);
    ~PainterRelay() override;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    std::unique_ptr<Engine> m_engine;
    QSize m_size;
    int m_dpiX, m_dpiY;
};

}  // namespace velmar
