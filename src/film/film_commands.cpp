#include "film/film_commands.h"

#include "canvas/film_panel_widget.h"
#include "canvas/outline_view.h"
#include "film/film_window.h"
#include "model/visible_text.h"
#include "platform/dialogs.h"
#include "storage/outline_file.h"

#include <QAction>
#include <QCoreApplication>
#include <QPointer>

namespace velmar {

namespace {

// Translated when asked for: a constant would be made before the interface language is chosen.
QString videoFilter()
{
    return QCoreApplication::translate(
        "FilmCommands", "Видео фрагмент (*.avi *.mp4 *.m4v *.mov *.mkv *.webm)|*.avi;*.mp4;*.m4v;*.mov;*.mkv;*.webm");
}

// A reason as the framework words it, without its closing full stop.
QString bareReason(QString reason)
{
    reason = reason.trimmed();
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return reason;
}

QString openFailure(const QString& fileName, const QString& reason)
{
    return QCoreApplication::translate("FilmCommands", "Не удалось открыть видеофайл «%1»: %2.")
        .arg(visibleText(fileName), bareReason(reason));
}

}  // namespace

FilmCommands::FilmCommands(CanvasHost& host, OutlineView* view, QObject* parent)
    : QObject(parent), m_host(host), m_view(view)
{
    m_reportSoon.setSingleShot(true);
    m_reportSoon.setInterval(0);
    m_reportDeadline.setSingleShot(true);
    m_reportDeadline.setInterval(kOpenTimeoutMs);
    connect(&m_reportSoon, &QTimer::timeout, this, &FilmCommands::reportFailures);
    connect(&m_reportDeadline, &QTimer::timeout, this, &FilmCommands::reportFailures);
    connect(m_view, &OutlineView::widgetCreated, this, [this](ObjectId, QWidget* widget) {
        if (auto* panel = qobject_cast<FilmPanelWidget*>(widget))
            watch(panel);
    });
}

FilmCommands::~FilmCommands()
{
    if (m_window)
        m_window->hide();
}

int FilmCommands::currentSlot() const
{
    const OpenOutline& doc = m_host.document();
    const int slot = doc.outline.findSlot(ObjectKind::Video, doc.interaction.currentCompanion);
    return slot ? slot : doc.outline.findSlot(ObjectKind::Video, doc.interaction.currentObject);
}

FilmPanelWidget* FilmCommands::currentPanel() const
{
    const int slot = currentSlot();
    if (slot == 0)
        return nullptr;
    return qobject_cast<FilmPanelWidget*>(m_view->widget(m_host.document().outline.video(slot).id));
}

void FilmCommands::openFile()
{
    const int slot = currentSlot();
    if (slot == 0 || !currentPanel())
        return;
    Outline& outline = m_host.document().outline;
    const ObjectId id = outline.video(slot).id;
    const auto choice =
        dialogs().openFile(m_host.dialogParent(), QCoreApplication::translate("FilmCommands", "Открыть файл"),
                           m_host.dialogFolders().video, videoFilter(), 1);
    if (!choice || choice->path.isEmpty())
        return;
    // Outline files keep the name in at most 250 characters: a longer one would point nowhere
    // once the outline is saved and reopened.
    if (const QString problem = videoNameProblem(choice->path); !problem.isEmpty()) {
        dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("FilmCommands", "Ошибка"), problem,
                         QMessageBox::Critical);
        return;
    }
    // The fragment may have gone while the dialog was open.
    const int now = outline.findSlot(ObjectKind::Video, id);
    auto* panel = qobject_cast<FilmPanelWidget*>(m_view->widget(id));
    if (now == 0 || !panel)
        return;
    // The player takes the name whether or not the file opens.
    outline.video(now).fileName = choice->path;

    QPointer<FilmPanelWidget> guard(panel);
    m_commandPanel = panel;
    panel->openFile(choice->path);
    const bool ok = panel->waitForOpening(kOpenTimeoutMs);
    m_commandPanel = nullptr;
    if (!guard)
        return;
    if (!ok) {
        dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("FilmCommands", "Ошибка"),
                         openFailure(choice->path, panel->openError()), QMessageBox::Critical);
        return;
    }
    // A new film is a new object as far as the history goes: the step is a complete outline.
    m_host.documents().recordStep(StepKind::Full);
}

void FilmCommands::play()
{
    if (FilmPanelWidget* panel = currentPanel())
        panel->play();
}

