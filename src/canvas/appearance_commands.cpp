#include "canvas/appearance_commands.h"

#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "canvas/selection_handles.h"
#include "model/text_metrics.h"
#include "model/zoom.h"
#include "platform/dialogs.h"

#include <QAction>
#include <QCoreApplication>

namespace velmar {

namespace {

// Translated when asked for: a constant would be made before the interface language is chosen.
QString confirmCaption() { return QCoreApplication::translate("ObjectCommands", "Подтверждение"); }

// The font dialog on a stored font and its colour. A colour the user left as it was keeps its
// stored value, so that the system's window-text colour stays a system colour in the file.
std::optional<FontSpec> askFont(QWidget* parent, const FontSpec& stored)
{
    const QColor shown = toQColor(stored.colour);
    const auto choice = dialogs().chooseFont(parent, Dialogs::FontChoice(toDialogFont(stored), shown));
    if (!choice)
        return std::nullopt;
    const QColor picked = choice->colour.isValid() ? choice->colour.toRgb() : shown;
    return fromQFont(choice->font, picked == shown ? stored.colour : fromQColor(picked));
}

}  // namespace

AppearanceCommands::AppearanceCommands(CanvasHost& host, CanvasWidget* canvas, SelectionHandles* handles,
                                       CanvasController* controller, QObject* parent)
    : QObject(parent), m_host(host), m_canvas(canvas), m_handles(handles), m_controller(controller)
{
}

template <typename T>
T* AppearanceCommands::current(ObjectKind kind)
{
    Outline& o = doc().outline;
    const int slot = o.findSlot(kind, doc().interaction.currentObject);
    if (slot == 0)
        return nullptr;
    if constexpr (std::is_same_v<T, FrameObject>)
        return &o.frame(slot);
    else if constexpr (std::is_same_v<T, PictureObject>)
        return &o.picture(slot);
    else if constexpr (std::is_same_v<T, CaptionObject>)
        return &o.caption(slot);
    else if constexpr (std::is_same_v<T, TextFieldObject>)
        return &o.textField(slot);
    else
        return &o.video(slot);
}

FrameObject* AppearanceCommands::currentFrame() { return current<FrameObject>(ObjectKind::Frame); }

FrameObject* AppearanceCommands::titleFrame()
{
    Outline& o = doc().outline;
    if (const int slot = o.findSlot(ObjectKind::Frame, doc().interaction.currentCompanion))
        return &o.frame(slot);
    return currentFrame();
}

void AppearanceCommands::changed(bool recorded)
{
    if (recorded) {
        m_host.documents().recordStep(StepKind::HeaderOnly);
    } else {
        m_host.documents().objectsEdited();
        m_host.documents().markModifiedWithoutStep();
    }
}

// --- frames -------------------------------------------------------------------------------------

void AppearanceCommands::setFrameInnerBevel(quint8 bevel)
{
    if (FrameObject* f = currentFrame()) {
        f->innerBevel = bevel;
        changed(true);
    }
}

void AppearanceCommands::setFrameOuterBevel(quint8 bevel)
{
    if (FrameObject* f = currentFrame()) {
        f->outerBevel = bevel;
        changed(true);
    }
}

void AppearanceCommands::setFrameBorderLine(quint8 line)
{
    if (FrameObject* f = currentFrame()) {
        f->borderLine = line;
        changed(true);
    }
}

void AppearanceCommands::chooseFrameColour()
{
    FrameObject* f = currentFrame();
    if (!f)
        return;
    const auto colour = dialogs().chooseColour(m_host.dialogParent(), toQColor(f->colour));
    if (!colour)
        return;
    f->colour = fromQColor(*colour);
    changed(true);
}

void AppearanceCommands::chooseFrameTitleColour()
{
    FrameObject* title = titleFrame();
    if (!title)
        return;
    // The dialog starts from the colour the title has, as every colour dialog starts from what it
    // changes.
    const auto colour = dialogs().chooseColour(m_host.dialogParent(), toQColor(title->titleColour));
    if (!colour)
        return;
    title->titleColour = fromQColor(*colour);
    changed(true);
}

void AppearanceCommands::resetFrameColours()
{
    FrameObject* panel = currentFrame();
    FrameObject* title = titleFrame();
    if (!panel && !title)
        return;
    if (panel)
        panel->colour = kButtonFace;
    if (title)
        title->titleColour = kWindowText;
    changed(true);
}

// --- pictures -----------------------------------------------------------------------------------

void AppearanceCommands::setPictureBorder(int border)
{
    if (PictureObject* p = current<PictureObject>(ObjectKind::Picture)) {
        p->border = border;
        changed(true);
    }
}

// --- captions -----------------------------------------------------------------------------------

void AppearanceCommands::chooseCaptionFont()
{
    CaptionObject* c = current<CaptionObject>(ObjectKind::Caption);
    if (!c)
        return;
    const auto font = askFont(m_host.dialogParent(), c->font);
    c = current<CaptionObject>(ObjectKind::Caption);
    if (!font || !c)
        return;
    c->font = *font;
    changed(true);
}

void AppearanceCommands::editCaptionText()
{
    CaptionObject* c = current<CaptionObject>(ObjectKind::Caption);
    if (!c)
        return;
    const auto text =
        dialogs().inputText(m_host.dialogParent(), QCoreApplication::translate("ObjectCommands", "Внимание"),
                            QCoreApplication::translate("ObjectCommands", "Введите текст"), c->text);
    if (!text)
        return;
    c = current<CaptionObject>(ObjectKind::Caption);
    if (!c)
        return;
    c->text = *text;
    changed(true);
}

void AppearanceCommands::chooseCaptionColour()
{
    CaptionObject* c = current<CaptionObject>(ObjectKind::Caption);
    if (!c)
        return;
    const auto colour = dialogs().chooseColour(m_host.dialogParent(), toQColor(c->colour));
    if (!colour)
        return;
    c->colour = fromQColor(*colour);
    changed(true);
}

void AppearanceCommands::resetCaptionColours()
{
    if (CaptionObject* c = current<CaptionObject>(ObjectKind::Caption)) {
        c->colour = kButtonFace;
        c->font.colour = kWindowText;
        changed(false);
    }
}

// --- text fields --------------------------------------------------------------------------------

bool AppearanceCommands::fitBox(ObjectId id)
{
    Outline& o = doc().outline;
    const int slot = o.findSlot(ObjectKind::TextField, id);
    if (slot == 0)
        return false;
    TextFieldObject& field = o.textField(slot);
    const std::optional<QSize> size = fitFrameToText(field.text, field.font);
    if (!size)
        return false;
    field.bounds.setSize(*size);
    m_host.documents().objectsEdited();
    doc().interaction.innerSelection = id;
    m_handles->showBlueSet(id);
    return true;
}

void AppearanceCommands::chooseTextFieldFont()
{
    TextFieldObject* t = current<TextFieldObject>(ObjectKind::TextField);
    if (!t)
        return;
    const auto font = askFont(m_host.dialogParent(), t->font);
    t = current<TextFieldObject>(ObjectKind::TextField);
    if (!font || !t)
        return;
    t->font = *font;
    fitBox(t->id);
    changed(true);
}

void AppearanceCommands::setTextAlignment(quint8 alignment)
{
    if (TextFieldObject* t = current<TextFieldObject>(ObjectKind::TextField)) {
        t->alignment = alignment;
        changed(true);
    }
}

void AppearanceCommands::fitTextFieldToText()
{
    const ObjectId id = doc().interaction.currentObject;
    if (!fitBox(id))
        return;
    // No history step, but the new size is what the zoom scales from from now on, so that
    // resizing the window does not bring the old box back.
    recordReferenceLayout(doc().outline, m_canvas->size());
    m_host.documents().markModifiedWithoutStep();
}

void AppearanceCommands::chooseTextFieldColour()
{
    TextFieldObject* t = current<TextFieldObject>(ObjectKind::TextField);
    if (!t)
        return;
    const auto colour = dialogs().chooseColour(m_host.dialogParent(), toQColor(t->background));
    if (!colour)
        return;
    t->background = fromQColor(*colour);
    changed(true);
}

void AppearanceCommands::resetTextFieldColours()
{
    if (TextFieldObject* t = current<TextFieldObject>(ObjectKind::TextField)) {
        t->background = kButtonFace;
        t->font.colour = kWindowText;
        changed(false);
    }
}

// --- canvas -------------------------------------------------------------------------------------

void AppearanceCommands::chooseCanvasColour()
{
    const auto colour = dialogs().chooseColour(m_host.dialogParent(), toQColor(doc().state.canvasColour));
    if (!colour)
        return;
    m_host.documents().setCanvasColour(fromQColor(*colour));
    changed(true);
}

void AppearanceCommands::resetCanvasColour()
{
    m_host.documents().setCanvasColour(kButtonFace);
    changed(false);
}

// --- deletion -----------------------------------------------------------------------------------

void AppearanceCommands::deleteObject(ObjectKind kind, const QString& question)
{
    if (doc().outline.findSlot(kind, doc().interaction.currentObject) == 0)
        return;
    // The frame's question is a plain one; the others carry the information icon.
    const QMessageBox::Icon icon = kind == ObjectKind::Frame ? QMessageBox::NoIcon : QMessageBox::Information;
    const auto answer =
        dialogs().ask(m_host.dialogParent(), confirmCaption(), question, QMessageBox::Yes | QMessageBox::No, icon);
    if (answer != QMessageBox::Yes)
        return;
    m_controller->dropSelection();
    const int slot = doc().outline.findSlot(kind, doc().interaction.currentObject);
    if (slot == 0)
        return;
    if (kind == ObjectKind::Frame)
        doc().outline.removeFrame(slot);
    else
        doc().outline.removeObject(kind, slot);
    afterDeletion();
}

void AppearanceCommands::afterDeletion()
{
    // The deleted objects can no longer be the target of a command.
    InteractionState& state = doc().interaction;
    const Outline& o = doc().outline;
    if (!o.find(state.currentObject).isValid())
        state.currentObject = 0;
    if (!o.find(state.currentCompanion).isValid())
        state.currentCompanion = 0;
    state.offeredSwitch = ObjectSwitch::None;
    m_host.documents().recordStep(StepKind::Full);
    m_host.redrawOverlays();
}

void AppearanceCommands::deleteFrame()
{
    deleteObject(ObjectKind::Frame,
                 QCoreApplication::translate("ObjectCommands", "Вы действительно хотите удалить фрейм?"));
}

void AppearanceCommands::deletePicture()
{
    deleteObject(ObjectKind::Picture,
                 QCoreApplication::translate("ObjectCommands", "Вы действительно хотите удалить рисунок?"));
}

void AppearanceCommands::deleteCaption()
{
    deleteObject(ObjectKind::Caption,
                 QCoreApplication::translate("ObjectCommands", "Вы действительно хотите удалить надпись?"));
}

void AppearanceCommands::deleteTextField()
{
    deleteObject(ObjectKind::TextField,
                 QCoreApplication::translate("ObjectCommands", "Вы действительно хотите удалить текстовое поле?"));
}

void AppearanceCommands::deleteVideo()
{
    deleteObject(ObjectKind::Video,
                 QCoreApplication::translate("ObjectCommands", "Вы действительно хотите удалить видео фрагмент?"));
}

}  // namespace velmar
