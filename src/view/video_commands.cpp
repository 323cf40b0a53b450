#include "view/video_commands.h"
#include "model/visible_text.h"

#include "canvas/outline_view.h"
#include "canvas/video_panel_widget.h"
#include "platform/dialogs.h"
#include "storage/outline_file.h"
#include "view/video_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QPointer>

namespace velmar {

namespace {

// Translated when asked for: a constant would be made before the interface language is chosen.
QString videoFilter()
{
    return QCoreApplication::translate("VideoCommands", "Видео фрагмент (*.avi *.mp4 *.m4v *.mov *.mkv *.webm)|*.avi;*.mp4;*.m4v;*.mov;*.mkv;*.webm");
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
    return QCoreApplication::translate("VideoCommands", "Не удалось открыть видеофайл «%1»: %2.").arg(visibleText(fileName), bareReason(reason));
}

}  // namespace

VideoCommands::VideoCommands(CanvasHost& host, OutlineView* view, QObject* parent)
    : QObject(parent), m_host(host), m_view(view), m_window(std::make_unique<VideoWindow>(host.dialogParent()))
{
    m_reportSoon.setSingleShot(true);
    m_reportSoon.setInterval(0);
    m_reportDeadline.setSingleShot(true);
    m_reportDeadline.setInterval(kOpenTimeoutMs);
    connect(&m_reportSoon, &QTimer::timeout, this, &VideoCommands::reportFailures);
    connect(&m_reportDeadline, &QTimer::timeout, this, &VideoCommands::reportFailures);
    connect(m_view, &OutlineView::widgetCreated, this, [this](ObjectId, QWidget* widget) {
        if (auto* panel = qobject_cast<VideoPanelWidget*>(widget))
            watch(panel);
    });
}

VideoCommands::~VideoCommands()
{
    if (m_window)
        m_window->hide();
}

int VideoCommands::currentSlot() const
{
    const Document& doc = m_host.document();
    const int slot = doc.outline.findSlot(ObjectKind::Video, doc.interaction.currentCompanion);
    return slot ? slot : doc.outline.findSlot(ObjectKind::Video, doc.interaction.currentObject);
}

VideoPanelWidget* VideoCommands::currentPanel() const
{
    const int slot = currentSlot();
    if (slot == 0)
        return nullptr;
    return qobject_cast<VideoPanelWidget*>(m_view->widget(m_host.document().outline.video(slot).id));
}

void VideoCommands::openFile()
{
    const int slot = currentSlot();
    if (slot == 0 || !currentPanel())
        return;
    Outline& outline = m_host.document().outline;
    const ObjectId id = outline.video(slot).id;
    const auto choice = dialogs().openFile(m_host.dialogParent(), QCoreApplication::translate("VideoCommands", "Открыть файл"),
                                           m_host.dialogFolders().video, videoFilter(), 1);
    if (!choice || choice->path.isEmpty())
        return;
    // Outline files keep the name in at most 250 characters: a longer one would point nowhere
    // once the outline is saved and reopened.
    if (const QString problem = videoNameProblem(choice->path); !problem.isEmpty()) {
        dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("VideoCommands", "Ошибка"), problem, QMessageBox::Critical);
        return;
    }
    // The fragment may have gone while the dialog was open.
    const int now = outline.findSlot(ObjectKind::Video, id);
    auto* panel = qobject_cast<VideoPanelWidget*>(m_view->widget(id));
    if (now == 0 || !panel)
        return;
    // The player takes the name whether or not the file opens.
    outline.video(now).fileName = choice->path;

    QPointer<VideoPanelWidget> guard(panel);
    m_commandPanel = panel;
    panel->openFile(choice->path);
    const bool ok = panel->waitForOpening(kOpenTimeoutMs);
    m_commandPanel = nullptr;
    if (!guard)
        return;
    if (!ok) {
        dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("VideoCommands", "Ошибка"), openFailure(choice->path, panel->openError()),
                         QMessageBox::Critical);
        return;
    }
    // A new film is a new object as far as the history goes: the step is a complete outline.
    m_host.documents().recordStep(StepKind::Full);
}

