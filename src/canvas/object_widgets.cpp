#include "canvas/object_widgets.h"

#include "canvas/arrow_geometry.h"
#include "canvas/object_accessibility.h"
#include "model/colour.h"
#include "model/text_metrics.h"
#include "model/visible_text.h"
#include "paint/core/picture_transforms.h"
#include "platform/spelling.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>

#include <cmath>

namespace velmar {

namespace {

QColor shadowColour() { return toQColor(0xFF000010); }
QColor highlightColour() { return toQColor(0xFF000014); }

void paintBevel(QPainter& painter, const QRect& r, quint8 bevel)
{
    if (bevel != BevelLowered && bevel != BevelRaised)
        return;
    const QColor topLeft = bevel == BevelRaised ? highlightColour() : shadowColour();
    const QColor bottomRight = bevel == BevelRaised ? shadowColour() : highlightColour();
    painter.setPen(topLeft);
    drawStraightLine(painter, r.topLeft(), r.topRight());
    drawStraightLine(painter, r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    drawStraightLine(painter, r.topRight(), r.bottomRight());
    drawStraightLine(painter, r.bottomLeft(), r.bottomRight());
}

// Setting a hint sends the widget an event even when it stays the same, for every object on each
// step of a zoom.
void setHint(QWidget* widget, const QString& hint)
{
    if (widget->toolTip() != hint)
        widget->setToolTip(hint);
}

// The characters a text edit starts a new paragraph at when given plain text.
bool isParagraphBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

// The direction a text edit gives a paragraph of plain text: that of its first letter with a
// strong direction, left to right when none has.
Qt::LayoutDirection paragraphDirection(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        switch (QChar::direction(c)) {
        case QChar::DirL: return Qt::LeftToRight;
        case QChar::DirR:
        case QChar::DirAL: return Qt::RightToLeft;
        default: break;
        }
    }
    return Qt::LeftToRight;
}

Qt::Alignment fieldAlignment(const TextFieldObject& field)
{
    return field.alignment == AlignRight    ? Qt::AlignRight
           : field.alignment == AlignCentre ? Qt::AlignHCenter
                                            : Qt::AlignLeft;
}

// The alignment as a field's document holds it: its default, and each paragraph's own (typing
// a new line keeps the paragraph's).
void alignDocument(QTextDocument* document, Qt::Alignment alignment)
{
    QTextOption option = document->defaultTextOption();
    if (option.alignment() == alignment)
        return;
    option.setAlignment(alignment);
    document->setDefaultTextOption(option);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setAlignment(alignment);
        cursor.setBlockFormat(format);
    }
}

}  // namespace

ObjectId objectId(const QObject* widget)
{
    const auto* shows = dynamic_cast<const ShowsObject*>(widget);
    return shows ? shows->m_shownObject : 0;
}

void setObjectId(QObject* widget, ObjectId id)
{
    auto* shows = dynamic_cast<ShowsObject*>(widget);
    Q_ASSERT(shows);
    if (shows)
        shows->m_shownObject = id;
}

namespace {

// Whether a one-pixel pen of one colour covers exactly the pixels of the rectangle a line along a
// row or column runs through: on a raster device, nothing scaling, turning or smoothing.
bool coversPixelForPixel(const QPainter& painter)
{
    const QPen& pen = painter.pen();
    const QTransform& transform = painter.transform();
    return transform.type() <= QTransform::TxTranslate && transform.dx() == std::floor(transform.dx())
           && transform.dy() == std::floor(transform.dy()) && painter.paintEngine()
           && painter.paintEngine()->type() == QPaintEngine::Raster && !painter.testRenderHint(QPainter::Antialiasing)
           && pen.style() == Qt::SolidLine && pen.widthF() <= 1 && pen.brush().style() == Qt::SolidPattern;
}

}  // namespace

void drawStraightLine(QPainter& painter, QPoint from, QPoint to)
{
    // Only a line that runs right or down: the ends of a tiny panel's bevels cross over, and
    // drawLine has its own way with those.
    const bool straight = (from.x() == to.x() && from.y() <= to.y()) || (from.y() == to.y() && from.x() <= to.x());
    if (straight && coversPixelForPixel(painter))
        painter.fillRect(QRect(from, to), painter.pen().color());
    else
        painter.drawLine(from, to);
}

