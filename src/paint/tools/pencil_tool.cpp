#include "paint/core/paint_document.h"
#include "paint/tools/tool_factories.h"
#include "paint/tools/tool_painting.h"

namespace velmar::paint {

namespace {

// Freehand strokes of width pencilSize; a click leaves a dot of that width.
class PencilTool final : public PaintTool {
public:
    ToolId id() const override { return ToolId::Pencil; }
    ToolCapabilities capabilities() const override
    {
        return {.settingName = QT_TRANSLATE_NOOP("PaintTools", "Диаметр"), .sizeSetting = &ToolSizes::pencilSize};
    }

    void press(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        m_pen = in.pixel;
        // A click leaves a dot as wide as the pen: one pixel at width 1, a round dot wider.
        const int width = doc.sizes().pencilSize;
        QImage& picture = doc.mutablePicture(lineBounds(in.pixel, in.pixel, width));
        if (width <= 1) {
            if (picture.rect().contains(in.pixel)) {
                picture.setPixel(in.pixel, ctx.stroke().drawColour);
                doc.notifyChanged(QRect(in.pixel, QSize(1, 1)));
            }
            return;
        }
        doc.notifyChanged(
            paintLine(picture, in.pixel, in.pixel, ctx.stroke().drawColour, width).intersected(picture.rect()));
    }

    void move(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        if (!doc.buttonDown())
            return;
        const int width = doc.sizes().pencilSize;
        const QRect touched = paintLine(doc.mutablePicture(lineBounds(m_pen, in.pixel, width)), m_pen, in.pixel,
                                        ctx.stroke().drawColour, width);
        m_pen = in.pixel;
        doc.notifyChanged(touched);
    }

private:
    QPoint m_pen;  // the pen position, picture pixels
};

}  // namespace

std::unique_ptr<PaintTool> makePencilTool() { return std::make_unique<PencilTool>(); }

}  // namespace velmar::paint
