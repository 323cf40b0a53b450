#include "film/film_window.h"

#include "canvas/film_panel_widget.h"

#include <QAction>
#include <QCoreApplication>
#include <QHideEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace velmar {

FilmWindow::FilmWindow(QWidget* parent) : QDialog(parent), m_display(new VideoDisplay(this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QCoreApplication::translate("FilmWindow", "Видео"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    m_display->setObjectName(QStringLiteral("Panel1"));
    m_display->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_display);
    // The display's size for a window never shown before.
    resize(688, 446);

    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    auto addItem = [this](const char* name, const QString& caption, void (FilmPanelWidget::*command)()) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, command] {
            if (m_source)
                (m_source.data()->*command)();
        });
        m_menu->addAction(action);
    };
    addItem("N1", QCoreApplication::translate("FilmWindow", "Воспроизвести"), &FilmPanelWidget::play);
    addItem("N3", QCoreApplication::translate("FilmWindow", "Пауза"), &FilmPanelWidget::togglePause);
    addItem("N2", QCoreApplication::translate("FilmWindow", "Стоп"), &FilmPanelWidget::stop);
}

FilmWindow::~FilmWindow() { returnPicture(); }

void FilmWindow::showFor(FilmPanelWidget* panel)
{
    if (!panel)
        return;
    if (m_source && m_source != panel)
        returnPicture();
    m_source = panel;
    panel->setDisplay(m_display);
    showMaximized();
    raise();
    activateWindow();
}

bool FilmWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_display && event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        m_menu->popup(press->globalPosition().toPoint());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FilmWindow::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // A window minimised by the window manager still holds the film.
    if (!event->spontaneous())
        returnPicture();
}

void FilmWindow::returnPicture()
{
    if (!m_source)
        return;
    m_menu->hide();
    m_source->setDisplay(nullptr);
    m_source = nullptr;
}

}  // namespace velmar
