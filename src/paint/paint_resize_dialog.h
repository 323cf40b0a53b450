#pragma once

#include "paint/core/picture_transforms.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace velmar::paint {

// "Изменить размер": the new size of the picture (or of the floating piece) in per cent or in
// pixels, the height following the width when the aspect is kept. Shows the size it will give.
class ResizeDialog : public QDialog {
    Q_OBJECT
public:
    ResizeDialog(QSize original, QWidget* parent = nullptr);

    ResizeRequest request() const;
    QSize chosenSize() const { return resizedSize(m_original, request()); }

private:
    void unitChanged();
    void widthChanged();
    void showResult();

    QSize m_original;
    QRadioButton* m_percent = nullptr;
    QRadioButton* m_pixels = nullptr;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    QCheckBox* m_keepAspect = nullptr;
    QLabel* m_result = nullptr;
    bool m_wasPercent = true;
};

// Runs the dialog; the size chosen, or none when it was cancelled or asks for the size there is.
std::optional<QSize> askNewSize(QWidget* parent, QSize original);

}  // namespace velmar::paint
