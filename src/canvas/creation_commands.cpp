// The pop-up commands that create objects at the creation point, and "Открыть рисунок".
#include "canvas/canvas_controller.h"
#include "canvas/incoming_picture.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/picture_fit.h"
#include "platform/command_guard.h"
#include "platform/dialogs.h"
#include "storage/jpeg_codec.h"
#include "system/file_io.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace velmar {

namespace {

// Refuses to create one more object of a full kind, with a message; true when there is room.
bool roomFor(const Outline& outline, ObjectKind kind, QWidget* parent)
{
    if (!outline.isFull(kind))
        return true;
    dialogs().inform(parent, QCoreApplication::translate("ObjectCommands", "Внимание"), Outline::capacityMessage(kind),
                     QMessageBox::Information);
    return false;
}

// The frame-title switches (button and settings item) and the stretch button follow the object
// made last: a frame offers its title, a picture its stretch.
void offerSwitch(InteractionState& chosen, ObjectSwitch offered)
{
    chosen.offeredSwitch = offered;
    chosen.switchButtonsOn = true;
}

}  // namespace

QImage CanvasController::defaultPicture()
{
    QImage image(200, 150, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0, QColor(0xE8, 0xEE, 0xF4));
    sky.setColorAt(1, QColor(0xD4, 0xDC, 0xE4));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF2, 0xD3, 0x7A));
    p.drawEllipse(QPointF(150, 42), 14, 14);
    QPainterPath hills;
    hills.moveTo(0, 150);
    hills.lineTo(0, 112);
    hills.lineTo(55, 70);
    hills.lineTo(95, 104);
    hills.lineTo(130, 82);
    hills.lineTo(200, 124);
    hills.lineTo(200, 150);
    hills.closeSubpath();
    p.setBrush(QColor(0xA9, 0xB8, 0xA3));
    p.drawPath(hills);
    p.setPen(QPen(QColor(0x9A, 0xA5, 0xB1), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 199, 149));
    return image;
}

void CanvasController::createFrame()
{
    Outline& o = doc().outline;
    if (!roomFor(o, ObjectKind::Frame, m_host.dialogParent()))
        return;
    dropSelection();
    const QPoint at = doc().interaction.creationPoint;
    const QString name = QCoreApplication::translate("ObjectCommands", "Фрейм%1").arg(o.count(ObjectKind::Frame) + 1);
    const int slot = o.createFrame(QRect(at, QSize(150, 150)), name);
    offerSwitch(doc().interaction, ObjectSwitch::FrameTitle);
    doc().interaction.currentCompanion = o.frame(slot).id;
    m_host.documents().recordStep(StepKind::Full);
}

void CanvasController::createPicture(bool onCanvas)
{
    Outline& o = doc().outline;
    if (!roomFor(o, ObjectKind::Picture, m_host.dialogParent()))
        return;
    dropSelection();
    const int parent = onCanvas ? 0 : o.findSlot(ObjectKind::Frame, doc().interaction.currentObject);
    if (!onCanvas && parent == 0)
        return;
    // Inside a frame the new picture stays within the frame's drawn edge rather than covering it.
    const QPoint at = doc().interaction.creationPoint;
    const QSize size = parent ? newPictureRoom(parent, at) : QSize(200, 150);
    const int slot = o.createPicture(QRect(at, size), parent);
    o.picture(slot).setBitmap(defaultPicture());
    offerSwitch(doc().interaction, ObjectSwitch::PictureStretch);
    doc().interaction.currentCompanion = o.picture(slot).id;
    m_host.documents().recordStep(StepKind::Full);
}

void CanvasController::createTextField()
{
    Outline& o = doc().outline;
    if (!roomFor(o, ObjectKind::TextField, m_host.dialogParent()))
        return;
    const int parent = o.findSlot(ObjectKind::Frame, doc().interaction.currentObject);
    if (parent == 0)
        return;
    // The first text of a new field is the user's from now on, in the language of the moment.
    const QString text =
        QCoreApplication::translate("ObjectCommands", "Текст%1").arg(o.count(ObjectKind::TextField) + 1);
    o.createTextField(QRect(doc().interaction.creationPoint, QSize(66, 19)), o.frame(parent).colour, text, parent);
    offerSwitch(doc().interaction, ObjectSwitch::None);
    m_host.documents().recordStep(StepKind::Full);
}

void CanvasController::createVideo(bool onCanvas)
{
    Outline& o = doc().outline;
    if (!roomFor(o, ObjectKind::Video, m_host.dialogParent()))
        return;
    const int parent = onCanvas ? 0 : o.findSlot(ObjectKind::Frame, doc().interaction.currentObject);
    if (!onCanvas && parent == 0)
        return;
    const int slot = o.createVideo(QRect(doc().interaction.creationPoint, QSize(150, 150)), parent);
    offerSwitch(doc().interaction, ObjectSwitch::None);
    doc().interaction.currentCompanion = o.video(slot).id;
    m_host.documents().recordStep(StepKind::Full);
}

void CanvasController::createCaption(bool onCanvas)
{
    Outline& o = doc().outline;
    if (!roomFor(o, ObjectKind::Caption, m_host.dialogParent()))
        return;
    const int parent = onCanvas ? 0 : o.findSlot(ObjectKind::Frame, doc().interaction.currentObject);
    if (!onCanvas && parent == 0)
        return;
    const QString text = QStringLiteral("Надпись") + QString::number(o.count(ObjectKind::Caption) + 1);
    o.createCaption(QRect(doc().interaction.creationPoint, QSize(58, 13)), text, parent);
    offerSwitch(doc().interaction, ObjectSwitch::None);
    m_host.documents().recordStep(StepKind::Full);
}

void CanvasController::createArrow()
{
    Outline& o = doc().outline;
    if (!roomFor(o, ObjectKind::Arrow, m_host.dialogParent()))
        return;
    const QPoint at = doc().interaction.creationPoint;
    o.createArrow(at.x(), at.y(), at.x() + 30, at.y(), 1, kBlack);
    m_host.documents().recordStep(StepKind::Full);
}

void CanvasController::openPicture()
{
    const auto choice =
        dialogs().openFile(m_host.dialogParent(), QCoreApplication::translate("ObjectCommands", "Открыть рисунок"),
                           m_host.dialogFolders().pictures, incomingPictureFilter(), 1);
    if (!choice)
        return;
    // The file's content decides how it is read, whatever its name or the filter says.
    const IncomingPicture in = readIncomingPicture(choice->path, choice->path);
    if (!in.error.isEmpty())
        throw UserError(in.error);
    Outline& o = doc().outline;
    const int slot = o.findSlot(ObjectKind::Picture, doc().interaction.currentObject);
    if (slot > 0) {
        PictureObject& picture = o.picture(slot);
        // The picture keeps its proportions inside the place the object had.
        picture.bounds.setSize(sizeKeepingAspect(in.image.size(), picture.bounds.size()));
        picture.setBitmap(in.image);
    }
    // The picture is replaced: a full step, so the outline is marked modified and the new picture
    // survives in the history.
    m_host.documents().recordStep(StepKind::Full);
    if (!in.note.isEmpty())
        dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("ObjectCommands", "Внимание"), in.note,
                         QMessageBox::Information);
}

}  // namespace velmar
