#pragma once

#include "model/document.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <utility>
#include <vector>

class QWidget;

namespace velmar {

class CanvasWidget;
class ArrowWidget;
class FrameWidget;
class TextFieldFace;
class TextFieldWidget;

// Keeps one widget per object of the outline, matching the model: its parent (the canvas or a
// frame), geometry and look. The main window connects it to the document controller: a change
// syncs it (widgets of objects that no longer exist are destroyed, new objects get widgets, the
// rest are updated in place: a text field being typed into keeps its cursor), a replaced outline
// rebuilds it.
class OutlineView : public QObject {
    Q_OBJECT
public:
    OutlineView(Document& document, CanvasWidget* canvas);

    void sync();
    // Draws these arrows again where the outline has them now (their ends followed an object
    // being dragged), without syncing every other widget.
    void showArrows(const std::vector<ObjectId>& arrows);
    // Shows a replaced outline (opened, recovered, or restored by undo): its objects take over the
    // widgets of the outline before, kind by kind, each cleared of what it showed and of every
    // state its object gave it (typing, its undo, its cursor, its connections); the widgets left
    // over are destroyed, and objects beyond them get new ones. Making and destroying the few
    // hundred widgets of a large outline would cost more than showing it.
    void rebuild();
    // The outline shown is being replaced: the picture widgets let go of its streams and decodes,
    // keeping only what they draw now, so that the outline's memory is free before the next one
    // is read. rebuild() gives them the new pictures.
    void letGoOfPictures();

    // The object's widget. A text field nobody has typed in shows as a face (TextFieldFace); asked
    // for, it gets its editor, a TextFieldWidget, in the face's place: whoever asks for a field's
    // widget means to use it as one.
    QWidget* widget(ObjectId id);
    // The widget that shows the object on the canvas now, a text field's face included.
    QWidget* shownWidget(ObjectId id) const { return m_widgets.value(id); }
    FrameWidget* frameWidget(int slot) const;
    // The widget that holds objects of the given parent frame number (the canvas for 0).
    QWidget* parentWidget(int parentFrame) const;

    // Every new object widget gets this event filter (the canvas controller).
    void setEventFilter(QObject* filter) { m_filter = filter; }

    // Arrows placed anew take presses on their whole rectangle until this limits them to their
    // strokes. It runs by itself before the next pointer or drag event reaches any window and a
    // moment after the last sync; code that looks up the widget at a point itself calls it first.
    void settleHitAreas();

signals:
    // A text field's widget changed its text (typing); the model already holds the new text.
    void textFieldEdited(ObjectId id);
    // A widget shows an object that had none: a new widget, or one taken over from the outline
    // before by rebuild().
    void widgetCreated(ObjectId id, QWidget* widget);
    // The widgets match the model again (after every sync and rebuild).
    void synced();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename W>
    W* ensure(ObjectId id, QWidget* parent, bool& created);
    // A text field's widget: the one it has, one the outline before left (an editor first, as it
    // is made already), or a new face.
    QWidget* ensureTextField(ObjectId id, QWidget* parent, bool& created);
    void adopt(ObjectId id, QWidget* widget);
    // Puts the field's editor in place of its face, where the face lay among its siblings. Null
    // when the face shows no field of the outline (any more).
    TextFieldWidget* replaceFace(TextFieldFace* face);
    // Events reaching a face: the pointer coming over it or pressing it, or a drag entering it,
    // give the field its editor, which a press then reaches as if it had been pressed itself.
    bool faceEvent(TextFieldFace* face, QEvent* event);
    // A widget of the kind `kind` kept by rebuild() for the new outline, placed in `parent`; one
    // that lies there already is preferred (no new parent). Null when none is left.
    QWidget* takeSpare(const QMetaObject* kind, QWidget* parent);
    // Destroys the widgets rebuild() kept that no object took.
    void dropSpares();
    // Shows an object in its widget; the kinds whose widgets need more than that have their own.
    template <typename W, typename Object>
    void present(W* widget, const Object& object, bool /*created*/)
    {
        widget->apply(object);
    }
    void present(TextFieldWidget* widget, const TextFieldObject& field, bool created);
    void present(ArrowWidget* widget, const ArrowObject& arrow, bool created);
    // Decodes, side by side on the machine's cores, the stored streams of the pictures that the
    // coming sync would decode one after another (a zoom step across the size where a larger
    // reduction starts decodes every picture at once); each widget then finds its decode made.
    void decodePicturesAhead();

    Document& m_document;
    CanvasWidget* m_canvas;
    QHash<ObjectId, QWidget*> m_widgets;
    // During rebuild(): the widgets of the outline before, by kind and by the parent they lie in.
    QHash<std::pair<const QMetaObject*, QWidget*>, QList<QPointer<QWidget>>> m_spares;
    QObject* m_filter = nullptr;
    QList<QPointer<ArrowWidget>> m_unsettledArrows;
    QTimer* m_settleTimer;
    QThreadPool m_decoders;
};

}  // namespace velmar
