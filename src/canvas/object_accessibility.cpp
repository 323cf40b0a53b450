#include "canvas/object_accessibility.h"

#include "model/visible_text.h"

#include <QCoreApplication>
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
    setTexts(widget, shownName(frame.title, QCoreApplication::translate("AccessibleNames", "Фрейм без названия")),
             minimal.isEmpty() ? QCoreApplication::translate("AccessibleNames", "Фрейм")
                               : QCoreApplication::translate("AccessibleNames", "Фрейм. %1").arg(minimal));
}

void nameForAccessibility(QWidget* widget, const PictureObject& picture)
{
    setTexts(widget, shownName(picture.minimalText, QCoreApplication::translate("AccessibleNames", "Рисунок")),
             QCoreApplication::translate("AccessibleNames", "Рисунок"));
}

void nameForAccessibility(QWidget* widget, const TextFieldObject& field)
{
    setTexts(widget, shownName(field.minimalText, QCoreApplication::translate("AccessibleNames", "Текстовое поле")),
             QCoreApplication::translate("AccessibleNames", "Текстовое поле"));
}

void nameForAccessibility(QWidget* widget, const CaptionObject& caption)
{
    setTexts(widget, shownName(caption.text, QCoreApplication::translate("AccessibleNames", "Надпись")),
             QCoreApplication::translate("AccessibleNames", "Надпись"));
}

void nameForAccessibility(QWidget* widget, const VideoObject& video)
{
    const QString file = QFileInfo(video.fileName).fileName();
    setTexts(widget, shownName(video.minimalText, QCoreApplication::translate("AccessibleNames", "Видео фрагмент")),
             file.isEmpty()
                 ? QCoreApplication::translate("AccessibleNames", "Видео фрагмент, файл не открыт")
                 : QCoreApplication::translate("AccessibleNames", "Видео фрагмент, файл %1").arg(visibleText(file)));
}

void nameForAccessibility(QWidget* widget, const ArrowObject& arrow)
{
    setTexts(widget, QCoreApplication::translate("AccessibleNames", "Стрелка"),
             QCoreApplication::translate("AccessibleNames", "Стрелка от точки %1, %2 к точке %3, %4, толщина %5")
                 .arg(arrow.x1)
                 .arg(arrow.y1)
                 .arg(arrow.x2)
                 .arg(arrow.y2)
                 .arg(arrow.penWidth));
}

}  // namespace velmar
