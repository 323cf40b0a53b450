// The graphic editor window: layout, menus, status bar, keys, opening and closing.
#include "paint/paint_window.h"

#include "paint/paint_browser.h"
#include "paint/paint_colour_strip.h"
#include "paint/paint_option_list.h"
#include "paint/paint_outside_drop.h"
#include "paint/paint_tool_column.h"
#include "paint/paint_view_keys.h"
#include "paint/paint_work_area.h"
#include "platform/dialogs.h"
#include "system/interface_language.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>

namespace velmar::paint {

namespace {

// A status panel shows a fixed caption or read-outs; it is made wide enough for the widest text
// it will show in the window's font, so no read-out is ever cut.
struct StatusPanel {
    const char* fixedText;
    const char* widestText;  // the widest read-out; none for a fixed caption
    Qt::Alignment alignment;
};

constexpr Qt::Alignment kCentred = Qt::AlignCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

// Picture sizes, positions and band sizes: up to four digits each way, the widest digit counting.
constexpr char kWidestSize[] = "8888 x 8888";

constexpr StatusPanel kStatusLayout[PaintWindow::kStatusPanels] = {
    {QT_TRANSLATE_NOOP("PaintTools", "Картинка"), nullptr, kCentred},
    {"", kWidestSize, kCentred},
    {"", QT_TRANSLATE_NOOP("PaintTools", "Толщина"), kCentred},  // "Размер", "Диаметр", "Толщина" or "Шрифт"
    {"", "8888", kCentred},
    {QT_TRANSLATE_NOOP("PaintTools", "Курсор"), nullptr, kCentred},
    {"", kWidestSize, kCentred},
    {"", kWidestSize, kCentred},
    {QT_TRANSLATE_NOOP("PaintTools", "Цвет"), nullptr, kCentred},
    {"", "R-255 G-255 B-255", kLeft},
    {"", nullptr, kLeft},  // takes what room is left
};

}  // namespace

PaintWindow::PaintWindow(QWidget* parent) : QMainWindow(parent), m_editor(m_doc, this)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QCoreApplication::translate("PaintWindow", "Графический редактор"));
    setWindowFlag(Qt::Window);
    setWindowModality(Qt::ApplicationModal);
    resize(694, 480);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    m_tools = new ToolColumn(m_doc, central);
    middle->addWidget(m_tools);
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setChildrenCollapsible(false);
    m_workArea = new WorkArea(m_doc, m_editor, m_splitter);
    m_browser = new PictureBrowser(m_splitter);
    m_splitter->addWidget(m_workArea);
    m_splitter->addWidget(m_browser);
    // The splitter reports a move once, when it is let go: each report may list the folder anew.
    m_splitter->setOpaqueResize(false);
    connect(m_splitter, &QSplitter::splitterMoved, m_browser, &PictureBrowser::splitterMoved);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setSizes({694 - ToolColumn::kWidth - 136, 136});
    middle->addWidget(m_splitter, 1);
    outer->addLayout(middle, 1);
    m_colours = new ColourStrip(m_editor, central);
    outer->addWidget(m_colours);
    setCentralWidget(central);

    buildCommands();
    connect(m_workArea, &WorkArea::frameMenuRequested, this, &PaintWindow::showFrameMenu);
    buildStatusBar();
    connectFileCommands();
    new EditorViewKeys(*this);
    new OutsideDrop(*this);

    // Choosing a tool, a zoom, a placement or a colour ends typing in an option field: the
    // focus goes back to the work area, where the editor's keys work.
    connect(m_tools, &ToolColumn::toolClicked, this, [this](ToolId tool) {
        m_workArea->takeFocus();
        m_editor.chooseTool(tool);
    });
    connect(m_tools, &ToolColumn::zoomRowClicked, this, [this](int row) {
        m_workArea->takeFocus();
        m_editor.chooseZoom(row);
    });
    connect(m_tools, &ToolColumn::placementRowClicked, this, [this](int row) {
        m_workArea->takeFocus();
        m_doc.setTransparentMode(row);
        m_editor.applyTransparency();
    });
    connect(m_colours, &ColourStrip::colourPressed, m_workArea, &WorkArea::takeFocus);
    connect(m_tools, &ToolColumn::fontClicked, this, &PaintWindow::chooseFont);
    connect(&m_doc, &PaintDocument::statusChanged, this, &PaintWindow::showStatus);

    // The keypad size keys work while the browser or one of the lists has the focus.
    m_browser->list()->installEventFilter(this);
    for (OptionList* list : m_tools->optionLists())
        list->installEventFilter(this);

    showStatus();

    if (qEnvironmentVariableIsSet("VELMAR_REPORT_GEOMETRY")) {
        m_reportTimer = new QTimer(this);
        m_reportTimer->setSingleShot(true);
        m_reportTimer->setInterval(0);
        connect(m_reportTimer, &QTimer::timeout, this, &PaintWindow::reportGeometry);
        for (QScrollBar* bar : {m_workArea->horizontalBar(), m_workArea->verticalBar()})
            connect(bar, &QScrollBar::valueChanged, m_reportTimer, qOverload<>(&QTimer::start));
        connect(&m_doc, &PaintDocument::zoomChanged, m_reportTimer, qOverload<>(&QTimer::start));
        connect(&m_doc, &PaintDocument::toolChanged, m_reportTimer, qOverload<>(&QTimer::start));
        connect(m_browser, &PictureBrowser::listed, m_reportTimer, qOverload<>(&QTimer::start));
        connect(&m_doc, &PaintDocument::overlayChanged, m_reportTimer, qOverload<>(&QTimer::start));
        connect(&m_doc, &PaintDocument::pieceChanged, m_reportTimer, qOverload<>(&QTimer::start));
        connect(&m_doc, &PaintDocument::pictureReplaced, m_reportTimer, qOverload<>(&QTimer::start));
    }
    const QString viewFolder = qEnvironmentVariable("VELMAR_REPORT_PICTURE");
    if (!viewFolder.isEmpty())
        startViewReports(viewFolder);
}

