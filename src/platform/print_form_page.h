#pragma once

#include "model/print_form.h"

#include <QWidget>

class QButtonGroup;
class QSpinBox;

namespace velmar {

// The print dialog's page "Что печатать": the outline, handouts of 1, 2, 4 or 6 steps a page, the
// exercise sheet, or a poster of columns × rows sheets. Its buttons are named choice… so that a
// driver of the real dialog finds them (see the window report).
class PrintFormPage : public QWidget {
public:
    explicit PrintFormPage(const PrintForm& current, QWidget* parent = nullptr);

    PrintForm form() const;

private:
    void updateEnabled();

    QButtonGroup* m_kinds;
    QButtonGroup* m_counts;
    QSpinBox* m_columns;
    QSpinBox* m_rows;
};

}  // namespace velmar
