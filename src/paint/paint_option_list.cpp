// The owner-drawn option lists of the editor's tool column.
#include "paint/paint_option_list.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace velmar::paint {

OptionList::OptionList(const QString& objectName, int itemHeight, std::vector<Row> rows, QWidget* parent)
    : QWidget(parent), m_itemHeight(itemHeight), m_rows(std::move(rows))
{
    setObjectName(objectName);
    setFocusPolicy(Qt::ClickFocus);
    setFixedHeight(m_itemHeight * int(m_rows.size()) + 2);
    installOptionListAccessibility();
}

QString OptionList::rowName(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const Row& r = m_rows[std::size_t(row)];
    return r.name.isEmpty() ? r.text.trimmed() : r.name;
}

void OptionList::setCurrentRow(int row)
{
    if (row < 0 || row >= rowCount() || row == m_current)
        return;
    m_current = row;
    update();
    announceCurrentRow(this);
}

void OptionList::choose(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    setCurrentRow(row);
    emit rowClicked(row);
}

void OptionList::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    for (int i = 0; i < rowCount(); ++i) {
        const QRect item = rowRect(i);
        if (i == m_current)
            p.fillRect(item, palette().color(QPalette::Highlight));
        const Row& row = m_rows[std::size_t(i)];
        if (!row.picture.isNull()) {
            p.drawImage(row.picturePos, row.picture);
        } else {
            p.setPen(palette().color(i == m_current ? QPalette::HighlightedText : QPalette::ButtonText));
            const QRect room = item.adjusted(2, 0, 0, 0);
            // A text wider than the list (a long word of another language) is set smaller.
            const int wide = fontMetrics().horizontalAdvance(row.text);
            QFont small = font();
            if (wide > room.width() && small.pointSizeF() > 0)
                small.setPointSizeF(std::max(6.0, small.pointSizeF() * room.width() / wide));
            p.setFont(small);
            p.drawText(room, Qt::AlignVCenter | Qt::AlignLeft, row.text);
            p.setFont(font());
        }
    }
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void OptionList::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    choose((event->position().toPoint().y() - 1) / m_itemHeight);
}

void OptionList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up && m_current > 0)
        choose(m_current - 1);
    else if (event->key() == Qt::Key_Down && m_current + 1 < rowCount())
        choose(m_current + 1);
    else
        QWidget::keyPressEvent(event);  // the window's keys (keypad +/−) reach it from here
}

}  // namespace velmar::paint
