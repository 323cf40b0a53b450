#pragma once

#include <QImage>
#include <QObject>

class QMimeData;

namespace velmar::paint {

class PaintWindow;

// Pictures dropped on the editor's work area from other programs: a picture file from the file
// manager or picture data from a browser arrives as a floating piece, as one dropped from the
// editor's own browser does (asking first whether to fit one larger than the picture), and its
// arrival is a step of the editor's history.
class OutsideDrop : public QObject {
    Q_OBJECT
public:
    explicit OutsideDrop(PaintWindow& window);

    // Whether the data holds a picture the editor can take.
    static bool acceptable(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads the dropped file (or takes the dropped picture data) as a floating piece.
    void take(const QString& file, const QImage& image);

    PaintWindow& m_window;
    QObject* m_area;  // the window's work area, watched for drops
};

}  // namespace velmar::paint
