#pragma once

#include "model/colour.h"
#include "model/window_layout.h"

#include <QWidget>

class QToolBar;

namespace velmar {

// The outline's canvas: the main window's client area under the menu bar. Its coordinates are
// the outline's canvas coordinates; the tool bar occupies its top 31 pixels (y 0..30).
class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    explicit CanvasWidget(QWidget* parent = nullptr);

    void setToolBar(QToolBar* toolBar);
    QToolBar* toolBar() const { return m_toolBar; }

    void setCanvasColour(ColourValue colour);
    ColourValue canvasColour() const { return m_colour; }

signals:
    void resized(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolBar* m_toolBar = nullptr;
    ColourValue m_colour = kButtonFace;
};

}  // namespace velmar
