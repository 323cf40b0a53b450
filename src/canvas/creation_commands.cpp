// The pop-up commands that create objects at the creation point, and "Открыть рисунок".
#include "canvas/canvas_controller.h"

#include "platform/command_guard.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "platform/dialogs.h"
#include "platform/core/file_io.h"
#include "storage/jpeg_codec.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace velmar {

namespace {

// A picture file larger than this is not read: no picture the outline can hold is that big.
constexpr qint64 kMaxPictureFileBytes = 512LL * 1024 * 1024;

const QString kPictureFilter = QStringLiteral(
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp");

// Refuses to create one more object of a full kind, with a message; true when there is room.
bool roomFor(const Outline& outline, ObjectKind kind, QWidget* parent)
{
    if (!outline.isFull(kind))
        return true;
    dialogs().inform(parent, QCoreApplication::translate("ObjectCommands", "Внимание"), Outline::capacityMessage(kind), QMessageBox::Information);
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
    const QString name = QStringLiteral("Фрейм") + QString::number(o.count(ObjectKind::Frame) + 1);
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
    const int slot = o.createPicture(QRect(doc().interaction.creationPoint, QSize(200, 150)), parent);
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
    const QString text = QStringLiteral("Текст") + QString::number(o.count(ObjectKind::TextField) + 1);
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
    const auto choice = dialogs().openFile(m_host.dialogParent(), QCoreApplication::translate("ObjectCommands", "Открыть рисунок"),
                                           m_host.dialogFolders().pictures, kPictureFilter, 1);
    if (!choice)
        return;
    // The filter chosen in the dialog decides how the file is read, not its extension.
    QImage image;
    // Only a regular file is read, and only up to what a picture may take.
    QString problem;
    const std::optional<QByteArray> bytes = readRegularFile(choice->path, kMaxPictureFileBytes, &problem);
    if (!bytes)
        throw UserError(QCoreApplication::translate("ObjectCommands", "Не удалось открыть файл «%1»: %2.").arg(choice->path, problem));
    if (choice->filterIndex == 3) {
        if (!image.loadFromData(*bytes, "BMP"))
            throw UserError(QCoreApplication::translate("ObjectCommands", "Не удалось прочитать рисунок BMP из файла «%1».").arg(choice->path));
    } else {
        QString error;
        image = decodeJpeg(*bytes, &error);
        if (image.isNull())
            throw UserError(QCoreApplication::translate("ObjectCommands", "Не удалось прочитать рисунок JPEG из файла «%1»: %2.").arg(choice->path, error));
    }
    const int slot = doc().outline.findSlot(ObjectKind::Picture, doc().interaction.currentObject);
    if (slot > 0)
        doc().outline.picture(slot).setBitmap(image.convertToFormat(QImage::Format_RGB32));
    // Both kinds of file replace the picture: a full step, so the outline is marked modified and
    // the new picture survives in the history.
    m_host.documents().recordStep(StepKind::Full);
}

}  // namespace velmar
