#include "canvas/object_widgets.h"

#include "canvas/object_accessibility.h"
#include "model/visible_text.h"

#include "canvas/arrow_geometry.h"
#include "model/colour.h"
#include "model/text_metrics.h"

#include <QBitmap>
#include <QContextMenuEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QTextBlock>

namespace velmar {

namespace {

const char* const kObjectIdProperty = "velmarObjectId";

QColor shadowColour() { return toQColor(0xFF000010); }
QColor highlightColour() { return toQColor(0xFF000014); }

void paintBevel(QPainter& painter, const QRect& r, quint8 bevel)
{
    if (bevel != BevelLowered && bevel != BevelRaised)
        return;
    const QColor topLeft = bevel == BevelRaised ? highlightColour() : shadowColour();
    const QColor bottomRight = bevel == BevelRaised ? shadowColour() : highlightColour();
    painter.setPen(topLeft);
    painter.drawLine(r.left(), r.top(), r.right(), r.top());
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
    painter.setPen(bottomRight);
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

}  // namespace

ObjectId objectId(const QObject* widget)
{
    return widget ? widget->property(kObjectIdProperty).value<ObjectId>() : 0;
}

void setObjectId(QObject* widget, ObjectId id)
{
    widget->setProperty(kObjectIdProperty, QVariant::fromValue(id));
}

void paintPanelFrame(QPainter& painter, const QRect& rect, quint8 outerBevel, quint8 innerBevel, quint8 borderLine)
{
    QRect r = rect.adjusted(0, 0, -1, -1);
    if (borderLine == 1) {
        painter.setPen(toQColor(0xFF000006));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        r.adjust(1, 1, -1, -1);
    }
    if (outerBevel != BevelNone) {
        paintBevel(painter, r, outerBevel);
        r.adjust(1, 1, -1, -1);
    }
    paintBevel(painter, r, innerBevel);
}

// ---------------------------------------------------------------------------------------------

FrameWidget::FrameWidget(QWidget* parent) : QWidget(parent), m_title(new QLabel(this))
{
    m_title->setObjectName(QStringLiteral("ee"));
    m_title->move(2, 2);
    m_title->setAutoFillBackground(false);
    // A title is the document's text, never markup.
    m_title->setTextFormat(Qt::PlainText);
}

void FrameWidget::apply(const FrameObject& frame)
{
    setGeometry(frame.bounds);
    setToolTip(frame.hint);
    nameForAccessibility(this, frame);
    m_title->setVisible(frame.titleVisible);
    const QString title = visibleText(frame.title);
    if (m_title->text() != title) {
        m_title->setText(title);
        m_title->adjustSize();
    }
    const QColor titleColour = toQColor(frame.titleColour);
    if (m_title->palette().color(QPalette::WindowText) != titleColour) {
        QPalette palette = m_title->palette();
        palette.setColor(QPalette::WindowText, titleColour);
        m_title->setPalette(palette);
    }
    // A sync after another object changed leaves an unchanged frame unpainted.
    const QColor colour = toQColor(frame.colour);
    if (m_colour == colour && m_outerBevel == frame.outerBevel && m_innerBevel == frame.innerBevel
        && m_borderLine == frame.borderLine)
        return;
    m_colour = colour;
    m_outerBevel = frame.outerBevel;
    m_innerBevel = frame.innerBevel;
    m_borderLine = frame.borderLine;
    update();
}

void FrameWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_colour);
    paintPanelFrame(painter, rect(), m_outerBevel, m_innerBevel, m_borderLine);
}

// ---------------------------------------------------------------------------------------------

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {}

QImage PictureWidget::render(const QImage& stored, QSize size)
{
    if (stored.isNull() || size.isEmpty())
        return {};
    return stored.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

void PictureWidget::apply(const PictureObject& picture)
{
    setGeometry(picture.bounds);
    setToolTip(picture.hint);
    bool changed = m_border != picture.border || m_stretched != picture.stretched;
    m_border = picture.border;
    m_stretched = picture.stretched;
    nameForAccessibility(this, picture);
    // Render from the stored bitmap only when it or the size changed: never from an earlier
    // rendering, so repeated resizing loses nothing.
    if (picture.bitmap().cacheKey() != m_stored.cacheKey() || m_rendering.size() != picture.bounds.size()) {
        m_stored = picture.bitmap();
        m_rendering = render(m_stored, picture.bounds.size());
        changed = true;
    }
    if (changed)
        update();
}

void PictureWidget::setDrawStoredBitmap(bool on)
{
    m_drawStored = on;
    update();
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_drawStored && !m_stored.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), m_stored);
    } else if (m_stretched && !m_rendering.isNull())
        painter.drawImage(rect(), m_rendering);
    else if (!m_rendering.isNull())
        painter.drawImage(QPoint(0, 0), m_rendering);
    if (m_border == 1) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// ---------------------------------------------------------------------------------------------

