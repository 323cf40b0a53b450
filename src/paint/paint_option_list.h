#pragma once

#include <QImage>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <vector>

namespace velmar::paint {

// A small owner-drawn list of the editor's left column (zoom, fill style, placement): rows of a
// fixed height on the button-face colour, each with a text or a picture drawn at a fixed point,
// the current row highlighted. A click or the arrow keys choose a row.
class OptionList : public QWidget {
    Q_OBJECT
public:
    struct Row {
        QString text;
        QImage picture;
        QPoint picturePos;  // where the picture goes, in the list's own coordinates
        QString name;       // what assistive technology announces for a picture row
    };

    OptionList(const QString& objectName, int itemHeight, std::vector<Row> rows, QWidget* parent = nullptr);

    int currentRow() const { return m_current; }
    // Shows row as the current one without announcing it.
    void setCurrentRow(int row);
    int rowCount() const { return int(m_rows.size()); }
    int itemHeight() const { return m_itemHeight; }
    // The row's announced name: its name if it has one, else its text without padding.
    QString rowName(int row) const;
    QRect rowRect(int row) const { return {1, 1 + row * m_itemHeight, width() - 2, m_itemHeight}; }
    // The centre of a row, for clicking it.
    QPoint rowCentre(int row) const { return {width() / 2, row * m_itemHeight + m_itemHeight / 2}; }

signals:
    void rowClicked(int row);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void choose(int row);

    int m_itemHeight;
    std::vector<Row> m_rows;
    int m_current = 0;
};

// Lets assistive technology see each row of an option list as a list item of its own, named,
// with the current row selected (installed once, by the first list made).
void installOptionListAccessibility();
// Tells assistive technology that the list's current row changed.
void announceCurrentRow(OptionList* list);

}  // namespace velmar::paint
