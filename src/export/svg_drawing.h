#pragma once

#include <QPaintDevice>
#include <QString>

#include <memory>

class QImage;

namespace velmar {

class SvgDrawingEngine;

// A paint device that writes what is painted on it as SVG elements, appended straight to a
// string: rectangles, lines, polygons and paths with their pen and brush as attributes, images
// as <image> with their pixels in PNG, and each line of text as one <text> element (the runs a line is drawn in, one
// per font the glyphs came from, are joined). Coordinates are those of the painter's transformation; one that is more
// than a translation is written as the element's transform. Clipping is not written: the caller cuts the drawing to
// what it wants with clip paths of its own.
//
// Everything that comes from the painted content is escaped as it is written: texts and font
// names cannot end an element or an attribute, and characters an XML document cannot hold are
// left out. A page built from it needs no second reading to be safe.
class SvgDrawing : public QPaintDevice {
public:
    explicit SvgDrawing(QSize size);
    ~SvgDrawing() override;
    SvgDrawing(const SvgDrawing&) = delete;
    SvgDrawing& operator=(const SvgDrawing&) = delete;

    // Where the next painting's elements go; set before a QPainter begins on the device.
    void setOutput(QString* out);

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    std::unique_ptr<SvgDrawingEngine> m_engine;
};

// Text as XML character data or a double-quoted attribute value, appended to `out`: markup
// characters escaped, characters XML cannot hold (controls other than tab, CR and LF, lone
// surrogates, U+FFFE, U+FFFF) left out.
void appendXmlEscaped(QString& out, QStringView text);

// A font family as an SVG font-family value: the name quoted for CSS (quotes and backslashes
// taken out) and followed by the generic family of its shape, and by sans-serif as the last
// resort. Not yet escaped for XML.
QString svgFontFamily(const QString& family);

}  // namespace velmar
