// The show's drawing tools, spotlight and pop-up menu, and the pictures of the steps with their
// drawings.
#include "export/outline_renderer.h"
#include "platform/dialogs.h"
#include "show/presentation_window.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QTabletEvent>
#include <QTouchEvent>

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

// The eraser's reach around the pointer, in the screen's pixels.
constexpr double kEraserRadius = 12;
// The highlighter is this many times as wide as the pen.
constexpr int kHighlighterFactor = 4;

// A tablet's pressure as the share of the width: half pressure draws the width chosen.
float pressureWeight(double pressure) { return float(std::clamp(pressure * 2, 0.15, 2.0)); }

const char* toolName(ShowTool tool)
{
    switch (tool) {
    case ShowTool::Arrow: return "showArrow";
    case ShowTool::Pen: return "showPen";
    case ShowTool::Highlighter: return "showHighlighter";
    case ShowTool::Laser: return "showLaser";
    case ShowTool::Eraser: return "showEraser";
    }
    return "";
}

}  // namespace

void PresentationWindow::setTool(ShowTool tool)
{
    pointerUp();
    m_tool = tool;
    switch (tool) {
    case ShowTool::Arrow: setCursor(Qt::ArrowCursor); break;
    case ShowTool::Pen:
    case ShowTool::Highlighter: setCursor(Qt::CrossCursor); break;
    case ShowTool::Eraser: setCursor(Qt::PointingHandCursor); break;
    case ShowTool::Laser: setCursor(Qt::BlankCursor); break;
    }
    if (tool == ShowTool::Pen || tool == ShowTool::Highlighter) {
        m_inkLayer.prepare();
        m_inkLayer.sync(m_ink, m_picture.step());
    }
    // The laser follows the pointer without a button held.
    setMouseTracking(tool == ShowTool::Laser);
    if (tool == ShowTool::Laser) {
        const QPoint at = mapFromGlobal(QCursor::pos());
        moveLaser(rect().contains(at) ? std::optional<QPointF>(at) : std::nullopt);
    } else {
        moveLaser(std::nullopt);
    }
    update(counterRect());
    reportIfAsked();
}

void PresentationWindow::setSpotlight(bool on)
{
    if (on == m_spotlight)
        return;
    m_spotlight = on;
    update();
    emit inkChanged();
}

QRect PresentationWindow::spotlightRect() const
{
    const int step = m_picture.step();
    if (step <= 0)
        return {};
    const QRect area = m_picture.renderer().objectArea(m_picture.order().step(step).lead);
    if (area.isEmpty())
        return {};
    // A margin around the object, so that its border stays in the light.
    const int margin = std::max(4, height() / 100);
    return m_picture.outlineToScreen().mapRect(QRectF(area)).toAlignedRect().adjusted(-margin, -margin, margin, margin);
}

QRect PresentationWindow::laserRect(QPointF at) const
{
    const double r = std::max(6, height() / 90);
    return QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r).toAlignedRect().adjusted(-1, -1, 1, 1);
}

void PresentationWindow::moveLaser(std::optional<QPointF> at)
{
    if (at == m_laser)
        return;
    if (m_laser)
        update(laserRect(*m_laser));
    m_laser = at;
    if (m_laser)
        update(laserRect(*m_laser));
}

void PresentationWindow::showInk()
{
    update(m_inkLayer.sync(m_ink, m_picture.step()));
    emit inkChanged();
}

void PresentationWindow::pointerDown(QPointF at, float weight)
{
    if (m_blank != Blank::None)
        return;
    const QPointF point = m_picture.outlineToScreen().inverted().map(at);
    const double scale = std::max(1e-6, m_picture.scale());
    if (m_tool == ShowTool::Eraser) {
        m_erasing = true;
        if (!m_ink.eraseAt(m_picture.step(), point, kEraserRadius / scale).isEmpty())
            showInk();
        return;
    }
    if (m_tool != ShowTool::Pen && m_tool != ShowTool::Highlighter)
        return;
    InkStroke style;
    style.highlighter = m_tool == ShowTool::Highlighter;
    style.colour = style.highlighter ? m_highlighterColour : m_penColour;
    style.width = m_penWidth * (style.highlighter ? kHighlighterFactor : 1) / scale;
    m_ink.begin(m_picture.step(), style, point, weight);
    m_stroking = true;
    showInk();
}

