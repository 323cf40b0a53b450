#pragma once

#include "paint/core/paint_types.h"

#include <QWidget>

#include <map>
#include <vector>

class QCheckBox;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace velmar::paint {

class OptionList;
class PaintDocument;

// The editor's left column (Panel3): the twelve tool buttons and, below them, the option panel
// of the current tool: zoom list, fill-style list, placement list, fill tolerance with "Все",
// the "Шрифт" button of the text tool and the line's arrow heads.
class ToolColumn : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 59;

    ToolColumn(PaintDocument& document, QWidget* parent = nullptr);

    QToolButton* button(ToolId tool) const;
    OptionList* zoomList() const { return m_zoomList; }
    OptionList* fillStyleList() const { return m_fillStyleList; }
    OptionList* placementList() const { return m_placementList; }
    OptionList* arrowHeadList() const { return m_arrowHeadList; }
    // The option lists, for the window's keys and reports.
    std::vector<OptionList*> optionLists() const
    {
        return {m_zoomList, m_fillStyleList, m_placementList, m_arrowHeadList};
    }
    QSpinBox* toleranceSpinner() const { return m_tolerance; }
    QCheckBox* fillAllBox() const { return m_fillAll; }
    QPushButton* fontButton() const { return m_fontButton; }

    // Lowers the current tool's button, raises the others and shows the current tool's options.
    void refresh();

signals:
    void toolClicked(ToolId tool);
    void zoomRowClicked(int row);
    void placementRowClicked(int row);
    void fontClicked();

private:
    PaintDocument& m_document;
    std::map<ToolId, QToolButton*> m_buttons;
    QWidget* m_zoomPanel = nullptr;       // Panel54
    QWidget* m_fillStylePanel = nullptr;  // Panel55
    QWidget* m_placementPanel = nullptr;  // Panel63
    QWidget* m_tolerancePanel = nullptr;  // Panel64
    QWidget* m_fontPanel = nullptr;       // Panel62
    QWidget* m_arrowHeadPanel = nullptr;
    OptionList* m_zoomList = nullptr;
    OptionList* m_fillStyleList = nullptr;
    OptionList* m_placementList = nullptr;
    OptionList* m_arrowHeadList = nullptr;
    QSpinBox* m_tolerance = nullptr;
    QCheckBox* m_fillAll = nullptr;
    QPushButton* m_fontButton = nullptr;
};

}  // namespace velmar::paint