void paintPanelFrame(QPainter& painter, const QRect& rect, quint8 outerBevel, quint8 innerBevel, quint8 borderLine)
{
    QRect r = rect.adjusted(0, 0, -1, -1);
    if (borderLine == 1) {
        painter.setPen(toQColor(0xFF000006));
        if (r.isValid() && coversPixelForPixel(painter)) {
            // The outline drawRect(r) draws: one pixel wider and taller than r.
            const QColor colour = painter.pen().color();
            painter.fillRect(QRect(r.left(), r.top(), r.width() + 1, 1), colour);
            painter.fillRect(QRect(r.left(), r.bottom() + 1, r.width() + 1, 1), colour);
            painter.fillRect(QRect(r.left(), r.top(), 1, r.height() + 1), colour);
            painter.fillRect(QRect(r.right() + 1, r.top(), 1, r.height() + 1), colour);
        } else {
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r);
        }
        r.adjust(1, 1, -1, -1);
    }
    if (outerBevel != BevelNone) {
        paintBevel(painter, r, outerBevel);
        r.adjust(1, 1, -1, -1);
    }
    paintBevel(painter, r, innerBevel);
}

int panelFrameWidth(quint8 outerBevel, quint8 innerBevel, quint8 borderLine)
{
    const auto drawn = [](quint8 bevel) { return bevel == BevelLowered || bevel == BevelRaised ? 1 : 0; };
    return (borderLine == 1 ? 1 : 0) + drawn(outerBevel) + drawn(innerBevel);
}

// ---------------------------------------------------------------------------------------------

FrameTitle::FrameTitle(QWidget* parent) : QWidget(parent) { installObjectWidgetAccessibility(); }

void FrameTitle::setText(const QString& text)
{
    if (m_text == text)
        return;
    m_text = text;
    m_layout.reset();
    // The text's extent as a label measures it (no wrapping: as wide as its longest line).
    resize(fontMetrics().boundingRect(QRect(0, 0, 2000, 2000), kTextFlags & ~Qt::AlignVCenter, text).size());
    update();
    // Only a listening screen reader is told: asking for the interface makes one for every title.
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

bool FrameTitle::layOut()
{
    if (m_layout)
        return true;
    if (m_text.isRightToLeft() || layoutDirection() != Qt::LeftToRight)
        return false;
    for (const QChar c : m_text)
        if (c == u'\t' || c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar(0x9C))
            return false;
    // As the painter lays out a text it is given with a rectangle: one line of unlimited width,
    // lines on whole pixels, centred in the height.
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    auto layout = std::make_unique<QTextLayout>(m_text, font());
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    const qreal leading = QFontMetricsF(font()).leading();
    qreal height = -leading, width = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(0x01000000);
        height = std::ceil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
        width = std::max(width, line.naturalTextWidth());
        if (height >= this->height())
            break;
    }
    layout->endLayout();
    m_laidOut = QRectF(0, (this->height() - height) / 2, width, height);
    m_layout = std::move(layout);
    return true;
}

void FrameTitle::paintEvent(QPaintEvent*)
{
    if (m_text.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().brush(foregroundRole()), 0));
    if (!layOut()) {
        // A right-to-left title starts at the right, as a label aligns it.
        const auto direction = m_text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
        painter.drawText(rect(), int(QStyle::visualAlignment(direction, Qt::Alignment(kTextFlags))), m_text);
        return;
    }
    if (!QRectF(rect()).contains(m_laidOut))
        painter.setClipRect(rect(), Qt::IntersectClip);
    m_layout->draw(&painter, m_laidOut.topLeft());
}

void FrameTitle::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LayoutDirectionChange)
        m_layout.reset();
    QWidget::changeEvent(event);
}

void FrameTitle::resizeEvent(QResizeEvent* event)
{
    m_layout.reset();
    QWidget::resizeEvent(event);
}

FrameWidget::FrameWidget(QWidget* parent) : QWidget(parent), m_title(new FrameTitle(this))
{
    m_title->setObjectName(QStringLiteral("ee"));
    m_title->move(2, 2);
}

