// Appearance and deletion commands, frame titles, minimal texts and the summary, the sequences of
// frames and objects and their overlays.
#include "app/main_window.h"
#include "canvas/appearance_commands.h"
#include "canvas/canvas_widget.h"
#include "platform/command_guard.h"
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
    m_appearance = new AppearanceCommands(*this, m_canvas, m_handles, m_controller, this);
    m_frameTitles = new FrameTitles(*this, this);
    m_minimalTexts = new MinimalTextCommands(*this, this);
    m_sequences = new SequenceCommands(*this, m_handles, m_overlay, this);

    auto on = [this](std::initializer_list<QAction*> actions, std::function<void()> handler) {
        for (QAction* action : actions) {
            Q_ASSERT(action);
            connect(action, &QAction::triggered, this, [this, handler] { runGuarded(this, handler); });
        }
    };
    const CommandRegistry& c = m_commands;

    AppearanceCommands* a = m_appearance;
    on({c.innerBevelNone}, [a] { a->setFrameInnerBevel(BevelNone); });
    on({c.innerBevelLowered}, [a] { a->setFrameInnerBevel(BevelLowered); });
    on({c.innerBevelRaised}, [a] { a->setFrameInnerBevel(BevelRaised); });
    on({c.borderLineNone}, [a] { a->setFrameBorderLine(0); });
    on({c.borderLineSingle}, [a] { a->setFrameBorderLine(1); });
    on({c.outerBevelNone}, [a] { a->setFrameOuterBevel(BevelNone); });
    on({c.outerBevelLowered}, [a] { a->setFrameOuterBevel(BevelLowered); });
    on({c.outerBevelRaised}, [a] { a->setFrameOuterBevel(BevelRaised); });
    on({c.frameColour}, [a] { a->chooseFrameColour(); });
    on({c.frameTitleColour}, [a] { a->chooseFrameTitleColour(); });
    on({c.resetFrameColours}, [a] { a->resetFrameColours(); });
    on({c.deleteFrame}, [a] { a->deleteFrame(); });
    on({c.pictureBorderNone}, [a] { a->setPictureBorder(0); });
    on({c.pictureBorderSingle}, [a] { a->setPictureBorder(1); });
    on({c.deletePicture}, [a] { a->deletePicture(); });
    on({c.deleteVideo}, [a] { a->deleteVideo(); });
    on({c.captionFont}, [a] { a->chooseCaptionFont(); });
    on({c.captionText}, [a] { a->editCaptionText(); });
    on({c.captionColour}, [a] { a->chooseCaptionColour(); });
    on({c.resetCaptionColours}, [a] { a->resetCaptionColours(); });
    on({c.deleteCaption}, [a] { a->deleteCaption(); });
    on({c.textFieldFont}, [a] { a->chooseTextFieldFont(); });
    on({c.alignLeft}, [a] { a->setTextAlignment(AlignLeft); });
    on({c.alignCentre}, [a] { a->setTextAlignment(AlignCentre); });
    on({c.alignRight}, [a] { a->setTextAlignment(AlignRight); });
    on({c.fitTextField}, [a] { a->fitTextFieldToText(); });
    on({c.textFieldColour}, [a] { a->chooseTextFieldColour(); });
    on({c.resetTextFieldColours}, [a] { a->resetTextFieldColours(); });
    on({c.deleteTextField}, [a] { a->deleteTextField(); });
    on({c.canvasColourItem, c.canvasColourPopupItem, c.canvasColourButton}, [a] { a->chooseCanvasColour(); });
    on({c.resetCanvasColour}, [a] { a->resetCanvasColour(); });

    FrameTitles* titles = m_frameTitles;
    // The switches pass the state their click gave them.
    for (QAction* shown : {c.frameTitlesButton, c.frameTitlesItem})
        on({shown}, [titles, shown] { titles->showTitleFromSwitch(shown->isChecked()); });
    on({c.frameTitlePopupItem},
       [titles, item = c.frameTitlePopupItem] { titles->showTitleFromPopup(item->isChecked()); });
    on({c.renameFrame}, [titles] { titles->rename(); });

    MinimalTextCommands* texts = m_minimalTexts;
    on({c.frameMinimalText}, [texts] { texts->editMinimalText(ObjectKind::Frame); });
    on({c.pictureMinimalText}, [texts] { texts->editMinimalText(ObjectKind::Picture); });
    on({c.textFieldMinimalText}, [texts] { texts->editMinimalText(ObjectKind::TextField); });
    on({c.videoMinimalText}, [texts] { texts->editMinimalText(ObjectKind::Video); });
    on({c.summary}, [texts] { texts->showSummary(); });

    SequenceCommands* order = m_sequences;
    on({c.pictureLater}, [order] { order->movePictureLater(); });
    on({c.pictureEarlier}, [order] { order->movePictureEarlier(); });
    on({c.moveEarlierButton, c.moveEarlierItem}, [order] { order->moveSelectedEarlier(); });
    on({c.moveLaterButton, c.moveLaterItem}, [order] { order->moveSelectedLater(); });

    SequenceOverlay* overlay = m_overlay;
    on({c.frameOverlayButton}, [overlay] { overlay->toggle(OverlayKind::Frames); });
    on({c.objectOverlayButton}, [overlay] { overlay->toggle(OverlayKind::Objects); });
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
