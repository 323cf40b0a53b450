#include "paint/core/flood_fill.h"
#include "paint/core/paint_document.h"
#include "paint/tools/tool_factories.h"

namespace velmar::paint {

namespace {

// Fills the area under the pointer with the stroke colour: exactly its colour when the tolerance
// is 0 and "Все" is clear, otherwise within the tolerance (over the whole picture with "Все").
class FillTool final : public PaintTool {
public:
    ToolId id() const override { return ToolId::Fill; }
    ToolCapabilities capabilities() const override { return {}; }

    void press(ToolContext& ctx, const ToolInput& in) override
    {
        PaintDocument& doc = ctx.document();
        // The fill tells the history each area before it writes there.
        QImage& picture = doc.mutablePicture(QRect());
        WriteGuard* guard = &doc.writeGuard();
        if (!picture.rect().contains(in.pixel))
            return;
        const QRgb fill = ctx.stroke().drawColour;
        const int tolerance = doc.fillTolerance();
        QRect changed;
        if (tolerance == 0 && !doc.fillAll()) {
            doc.setCanvasBrush(fill);
            changed = floodFillExact(picture, in.pixel, fill, guard);
        } else if (doc.fillAll()) {
            // Every pixel of the picture is compared: the new picture is written in one pass
            // beside the old one, which the history keeps instead of copies of its tiles.
            const QRgb target = picture.pixel(in.pixel);
            changed = doc.rewritePicture(
                [&](const QImage& from, QImage& to) { return fillAllInto(from, to, tolerance, target, fill); });
        } else {
            changed =
                fillWithTolerance(picture, in.pixel, tolerance, picture.pixel(in.pixel), fill, doc.fillAll(), guard);
        }
        doc.notifyChanged(changed);
    }
};

}  // namespace

std::unique_ptr<PaintTool> makeFillTool() { return std::make_unique<FillTool>(); }

}  // namespace velmar::paint