void FrameWidget::apply(const FrameObject& frame)
{
    setGeometry(frame.bounds);
    setHint(this, frame.hint);
    nameForAccessibility(this, frame);
    m_title->setVisible(frame.titleVisible);
    m_title->setText(visibleText(frame.title));
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

namespace {

// A picture at least four times as large as the size wanted, in both directions, is first
// halved: a halving, once made, serves every size of the zoom below it, and the last scaling then
// reads a few pixels for each one shown instead of every pixel of a photo.
bool halvedFirst(QSize from, QSize to) { return from.width() >= 4 * to.width() && from.height() >= 4 * to.height(); }

// Made smaller, each pixel is the average of the area of the picture it covers (the program's own
// vectorised resampler, several times faster than Qt's smooth scaling for the same result);
// made larger, or larger one way only, Qt interpolates. Always 32-bit RGB.
QImage smoothlyStretched(const QImage& source, QSize size)
{
    const bool smaller = size.width() <= source.width() && size.height() <= source.height();
    if (smaller && source.format() != QImage::Format_RGB32 && source.format() != QImage::Format_ARGB32_Premultiplied)
        return paint::resampled(source.convertToFormat(QImage::Format_RGB32), size);
    return paint::resampled(source, size).convertToFormat(QImage::Format_RGB32);
}

QImage halved(const QImage& image)
{
    return smoothlyStretched(image, QSize((image.width() + 1) / 2, (image.height() + 1) / 2));
}

}  // namespace

QImage PictureWidget::render(const QImage& stored, QSize size)
{
    if (stored.isNull() || size.isEmpty())
        return {};
    QImage source = stored;
    while (halvedFirst(source.size(), size))
        source = halved(source);
    return smoothlyStretched(source, size);
}

QImage PictureWidget::renderCached(QSize size)
{
    if (m_stored.isNull() || size.isEmpty())
        return {};
    // A kept halving serves when the halvings for this size pass through it, that is when the
    // size it was halved from is still to be halved for this size: the result is the same as
    // render() makes from the stored bitmap.
    int kept = int(m_halvings.size()) - 1;
    while (kept >= 0 && !halvedFirst(m_halvings[size_t(kept)].from, size))
        --kept;
    QImage source = kept >= 0 ? m_halvings[size_t(kept)].image : m_stored;
    if (halvedFirst(source.size(), size)) {
        // Deeper than any kept: the kept levels above this one stay on the way.
        m_halvings.resize(size_t(kept + 1));
        while (halvedFirst(source.size(), size)) {
            const QSize from = source.size();
            source = halved(source);
            m_halvings.push_back({source, from});
        }
        if (m_halvings.size() > 2)
            m_halvings.erase(m_halvings.begin(), m_halvings.end() - 2);
    }
    return smoothlyStretched(source, size);
}

void PictureWidget::apply(const PictureObject& picture)
{
    setGeometry(picture.bounds);
    setHint(this, picture.hint);
    bool changed = m_border != picture.border || m_stretched != picture.stretched;
    m_border = picture.border;
    m_stretched = picture.stretched;
    nameForAccessibility(this, picture);
    // Render from the held bitmap, or from the stream decoded for this size (through the halvings
    // kept of either), only when the picture or the size changed: never from an earlier
    // rendering, so repeated resizing loses nothing.
    const bool newPicture = !picture.samePicture(m_picture);
    const QSize size = picture.bounds.size();
    if (newPicture || m_renderSize != size) {
        if (newPicture) {
            m_picture = picture;
            // The outline's picture keeps the decode made for drawing; this copy need not.
            m_picture.releaseDrawnImage();
            m_full = m_drawStored ? picture.bitmap() : QImage();
        }
        const QImage source = picture.imageFor(size);
        if (newPicture || source.cacheKey() != m_stored.cacheKey()) {
            m_stored = source;
            m_halvings.clear();
        }
        m_renderSize = size;
        m_renderPending = true;
        m_rendering = QImage();
        changed = true;
    }
    if (changed)
        update();
}

bool PictureWidget::decodesOnApply(const PictureObject& picture) const
{
    const QSize size = picture.bounds.size();
    return (m_renderSize != size || !picture.samePicture(m_picture)) && picture.decodesFor(size);
}

void PictureWidget::ensureRendered()
{
    if (!m_renderPending)
        return;
    m_renderPending = false;
    m_rendering = renderCached(m_renderSize);
}

const QImage& PictureWidget::rendering()
{
    ensureRendered();
    return m_rendering;
}

void PictureWidget::setDrawStoredBitmap(bool on)
{
    m_drawStored = on;
    // The whole picture is decoded only for as long as drawings at other scales need it, and
    // once for all of them.
    if (!on)
        m_full = QImage();
    else if (m_full.isNull())
        m_full = m_picture.bitmap();
    update();
}

void PictureWidget::letGoOfPicture()
{
    // A rendering still to be made needs what it is made from.
    if (m_drawStored || m_renderPending)
        return;
    m_picture = PictureObject();
    m_stored = QImage();
    m_halvings.clear();
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_drawStored && !m_full.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), m_full);
    } else {
        ensureRendered();
        if (m_stretched && !m_rendering.isNull())
            painter.drawImage(rect(), m_rendering);
        else if (!m_rendering.isNull())
            painter.drawImage(QPoint(0, 0), m_rendering);
    }
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
    // With both scroll bars always off, a change of their ranges (the text grows or shrinks with
    // its font on every step of a zoom) leaves the area's children where they are: the area's
    // queued re-layout on each such change is work for nothing.
    for (const QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()})
        disconnect(bar, &QAbstractSlider::rangeChanged, this, nullptr);
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (m_focusedByRightPress && hasFocus())
            startTyping();
    });
}

