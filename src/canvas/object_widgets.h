#pragma once

#include "canvas/arrow_geometry.h"
#include "model/outline.h"

#include <QImage>
#include <QLabel>
#include <QTextEdit>
#include <QWidget>

#include <array>
#include <optional>

namespace velmar {

// The widgets that show the objects of an outline. They only paint what the model says; the
// canvas controller receives their mouse events through an event filter and finds the object by
// objectId(widget).

// The object a widget shows (0 for none).
ObjectId objectId(const QObject* widget);
void setObjectId(QObject* widget, ObjectId id);

// Paints the bevels and border line of a panel the way a bevelled panel looks: the outer bevel at
// the edge, then the inner bevel just inside it.
void paintPanelFrame(QPainter& painter, const QRect& rect, quint8 outerBevel, quint8 innerBevel, quint8 borderLine);

// A frame: a bevelled panel with its title label.
class FrameWidget : public QWidget {
    Q_OBJECT
public:
    explicit FrameWidget(QWidget* parent);
    void apply(const FrameObject& frame);
    QLabel* title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_title;
    QColor m_colour;
    quint8 m_outerBevel = BevelRaised, m_innerBevel = BevelNone, m_borderLine = 0;
};

// A picture: the stored bitmap shown stretched to the control, rendered afresh from the stored
// bitmap whenever the size or the bitmap changes.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent);
    void apply(const PictureObject& picture);
    const QImage& rendering() const { return m_rendering; }
    // Draws the stored bitmap into the widget's rectangle through the painter's transformation
    // instead of the copy made at the widget's size: off-screen drawings at other scales, PDF,
    // SVG and printing get the picture at its full resolution.
    void setDrawStoredBitmap(bool on);

    // The stored bitmap smoothly stretched to size, aspect ratio not kept.
    static QImage render(const QImage& stored, QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_stored;
    QImage m_rendering;
    quint8 m_border = 0;
    bool m_stretched = true;
    bool m_drawStored = false;
};

// A text field: a borderless multi-line text box. The model keeps CR LF line breaks; the widget
// works with plain LF.
class TextFieldWidget : public QTextEdit {
    Q_OBJECT
public:
    explicit TextFieldWidget(QWidget* parent);
    void apply(const TextFieldObject& field);
    // The text as the model stores it.
    QString modelText() const;

    static QString toWidgetText(const QString& modelText);
    static QString toModelText(const QString& widgetText);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// A caption: a panel without outer bevel whose caption text is the caption.
class CaptionWidget : public QWidget {
    Q_OBJECT
public:
    explicit CaptionWidget(QWidget* parent);
    void apply(const CaptionObject& caption);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_colour, m_textColour;
    QFont m_font;
};

// An arrow: its picture in a transparent control on the canvas. Only the drawn arrow (with a few
// pixels of tolerance) takes mouse presses, so an arrow's empty corners do not hide what lies
// under them.
class ArrowWidget : public QWidget {
    Q_OBJECT
public:
    explicit ArrowWidget(QWidget* parent);
    // Places the widget and draws the arrow as the arrow's six values say.
    void apply(const ArrowObject& arrow);
    // The arrow's picture and a wider rendering of it that marks where presses are taken.
    void setImage(const QImage& image, const QImage& hitArea);
    const QImage& image() const { return m_image; }
    // Draws the strokes with the painter instead of copying the picture made at screen size:
    // off-screen drawings at other scales, PDF, SVG and printing get a sharp arrow.
    void setDrawStrokes(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    // What apply() drew, for drawing the strokes again; invalid after another picture is set.
    std::optional<ArrowPicture> m_strokes;
    int m_penWidth = 1;
    ColourValue m_colour = 0;
    bool m_drawStrokes = false;
    // The values the picture was drawn from: a sync that leaves them alone draws nothing.
    std::optional<std::array<int, 6>> m_drawnFrom;
};

}  // namespace velmar
