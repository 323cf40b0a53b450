#pragma once

#include "model/outline.h"

#include <QHash>
#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

namespace velmar {

class CanvasWidget;

// The selection adornments on the canvas: the black set (Shape1, move bar Panel11, handles
// Panel3..Panel10) around the outer selection, the blue set (Shape2, Panel20, Panel12..Panel19)
// around the inner selection, and the arrow end handles Panel23/Panel24.
class SelectionHandles : public QObject {
    Q_OBJECT
public:
    explicit SelectionHandles(CanvasWidget* canvas);

    // Black set around a frame or an object lying on the canvas (canvas coordinates).
    void placeBlackSet(const QRect& bounds);
    // Blue set centred on an object inside a frame; Shape2 becomes a child of the frame.
    void placeBlueSetInFrame(const QRect& objectInFrame, QWidget* frame);
    // Blue set inside the corners of an object lying on the canvas.
    void placeBlueSetOnCanvas(const QRect& bounds, ObjectKind kind);
    void placeArrowHandles(int x1, int y1, int x2, int y2);

    void hideBlackSet();
    void hideBlueSet();
    void hideArrowHandles();
    void hideAll();
    // Gives Shape2 back to the canvas (before a frame that holds it is destroyed).
    void reclaimShape2();

    bool blackSetVisible() const;
    bool blueSetVisible() const;

    QWidget* component(const QString& name) const { return m_components.value(name); }
    // The component name of a handle widget, or an empty string.
    QString nameOf(const QObject* widget) const;

    // The end points the arrow handles stand for (handle left/top + 5).
    QPoint arrowStart() const;
    QPoint arrowEnd() const;

signals:
    // A set was shown or hidden (the order buttons follow the blue and black sets).
    void visibilityChanged();

private:
    QWidget* make(const QString& name, QSize size, const QColor& colour, Qt::CursorShape cursor);
    void setVisible(const QStringList& names, bool visible);

    CanvasWidget* m_canvas;
    QHash<QString, QWidget*> m_components;
};

}  // namespace velmar