void TextFieldWidget::changeEvent(QEvent* event)
{
    QTextEdit::changeEvent(event);
    // A font handed down from the canvas would replace the field's own in its document.
    if (event->type() == QEvent::FontChange && m_font && document()->defaultFont() != *m_font)
        document()->setDefaultFont(*m_font);
}

void TextFieldWidget::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    // Otherwise the right press has already opened the text field's own pop-up menu.
    if (isBeingTyped())
        showTextEditMenu(textEditMenu(this, event->pos()), event->globalPos());
}

void TextFieldWidget::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    // Back from a menu or another window, the field is as it was.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    m_focusedByRightPress =
        event->reason() == Qt::MouseFocusReason && (QGuiApplication::mouseButtons() & Qt::RightButton);
    // Misspelled words are marked only while the text is typed: pictures, prints and the show
    // draw the field without the marks.
    checkSpelling(this, !isReadOnly() && !m_focusedByRightPress);
}

void TextFieldWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_focusedByRightPress)
        startTyping();
    QTextEdit::mousePressEvent(event);
}

void TextFieldWidget::startTyping()
{
    m_focusedByRightPress = false;
    checkSpelling(this, !isReadOnly() && !m_focusedByRightPress);
}

void TextFieldWidget::forgetTyping()
{
    const QSignalBlocker block(this);
    m_focusedByRightPress = false;
    checkSpelling(this, false);
    if (const QTextCursor cursor = textCursor(); cursor.position() != 0 || cursor.hasSelection())
        setTextCursor(QTextCursor(document()));
    QTextDocument* doc = document();
    if (doc->isUndoAvailable() || doc->isRedoAvailable())
        doc->clearUndoRedoStacks();
    doc->setModified(false);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TextFieldWidget::showText(const QString& text)
{
    // One edit replacing the whole text is laid out once; setPlainText lays out the emptied
    // document first. Like setPlainText, it leaves no undo step and no history before it, and
    // the cursor at the start.
    QTextDocument* doc = document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    setTextCursor(QTextCursor(doc));
}

void TextFieldWidget::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    // The field's own menu, or another window for a moment, leave the text being typed.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        checkSpelling(this, false);
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

QString TextFieldWidget::modelText() const { return toModelText(toPlainText()); }

void TextFieldWidget::apply(const TextFieldObject& field)
{
    // Showing the model is no typing: a new font, alignment or text must not report an edit.
    const QSignalBlocker block(this);
    setGeometry(field.bounds);
    nameForAccessibility(this, field);
    const QColor background = toQColor(field.background), textColour = toQColor(field.font.colour);
    if (palette().color(QPalette::Base) != background || palette().color(QPalette::Window) != background
        || palette().color(QPalette::Text) != textColour) {
        QPalette p = palette();
        p.setColor(QPalette::Base, background);
        p.setColor(QPalette::Window, background);
        p.setColor(QPalette::Text, textColour);
        setPalette(p);
        viewport()->setPalette(p);
    }
    // The field's font is its document's: the widget's own would be handed down to the viewport
    // and the scroll bars and lay the text out twice, on every step of a zoom.
    const QFont font = toQFont(field.font);
    if (!m_font || *m_font != font) {
        m_font = font;
        document()->setDefaultFont(font);
    }
    // Each of these tells the widget of a change even when the value is the same.
    if (isReadOnly() != field.readOnly)
        setReadOnly(field.readOnly);
    setHint(this, field.hint);
    if (modelText() != field.text)
        showText(toWidgetText(field.text));
    alignDocument(document(), fieldAlignment(field));
    showFromTheTop();
}

void TextFieldWidget::showEvent(QShowEvent* event)
{
    // The text edit brings its caret into view when first shown.
    QTextEdit::showEvent(event);
    showFromTheTop();
}

void TextFieldWidget::showFromTheTop()
{
    // A field whose lines are taller than the field (its font grown with the window) shows them
    // from the top, however it came to this size: a new text and the first showing put the caret
    // in view, so that a field made anew for a drawing would show its text a pixel or two higher
    // than the canvas's field. The field being typed in keeps its caret in view instead.
    if (hasFocus())
        return;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

// ---------------------------------------------------------------------------------------------

TextFieldFace::TextFieldFace(QWidget* parent) : QWidget(parent)
{
    installObjectWidgetAccessibility();
    // Everything it shows it paints, as the editor's viewport does.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Drops are the editor's: one dragged here makes it.
    setAcceptDrops(true);
    // So is the pointer: its first move over the face makes the editor, also where the window
    // sent no Enter (the widget the pointer left had gone).
    setMouseTracking(true);
}

QString TextFieldFace::shownText() const
{
    // A document's plain text has its paragraphs and lines ended by line feeds and its no-break
    // spaces made plain ones.
    QString text = m_widgetText;
    for (QChar& c : text) {
        if (isParagraphBreak(c) || c == QChar::LineSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return text;
}

void TextFieldFace::apply(const TextFieldObject& field)
{
    setGeometry(field.bounds);
    nameForAccessibility(this, field);
    setHint(this, field.hint);
    m_readOnly = field.readOnly;
    bool changed = false;
    const QColor background = toQColor(field.background), textColour = toQColor(field.font.colour);
    if (m_background != background || m_textColour != textColour) {
        m_background = background;
        m_textColour = textColour;
        changed = true;
    }
    const QFont font = toQFont(field.font);
    if (!m_font || *m_font != font) {
        m_font = font;
        m_laidOut = false;
        changed = true;
    }
    if (m_text != field.text) {
        m_text = field.text;
        m_widgetText = TextFieldWidget::toWidgetText(field.text);
        m_laidOut = false;
        changed = true;
    }
    const Qt::Alignment alignment = fieldAlignment(field);
    if (m_alignment != alignment) {
        m_alignment = alignment;
        m_laidOut = false;
        changed = true;
    }
    if (changed)
        update();
}

void TextFieldFace::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The editor aligns its lines within its whole width, as wide as the face.
    if (event->size().width() != event->oldSize().width())
        m_laidOut = false;
}

void TextFieldFace::layOut()
{
    m_laidOut = true;
    m_paragraphs.clear();
    if (!m_font)
        return;
    // The editor's document: a margin of one pixel, lines never wrapped and aligned within the
    // width the margins leave, each paragraph in the direction of its first letter that has one
    // (left and right alignment are swapped for right-to-left paragraphs), each line as high as
    // its font's ascent, descent and leading rounded up. Laying the paragraphs out directly costs
    // about half of what a document of their own costs, which an Open pays for every field.
    static const QTextOption documentOption = QTextDocument().defaultTextOption();
    constexpr int kMargin = 1;
    const qreal lineWidth = std::max(0, width() - 2 * kMargin);
    qreal y = kMargin;
    qsizetype from = 0;
    for (;;) {
        qsizetype to = from;
        while (to < m_widgetText.size() && !isParagraphBreak(m_widgetText.at(to)))
            ++to;
        auto layout = std::make_unique<QTextLayout>(m_widgetText.mid(from, to - from), *m_font);
        const Qt::LayoutDirection direction = paragraphDirection(layout->text());
        QTextOption option = documentOption;
        option.setWrapMode(QTextOption::NoWrap);
        option.setTextDirection(direction);
        option.setAlignment(QStyle::visualAlignment(direction, m_alignment));
        layout->setTextOption(option);
        layout->setPosition(QPointF(kMargin, y));
        layout->beginLayout();
        qreal lineY = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(lineWidth);
            // A line longer than the width starts at the margin, whatever the alignment.
            if (line.naturalTextWidth() > lineWidth)
                line.setLineWidth(line.naturalTextWidth());
            line.setPosition(QPointF(0, lineY));
            lineY += std::ceil(line.ascent() + line.descent() + line.leading());
        }
        layout->endLayout();
        y += lineY;
        m_paragraphs.push_back(std::move(layout));
        if (to >= m_widgetText.size())
            break;
        from = to + 1;
    }
}

void TextFieldFace::paintEvent(QPaintEvent* event)
{
    if (!m_laidOut)
        layOut();
    QPainter painter(this);
    painter.fillRect(event->rect(), m_background);
    painter.setClipRect(event->rect());
    painter.setPen(m_textColour);
    // Paragraphs above or below what is repainted are left out, as a document leaves them; a
    // letter may reach sideways beyond its line, so nothing is left out for that.
    const QRect clip = event->rect();
    for (const auto& paragraph : m_paragraphs) {
        const QRectF r = paragraph->boundingRect().translated(paragraph->position());
        if (r.bottom() >= clip.top() && r.top() <= clip.bottom() + 1)
            paragraph->draw(&painter, QPointF());
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

ArrowWidget::ArrowWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TranslucentBackground); }

bool ArrowWidget::apply(const ArrowObject& a)
{
    // Placing an arrow is the costly part of a sync (every arrow, on each step of a zoom): an
    // arrow whose ends, pen and colour are as they were stays as it is.
    const std::array<int, 6> values{a.x1, a.y1, a.x2, a.y2, a.penWidth, int(a.colour)};
    if (m_drawnFrom == values)
        return false;
    m_geometry = arrowGeometry(a.x1, a.y1, a.x2, a.y2);
    m_penWidth = a.penWidth;
    m_colour = a.colour;
    const QSize size = m_geometry.imageRect.size();
    m_tooLarge = size.width() <= 0 || size.height() <= 0 || size.width() > kArrowImageMaxSide
                 || size.height() > kArrowImageMaxSide;
    // The area that takes presses is set by takePressesOnStrokes(); until then the whole
    // rectangle takes them. A mask of the old place would cut the strokes at the new one.
    if (!mask().isEmpty())
        clearMask();
    m_hitAreaPending = !m_tooLarge;
    setGeometry(m_tooLarge ? QRect(m_geometry.imageRect.topLeft(), QSize(0, 0)) : m_geometry.imageRect);
    nameForAccessibility(this, a);
    m_drawnFrom = values;
    update();
    return m_hitAreaPending;
}

void ArrowWidget::takePressesOnStrokes()
{
    if (!m_hitAreaPending)
        return;
    m_hitAreaPending = false;
    // Presses are taken on and a few pixels around the drawn arrow; the strokes lie inside that
    // area, so the arrow looks the same with the mask as without it. A shown widget given a mask
    // has the canvas and every object under it outside the mask painted again, for nothing: the
    // mask is set as on a hidden widget, which paints nothing anew.
    const bool shown = testAttribute(Qt::WA_WState_Visible);
    setAttribute(Qt::WA_WState_Visible, false);
    setMask(arrowHitRegion(m_geometry));
    setAttribute(Qt::WA_WState_Visible, shown);
}

void ArrowWidget::setDrawStrokes(bool on)
{
    m_drawStrokes = on;
    update();
}

void ArrowWidget::paintEvent(QPaintEvent*)
{
    if (m_tooLarge || !m_drawnFrom)
        return;
    // The strokes are drawn straight onto the canvas, as pixel lines without smoothing; the
    // background stays as it is, even under a white arrow.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, m_drawStrokes);
    drawArrow(painter, m_geometry, m_penWidth, m_colour);
}

}  // namespace velmar