TextFieldWidget::TextFieldWidget(QWidget* parent) : QTextEdit(parent)
{
    setFrameStyle(QFrame::NoFrame);
    setAcceptRichText(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::NoWrap);
    setAutoFillBackground(true);
    viewport()->setAutoFillBackground(true);
    document()->setDocumentMargin(1);
    setTabChangesFocus(true);
    // A field takes the keyboard only when it is clicked: opening an outline, undo or Tab never
    // hand it the focus, so the outline's own shortcuts keep working.
    setFocusPolicy(Qt::ClickFocus);
}

void TextFieldWidget::contextMenuEvent(QContextMenuEvent* event)
{
    // The right press has already opened the text field's own pop-up menu.
    event->accept();
}

QString TextFieldWidget::toWidgetText(const QString& modelText)
{
    QString text = modelText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString TextFieldWidget::toModelText(const QString& widgetText)
{
    QString text = widgetText;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

QString TextFieldWidget::modelText() const
{
    return toModelText(toPlainText());
}

void TextFieldWidget::apply(const TextFieldObject& field)
{
    // Showing the model is no typing: a new font, alignment or text must not report an edit.
    const QSignalBlocker block(this);
    setGeometry(field.bounds);
    nameForAccessibility(this, field);
    QPalette p = palette();
    p.setColor(QPalette::Base, toQColor(field.background));
    p.setColor(QPalette::Window, toQColor(field.background));
    p.setColor(QPalette::Text, toQColor(field.font.colour));
    setPalette(p);
    viewport()->setPalette(p);
    const QFont font = toQFont(field.font);
    if (this->font() != font) {
        setFont(font);
        document()->setDefaultFont(font);
    }
    setReadOnly(field.readOnly);
    setToolTip(field.hint);
    if (modelText() != field.text)
        setPlainText(toWidgetText(field.text));
    const Qt::Alignment alignment = field.alignment == AlignRight    ? Qt::AlignRight
                                    : field.alignment == AlignCentre ? Qt::AlignHCenter
                                                                      : Qt::AlignLeft;
    QTextOption option = document()->defaultTextOption();
    if (option.alignment() != alignment) {
        option.setAlignment(alignment);
        document()->setDefaultTextOption(option);
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            QTextCursor cursor(block);
            QTextBlockFormat format = block.blockFormat();
            format.setAlignment(alignment);
            cursor.setBlockFormat(format);
        }
    }
}

// ---------------------------------------------------------------------------------------------

CaptionWidget::CaptionWidget(QWidget* parent) : QWidget(parent) {}

void CaptionWidget::apply(const CaptionObject& caption)
{
    setGeometry(caption.bounds);
    nameForAccessibility(this, caption);
    const QColor colour = toQColor(caption.colour), textColour = toQColor(caption.font.colour);
    const QFont font = toQFont(caption.font);
    // Only a changed look repaints: a sync after another object moved leaves the caption alone.
    if (m_text == caption.text && m_colour == colour && m_textColour == textColour && m_font == font)
        return;
    m_text = caption.text;
    m_colour = colour;
    m_textColour = textColour;
    m_font = font;
    setFont(font);
    update();
}

void CaptionWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_colour);
    painter.setPen(m_textColour);
    painter.drawText(rect(), Qt::AlignCenter, m_text);
}

// ---------------------------------------------------------------------------------------------

ArrowWidget::ArrowWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void ArrowWidget::apply(const ArrowObject& a)
{
    // Drawing an arrow and its hit area is the costly part of a sync: an arrow whose ends, pen and
    // colour are as they were keeps its picture.
    const std::array<int, 6> values{a.x1, a.y1, a.x2, a.y2, a.penWidth, int(a.colour)};
    if (m_drawnFrom == values)
        return;
    const ArrowPicture picture = placeArrow(a.x1, a.y1, a.x2, a.y2, a.penWidth, a.colour);
    // Presses are taken on and a few pixels around the drawn arrow.
    const QImage hitArea = renderArrow(picture.geometry, kArrowPenMax, a.colour);
    setGeometry(picture.geometry.imageRect);
    setImage(picture.image, hitArea);
    m_strokes = picture;
    m_penWidth = a.penWidth;
    m_colour = a.colour;
    nameForAccessibility(this, a);
    m_drawnFrom = values;
}

void ArrowWidget::setDrawStrokes(bool on)
{
    m_drawStrokes = on;
    update();
}

void ArrowWidget::setImage(const QImage& image, const QImage& hitArea)
{
    m_image = image;
    m_strokes.reset();
    m_drawnFrom.reset();
    resize(image.size());
    if (!hitArea.isNull())
        setMask(QBitmap::fromImage(hitArea.createAlphaMask()));
    update();
}

void ArrowWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_drawStrokes && m_strokes) {
        painter.setRenderHint(QPainter::Antialiasing);
        drawArrow(painter, m_strokes->geometry, m_penWidth, m_colour);
        return;
    }
    painter.drawImage(0, 0, m_image);
}

}  // namespace velmar
