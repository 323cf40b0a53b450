#include "canvas/video_panel_widget.h"

#include "canvas/object_widgets.h"
#include "model/colour.h"

#include <QPainter>

namespace velmar {

VideoPanelWidget::VideoPanelWidget(QWidget* parent) : QWidget(parent) {}

void VideoPanelWidget::apply(const VideoObject& video)
{
    setGeometry(video.bounds);
    setToolTip(video.hint);
    m_fileName = video.fileName;
    update();
}

void VideoPanelWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(kButtonFace));
    paintPanelFrame(painter, rect(), BevelRaised, BevelNone, 0);
}

}  // namespace velmar
