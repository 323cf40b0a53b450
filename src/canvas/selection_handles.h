#pragma once

#include "canvas/handle_layer.h"
#include "canvas/selection_geometry.h"
#include "model/document.h"

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

namespace velmar {

class CanvasWidget;

// The canvas's handle layer: owns every selection adornment — the black set (Shape1, move bar
// Panel11, handles Panel3..Panel10), the blue set (Shape2, Panel20, Panel12..Panel19) and the
// arrow end handles Panel23/Panel24 — as children of the canvas, placed in canvas coordinates from
// the selection model and the outline. No adornment is ever a child of an object's widget, so
// rebuilding the object widgets (undo, redo, open) cannot take one with it.
class SelectionHandles : public QObject, public HandleLayer {
    Q_OBJECT
public:
    SelectionHandles(CanvasWidget* canvas, const Document& document);

    // Shows a set around an object of the outline, in the layout that fits it.
    void showBlackSet(ObjectId id) override;
    void showBlueSet(ObjectId id) override;
    void showArrowHandles(QPoint start, QPoint end) override;
    void moveArrowEnd(bool start, QPoint point) override;

    void hideBlackSet() override;
    void hideBlueSet() override;
    void hideArrowHandles() override;
    void hideAll();

    // Places the shown sets again from the outline as it is now (after a move, a resize, grid
    // snapping, undo…); a set whose object is gone is hidden.
    void refresh();

    const SelectionModel& model() const override { return m_model; }
    bool blackSetVisible() const { return m_model.blackAround != 0; }
    bool blueSetVisible() const { return m_model.blueAround != 0; }

    // Gives every handle and move bar (not the outlines around the object) the event filter that
    // turns presses on them into gestures.
    void installHandleFilter(QObject* filter);

    // A handle, move bar or outline by its component name, for tests and reports.
    QWidget* component(const QString& name) const { return m_components.value(name); }
    // The component name of a handle widget, or an empty string.
    QString nameOf(const QObject* widget) const;

signals:
    // A set was shown or hidden (the order buttons follow the blue and black sets).
    void visibilityChanged();

private:
    QWidget* make(const QString& name, QSize size, const QColor& colour, Qt::CursorShape cursor);
    void setVisible(const QStringList& names, bool visible);
    void apply(const AdornmentLayout& layout);
    bool placeBlack();
    bool placeBlue();
    void placeArrowHandles();

    CanvasWidget* m_canvas;
    const Document& m_document;
    SelectionModel m_model;
    QHash<QString, QWidget*> m_components;
};

}  // namespace velmar
