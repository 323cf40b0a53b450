#pragma once

#include <QWidget>

#include <array>
#include <vector>

namespace velmar::paint {

class PaintDocument;
class PaintEditor;
class PaletteCellWidget;
class ColourSquare;

// The bottom strip of the editor (Panel4): the front and back colour squares and the 28-colour
// palette. A left press on a colour gives it to the front square, a right press to the back
// square; a double-click redefines the colour through the colour dialog for the rest of the run.
class ColourStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 43;

    ColourStrip(PaintEditor& editor, QWidget* parent = nullptr);

signals:
    // A palette colour was pressed (after the square took it): floating pieces take the new
    // back colour as their transparent one.
    void colourPressed();

public:
    // The palette's cells, top row then bottom row.
    std::vector<QWidget*> cells() const;

private:
    void pressed(int index, Qt::MouseButton button);
    void redefine(int index);
    void refreshSquares();

    PaintEditor& m_editor;
    PaintDocument& m_document;
    ColourSquare* m_front = nullptr;
    ColourSquare* m_back = nullptr;
    std::array<PaletteCellWidget*, 28> m_cells{};
};

}  // namespace velmar::paint
