#pragma once

#include "model/document.h"

#include <QByteArray>
#include <QColor>
#include <QLineF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace velmar {

// One shape of the slide, in the drawn area's pixels (the area --export draws).
struct SlideShape {
    enum class Kind { Box, Picture, Line };
    Kind kind = Kind::Box;
    ObjectId object = 0;  // the outline object the shape shows
    int step = 0;         // the reveal step at which it appears
    QRectF box;           // Box and Picture
    std::optional<QColor> fill;
    std::optional<QColor> border;  // a one-pixel border line
    // The box's text: a frame's title, a caption, a text field's lines ('\n' between them), a
    // film's file name.
    QString text;
    QString fontFamily;
    double fontPixels = 0;  // the font's height in area pixels
    QColor textColour = Qt::black;
    bool bold = false, italic = false, underline = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool wrap = true;  // false: one line, however wide (a frame's title: fonts differ between programs)
    // Picture: the image file as stored in the deck (a picture's own JPEG stream; a film's first
    // picture as PNG) and its type.
    QByteArray image;
    QString imageType;  // "jpeg" or "png"
    QString name;       // a film's file name
    // Line: from p1 to p2 with a head at p2.
    QLineF line;
    double lineWidth = 1;
    bool head = true;
};

// One click of the show: the shapes that appear with it, and its minimal text for the notes.
struct SlideStep {
    std::vector<int> shapes;  // indices into SlideDeck::shapes, in the order they appear
    QString notes;
};

// The outline as one slide: its shapes in drawing order and its reveal steps in the show's
// reading order. Step 0 (the empty start) is what the slide shows before the first click; the
// clicks are the show's steps 1, 2, ...
struct SlideDeck {
    QSize area;  // pixels of the drawn area; the slide keeps its aspect
    QColor background;
    QString title;
    std::vector<SlideShape> shapes;
    std::vector<SlideStep> clicks;
};

// The slide of an outline laid out on a canvas of the given client size, as --export draws it.
// Needs a QApplication (the outline is laid out by the canvas's widgets, off screen).
SlideDeck slideDeck(const Document& document, QSize clientSize);

// The slide's width in inches; its height follows the outline's aspect.
inline constexpr double kSlideWidthInches = 10.0;

// The two files: PowerPoint (Office Open XML) and OpenDocument presentations.
QByteArray pptxDeck(const SlideDeck& deck, QString* error);
QByteArray odpDeck(const SlideDeck& deck, QString* error);

// True for the file names the decks are written to (.pptx, .odp).
bool isSlideDeckName(const QString& path);

// Writes the deck the file name's extension asks for, atomically. Returns an empty string on
// success, otherwise a Russian message naming the file (nothing is written then).
QString exportSlideDeck(const Document& document, QSize clientSize, const QString& path);

}  // namespace velmar
