#include "canvas/picture_preview.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace velmar {

namespace {

// What the window's frame and title bar take from its outer size, in pixels.
constexpr int kPreviewMargin = 5;
constexpr int kPreviewTitle = 30;

}  // namespace

QRect previewLayout(QSize window, QSize picture)
{
    const int W = window.width(), H = window.height();
    if (picture.width() <= 0 || picture.height() <= 0 || W <= 0 || H <= 0)
        return {};
    // The room inside the window's frame and title bar: the picture as large as fits, its
    // proportions kept (a photo must not come out stretched), centred.
    const QSize room(std::max(1, W - 2 * kPreviewMargin), std::max(1, H - kPreviewTitle - 2 * kPreviewMargin));
    const QSize fitted = picture.scaled(room, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return QRect(kPreviewMargin + (room.width() - fitted.width()) / 2,
                 kPreviewMargin + (room.height() - fitted.height()) / 2, fitted.width(), fitted.height());
}

PicturePreview::PicturePreview(QWidget* parent) : QDialog(parent), m_image(new QLabel(this))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QCoreApplication::translate("PicturePreview", "Просмотр"));
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
