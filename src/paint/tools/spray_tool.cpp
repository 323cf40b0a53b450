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
        QImage& picture = doc.mutablePicture();
        const int z = doc.zoomFactor();
        const QPoint centre = ctx.stroke().lastPointer;
        const QRgb colour = ctx.stroke().drawColour;
        QRect touched;
        for (int i = 0; i < kDotsPerTick; ++i) {
            const int a = ctx.random().below(360);
            // The radius is kept in a byte, so sizes above 256 wrap around.
            const int r = ctx.random().below(doc.sizes().spraySize) & 0xFF;
            const double theta = a * 3.14 / 180;
            const int y = (int(std::lrint(std::cos(theta) * r * z)) + centre.y()) / z;
            const int x = (int(std::lrint(std::sin(theta) * r * z)) + centre.x()) / z;
            if (picture.rect().contains(x, y)) {
                picture.setPixel(x, y, colour);
                touched |= QRect(x, y, 1, 1);
            }
        }
        doc.notifyChanged(touched);
    }
};

}  // namespace

std::unique_ptr<PaintTool> makeSprayTool() { return std::make_unique<SprayTool>(); }

}  // namespace velmar::paint