void PresentationWindow::pointerMove(QPointF at, float weight)
{
    const QPointF point = m_picture.outlineToScreen().inverted().map(at);
    if (m_erasing) {
        if (!m_ink.eraseAt(m_picture.step(), point, kEraserRadius / std::max(1e-6, m_picture.scale())).isEmpty())
            showInk();
    } else if (m_stroking && !m_ink.extend(point, weight).isEmpty()) {
        showInk();
    }
}

void PresentationWindow::pointerUp()
{
    m_erasing = false;
    if (!m_stroking)
        return;
    m_stroking = false;
    m_ink.end();
    showInk();
    // The finished stroke is on the screen already: nothing is repainted, the report follows.
    reportIfAsked();
}

void PresentationWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_tool == ShowTool::Laser)
        moveLaser(event->position());
    else if (event->buttons() & Qt::LeftButton)
        pointerMove(event->position(), 1.0f);
    event->accept();
}

void PresentationWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pointerUp();
    event->accept();
}

void PresentationWindow::leaveEvent(QEvent* event)
{
    moveLaser(std::nullopt);
    QWidget::leaveEvent(event);
}

void PresentationWindow::tabletEvent(QTabletEvent* event)
{
    const bool drawing = m_tool == ShowTool::Pen || m_tool == ShowTool::Highlighter || m_tool == ShowTool::Eraser;
    if (m_tool == ShowTool::Laser && event->type() == QEvent::TabletMove) {
        moveLaser(event->position());
        event->accept();
        return;
    }
    if (!drawing) {
        event->ignore();  // the pen's taps come as clicks
        return;
    }
    const float weight = pressureWeight(event->pressure());
    switch (event->type()) {
    case QEvent::TabletPress: pointerDown(event->position(), weight); break;
    case QEvent::TabletMove:
        if (event->buttons() != Qt::NoButton || m_stroking || m_erasing)
            pointerMove(event->position(), weight);
        break;
    case QEvent::TabletRelease: pointerUp(); break;
    default: break;
    }
    event->accept();
}