bool PaintWindow::event(QEvent* event)
{
    const bool placed = event->type() == QEvent::Move || event->type() == QEvent::Resize
                        || event->type() == QEvent::Show || event->type() == QEvent::Expose;
    if (m_reportTimer && placed)
        m_reportTimer->start();
    if (m_viewTimer && placed)
        m_viewTimer->start();
    return QMainWindow::event(event);
}

void PaintWindow::reportGeometry()
{
    if (!isVisible())
        return;
    QString report;
    const auto item = [&report](const QString& name, const QWidget* w, QPoint at) {
        if (w && w->isVisible()) {
            const QPoint p = w->mapToGlobal(at);
            report += QStringLiteral("paint item %1 %2 %3\n").arg(name).arg(p.x()).arg(p.y());
        }
    };
    const QPoint picture = m_workArea->mapToGlobal(m_workArea->pictureOrigin());
    report += QStringLiteral("paint picture %1 %2\n").arg(picture.x()).arg(picture.y());
    // The menu bar's titles, by their menus' names and typed ids.
    for (QAction* title : menuBar()->actions())
        if (title->menu() && !title->menu()->objectName().isEmpty() && title->isVisible())
            for (const QString& name : {title->menu()->objectName(), title->menu()->property("command").toString()})
                if (!name.isEmpty())
                    item(name, menuBar(), menuBar()->actionGeometry(title).center());
    for (QToolButton* b : m_tools->findChildren<QToolButton*>())
        item(b->objectName(), b, b->rect().center());
    for (const QWidget* cell : m_colours->cells())
        item(cell->objectName(), cell, cell->rect().center());
    for (OptionList* list : m_tools->optionLists())
        for (int row = 0; row < list->rowCount(); ++row)
            item(QStringLiteral("%1.%2").arg(list->objectName()).arg(row), list, list->rowCentre(row));
    item(m_tools->fillAllBox()->objectName(), m_tools->fillAllBox(), QPoint(6, m_tools->fillAllBox()->height() / 2));
    const QWidget* tolerance = m_tools->toleranceSpinner();
    item(tolerance->objectName(), tolerance, QPoint(tolerance->width() / 3, tolerance->height() / 2));
    // The browser's items that can be seen, by caption.
    QListWidget* list = m_browser->list();
    for (int row = 0; row < list->count(); ++row) {
        const QRect at = list->visualItemRect(list->item(row));
        if (at.isEmpty()) {
            // Not laid out yet: report once the list has placed its items.
            QTimer::singleShot(50, this, &PaintWindow::reportGeometry);
            break;
        }
        if (list->viewport()->rect().contains(at.center()))
            item(list->objectName() + QLatin1Char(':') + list->item(row)->text(), list->viewport(), at.center());
    }
    // The resize handles (their centres) and the floating piece's top-left corner.
    for (const QWidget* h : m_workArea->resizeHandles())
        item(h->objectName(), h, QPoint(1, 1));
    item(m_workArea->pieceView()->objectName(), m_workArea->pieceView(), QPoint(0, 0));
    if (report == m_lastReport)
        return;
    m_lastReport = report;
    std::fputs(report.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

PaintWindow::~PaintWindow() = default;

void PaintWindow::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < kStatusPanels; ++i) {
        const StatusPanel& panel = kStatusLayout[i];
        auto* label = new QLabel(QCoreApplication::translate("PaintTools", panel.fixedText), bar);
        label->setObjectName(QStringLiteral("statusPanel%1").arg(i));
        label->setAlignment(panel.alignment);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        QString widest = panel.widestText ? QCoreApplication::translate("PaintTools", panel.widestText) : label->text();
        // In another language another setting name may be the widest.
        if (i == 2 && interfaceLanguage() != InterfaceLanguage::Russian)
            for (const char* name :
                 {QT_TRANSLATE_NOOP("PaintTools", "Размер"), QT_TRANSLATE_NOOP("PaintTools", "Диаметр"),
                  QT_TRANSLATE_NOOP("PaintTools", "Шрифт")}) {
                const QString text = QCoreApplication::translate("PaintTools", name);
                if (label->fontMetrics().horizontalAdvance(text) > label->fontMetrics().horizontalAdvance(widest))
                    widest = text;
            }
        // The text, the frame on both sides and two pixels of air on each. A longer read-out (a picture
        // above 9999 pixels) widens its panel into the room of the last one.
        const int width = label->fontMetrics().horizontalAdvance(widest) + 2 * label->frameWidth() + 4;
        const bool last = i == kStatusPanels - 1;
        label->setMinimumWidth(last ? 0 : width);
        label->setSizePolicy(last ? QSizePolicy::Ignored : QSizePolicy::Minimum, QSizePolicy::Preferred);
        bar->addWidget(label, last ? 1 : 0);
        m_status[std::size_t(i)] = label;
    }
}