void VideoCommands::play()
{
    if (VideoPanelWidget* panel = currentPanel())
        panel->play();
}

void VideoCommands::togglePause()
{
    if (VideoPanelWidget* panel = currentPanel())
        panel->togglePause();
}

void VideoCommands::stop()
{
    if (VideoPanelWidget* panel = currentPanel())
        panel->stop();
}

void VideoCommands::togglePlayerButtons()
{
    const int slot = currentSlot();
    if (slot == 0)
        return;
    const QAction* item = m_host.commands().playerButtons;
    m_host.document().outline.video(slot).playerVisible = item && item->isChecked();
    m_host.documents().recordStep(StepKind::HeaderOnly);
}

void VideoCommands::showFullScreen()
{
    VideoPanelWidget* panel = currentPanel();
    if (!panel || !panel->isOpen())
        return;
    m_window->showFor(panel);
}

// --- files that could not be opened -------------------------------------------------------------

void VideoCommands::outlineOpening()
{
    m_reported.clear();
}

void VideoCommands::outlineReplaced()
{
    const Outline& outline = m_host.document().outline;
    for (int k = 1; k <= outline.count(ObjectKind::Video); ++k)
        if (auto* panel = qobject_cast<VideoPanelWidget*>(m_view->widget(outline.video(k).id)))
            panelSettled(panel);
}

void VideoCommands::watch(VideoPanelWidget* panel)
{
    connect(panel, &VideoPanelWidget::openFinished, this, [this, panel] { panelSettled(panel); });
    // A film opens for playing only when it is played: what fails then is said at once.
    connect(panel, &VideoPanelWidget::playFailed, this, [this, panel](const QString& reason) {
        // Never over a running show: said once the show has ended.
        if (m_holding) {
            m_failures.append({panel->fileName(), reason});
            return;
        }
        dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("VideoCommands", "Ошибка"), openFailure(panel->fileName(), reason),
                         QMessageBox::Critical);
    });
    // A missing file fails while the panel is being built, before anyone listens.
    if (panel->openState() == VideoPanelWidget::OpenState::Failed)
        panelSettled(panel);
}

void VideoCommands::panelSettled(VideoPanelWidget* panel)
{
    if (panel != m_commandPanel && panel->openState() == VideoPanelWidget::OpenState::Failed
        && !m_reported.contains(panel->fileName())) {
        m_reported.insert(panel->fileName());
        m_failures.append({panel->fileName(), panel->openError()});
    }
    reportWhenSettled();
}

bool VideoCommands::anyOpening() const
{
    const Outline& outline = m_host.document().outline;
    for (int k = 1; k <= outline.count(ObjectKind::Video); ++k) {
        const auto* panel = qobject_cast<const VideoPanelWidget*>(m_view->widget(outline.video(k).id));
        if (panel && panel->openState() == VideoPanelWidget::OpenState::Opening)
            return true;
    }
    return false;
}

void VideoCommands::reportWhenSettled()
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

void VideoCommands::reportNow()
{
    reportFailures();
}

void VideoCommands::holdReports(bool hold)
{
    m_holding = hold;
    if (!hold)
        reportWhenSettled();
}

void VideoCommands::reportFailures()
{
    m_reportSoon.stop();
    m_reportDeadline.stop();
    if (m_failures.isEmpty() || m_holding)
        return;
    QString text;
    if (m_failures.size() == 1) {
        text = openFailure(m_failures.first().fileName, m_failures.first().reason);
    } else {
        text = QCoreApplication::translate("VideoCommands", "Не удалось открыть видеофайлы:");
        for (const Failure& f : std::as_const(m_failures))
            text += QStringLiteral("\n«%1»: %2;").arg(visibleText(f.fileName), bareReason(f.reason));
        text.chop(1);
        text += QLatin1Char('.');
    }
    m_failures.clear();
    dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("VideoCommands", "Внимание"), text, QMessageBox::Warning);
}

}  // namespace velmar
