#pragma once

#include <QColor>
#include <QString>

class QColorDialog;
class QFileDialog;
class QFontDialog;
class QWidget;

namespace velmar {

// The Russian name of a font style as font files give it in English ("Bold Oblique" →
// "Жирный наклонный"): word by word, words it does not know kept as they are.
QString russianStyleName(const QString& style);

// Makes Qt's font dialog speak Russian where Qt's catalogue cannot: the style list shows the
// styles' Russian names (the dialog keeps working with the real ones), and the sample is Cyrillic.
void russifyFontDialog(QFontDialog* dialog);

// The sample text of the font dialog.
QString fontSampleText();

// Shows the file dialog's dates as Russian dates: Qt writes them in the system's locale, which
// may be English while the program speaks Russian.
void russifyFileDialog(QFileDialog* dialog);

// Widens the colour dialog's column to the whole Russian caption of its "add to custom colours"
// button, which Qt's layout would cut to the width of the colour grids.
void showWholeButtonCaptions(QColorDialog* dialog);

// Qt's colour dialog, with the whole caption of its "add to custom colours" button in view.
QColor chooseColourInDialog(QWidget* parent, const QColor& initial, const QString& title);

}  // namespace velmar