bool PresentationWindow::event(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::TouchBegin || type == QEvent::TouchUpdate || type == QEvent::TouchEnd
        || type == QEvent::TouchCancel) {
        const bool drawing = m_tool == ShowTool::Pen || m_tool == ShowTool::Highlighter || m_tool == ShowTool::Eraser;
        auto* touch = static_cast<QTouchEvent*>(event);
        if (!drawing || touch->points().isEmpty())
            return QWidget::event(event);  // a tap steps, as a click does
        // One finger draws; a screen that tells the pressure sets the width with it.
        const QEventPoint& point = touch->points().constFirst();
        const bool pressure =
            touch->device() && touch->device()->capabilities().testFlag(QInputDevice::Capability::Pressure);
        const float weight = pressure ? pressureWeight(point.pressure()) : 1.0f;
        if (type == QEvent::TouchBegin)
            pointerDown(point.position(), weight);
        else if (type == QEvent::TouchUpdate)
            pointerMove(point.position(), weight);
        else
            pointerUp();
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void PresentationWindow::clearStepDrawings()
{
    pointerUp();
    if (!m_ink.clear(m_picture.step()).isEmpty())
        showInk();
}

QMenu* PresentationWindow::menu()
{
    if (m_menu)
        return m_menu;
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("showMenu"));
    auto* tools = new QActionGroup(m_menu);
    const auto addTool = [&](ShowTool tool, const QString& caption, const QString& shortcut) {
        // The keys work in the window itself; the menu only names them.
        QAction* action =
            m_menu->addAction(caption + QLatin1Char('\t') + shortcut, this, [this, tool] { setTool(tool); });
        action->setObjectName(QLatin1String(toolName(tool)));
        action->setCheckable(true);
        tools->addAction(action);
    };
    addTool(ShowTool::Arrow, QCoreApplication::translate("PresentationWindow", "Стрелка"), QStringLiteral("A, Esc"));
    addTool(ShowTool::Pen, QCoreApplication::translate("PresentationWindow", "Перо"), QStringLiteral("P, Ctrl+P"));
    addTool(ShowTool::Highlighter, QCoreApplication::translate("PresentationWindow", "Маркер"), QStringLiteral("H"));
    addTool(ShowTool::Laser, QCoreApplication::translate("PresentationWindow", "Лазерная указка"),
            QStringLiteral("L, Ctrl+L"));
    addTool(ShowTool::Eraser, QCoreApplication::translate("PresentationWindow", "Ластик"), QStringLiteral("E"));
    m_menu->addSeparator();

    // A colour or a width is for the pen, or for the highlighter while it is in hand; chosen with
    // another tool it takes up the pen.
    QMenu* colours = m_menu->addMenu(QCoreApplication::translate("PresentationWindow", "Цвет"));
    colours->setObjectName(QStringLiteral("showColours"));
    colours->menuAction()->setObjectName(QStringLiteral("showColours"));
    const struct {
        const char* name;
        const char* caption;
        QColor colour;
    } kColours[] = {
        {"showColourRed", QT_TRANSLATE_NOOP("PresentationWindow", "Красный"), QColor(220, 20, 20)},
        {"showColourBlue", QT_TRANSLATE_NOOP("PresentationWindow", "Синий"), QColor(20, 60, 220)},
        {"showColourGreen", QT_TRANSLATE_NOOP("PresentationWindow", "Зелёный"), QColor(0, 150, 40)},
        {"showColourYellow", QT_TRANSLATE_NOOP("PresentationWindow", "Жёлтый"), QColor(255, 230, 0)},
        {"showColourBlack", QT_TRANSLATE_NOOP("PresentationWindow", "Чёрный"), QColor(0, 0, 0)},
        {"showColourWhite", QT_TRANSLATE_NOOP("PresentationWindow", "Белый"), QColor(255, 255, 255)},
    };
    for (const auto& c : kColours) {
        QPixmap swatch(16, 16);
        swatch.fill(c.colour);
        QAction* action =
            colours->addAction(QIcon(swatch), QCoreApplication::translate("PresentationWindow", c.caption), this,
                               [this, colour = c.colour] {
                                   if (m_tool == ShowTool::Highlighter) {
                                       m_highlighterColour = colour;
                                       return;
                                   }
                                   m_penColour = colour;
                                   if (m_tool != ShowTool::Pen)
                                       setTool(ShowTool::Pen);
                               });
        action->setObjectName(QLatin1String(c.name));
    }
    QMenu* widths = m_menu->addMenu(QCoreApplication::translate("PresentationWindow", "Толщина"));
    widths->setObjectName(QStringLiteral("showWidths"));
    widths->menuAction()->setObjectName(QStringLiteral("showWidths"));
    const struct {
        const char* name;
        const char* caption;
        int pixels;
    } kWidths[] = {
        {"showWidthThin", QT_TRANSLATE_NOOP("PresentationWindow", "Тонкая"), 2},
        {"showWidthMedium", QT_TRANSLATE_NOOP("PresentationWindow", "Средняя"), 4},
        {"showWidthThick", QT_TRANSLATE_NOOP("PresentationWindow", "Толстая"), 10},
    };
    auto* widthGroup = new QActionGroup(widths);
    for (const auto& w : kWidths) {
        QAction* action = widths->addAction(QCoreApplication::translate("PresentationWindow", w.caption), this,
                                            [this, pixels = w.pixels] {
                                                m_penWidth = pixels;
                                                if (m_tool != ShowTool::Pen && m_tool != ShowTool::Highlighter)
                                                    setTool(ShowTool::Pen);
                                            });
        action->setObjectName(QLatin1String(w.name));
        action->setCheckable(true);
        action->setData(w.pixels);
        widthGroup->addAction(action);
    }
    m_menu->addSeparator();
    QAction* spotlight =
        m_menu->addAction(QCoreApplication::translate("PresentationWindow", "Прожектор") + QStringLiteral("\tS"), this,
                          [this](bool on) { setSpotlight(on); });
    spotlight->setObjectName(QStringLiteral("showSpotlight"));
    spotlight->setCheckable(true);
    QAction* clear = m_menu->addAction(QCoreApplication::translate("PresentationWindow", "Стереть рисунки шага"), this,
                                       [this] { clearStepDrawings(); });
    clear->setObjectName(QStringLiteral("showClearStep"));
    QAction* save = m_menu->addAction(QCoreApplication::translate("PresentationWindow", "Сохранить рисунки показа..."),
                                      this, [this] { chooseFolderAndSave(); });
    save->setObjectName(QStringLiteral("showSaveDrawings"));
    m_menu->addSeparator();
    QAction* end = m_menu->addAction(QCoreApplication::translate("PresentationWindow", "Завершить показ"), this,
                                     [this] { close(); });
    end->setObjectName(QStringLiteral("showEnd"));

    // The checks follow the show each time the menu opens.
    connect(m_menu, &QMenu::aboutToShow, this, [this, spotlight, clear, widths] {
        for (QAction* action : m_menu->actions())
            if (action->isCheckable() && action != spotlight)
                action->setChecked(action->objectName() == QLatin1String(toolName(m_tool)));
        spotlight->setChecked(m_spotlight);
        clear->setEnabled(!m_ink.strokes(m_picture.step()).empty());
        for (QAction* action : widths->actions())
            action->setChecked(action->data().toInt() == m_penWidth);
    });
    return m_menu;
}

