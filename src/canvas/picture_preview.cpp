#include "canvas/picture_preview.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace velmar {

QRect previewLayout(QSize window, QSize picture)
{
    const int W = window.width(), H = window.height();
    const int w = picture.width(), h = picture.height();
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0)
        return {};
    int width = W - 10;
    int height = (W / w) * h;
    int left = 0;
    int top = H / 2 - height / 2 - 15;
    if (height > H - 40) {
        height = H - 40;
        width = (H / h) * w;
        left = W / 2 - width / 2;
        top = H / 2 - height / 2 - 17;
    }
    if (height <= 0 || width <= 0) {
        // Larger than the window in some direction: fit it whole, keeping its proportions.
        const QSize fitted = picture.scaled(QSize(std::max(1, W - 10), std::max(1, H - 40)), Qt::KeepAspectRatio);
        width = fitted.width();
        height = fitted.height();
        left = W / 2 - width / 2;
        top = H / 2 - height / 2 - 17;
    }
    return QRect(left, top, width, height);
}

PicturePreview::PicturePreview(QWidget* parent) : QDialog(parent), m_image(new QLabel(this))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Просмотр"));
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setScaledContents(true);
    resize(696, 480);
}

void PicturePreview::layOut(const QImage& picture, QSize window)
{
    m_image->setPixmap(QPixmap::fromImage(picture));
    m_image->setGeometry(previewLayout(window, picture.size()));
}

void PicturePreview::showPicture(const QImage& picture)
{
    // Laid out for the maximised window, the size it is shown in.
    QSize window = size();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window = screen->availableGeometry().size();
    layOut(picture, window);
    setWindowState(windowState() | Qt::WindowMaximized);
    exec();
}

}  // namespace velmar
