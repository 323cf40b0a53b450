// Appearance and deletion commands, frame titles, minimal texts and the summary, the sequences of
// frames and objects and their overlays.
#include "app/main_window.h"

#include "platform/command_guard.h"
#include "canvas/appearance_commands.h"
#include "canvas/canvas_widget.h"
#include "view/frame_titles.h"
#include "view/minimal_text_windows.h"
#include "view/sequence_commands.h"
#include "view/sequence_overlay.h"

#include <QAction>
#include <QMenu>

#include <functional>

namespace velmar {

void MainWindow::installOutlineFeatures()
{
    m_overlay = new SequenceOverlay(*this, m_canvas, m_handles);
    m_appearance = new AppearanceCommands(*this, m_canvas, m_view, m_handles, m_controller, this);
    m_frameTitles = new FrameTitles(*this, m_view, this);
    m_minimalTexts = new MinimalTextCommands(*this, m_view, this);
    m_sequences = new SequenceCommands(*this, m_handles, m_overlay, this);

    auto on = [this](std::initializer_list<const char*> names, std::function<void()> handler) {
        for (const char* name : names) {
            QAction* action = command(QLatin1String(name));
            Q_ASSERT(action);
            connect(action, &QAction::triggered, this, [this, handler] { runGuarded(this, handler); });
        }
    };

    AppearanceCommands* a = m_appearance;
    on({"N11"}, [a] { a->setFrameInnerBevel(BevelNone); });
    on({"N21"}, [a] { a->setFrameInnerBevel(BevelLowered); });
    on({"N31"}, [a] { a->setFrameInnerBevel(BevelRaised); });
    on({"N13"}, [a] { a->setFrameBorderLine(0); });
    on({"N23"}, [a] { a->setFrameBorderLine(1); });
    on({"N12"}, [a] { a->setFrameOuterBevel(BevelNone); });
    on({"N22"}, [a] { a->setFrameOuterBevel(BevelLowered); });
    on({"N32"}, [a] { a->setFrameOuterBevel(BevelRaised); });
    on({"N19"}, [a] { a->chooseFrameColour(); });
    on({"N71"}, [a] { a->chooseFrameTitleColour(); });
    on({"N70"}, [a] { a->resetFrameColours(); });
    on({"N5"}, [a] { a->deleteFrame(); });
    on({"N16"}, [a] { a->setPictureBorderFromNone(); });
    on({"N17"}, [a] { a->setPictureBorderFromSingle(); });
    on({"N6"}, [a] { a->deletePicture(); });
    on({"N30"}, [a] { a->deleteVideo(); });
    on({"N40"}, [a] { a->chooseCaptionFont(); });
    on({"N43"}, [a] { a->editCaptionText(); });
    on({"N44"}, [a] { a->chooseCaptionColour(); });
    on({"N72"}, [a] { a->resetCaptionColours(); });
    on({"N42"}, [a] { a->deleteCaption(); });
    on({"MenuItem1"}, [a] { a->chooseTextFieldFont(); });
    on({"N94"}, [a] { a->setTextAlignment(AlignLeft); });
    on({"N95"}, [a] { a->setTextAlignment(AlignCentre); });
    on({"N96"}, [a] { a->setTextAlignment(AlignRight); });
    on({"N87"}, [a] { a->fitTextFieldToText(); });
    on({"MenuItem3"}, [a] { a->chooseTextFieldColour(); });
    on({"MenuItem4"}, [a] { a->resetTextFieldColours(); });
    on({"MenuItem6"}, [a] { a->deleteTextField(); });
    on({"N18", "N20", "ToolButton14"}, [a] { a->chooseCanvasColour(); });
    on({"N69"}, [a] { a->resetCanvasColour(); });
    // The border check marks show the picture's own border whenever its menu opens.
    connect(popupMenu(QStringLiteral("PopupMenu3")), &QMenu::aboutToShow, this,
            [this] { runGuarded(this, [this] { m_appearance->showPictureBorderChecks(); }); });

    FrameTitles* titles = m_frameTitles;
    on({"ToolButton9"}, [titles] { titles->toggleFromButton(); });
    on({"N60"}, [titles] { titles->toggleFromSettings(); });
    on({"Y1"}, [titles] { titles->toggleFromPopup(); });
    on({"N36"}, [titles] { titles->rename(); });

    MinimalTextCommands* texts = m_minimalTexts;
    on({"N98"}, [texts] { texts->editMinimalText(ObjectKind::Frame); });
    on({"N100"}, [texts] { texts->editMinimalText(ObjectKind::Picture); });
    on({"N104"}, [texts] { texts->editMinimalText(ObjectKind::TextField); });
    on({"N103"}, [texts] { texts->editMinimalText(ObjectKind::Video); });
    on({"ToolButton21", "N110"}, [texts] { texts->showSummary(); });

    SequenceCommands* order = m_sequences;
    on({"N107"}, [order] { order->movePictureLater(); });
    on({"N108"}, [order] { order->movePictureEarlier(); });
    on({"ToolButton24", "N115"}, [order] { order->moveSelectedEarlier(); });
    on({"ToolButton23", "N116"}, [order] { order->moveSelectedLater(); });

    SequenceOverlay* overlay = m_overlay;
    on({"ToolButton26"}, [overlay] { overlay->run(OverlayKind::Frames); });
    on({"ToolButton22"}, [overlay] { overlay->run(OverlayKind::Objects); });
    on({"N112"}, [overlay] { overlay->switchOn(OverlayKind::Frames); });
    on({"N113"}, [overlay] { overlay->switchOn(OverlayKind::Objects); });
    // An overlay that is on follows the outline when it is replaced, rebuilt, emptied or rescaled.
    on({"N47", "ToolButton1", "N51", "N77", "ToolButton10", "N78", "ToolButton18"}, [overlay] { overlay->redraw(); });
    connect(this, &MainWindow::outlineReplaced, this, [this] { runGuarded(this, [this] { m_overlay->redraw(); }); });
    connect(m_canvas, &CanvasWidget::resized, this, [this] { runGuarded(this, [this] { m_overlay->redraw(); }); });
}

void MainWindow::redrawOverlays()
{
    if (m_overlay)
        m_overlay->redraw();
}

void MainWindow::repaintIfPending()
{
    if (!m_document.state.repaintPending)
        return;
    if (m_overlay)
        m_overlay->erase();
    update();
    m_document.state.repaintPending = false;
}

}  // namespace velmar