void PresentationWindow::openMenu(QPoint global)
{
    pointerUp();
    moveLaser(std::nullopt);
    menu()->popup(global);
}

void PresentationWindow::chooseFolderAndSave()
{
    const auto folder = dialogs().chooseFolder(
        this, QCoreApplication::translate("PresentationWindow", "Сохранить рисунки показа"), QDir::homePath());
    if (!folder)
        return;
    const QString error = saveDrawings(*folder);
    if (!error.isEmpty())
        dialogs().inform(this, QCoreApplication::translate("PresentationWindow", "Показ конспекта"), error,
                         QMessageBox::Warning);
}

QString PresentationWindow::saveDrawings(const QString& folder) const
{
    const auto fail = [&](const QString& path, const QString& why) {
        return QCoreApplication::translate("PresentationWindow", "Не удалось записать рисунок шага в файл «%1»: %2.")
            .arg(QDir::toNativeSeparators(path), why);
    };
    if (!QDir(folder).exists() && !QDir().mkpath(folder))
        return fail(folder, QCoreApplication::translate("PresentationWindow", "нет такой папки"));
    // The outline drawn afresh at its own size, films as their first picture, one step after
    // another, each with the strokes drawn on it.
    const RevealOrder& order = m_picture.order();
    OutlineRenderer renderer(m_picture.renderer().document(), m_clientSize, OutlineRenderer::Area::WholeCanvas);
    for (int i = 1; i < order.stepCount(); ++i)
        for (ObjectId id : order.step(i).appearing)
            renderer.setObjectVisible(id, false);
    const int digits = std::max(2, int(QString::number(order.lastStep()).size()));
    std::vector<InkStroke> strokes;
    for (int step = 0; step <= order.lastStep(); ++step) {
        if (step > 0)
            for (ObjectId id : order.step(step).appearing)
                renderer.setObjectVisible(id, true);
        QImage picture = renderer.image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        strokes = m_ink.strokes(step);
        if (const InkStroke* live = m_ink.live(step))
            strokes.push_back(*live);
        InkLayer::paintStrokes(picture, strokes, QTransform());
        const QString path =
            QDir(folder).filePath(QStringLiteral("step-%1.png").arg(step, digits, 10, QLatin1Char('0')));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !picture.convertToFormat(QImage::Format_RGB32).save(&file, "PNG")
            || !file.commit())
            return fail(path, file.errorString());
    }
    return {};
}

}  // namespace velmar
