#include "app/accessibility_names.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitterHandle>

#include <cstring>

namespace velmar {

namespace {

struct AccessibleEntry {
    const char* window;  // the top-level window's component name
    const char* name;    // the widget's component name
    const char* accessibleName;
    const char* description;  // nullptr: none
};

// Controls that show no text of their own. Component names repeat between windows (Panel3 is a
// handle of the outline's selection and the graphic editor's tool column), hence the window.
constexpr AccessibleEntry kEntries[] = {
    // The main window: the canvas, tool-bar buttons without a hint, the selection's handles.
    {"Form1", "canvas", "Холст конспекта", "Фреймы, рисунки, текстовые поля, видео фрагменты и стрелки конспекта"},
    {"Form1", "ToolBar1", "Панель инструментов", nullptr},
    {"Form1", "qt_toolbar_ext_button", "Остальные кнопки", nullptr},
    {"Form1", "ToolButton12", "Масштабирование рисунка", nullptr},
    {"Form1", "ToolButton22", "Последовательность объектов", "Показать порядок объектов на холсте"},
    {"Form1", "ToolButton26", "Последовательность фреймов", "Показать порядок фреймов на холсте"},
    {"Form1", "ToolButton24", "Переместить вперед", "Выбранный объект на одно место раньше в последовательности"},
    {"Form1", "ToolButton23", "Переместить назад", "Выбранный объект на одно место позже в последовательности"},
    {"Form1", "Panel3", "Размер выделения: левый верхний угол", nullptr},
    {"Form1", "Panel4", "Размер выделения: правый верхний угол", nullptr},
    {"Form1", "Panel5", "Размер выделения: правый нижний угол", nullptr},
    {"Form1", "Panel6", "Размер выделения: левый нижний угол", nullptr},
    {"Form1", "Panel7", "Размер выделения: верхний край", nullptr},
    {"Form1", "Panel8", "Размер выделения: правый край", nullptr},
    {"Form1", "Panel9", "Размер выделения: нижний край", nullptr},
    {"Form1", "Panel10", "Размер выделения: левый край", nullptr},
    {"Form1", "Panel11", "Перемещение выделения", nullptr},
    {"Form1", "Panel12", "Размер объекта во фрейме: левый верхний угол", nullptr},
    {"Form1", "Panel13", "Размер объекта во фрейме: правый верхний угол", nullptr},
    {"Form1", "Panel14", "Размер объекта во фрейме: правый нижний угол", nullptr},
    {"Form1", "Panel15", "Размер объекта во фрейме: левый нижний угол", nullptr},
    {"Form1", "Panel16", "Размер объекта во фрейме: верхний край", nullptr},
    {"Form1", "Panel17", "Размер объекта во фрейме: правый край", nullptr},
    {"Form1", "Panel18", "Размер объекта во фрейме: нижний край", nullptr},
    {"Form1", "Panel19", "Размер объекта во фрейме: левый край", nullptr},
    {"Form1", "Panel20", "Перемещение объекта во фрейме", nullptr},
    {"Form1", "Panel23", "Начало стрелки", nullptr},
    {"Form1", "playerBar", "Кнопки плеера", nullptr},
    {"Form5", "playerBar", "Кнопки плеера", nullptr},
    {"Form1", "Panel24", "Конец стрелки", nullptr},
    // The graphic editor.
    {"Form2", "Panel3", "Инструменты", nullptr},
    {"Form2", "Panel4", "Палитра", "Левая кнопка выбирает основной цвет, правая — фоновый"},
    {"Form2", "Panel9", "Основной и фоновый цвета", nullptr},
    {"Form2", "Panel10", "Фоновый цвет", nullptr},
    {"Form2", "Panel11", "Основной цвет", nullptr},
    {"Form2", "Panel8", "Рабочая область", nullptr},
    {"Form2", "Image1", "Рисунок", nullptr},
    {"Form2", "Panel5", "Размер рисунка: правый нижний угол", nullptr},
    {"Form2", "Panel6", "Размер рисунка: правый край", nullptr},
    {"Form2", "Panel7", "Размер рисунка: нижний край", nullptr},
    {"Form2", "Panel45", "Размер выделенного фрагмента: левый верхний угол", nullptr},
    {"Form2", "Panel51", "Размер выделенного фрагмента: верхний край", nullptr},
    {"Form2", "Panel56", "Размер выделенного фрагмента: правый верхний угол", nullptr},
    {"Form2", "Panel57", "Размер выделенного фрагмента: правый край", nullptr},
    {"Form2", "Panel58", "Размер выделенного фрагмента: правый нижний угол", nullptr},
    {"Form2", "Panel59", "Размер выделенного фрагмента: нижний край", nullptr},
    {"Form2", "Panel60", "Размер выделенного фрагмента: левый нижний угол", nullptr},
    {"Form2", "Panel61", "Размер выделенного фрагмента: левый край", nullptr},
    {"Form2", "Image7", "Выделенный фрагмент", nullptr},
    {"Form2", "ListBox1", "Масштаб", "Увеличение рисунка"},
    {"Form2", "ListBox2", "Вид заливки", "Контур, контур с заливкой или заливка без контура"},
    {"Form2", "ListBox3", "Прозрачность", "Непрозрачный или прозрачный фрагмент"},
    {"Form2", "UpDown1", "Допуск заливки", nullptr},
    {"Form2", "Panel2", "Обзор рисунков", nullptr},
    {"Form2", "ListView1", "Рисунки папки", "Двойной щелчок открывает рисунок"},
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
    return QStringLiteral("Цвет палитры %1").arg(number - 11);
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
            widget->setAccessibleName(QString::fromUtf8(entry->accessibleName));
        if (entry->description && widget->accessibleDescription().isEmpty())
            widget->setAccessibleDescription(QString::fromUtf8(entry->description));
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
        static const QRegularExpression letterKey(QStringLiteral("\\s*\\((\\w)\\)\\s*$"));
        if (const QRegularExpressionMatch key = letterKey.match(hint); key.hasMatch()) {
            hint.truncate(key.capturedStart());
            widget->setAccessibleDescription(QStringLiteral("Клавиша %1").arg(key.captured(1)));
        }
        widget->setAccessibleName(hint.trimmed());
        widget->setProperty("velmarNameFromHint", true);
        return;
    }
    if (qobject_cast<QSplitterHandle*>(widget)) {
        widget->setAccessibleName(QStringLiteral("Разделитель"));
        widget->setAccessibleDescription(QStringLiteral("Перетаскивание меняет ширину частей окна"));
        return;
    }
    if (auto* bar = qobject_cast<QScrollBar*>(widget))
        widget->setAccessibleName(bar->orientation() == Qt::Horizontal ? QStringLiteral("Горизонтальная прокрутка")
                                                                         : QStringLiteral("Вертикальная прокрутка"));
}

void installAccessibleNames(QApplication& app)
{
    app.installEventFilter(new AccessibleNamer(&app));
    for (QWidget* widget : QApplication::allWidgets())
        nameForAccessibility(widget);
}

}  // namespace velmar
