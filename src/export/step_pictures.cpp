#include "export/step_pictures.h"

#include "export/outline_export.h"
#include "export/outline_renderer.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

namespace velmar {

std::vector<int> pictureSteps(const RevealOrder& order)
{
    std::vector<int> steps;
    for (int s = order.lastStep() > 0 ? 1 : 0; s <= order.lastStep(); ++s)
        steps.push_back(s);
    return steps;
}

void showStep(OutlineRenderer& renderer, const RevealOrder& order, int step)
{
    for (int s = 0; s < order.stepCount(); ++s)
        for (ObjectId id : order.step(s).appearing)
            renderer.setObjectVisible(id, s <= step);
}

QString stepPictureName(const QString& base, int index, int count)
{
    const int digits = std::max(2, int(QString::number(count).size()));
    return QStringLiteral("%1-%2.png").arg(base).arg(index, digits, 10, QLatin1Char('0'));
}

QString exportStepPictures(const Document& document, QSize clientSize, double scale, const QString& folder,
                           const QString& base, int* written)
{
    if (written)
        *written = 0;
    if (!QDir().mkpath(folder))
        return QCoreApplication::translate("OutlineExport", "Не удалось создать папку «%1».").arg(folder);
    OutlineRenderer renderer(document, clientSize);
    // At scale 1 each picture is the screen's pixels, as --export draws them.
    if (scale != 1.0)
        renderer.drawForAnyScale();
    const RevealOrder order(renderer.document().outline);
    const std::vector<int> steps = pictureSteps(order);
    const QDir dir(folder);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        showStep(renderer, order, steps[i]);
        const QString path = dir.filePath(stepPictureName(base, int(i) + 1, int(steps.size())));
        const QString error = writePicture(renderer.image(scale), path);
        if (!error.isEmpty())
            return error;
        if (written)
            *written = int(i) + 1;
    }
    return {};
}

}  // namespace velmar
