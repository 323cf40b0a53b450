#pragma once

#include "canvas/arrow_geometry.h"
#include "model/outline.h"

#include <QImage>
#include <QPointer>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace velmar {

// The widgets that show the objects of an outline. They only paint what the model says; the
// canvas controller receives their mouse events through an event filter and finds the object by
// objectId(widget).

// What the widget of an object keeps besides its QWidget base: the object it shows. Every widget
// the outline view makes for an object derives from it.
class ShowsObject {
public:
    virtual ~ShowsObject() = default;

private:
    friend ObjectId objectId(const QObject* widget);
    friend void setObjectId(QObject* widget, ObjectId id);
    ObjectId m_shownObject = 0;
};

// The object a widget shows (0 for none, and for widgets that show no object): asked for every
// press on the canvas and every widget an Open makes.
ObjectId objectId(const QObject* widget);
// Only for the widgets of objects (ShowsObject); others show none.
void setObjectId(QObject* widget, ObjectId id);

// Paints the bevels and border line of a panel the way a bevelled panel looks: the outer bevel at
// the edge, then the inner bevel just inside it.
void paintPanelFrame(QPainter& painter, const QRect& rect, quint8 outerBevel, quint8 innerBevel, quint8 borderLine);
// A line along a row or a column in the painter's pen, as drawLine draws it. Where nothing scales,
// turns or smooths the drawing and the pen is one pixel of one colour, the pixels are filled as
// the rectangle they make: the line rasterizer takes many times as long for them, and a window of
// many frames draws thousands of such lines. Elsewhere (print, vector exports) it is drawLine.
void drawStraightLine(QPainter& painter, QPoint from, QPoint to);
// How many pixels paintPanelFrame draws on each side.
int panelFrameWidth(quint8 outerBevel, quint8 innerBevel, quint8 borderLine);

// A frame's title: its text drawn as a plain label draws it, at the label's size. It is measured
// once for each new text; a QLabel lays its text out three times for its size hints, and every
// frame of an opened outline paid for that.
class FrameTitle : public QWidget {
    Q_OBJECT
public:
    explicit FrameTitle(QWidget* parent);
    const QString& text() const { return m_text; }
    // Takes the text and the size it needs (tabs expanded, one line for each line of the text).
    void setText(const QString& text);

    // How a label aligns its text, and so how a title is measured and drawn.
    static constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextExpandTabs;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Lays the text out as a label's painting does; false for the texts it leaves to the painter
    // (right-to-left, several lines, tabs).
    bool layOut();

    QString m_text;
    // The title laid out once for all its paints: every step of a zoom repaints every title, at
    // the same font and size.
    std::unique_ptr<QTextLayout> m_layout;
    QRectF m_laidOut;  // where the layout's lines lie, relative to the title
};

// A frame: a bevelled panel with its title.
class FrameWidget : public QWidget, public ShowsObject {
    Q_OBJECT
public:
    explicit FrameWidget(QWidget* parent);
    void apply(const FrameObject& frame);
    FrameTitle* title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FrameTitle* m_title;
    QColor m_colour;
    quint8 m_outerBevel = BevelRaised, m_innerBevel = BevelNone, m_borderLine = 0;
};

// A picture shown stretched to the control, rendered afresh when drawn after the size or the
// picture changed: a held bitmap through the halvings kept of a large one, a stored stream from its
// decode at the reduced size that covers the control.
class PictureWidget : public QWidget, public ShowsObject {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent);
    void apply(const PictureObject& picture);
    // Whether apply(picture) would decode the picture's stored stream.
    bool decodesOnApply(const PictureObject& picture) const;
    // The picture at the control's size (made now if the last change has not been drawn yet).
    const QImage& rendering();
    // Draws the whole picture into the widget's rectangle through the painter's transformation
    // instead of the copy made at the widget's size: off-screen drawings at other scales, PDF,
    // SVG and printing get the picture at its full resolution. A stored stream is decoded at
    // full size while this is on.
    void setDrawStoredBitmap(bool on);
    // Lets go of the picture's stream and decodes, keeping the rendering it draws now, until the
    // next apply() (which then renders afresh). Drawing at other scales keeps them.
    void letGoOfPicture();

    // The stored bitmap smoothly stretched to size, aspect ratio not kept; a bitmap far larger
    // than the size is halved first, as often as it stays four times as large.
    static QImage render(const QImage& stored, QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // render() of the stored bitmap, going on from the halving kept from an earlier size.
    QImage renderCached(QSize size);
    // Makes the rendering a change asked for: when the picture is drawn, not when it changes, so
    // that sizes passed through before a paint (an opened outline fitted into the window) cost
    // nothing.
    void ensureRendered();

    PictureObject m_picture;  // what is shown (sharing its bitmap or stream with the outline's)
    QImage m_stored;          // the held bitmap, or the stored stream's decode for this size
    QImage m_full;            // the whole picture while the stored bitmap is drawn
    QImage m_rendering;
    QSize m_renderSize;  // the control's size the rendering is (or is to be) made for
    bool m_renderPending = false;
    // The two deepest halvings of the stored bitmap made so far, each with the size it was halved
    // from: a zoom going back and forth across the size where one more halving starts is served
    // from them without halving the stored bitmap again.
    struct Halving {
        QImage image;
        QSize from;
    };
    std::vector<Halving> m_halvings;
    quint8 m_border = 0;
    bool m_stretched = true;
    bool m_drawStored = false;
};