QString PaintWindow::statusText(int i) const
{
    return i >= 0 && i < kStatusPanels ? m_status[std::size_t(i)]->text() : QString();
}

QAction* PaintWindow::action(const QString& name) const { return m_commands.named(name); }

void PaintWindow::showStatus()
{
    const PaintStatus& s = m_doc.status();
    m_status[1]->setText(s.pictureSize);
    m_status[2]->setText(s.settingName);
    m_status[3]->setText(s.settingValue);
    m_status[5]->setText(s.pointer);
    m_status[6]->setText(s.bandSize);
    m_status[8]->setText(s.colour);
}

void PaintWindow::editPicture(const QImage& picture)
{
    // A new picture is saved under a name of its own: "Сохранить" asks again rather than
    // overwrite the file of the picture edited before.
    m_savedOnce = false;
    m_editor.openPicture(picture);
    m_editing = true;
    show();
    raise();
    activateWindow();
    m_editor.activate();
    m_workArea->layoutCanvas();
}

void PaintWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (!m_editing)
        return;
    m_editing = false;
    m_workArea->sprayTimer()->stop();
    const QImage picture = m_editor.close();
    emit editingFinished(picture, m_doc.pictureModified());
}

void PaintWindow::chooseFont()
{
    // The text takes the palette's colour: the dialog is asked for the font alone.
    if (const auto font = dialogs().chooseFont(this, Dialogs::FontChoice(m_doc.textFont()))) {
        m_doc.setTextFont(font->font);
        m_doc.notifyOverlay();  // the open text box takes the font
    }
}

QStringList PaintWindow::textBoxLines() const { return m_workArea->textBox()->toPlainText().split(QLatin1Char('\n')); }

void PaintWindow::clearTextBox() { m_workArea->textBox()->clear(); }

bool PaintWindow::sizeKey(const QKeyEvent* event)
{
    if (!event->modifiers().testFlag(Qt::KeypadModifier))
        return false;
    if (event->key() == Qt::Key_Plus)
        m_editor.sizeKey(+1);
    else if (event->key() == Qt::Key_Minus)
        m_editor.sizeKey(-1);
    else
        return false;
    return true;
}

void PaintWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier)
        m_editor.deleteKey();
    else if (!sizeKey(event))
        QMainWindow::keyPressEvent(event);
}

bool PaintWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && sizeKey(static_cast<QKeyEvent*>(event)))
        return true;
    // Delete discards the selection also while the browser or a list has the focus.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete
        && m_editor.canCopy()) {
        m_editor.deleteKey();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace velmar::paint
