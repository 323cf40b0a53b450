#include "canvas/object_accessibility.h"

#include "canvas/object_widgets.h"
#include "model/visible_text.h"

#include <QAccessibleWidget>
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

class TextFieldFaceAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextFieldFaceAccessible(TextFieldFace* face) : QAccessibleWidget(face, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !face()->isReadOnly();
        s.readOnly = face()->isReadOnly();
        s.multiLine = true;
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return shown();
        return QAccessibleWidget::text(t);
    }

    // The text, with no caret and no selection: nobody types in a face.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return int(shown().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = *end = 0;
        return {};
    }

private:
    TextFieldFace* face() const { return static_cast<TextFieldFace*>(widget()); }
    QString shown() const { return face()->shownText(); }
};

class FrameTitleAccessible : public QAccessibleWidget {
public:
    explicit FrameTitleAccessible(FrameTitle* title) : QAccessibleWidget(title, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<FrameTitle*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// The interfaces of the plain widgets that show what other widgets would: a field's face reads as
// its editor, a frame's title as a label.
QAccessibleInterface* objectWidgetFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String(TextFieldFace::staticMetaObject.className()))
        return new TextFieldFaceAccessible(static_cast<TextFieldFace*>(object));
    if (className == QLatin1String(FrameTitle::staticMetaObject.className()))
        return new FrameTitleAccessible(static_cast<FrameTitle*>(object));
    return nullptr;
}

}  // namespace

void installObjectWidgetAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(objectWidgetFactory);
        return true;
    }();
    (void)installed;
}

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
                 .arg(QString::number(arrow.x1), QString::number(arrow.y1), QString::number(arrow.x2),
                      QString::number(arrow.y2), QString::number(arrow.penWidth)));
}

}  // namespace velmar
