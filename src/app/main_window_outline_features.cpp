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

    auto on = [this](std::initializer_list<QAction*> actions, std::function<void()> handler) {
        for (QAction* action : actions) {
            Q_ASSERT(action);
            connect(action, &QAction::triggered, this, [this, handler] { runGuarded(this, handler); });
        }
    };
    // The pop-up items by their component name, as the command table gives them.
    auto item = [this](const char* name) { return m_commands.named(QLatin1String(name)); };
    const CommandRegistry& c = m_commands;

    AppearanceCommands* a = m_appearance;
    on({item("N11")}, [a] { a->setFrameInnerBevel(BevelNone); });
    on({item("N21")}, [a] { a->setFrameInnerBevel(BevelLowered); });
    on({item("N31")}, [a] { a->setFrameInnerBevel(BevelRaised); });
    on({item("N13")}, [a] { a->setFrameBorderLine(0); });
    on({item("N23")}, [a] { a->setFrameBorderLine(1); });
    on({item("N12")}, [a] { a->setFrameOuterBevel(BevelNone); });
    on({item("N22")}, [a] { a->setFrameOuterBevel(BevelLowered); });
    on({item("N32")}, [a] { a->setFrameOuterBevel(BevelRaised); });
    on({item("N19")}, [a] { a->chooseFrameColour(); });
    on({item("N71")}, [a] { a->chooseFrameTitleColour(); });
    on({item("N70")}, [a] { a->resetFrameColours(); });
    on({item("N5")}, [a] { a->deleteFrame(); });
    on({c.pictureBorderNone}, [a] { a->setPictureBorderFromNone(); });
    on({c.pictureBorderSingle}, [a] { a->setPictureBorderFromSingle(); });
    on({item("N6")}, [a] { a->deletePicture(); });
    on({item("N30")}, [a] { a->deleteVideo(); });
    on({item("N40")}, [a] { a->chooseCaptionFont(); });
    on({item("N43")}, [a] { a->editCaptionText(); });
    on({item("N44")}, [a] { a->chooseCaptionColour(); });
    on({item("N72")}, [a] { a->resetCaptionColours(); });
    on({item("N42")}, [a] { a->deleteCaption(); });
    on({item("MenuItem1")}, [a] { a->chooseTextFieldFont(); });
    on({item("N94")}, [a] { a->setTextAlignment(AlignLeft); });
    on({item("N95")}, [a] { a->setTextAlignment(AlignCentre); });
    on({item("N96")}, [a] { a->setTextAlignment(AlignRight); });
    on({item("N87")}, [a] { a->fitTextFieldToText(); });
    on({item("MenuItem3")}, [a] { a->chooseTextFieldColour(); });
    on({item("MenuItem4")}, [a] { a->resetTextFieldColours(); });
    on({item("MenuItem6")}, [a] { a->deleteTextField(); });
    on({c.canvasColourItem, c.canvasColourPopupItem, c.canvasColourButton}, [a] { a->chooseCanvasColour(); });
    on({c.resetCanvasColour}, [a] { a->resetCanvasColour(); });
    // The border check marks show the picture's own border whenever its menu opens.
    connect(c.pictureMenu, &QMenu::aboutToShow, this,
            [this] { runGuarded(this, [this] { m_appearance->showPictureBorderChecks(); }); });

    FrameTitles* titles = m_frameTitles;
    on({c.frameTitlesButton}, [titles] { titles->toggleFromButton(); });
    on({c.frameTitlesItem}, [titles] { titles->toggleFromSettings(); });
    on({c.frameTitlePopupItem}, [titles] { titles->toggleFromPopup(); });
    on({item("N36")}, [titles] { titles->rename(); });

    MinimalTextCommands* texts = m_minimalTexts;
    on({item("N98")}, [texts] { texts->editMinimalText(ObjectKind::Frame); });
    on({item("N100")}, [texts] { texts->editMinimalText(ObjectKind::Picture); });
    on({item("N104")}, [texts] { texts->editMinimalText(ObjectKind::TextField); });
    on({item("N103")}, [texts] { texts->editMinimalText(ObjectKind::Video); });
    on({c.summary}, [texts] { texts->showSummary(); });

    SequenceCommands* order = m_sequences;
    on({item("N107")}, [order] { order->movePictureLater(); });
    on({item("N108")}, [order] { order->movePictureEarlier(); });
    on({c.moveEarlierButton, c.moveEarlierItem}, [order] { order->moveSelectedEarlier(); });
    on({c.moveLaterButton, c.moveLaterItem}, [order] { order->moveSelectedLater(); });

    SequenceOverlay* overlay = m_overlay;
    on({c.frameOverlayButton}, [overlay] { overlay->run(OverlayKind::Frames); });
    on({c.objectOverlayButton}, [overlay] { overlay->run(OverlayKind::Objects); });
    on({c.frameOverlayItem}, [overlay] { overlay->switchOn(OverlayKind::Frames); });
    on({c.objectOverlayItem}, [overlay] { overlay->switchOn(OverlayKind::Objects); });
    // An overlay that is on follows the outline when it is replaced, rebuilt, emptied or rescaled.
    on({c.newOutline, c.close, c.undo, c.redo}, [overlay] { overlay->redraw(); });
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
    if (!m_document.session.repaintPending)
        return;
    if (m_overlay)
        m_overlay->erase();
    update();
    m_document.session.repaintPending = false;
}

}  // namespace velmar
