#pragma once

#include "model/outline.h"

#include <QWidget>

namespace velmar {

// A video fragment's panel; the player inside it is added by the video view.
class VideoPanelWidget : public QWidget {
    Q_OBJECT
public:
    explicit VideoPanelWidget(QWidget* parent);
    void apply(const VideoObject& video);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_fileName;
};

}  // namespace velmar
