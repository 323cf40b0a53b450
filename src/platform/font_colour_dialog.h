#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QComboBox;
class QFontDialog;
class QLineEdit;

namespace velmar {

// The font dialog of text fields and captions: family, style, size and effects as in Qt's own
// font dialog, and the colour of the text, chosen from the sixteen basic colours or any other.
//
// A family the outline names but this system lacks (such as "MS Sans Serif") is shown as the
// installed family that stands in for it; unless the user picks another family, the dialog gives
// the stored name back, so that the outline keeps it.
class FontColourDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontColourDialog(QWidget* parent = nullptr);

    void setCurrentFont(const QFont& font);
    QFont currentFont() const;
    // An invalid colour is shown as black.
    void setCurrentColour(const QColor& colour);
    QColor currentColour() const { return m_colour; }

    QFontDialog* fontPart() const { return m_fonts; }
    QComboBox* colourBox() const { return m_colourBox; }

private:
    void colourPicked(int index);
    void showColour();

    QFontDialog* m_fonts;
    QComboBox* m_colourBox;
    QLineEdit* m_sample = nullptr;  // the font part's sample text, drawn in the chosen colour
    QColor m_colour = Qt::black;
    QFont m_storedFont;     // the font as given, with the names it had
    QString m_shownFamily;  // the family shown for it
};

}  // namespace velmar
