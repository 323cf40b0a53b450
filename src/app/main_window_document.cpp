// The window's side of the open outline: its views follow the document controller, the window's
// caption and size serve the document commands, and the outline zoom follows the window's size.
#include "app/export_file_choice.h"
#include "app/main_window.h"
#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "export/outline_export.h"
#include "model/visible_text.h"
#include "model/zoom.h"
#include "platform/command_guard.h"
#include "platform/dialogs.h"
#include "system/heap_settings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

#include <cstdlib>

namespace velmar {

void MainWindow::connectDocumentViews()
{
    DocumentController* d = m_documents;
    // The object widgets (and, through them, the selection handles) show the outline as it is.
    connect(d, &DocumentController::objectsChanged, m_view, &OutlineView::sync);
    connect(d, &DocumentController::outlineReplaced, this, [this] {
        m_view->rebuild();
        emit outlineReplaced();
        // The widgets of the outline before are deleted on the event loop's next turn, after the
        // new ones were made: the memory both held at once is then free but scattered through the
        // heap. Once they are gone (deferred deletions go in the order they were asked for), it
        // is handed back.
        auto* lastDeleted = new QObject(this);
        connect(lastDeleted, &QObject::destroyed, [] { returnFreedMemoryToTheSystem(); });
        lastDeleted->deleteLater();
    });
    connect(d, &DocumentController::outlineLeaving, m_view, &OutlineView::letGoOfPictures);
    connect(d, &DocumentController::selectionHidden, m_handles, &SelectionHandles::hideAll);
    connect(d, &DocumentController::canvasColourChanged, this,
            [this] { m_canvas->setCanvasColour(m_document.state.canvasColour); });
    connect(d, &DocumentController::captionChanged, this, &MainWindow::setOutlineCaption);
    connect(d, &DocumentController::openCommandRun, this, &MainWindow::openCommandRun);
    // Back in front, the window looks whether another Velmar replaced the outline's file. Asked
    // once the activation is over, never from inside it.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive || QApplication::activeModalWidget())
            return;
        QTimer::singleShot(0, this, [this] { runGuarded(this, [this] { m_documents->offerReloadIfChanged(); }); });
    });
}

DocumentQuestions& MainWindow::questions() { return *m_documentQuestions; }

QSize MainWindow::canvasSize() const
{
    // Until the window has the size an opened outline was fitted to, the outline's layout is
    // that canvas's.
    return m_layoutCanvas.isValid() ? m_layoutCanvas : m_canvas->size();
}

QSize MainWindow::windowChrome() const
{
    // A window not shown yet has laid nothing out (its canvas has no size of its own): the usual
    // chrome stands in until the window is on the screen.
    if (!isVisible())
        return defaultWindowChrome();
    return outerSize() - m_canvas->size();
}

void MainWindow::sizeOutlineToWindow()
{
    m_document.outline.setOwnLayoutScale(0);
    m_sizeFollowsWindow = true;
    m_showsOpenedLayout = false;
    m_layoutCanvas = QSize();
}

void MainWindow::setOutlineCaption()
{
    const QString name = visibleText(m_document.state.outlineName);
    setWindowTitle(
        m_documents->readOnly()
            ? QCoreApplication::translate("MainWindow", "Логический конспект (%1) — только для чтения").arg(name)
            : QCoreApplication::translate("MainWindow", "Логический конспект (%1)").arg(name));
}

void MainWindow::exitProgram() { close(); }

void MainWindow::closeEvent(QCloseEvent* event)
{
    bool proceed = true;
    runGuarded(this, [&] { proceed = m_documents->settleUnsavedChanges(false); });
    if (!proceed) {
        event->ignore();
        return;
    }
    m_documents->shutDown();
    event->accept();
}

void MainWindow::endForSignal()
{
    if (m_document.state.modified || m_document.history.currentStep < 0) {
        // Unsaved work, or a start not finished (the question about interrupted work may be
        // open): the history stays exactly as a crash would leave it, for the next start to
        // offer, and nothing more runs that could answer a question or touch the history.
        std::_Exit(0);
    }
    m_documents->shutDown(false);
    // exit(), not quit(): quit() would close the window, and closing asks about unsaved changes.
    QCoreApplication::exit(0);
}

// --- outline zoom ------------------------------------------------------------------------------------

void MainWindow::setZoom(bool on)
{
    recordReferenceLayout(m_document.outline, m_canvas->size());
    m_document.session.zoomOn = on;
}

void MainWindow::rescaleToWindow()
{
    if (m_adjustingSize)
        return;
    Outline& outline = m_document.outline;
    if (outline.ownLayoutScale() > 0) {
        if (keepsOwnLayout(m_canvas->size())) {
            refitOwnLayout(m_canvas->size());
            return;
        }
        if (!m_document.session.zoomOn)
            return;  // nothing moves; the outline stays as it was made
        // Resized by the user: the zoom scales the outline's own layout, the user's edits in
        // it, into the window, whose layout it is from now on.
        recordOwnLayout(outline);
        outline.setOwnLayoutScale(0);
        m_sizeFollowsWindow = true;
        followWindowSize();
    }
    if (!m_document.session.zoomOn)
        return;
    m_showsOpenedLayout = false;  // resized by the user: the outline is the window's now
    QSize canvas = m_canvas->size();
    if (m_document.session.gridOn && !isMaximized() && !isFullScreen()) {
        // The inner size and the frame as setOuterSize counts them: on a screen scaled by a
        // fraction the frame geometry is rounded on its own and may be a pixel off, which would
        // make the window chase an even size it already has.
        const QMargins m = frameMarginsNow();
        const QSize outer = size() + QSize(m.left() + m.right(), m.top() + m.bottom());
        const QSize even = evenWindowSize(outer);
        if (even != outer) {
            const QSize before = size();
            m_adjustingSize = true;
            setOuterSize(even.width(), even.height());
            m_adjustingSize = false;
            // The canvas follows the window's new size in a moment: the outline is laid out for
            // the canvas the even size gives, and the window is painted once, at that size.
            if (size() != before) {
                canvas += size() - before;
                holdPaintingUntilResized();
            }
        }
    }
    m_handles->hideAll();
    if (rescaleOutline(m_document.outline, canvas, m_document.session.gridStep))
        m_documents->objectsEdited();
}

// --- export as picture --------------------------------------------------------------------------------

void MainWindow::exportPicture()
{
    m_handles->hideAll();
    const QImage picture = captureCanvas(m_canvas);
    ExportDialog dialog;
    dialog.caption = QCoreApplication::translate("MainWindow", "Сохранить как рисунок");
    dialog.folder = m_dialogFolders.exports;
    dialog.filter = exportFilter();
    dialog.outlineName = m_document.state.outlineName;
    dialog.filterIndex = m_exportFilterIndex;
    dialog.extensionOf = exportExtension;
    dialog.fileFor = exportFileName;
    dialog.filterFor = [](const QString& file, int) { return exportFilterIndexOf(file); };
    const auto choice = chooseExportFile(this, dialog);
    if (!choice)
        return;
    // The next export offers the type written last.
    m_exportFilterIndex = choice->filterIndex;
    // Pictures are the screen's pixels; PDF and SVG draw the outline again as vectors.
    const QString& path = choice->path;
    const QString error = isVectorFormat(exportFormatOf(path)) ? exportOutline(m_document, m_canvas->size(), 1.0, path)
                                                               : writePicture(picture, path);
    if (!error.isEmpty())
        throw UserError(error);
}

}  // namespace velmar