void FilmCommands::togglePause()
{
    if (FilmPanelWidget* panel = currentPanel())
        panel->togglePause();
}

void FilmCommands::stop()
{
    if (FilmPanelWidget* panel = currentPanel())
        panel->stop();
}

void FilmCommands::togglePlayerButtons()
{
    const int slot = currentSlot();
    if (slot == 0)
        return;
    const QAction* item = m_host.commands().action(Command::PlayerButtons);
    m_host.document().outline.video(slot).playerVisible = item && item->isChecked();
    m_host.documents().recordStep(StepKind::HeaderOnly);
}

void FilmCommands::showFullScreen()
{
    FilmPanelWidget* panel = currentPanel();
    if (!panel || !panel->isOpen())
        return;
    videoWindow()->showFor(panel);
}

FilmWindow* FilmCommands::videoWindow()
{
    // Made with the first full-screen film: a window of its own that most outlines never show.
    if (!m_window)
        m_window = std::make_unique<FilmWindow>(m_host.dialogParent());
    return m_window.get();
}

// --- files that could not be opened -------------------------------------------------------------

void FilmCommands::outlineOpening() { m_reported.clear(); }

void FilmCommands::outlineReplaced()
{
    const Outline& outline = m_host.document().outline;
    for (int k = 1; k <= outline.count(ObjectKind::Video); ++k)
        if (auto* panel = qobject_cast<FilmPanelWidget*>(m_view->widget(outline.video(k).id)))
            panelSettled(panel);
}

void FilmCommands::watch(FilmPanelWidget* panel)
{
    connect(panel, &FilmPanelWidget::openFinished, this, [this, panel] { panelSettled(panel); });
    // A film opens for playing only when it is played: what fails then is said at once.
    connect(panel, &FilmPanelWidget::playFailed, this, [this, panel](const QString& reason) {
        // Never over a running show: said once the show has ended.
        if (m_holding) {
            m_failures.append({panel->fileName(), reason});
            return;
        }
        dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("FilmCommands", "Ошибка"),
                         openFailure(panel->fileName(), reason), QMessageBox::Critical);
    });
    // A missing file fails while the panel is being built, before anyone listens.
    if (panel->openState() == FilmPanelWidget::OpenState::Failed)
        panelSettled(panel);
}

void FilmCommands::panelSettled(FilmPanelWidget* panel)
{
    if (panel != m_commandPanel && panel->openState() == FilmPanelWidget::OpenState::Failed
        && !m_reported.contains(panel->fileName())) {
        m_reported.insert(panel->fileName());
        m_failures.append({panel->fileName(), panel->openError()});
    }
    reportWhenSettled();
}

bool FilmCommands::anyOpening() const
{
    const Outline& outline = m_host.document().outline;
    for (int k = 1; k <= outline.count(ObjectKind::Video); ++k) {
        const auto* panel = qobject_cast<const FilmPanelWidget*>(m_view->widget(outline.video(k).id));
        if (panel && panel->openState() == FilmPanelWidget::OpenState::Opening)
            return true;
    }
    return false;
}

bool FilmCommands::settled() const { return !anyOpening() && !m_reportSoon.isActive() && !m_reportDeadline.isActive(); }

void FilmCommands::reportWhenSettled()
{
    if (m_failures.isEmpty())
        return;
    // Other files of the same outline may still fail: wait for them, within limits.
    if (anyOpening()) {
        if (!m_reportDeadline.isActive())
            m_reportDeadline.start();
        return;
    }
    m_reportSoon.start();
}

void FilmCommands::reportNow() { reportFailures(); }

void FilmCommands::holdReports(bool hold)
{
    m_holding = hold;
    if (!hold)
        reportWhenSettled();
}

void FilmCommands::reportFailures()
{
    m_reportSoon.stop();
    m_reportDeadline.stop();
    if (m_failures.isEmpty() || m_holding)
        return;
    QString text;
    if (m_failures.size() == 1) {
        text = openFailure(m_failures.first().fileName, m_failures.first().reason);
    } else {
        text = QCoreApplication::translate("FilmCommands", "Не удалось открыть видеофайлы:");
        for (const Failure& f : std::as_const(m_failures))
            text += QStringLiteral("\n«%1»: %2;").arg(visibleText(f.fileName), bareReason(f.reason));
        text.chop(1);
        text += QLatin1Char('.');
    }
    m_failures.clear();
    dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("FilmCommands", "Внимание"), text,
                     QMessageBox::Warning);
}

}  // namespace velmar
