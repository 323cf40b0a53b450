// The colour squares and the palette of the graphic editor.
#include "paint/paint_colour_strip.h"

#include "paint/core/paint_document.h"
#include "paint/core/palette.h"
#include "paint/editor/paint_editor.h"
#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>

#include <functional>

namespace velmar::paint {

// One 16 × 16 palette colour with a single dark border.
class PaletteCellWidget : public QWidget {
public:
    PaletteCellWidget(int index, QWidget* parent) : QWidget(parent), m_index(index) { setFixedSize(16, 16); }

    void setColour(QColor c)
    {
        m_colour = c;
        // A screen reader tells the cell's colour, as the eye sees it.
        setAccessibleDescription(QCoreApplication::translate("PaintWindow", "красный %1, зелёный %2, синий %3")
                                     .arg(c.red())
                                     .arg(c.green())
                                     .arg(c.blue()));
        update();
    }
    std::function<void(int, Qt::MouseButton)> onPress;
    std::function<void(int)> onDoubleClick;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_colour);
        p.setPen(QColor(0, 0, 0));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (onPress)
            onPress(m_index, e->button());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        // The press that starts a double-click has already given the square the old colour.
        if (e->button() == Qt::LeftButton && onDoubleClick)
            onDoubleClick(m_index);
    }

private:
    int m_index;
    QColor m_colour;
};

// A colour square (Panel10 back, Panel11 front): the colour with a thin lowered edge.
class ColourSquare : public QWidget {
public:
    using QWidget::QWidget;
    void setColour(QColor c)
    {
        m_colour = c;
        update();
    }
    QColor colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_colour);
        p.setPen(QColor(128, 128, 128));
        p.drawLine(0, 0, width() - 1, 0);
        p.drawLine(0, 0, 0, height() - 1);
        p.setPen(QColor(255, 255, 255));
        p.drawLine(1, height() - 1, width() - 1, height() - 1);
        p.drawLine(width() - 1, 1, width() - 1, height() - 1);
    }

private:
    QColor m_colour;
};

ColourStrip::ColourStrip(PaintEditor& editor, QWidget* parent)
    : QWidget(parent), m_editor(editor), m_document(editor.document())
{
    setObjectName(QStringLiteral("Panel4"));
    setFixedHeight(kHeight);

    auto* squares = new QFrame(this);
    squares->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    squares->setObjectName(QStringLiteral("Panel9"));
    squares->setGeometry(3, 6, 31, 31);
    squares->setAutoFillBackground(true);
    QPalette pal = squares->palette();
    pal.setColor(QPalette::Window, QColor(0xF3, 0xF1, 0xE9));  // 0xE9F1F3 as 0x00BBGGRR
    squares->setPalette(pal);
    m_back = new ColourSquare(squares);
    m_back->setObjectName(QStringLiteral("Panel10"));
    m_back->setGeometry(13, 12, 15, 15);
    m_front = new ColourSquare(squares);
    m_front->setObjectName(QStringLiteral("Panel11"));
    m_front->setGeometry(4, 5, 15, 15);  // created last: it lies over the back square

    const auto& cells = defaultPalette();
    for (int i = 0; i < kPaletteSize; ++i) {
        auto* cell = new PaletteCellWidget(i, this);
        cell->setObjectName(QLatin1String(cells[std::size_t(i)].objectName));
        cell->move(cells[std::size_t(i)].position);
        cell->onPress = [this](int index, Qt::MouseButton button) { pressed(index, button); };
        cell->onDoubleClick = [this](int index) { redefine(index); };
        m_cells[std::size_t(i)] = cell;
        cell->setColour(toQColor(m_document.paletteColour(i)));
    }
    connect(&m_document, &PaintDocument::coloursChanged, this, &ColourStrip::refreshSquares);
    connect(&m_document, &PaintDocument::paletteChanged, this, [this](int index) {
        if (index >= 0 && index < kPaletteSize)
            m_cells[std::size_t(index)]->setColour(toQColor(m_document.paletteColour(index)));
    });
    refreshSquares();
}

void ColourStrip::refreshSquares()
{
    m_front->setColour(QColor::fromRgb(m_document.frontColour()));
    m_back->setColour(QColor::fromRgb(m_document.backColour()));
}

void ColourStrip::pressed(int index, Qt::MouseButton button)
{
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    m_editor.palettePress(index, button);
    emit colourPressed();
}

void ColourStrip::redefine(int index)
{
    const auto chosen = dialogs().chooseColour(window(), toQColor(m_document.paletteColour(index)));
    if (chosen)
        m_editor.setPaletteColour(index, fromQColor(*chosen));
}

std::vector<QWidget*> ColourStrip::cells() const { return {m_cells.begin(), m_cells.end()}; }

}  // namespace velmar::paint
