#pragma once

#include "canvas/canvas_host.h"

#include <QObject>

namespace velmar {

class CanvasController;
class CanvasWidget;
class SelectionHandles;

// The pop-up and main-menu commands that change how objects and the canvas look (colours, bevels,
// borders, fonts, alignment, a caption's text, fitting a text field's box) and the deletion of
// frames, pictures, captions, text fields and video fragments. Every command acts on the current
// object that the last press chose; an object that no longer exists is left alone.
class AppearanceCommands : public QObject {
    Q_OBJECT
public:
    AppearanceCommands(CanvasHost& host, CanvasWidget* canvas, SelectionHandles* handles, CanvasController* controller,
                       QObject* parent = nullptr);

    // Frame panel: bevels (Bevel values) and the border line (0 none, 1 single).
    void setFrameInnerBevel(quint8 bevel);
    void setFrameOuterBevel(quint8 bevel);
    void setFrameBorderLine(quint8 line);
    void chooseFrameColour();
    // The title's text colour, chosen in a dialog that starts from the frame's own colour.
    void chooseFrameTitleColour();
    void resetFrameColours();

    // Picture border from "Нет" (N16) or "Есть" (N17); the two check marks are kept opposite.
    // "Нет" (0) or "Есть" (1) on the picture's border menu.
    void setPictureBorder(int border);
    // Sets both check marks from the current picture's border (before its menu opens).

    void chooseCaptionFont();
    void editCaptionText();
    void chooseCaptionColour();
    void resetCaptionColours();

    void chooseTextFieldFont();
    void setTextAlignment(quint8 alignment);
    // "Выровнять рамку": the text field's box fitted to its text, the blue set around it.
    void fitTextFieldToText();
    void chooseTextFieldColour();
    void resetTextFieldColours();

    void chooseCanvasColour();
    void resetCanvasColour();

    // Deletions, each after its question.
    void deleteFrame();
    void deletePicture();
    void deleteCaption();
    void deleteTextField();
    void deleteVideo();

private:
    OpenOutline& doc() { return m_host.document(); }
    FrameObject* currentFrame();
    // The frame whose title the title commands change: the current companion when it is a frame.
    FrameObject* titleFrame();
    template <typename T>
    T* current(ObjectKind kind);
    void changed(bool recorded);
    bool fitBox(ObjectId id);
    void deleteObject(ObjectKind kind, const QString& question);
    void afterDeletion();

    CanvasHost& m_host;
    CanvasWidget* m_canvas;
    SelectionHandles* m_handles;
    CanvasController* m_controller;
};

}  // namespace velmar
