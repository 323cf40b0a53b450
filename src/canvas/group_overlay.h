#pragma once

#include <QRect>
#include <QWidget>

#include <vector>

namespace velmar {

// Drawn over the canvas's objects and transparent to the mouse: a dashed outline around every
// object of the group, a solid one around the group's bounds, and the rubber band being dragged.
class GroupOverlay : public QWidget {
public:
    explicit GroupOverlay(QWidget* canvas);

    void showGroup(std::vector<QRect> members, const QRect& bounds);
    void showBand(const QRect& band);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showIfNeeded();

    std::vector<QRect> m_members;
    QRect m_bounds;
    QRect m_band;
};

}  // namespace velmar
