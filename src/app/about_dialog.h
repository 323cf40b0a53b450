#pragma once

#include <QDialog>

namespace velmar {

// The modeless "О программе" window.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace velmar
