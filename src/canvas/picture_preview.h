#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

namespace velmar {

// Where the full-screen view puts a w × h picture in a window of outer size W × H: as large as
// the room inside the window's frame allows, its aspect ratio kept, centred.
QRect previewLayout(QSize window, QSize picture);

// "Просмотр": one picture of the outline shown on its own in a maximised window.
class PicturePreview : public QDialog {
    Q_OBJECT
public:
    explicit PicturePreview(QWidget* parent = nullptr);

    // Lays the picture out for the window's present size and shows the window modally.
    void showPicture(const QImage& picture);
    // Lays the picture out for the given outer window size (without showing anything).
    void layOut(const QImage& picture, QSize window);
    QLabel* image() const { return m_image; }

private:
    QLabel* m_image;
};

}  // namespace velmar
