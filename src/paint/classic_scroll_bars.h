#pragma once
// Scroll bars drawn as the classic desktop draws them: grey arrow buttons and thumb raised by a
// two-pixel bevel on a light track. Everything is drawn with solid rectangles: the default
// style's gradients and lines are rasterised span by span, split over a thread pool for every
// line taller than a few dozen pixels, and repainting its two scroll bars cost the picture
// editor more than drawing the picture they scroll.
#include <QProxyStyle>

class QScrollBar;

namespace velmar::paint {

class ClassicScrollBars : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
};

// The one instance, for QWidget::setStyle() (the widget does not own its style); it lives as
// long as the application.
QStyle* classicScrollBars();

// Where `part` of `bar` lies, in the bar's coordinates, as its style places it (and draws it).
QRect scrollBarPart(const QScrollBar& bar, QStyle::SubControl part);

}  // namespace velmar::paint
