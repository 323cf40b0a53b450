#include "canvas/object_accessibility.h"

#include "model/visible_text.h"

#include <QFileInfo>
#include <QWidget>

namespace velmar {

namespace {

// Sets the texts only when they changed: every change is announced to assistive technology.
void setTexts(QWidget* widget, const QString& name, const QString& description)
{
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

// The name from a document's text, one line, never empty (an empty name is no name to a reader).
QString shownName(const QString& text, const QString& fallback)
{
    const QString shown = visibleText(text).trimmed();
    return shown.isEmpty() ? fallback : shown;
}

}  // namespace

void nameForAccessibility(QWidget* widget, const FrameObject& frame)
{
    const QString minimal = visibleText(frame.minimalText).trimmed();
    setTexts(widget, shownName(frame.title, QStringLiteral("Фрейм без названия")),
             minimal.isEmpty() ? QStringLiteral("Фрейм") : QStringLiteral("Фрейм. %1").arg(minimal));
}

void nameForAccessibility(QWidget* widget, const PictureObject& picture)
{
    setTexts(widget, shownName(picture.minimalText, QStringLiteral("Рисунок")), QStringLiteral("Рисунок"));
}

void nameForAccessibility(QWidget* widget, const TextFieldObject& field)
{
    setTexts(widget, shownName(field.minimalText, QStringLiteral("Текстовое поле")), QStringLiteral("Текстовое поле"));
}

void nameForAccessibility(QWidget* widget, const CaptionObject& caption)
{
    setTexts(widget, shownName(caption.text, QStringLiteral("Надпись")), QStringLiteral("Надпись"));
}

void nameForAccessibility(QWidget* widget, const VideoObject& video)
{
    const QString file = QFileInfo(video.fileName).fileName();
    setTexts(widget, shownName(video.minimalText, QStringLiteral("Видео фрагмент")),
             file.isEmpty() ? QStringLiteral("Видео фрагмент, файл не открыт")
                            : QStringLiteral("Видео фрагмент, файл %1").arg(visibleText(file)));
}

void nameForAccessibility(QWidget* widget, const ArrowObject& arrow)
{
    setTexts(widget, QStringLiteral("Стрелка"),
             QStringLiteral("Стрелка от точки %1, %2 к точке %3, %4, толщина %5")
                 .arg(arrow.x1)
                 .arg(arrow.y1)
                 .arg(arrow.x2)
                 .arg(arrow.y2)
                 .arg(arrow.penWidth));
}

}  // namespace velmar
