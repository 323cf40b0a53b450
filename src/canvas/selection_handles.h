#pragma once

#include "canvas/handle_layer.h"
#include "canvas/selection_geometry.h"
#include "model/document.h"

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <map>
#include <optional>
#include <vector>

class QWidget;

namespace velmar {

class CanvasWidget;

// What a handle widget stands for: a handle or the move bar of a selection set (by the edge it
// drags), or one end of the selected arrow.
struct HandleRole {
    enum class Kind { SetHandle, ArrowStart, ArrowEnd };
    Kind kind = Kind::SetHandle;
    SelectionSet set = SelectionSet::Black;
    Edge edge = Edge::Move;
};

// The canvas's handle layer: owns every selection adornment — the black set and the blue set
// (each a dotted outline, a move bar and eight handles) and the two arrow end handles — as
// children of the canvas, placed in canvas coordinates from
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
    void showAttachTargets(const std::vector<ObjectId>& targets) override;

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
    // What a handle, move bar or arrow end handle stands for; nothing for other widgets (the
    // dotted outlines included).
    std::optional<HandleRole> roleOf(const QObject* widget) const;

signals:
    // A set was shown or hidden (the order buttons follow the blue and black sets).
    void visibilityChanged();

private:
    QWidget* make(const char* name, HandleRole role, QSize size, const QColor& colour, Qt::CursorShape cursor);
    void setVisible(const std::vector<QWidget*>& widgets, bool visible);
    void apply(const AdornmentLayout& layout);
    bool placeBlack();
    bool placeBlue();
    void placeArrowHandles();

    CanvasWidget* m_canvas;
    const Document& m_document;
    SelectionModel m_model;
    QHash<QString, QWidget*> m_components;
    QHash<const QObject*, HandleRole> m_roles;
    // The widgets of each set (outline, move bar, handles) and of the arrow ends, for showing
    // and hiding them together.
    std::map<SelectionSet, std::vector<QWidget*>> m_setWidgets;
    std::vector<QWidget*> m_arrowWidgets;
    // Each set's outline and its move bar and handles by edge; the arrow end handles.
    std::map<SelectionSet, QWidget*> m_outlines;
    std::map<std::pair<SelectionSet, Edge>, QWidget*> m_handles;
    QWidget* m_arrowStart = nullptr;
    QWidget* m_arrowEnd = nullptr;
    // The highlights around the objects dragged arrow ends would be attached to.
    std::vector<QWidget*> m_attachHighlights;
};

}  // namespace velmar