// A text field: a borderless multi-line text box. The model keeps CR LF line breaks; the widget
// works with plain LF.
class TextFieldWidget : public QTextEdit, public ShowsObject {
    Q_OBJECT
public:
    explicit TextFieldWidget(QWidget* parent);
    void apply(const TextFieldObject& field);
    // The text as the model stores it.
    QString modelText() const;

    static QString toWidgetText(const QString& modelText);
    static QString toModelText(const QString& widgetText);

    // The user is typing into the field: it has the keyboard, may be written, and was clicked or
    // typed into since it got the keyboard (a right press gives it the keyboard too, yet opens the
    // object's menu). Its spelling is checked then, and a right click opens the text's menu rather
    // than the object's.
    bool isBeingTyped() const { return hasFocus() && !isReadOnly() && !m_focusedByRightPress; }

    // Before the field shows another object: drops its undo history, its cursor and selection,
    // where it was scrolled to and its spelling marks, as a new field has none.
    void forgetTyping();

protected:
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Replaces the whole text with the model's.
    void showText(const QString& text);
    // The field is typed into from now on (clicked, or its text changed while it has the keyboard).
    void startTyping();
    void showFromTheTop();

    std::optional<QFont> m_font;
    bool m_focusedByRightPress = false;
};

// A text field while nobody types in it: its text drawn as the field's editor draws it, without
// the editor. A text edit is six widgets, a text control and its connections, which an outline of
// a hundred fields paid for at every Open; the outline view puts a TextFieldWidget in the face's
// place once the pointer reaches it or anything asks for the field's widget.
class TextFieldFace : public QWidget, public ShowsObject {
    Q_OBJECT
public:
    explicit TextFieldFace(QWidget* parent);
    void apply(const TextFieldObject& field);
    // The text as the model stores it.
    QString modelText() const { return m_text; }
    // The text as the editor's document gives it back (its plain text).
    QString shownText() const;
    bool isReadOnly() const { return m_readOnly; }
    // The editor put in the face's place (the face is then hidden, and goes with the editor).
    TextFieldWidget* editor() const { return m_editor; }
    void setEditor(TextFieldWidget* editor) { m_editor = editor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Lays the paragraphs out as the editor's document does, for the face's width.
    void layOut();

    QString m_text;
    QString m_widgetText;  // the text with the editor's line breaks
    QColor m_background, m_textColour;
    std::optional<QFont> m_font;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_readOnly = false;
    QPointer<TextFieldWidget> m_editor;
    // One layout per paragraph, placed in the face; made when the face is first drawn after its
    // text, font, alignment or width changed, so that what an Open sets is laid out once.
    std::vector<std::unique_ptr<QTextLayout>> m_paragraphs;
    bool m_laidOut = false;
};

// A caption: a panel without outer bevel whose caption text is the caption.
class CaptionWidget : public QWidget, public ShowsObject {
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

// An arrow: its strokes in a transparent control on the canvas. Only the drawn arrow (with a few
// pixels of tolerance) takes mouse presses, so an arrow's empty corners do not hide what lies
// under them.
class ArrowWidget : public QWidget, public ShowsObject {
    Q_OBJECT
public:
    explicit ArrowWidget(QWidget* parent);
    // Places the widget as the arrow's six values say. Returns true when it was placed anew and
    // its area that takes presses is still to be set by takePressesOnStrokes(): working that area
    // out is left until a press may come, not done on every step of a zoom.
    bool apply(const ArrowObject& arrow);
    // Limits the presses the arrow takes to its strokes and a few pixels around them.
    void takePressesOnStrokes();
    // Draws the strokes antialiased, for off-screen drawings at other scales (PDF, SVG, printing,
    // enlarged export), instead of the pixel strokes the screen shows.
    void setDrawStrokes(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ArrowGeometry m_geometry;
    int m_penWidth = 1;
    ColourValue m_colour = 0;
    bool m_drawStrokes = false;
    // Set while the arrow is too large to be drawn (it lies far outside any screen).
    bool m_tooLarge = false;
    bool m_hitAreaPending = false;
    // The values the widget was placed from: a sync that leaves them alone changes nothing.
    std::optional<std::array<int, 6>> m_drawnFrom;
};

}  // namespace velmar
