#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>

// A photo-like picture: smooth gradients, soft shapes and grain, so that its JPEG stream has the
// size of a real photo's. The same seed gives the same picture. Used by tests and benchmarks.
inline QImage photoLikeImage(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int grain = int(random.bounded(16)) - 8;
            line[x] = qRgb(std::clamp(30 + 190 * x / width + grain, 0, 255),
                           std::clamp(50 + 150 * y / height + grain, 0, 255),
                           std::clamp(90 + int(seed * 37 % 120) + grain, 0, 255));
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor::fromHsv(int(random.bounded(360)), 90 + int(random.bounded(120)),
                                         120 + int(random.bounded(120)), 160));
        painter.drawEllipse(QPoint(int(random.bounded(width)), int(random.bounded(height))),
                            10 + int(random.bounded(width / 6 + 1)), 10 + int(random.bounded(height / 6 + 1)));
    }
    return image;
}
