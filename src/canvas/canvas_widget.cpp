#include "canvas/canvas_widget.h"

#include "model/text_metrics.h"

#include <QPaintEvent>
#include <QPainter>
#include <QToolBar>

namespace velmar {

CanvasWidget::CanvasWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("canvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The canvas takes the keyboard from a text field when anything else is pressed.
    setFocusPolicy(Qt::ClickFocus);
    // The canvas and its frame titles use the small font outlines were laid out in.
    setFont(toQFont(FontSpec{}));
}

void CanvasWidget::setToolBar(QToolBar* toolBar)
{
    m_toolBar = toolBar;
    m_toolBar->setParent(this);
    m_toolBar->setGeometry(0, 0, width(), kToolBarHeight);
    // The tool bar covers what lies under it: a selected frame's move tab just below it must not
    // show between its buttons.
    m_toolBar->setAutoFillBackground(true);
    m_toolBar->raise();
}

void CanvasWidget::setCanvasColour(ColourValue colour)
{
    m_colour = colour;
    update();
}

void CanvasWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), toQColor(m_colour));
}

void CanvasWidget::resizeEvent(QResizeEvent* event)
{
    if (m_toolBar)
        m_toolBar->setGeometry(0, 0, width(), kToolBarHeight);
    QWidget::resizeEvent(event);
    emit resized(size());
}

}  // namespace velmar
