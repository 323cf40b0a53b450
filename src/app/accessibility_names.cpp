#include "app/accessibility_names.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QSplitterHandle>

#include <cstring>

namespace velmar {

namespace {

struct AccessibleEntry {
    const char* window;          // the top-level window's component name
    const char* name;            // the widget's component name
    const char* accessibleName;  // Russian, translated where it is given to the widget
    const char* description;     // nullptr: none
};

// Controls that show no text of their own. Component names repeat between windows (Panel3 is a
// handle of the outline's selection and the graphic editor's tool column), hence the window.
constexpr AccessibleEntry kEntries[] = {
    // The main window: the canvas, tool-bar buttons without a hint, the selection's handles.
    {"Form1", "canvas", QT_TRANSLATE_NOOP("AccessibleNames", "Холст конспекта"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Фреймы, рисунки, текстовые поля, видео фрагменты и стрелки конспекта")},
    {"Form1", "ToolBar1", QT_TRANSLATE_NOOP("AccessibleNames", "Панель инструментов"), nullptr},
    {"Form1", "qt_toolbar_ext_button", QT_TRANSLATE_NOOP("AccessibleNames", "Остальные кнопки"), nullptr},
    {"Form1", "ToolButton12", QT_TRANSLATE_NOOP("AccessibleNames", "Масштабирование рисунка"), nullptr},
    {"Form1", "ToolButton22", QT_TRANSLATE_NOOP("AccessibleNames", "Последовательность объектов"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Показать порядок объектов на холсте")},
    {"Form1", "ToolButton26", QT_TRANSLATE_NOOP("AccessibleNames", "Последовательность фреймов"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Показать порядок фреймов на холсте")},
    {"Form1", "ToolButton24", QT_TRANSLATE_NOOP("AccessibleNames", "Переместить вперед"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Выбранный объект на одно место раньше в последовательности")},
    {"Form1", "ToolButton23", QT_TRANSLATE_NOOP("AccessibleNames", "Переместить назад"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Выбранный объект на одно место позже в последовательности")},
    {"Form1", "Panel3", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделения: левый верхний угол"), nullptr},
    {"Form1", "Panel4", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделения: правый верхний угол"), nullptr},
    {"Form1", "Panel5", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделения: правый нижний угол"), nullptr},
    {"Form1", "Panel6", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделения: левый нижний угол"), nullptr},
    {"Form1", "Panel7", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделения: верхний край"), nullptr},
    {"Form1", "Panel8", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделения: правый край"), nullptr},
    {"Form1", "Panel9", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделения: нижний край"), nullptr},
    {"Form1", "Panel10", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделения: левый край"), nullptr},
    {"Form1", "Panel11", QT_TRANSLATE_NOOP("AccessibleNames", "Перемещение выделения"), nullptr},
    {"Form1", "Panel12", QT_TRANSLATE_NOOP("AccessibleNames", "Размер объекта во фрейме: левый верхний угол"), nullptr},
    {"Form1", "Panel13", QT_TRANSLATE_NOOP("AccessibleNames", "Размер объекта во фрейме: правый верхний угол"),
     nullptr},
    {"Form1", "Panel14", QT_TRANSLATE_NOOP("AccessibleNames", "Размер объекта во фрейме: правый нижний угол"), nullptr},
    {"Form1", "Panel15", QT_TRANSLATE_NOOP("AccessibleNames", "Размер объекта во фрейме: левый нижний угол"), nullptr},
    {"Form1", "Panel16", QT_TRANSLATE_NOOP("AccessibleNames", "Размер объекта во фрейме: верхний край"), nullptr},
    {"Form1", "Panel17", QT_TRANSLATE_NOOP("AccessibleNames", "Размер объекта во фрейме: правый край"), nullptr},
    {"Form1", "Panel18", QT_TRANSLATE_NOOP("AccessibleNames", "Размер объекта во фрейме: нижний край"), nullptr},
    {"Form1", "Panel19", QT_TRANSLATE_NOOP("AccessibleNames", "Размер объекта во фрейме: левый край"), nullptr},
    {"Form1", "Panel20", QT_TRANSLATE_NOOP("AccessibleNames", "Перемещение объекта во фрейме"), nullptr},
    {"Form1", "Panel23", QT_TRANSLATE_NOOP("AccessibleNames", "Начало стрелки"), nullptr},
    {"Form1", "playerBar", QT_TRANSLATE_NOOP("AccessibleNames", "Кнопки плеера"), nullptr},
    {"Form5", "playerBar", QT_TRANSLATE_NOOP("AccessibleNames", "Кнопки плеера"), nullptr},
    {"Form1", "Panel24", QT_TRANSLATE_NOOP("AccessibleNames", "Конец стрелки"), nullptr},
    // The graphic editor.
    {"Form2", "Panel3", QT_TRANSLATE_NOOP("AccessibleNames", "Инструменты"), nullptr},
    {"Form2", "Panel4", QT_TRANSLATE_NOOP("AccessibleNames", "Палитра"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Левая кнопка выбирает основной цвет, правая — фоновый")},
    {"Form2", "Panel9", QT_TRANSLATE_NOOP("AccessibleNames", "Основной и фоновый цвета"), nullptr},
    {"Form2", "Panel10", QT_TRANSLATE_NOOP("AccessibleNames", "Фоновый цвет"), nullptr},
    {"Form2", "Panel11", QT_TRANSLATE_NOOP("AccessibleNames", "Основной цвет"), nullptr},
    {"Form2", "Panel8", QT_TRANSLATE_NOOP("AccessibleNames", "Рабочая область"), nullptr},
    {"Form2", "Image1", QT_TRANSLATE_NOOP("AccessibleNames", "Рисунок"), nullptr},
    {"Form2", "Panel5", QT_TRANSLATE_NOOP("AccessibleNames", "Размер рисунка: правый нижний угол"), nullptr},
    {"Form2", "Panel6", QT_TRANSLATE_NOOP("AccessibleNames", "Размер рисунка: правый край"), nullptr},
    {"Form2", "Panel7", QT_TRANSLATE_NOOP("AccessibleNames", "Размер рисунка: нижний край"), nullptr},
    {"Form2", "Panel45", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделенного фрагмента: левый верхний угол"),
     nullptr},
    {"Form2", "Panel51", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделенного фрагмента: верхний край"), nullptr},
    {"Form2", "Panel56", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделенного фрагмента: правый верхний угол"),
     nullptr},
    {"Form2", "Panel57", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделенного фрагмента: правый край"), nullptr},
    {"Form2", "Panel58", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделенного фрагмента: правый нижний угол"),
     nullptr},
    {"Form2", "Panel59", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделенного фрагмента: нижний край"), nullptr},
    {"Form2", "Panel60", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделенного фрагмента: левый нижний угол"),
     nullptr},
    {"Form2", "Panel61", QT_TRANSLATE_NOOP("AccessibleNames", "Размер выделенного фрагмента: левый край"), nullptr},
    {"Form2", "Image7", QT_TRANSLATE_NOOP("AccessibleNames", "Выделенный фрагмент"), nullptr},
    {"Form2", "ListBox1", QT_TRANSLATE_NOOP("AccessibleNames", "Масштаб"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Увеличение рисунка")},
    {"Form2", "ListBox2", QT_TRANSLATE_NOOP("AccessibleNames", "Вид заливки"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Контур, контур с заливкой или заливка без контура")},
    {"Form2", "ListBox3", QT_TRANSLATE_NOOP("AccessibleNames", "Прозрачность"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Непрозрачный или прозрачный фрагмент")},
    {"Form2", "UpDown1", QT_TRANSLATE_NOOP("AccessibleNames", "Допуск заливки"), nullptr},
    {"Form2", "Panel2", QT_TRANSLATE_NOOP("AccessibleNames", "Обзор рисунков"), nullptr},
    {"Form2", "ListView1", QT_TRANSLATE_NOOP("AccessibleNames", "Рисунки папки"),
     QT_TRANSLATE_NOOP("AccessibleNames", "Двойной щелчок открывает рисунок")},
};

QString windowNameOf(const QWidget* widget)
{
    // A widget not yet put into its window is named once it is polished there.
    const QWidget* window = widget->window();
    return window ? window->objectName() : QString();
}

const AccessibleEntry* entryFor(const QWidget* widget)
{
    const QByteArray name = widget->objectName().toLatin1();
    if (name.isEmpty())
        return nullptr;
    const QByteArray window = windowNameOf(widget).toLatin1();
    for (const AccessibleEntry& entry : kEntries)
        if (name == entry.name && window == entry.window)
            return &entry;
    return nullptr;
}

// Palette cells are Panel12…Panel39 of the editor: "Цвет палитры 1"…"Цвет палитры 28".
QString paletteCellName(const QWidget* widget)
{
    if (windowNameOf(widget) != QLatin1String("Form2"))
        return {};
    const QString name = widget->objectName();
    if (!name.startsWith(QLatin1String("Panel")))
        return {};
    bool ok = false;
    const int number = name.mid(5).toInt(&ok);
    if (!ok || number < 12 || number > 39)
        return {};
    return QCoreApplication::translate("AccessibleNames", "Цвет палитры %1").arg(number - 11);
}

// The key of a hint that ends in one letter or digit in brackets ("Карандаш (P)"), which is cut
// off the hint with the spaces around it; a null character, and the hint as it was, otherwise.
// Checked by hand: a regular expression would be compiled for the first tool-bar button of
// every start-up.
QChar letterKeyAtEnd(QString& hint)
{
    qsizetype end = hint.size();
    while (end > 0 && hint[end - 1].isSpace())
        --end;
    if (end < 3 || hint[end - 1] != QLatin1Char(')') || hint[end - 3] != QLatin1Char('('))
        return {};
    const QChar key = hint[end - 2];
    if (!key.isLetterOrNumber() && key != QLatin1Char('_'))
        return {};
    qsizetype start = end - 3;
    while (start > 0 && hint[start - 1].isSpace())
        --start;
    hint.truncate(start);
    return key;
}

class AccessibleNamer : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Polish comes once a widget sits in its window, just before it is first shown; a
        // changed hint renames a button that takes its name from it.
        if ((event->type() == QEvent::Polish || event->type() == QEvent::ToolTipChange) && watched->isWidgetType())
            nameForAccessibility(static_cast<QWidget*>(watched));
        return false;
    }
};

}  // namespace

void nameForAccessibility(QWidget* widget)
{
    if (const AccessibleEntry* entry = entryFor(widget)) {
        if (widget->accessibleName().isEmpty())
            widget->setAccessibleName(QCoreApplication::translate("AccessibleNames", entry->accessibleName));
        if (entry->description && widget->accessibleDescription().isEmpty())
            widget->setAccessibleDescription(QCoreApplication::translate("AccessibleNames", entry->description));
        return;
    }
    if (!widget->accessibleName().isEmpty() && !widget->property("velmarNameFromHint").toBool())
        return;
    if (const QString cell = paletteCellName(widget); !cell.isEmpty()) {
        widget->setAccessibleName(cell);
        return;
    }
    // Icon-only buttons (the tool bars of both windows) are called what their hint says. The
    // name follows the hint when it changes.
    if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->text().isEmpty()) {
        QString hint = button->toolTip();
        if (hint.isEmpty())
            return;
        hint.remove(QStringLiteral("..."));
        hint.remove(QChar(0x2026));
        // A tool's letter key shown after its hint ("Карандаш (P)") is its shortcut, not its name.
        if (const QChar key = letterKeyAtEnd(hint); !key.isNull())
            widget->setAccessibleDescription(QCoreApplication::translate("AccessibleNames", "Клавиша %1").arg(key));
        widget->setAccessibleName(hint.trimmed());
        widget->setProperty("velmarNameFromHint", true);
        return;
    }
    if (qobject_cast<QSplitterHandle*>(widget)) {
        widget->setAccessibleName(QCoreApplication::translate("AccessibleNames", "Разделитель"));
        widget->setAccessibleDescription(
            QCoreApplication::translate("AccessibleNames", "Перетаскивание меняет ширину частей окна"));
        return;
    }
    if (auto* bar = qobject_cast<QScrollBar*>(widget))
        widget->setAccessibleName(bar->orientation() == Qt::Horizontal
                                      ? QCoreApplication::translate("AccessibleNames", "Горизонтальная прокрутка")
                                      : QCoreApplication::translate("AccessibleNames", "Вертикальная прокрутка"));
}

void installAccessibleNames(QApplication& app)
{
    app.installEventFilter(new AccessibleNamer(&app));
    for (QWidget* widget : QApplication::allWidgets())
        nameForAccessibility(widget);
}

}  // namespace velmar
