#include "paint/core/paint_document.h"
#include "paint/tools/tool_factories.h"

#include <cmath>

namespace velmar::paint {

namespace {

constexpr int kDotsPerTick = 10;

// Sprays ten random pixels around the pointer on every tick of the window's 50 ms timer while
// the button is held.
class SprayTool final : public PaintTool {
public:
    ToolId id() const override { return ToolId::Spray; }
    ToolCapabilities capabilities() const override
    {
        return {.settingName = QT_TRANSLATE_NOOP("PaintTools", "Диаметр"), .sizeSetting = &ToolSizes::spraySize};
    }

    void press(ToolContext& ctx, const ToolInput& in) override
    {
        ctx.stroke().lastPointer = in.pos;
        ctx.document().setSprayTimerActive(true);
    }

    void hoverOutside(ToolContext& ctx, QPoint) override { ctx.document().setSprayTimerActive(false); }

    void tick(ToolContext& ctx) override
    {
        PaintDocument& doc = ctx.document();
        if (!doc.sprayTimerActive())
            return;
        const QImage& picture = doc.picture();
        const ZoomScale z = doc.zoom();
        const QPoint centre = ctx.stroke().lastPointer;
        const QPoint centrePixel = z.toPicture(centre);
        const QRgb colour = ctx.stroke().drawColour;
        QRect touched;
        for (int i = 0; i < kDotsPerTick; ++i) {
            const int a = ctx.random().below(360);
            // The radius is kept in a byte, so sizes above 256 wrap around.
            const int r = ctx.random().below(doc.sizes().spraySize) & 0xFF;
            const double theta = a * 3.14 / 180;
            int x, y;
            if (z.magnifies() || z.isOne()) {
                // The offset in screen pixels, then back to picture pixels, as the dots always fell.
                const int f = z.blockSide();
                y = (int(std::lrint(std::cos(theta) * r * f)) + centre.y()) / f;
                x = (int(std::lrint(std::sin(theta) * r * f)) + centre.x()) / f;
            } else {
                // Below 1× a screen pixel holds several picture pixels: the offset goes in picture
                // pixels, so the dots keep their spread.
                y = centrePixel.y() + int(std::lrint(std::cos(theta) * r));
                x = centrePixel.x() + int(std::lrint(std::sin(theta) * r));
            }
            if (picture.rect().contains(x, y)) {
                doc.mutablePicture(QRect(x, y, 1, 1)).setPixel(x, y, colour);
                touched |= QRect(x, y, 1, 1);
            }
        }
        doc.notifyChanged(touched);
    }
};

}  // namespace

std::unique_ptr<PaintTool> makeSprayTool() { return std::make_unique<SprayTool>(); }

}  // namespace velmar::paint
