#pragma once

#include "model/colour.h"
#include "model/window_layout.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// Writes outlines in the line-oriented format of earlier program versions (.vmc text, .blc
// pictures), as those versions wrote them, so that tests can build fixtures field by field and
// then damage them line by line or byte by byte.
namespace velmar::oldformat {

struct Frame {
    QRect bounds;
    velmar::ColourValue colour = velmar::kButtonFace;
    int innerBevel = 0;
    int outerBevel = 2;
    int borderLine = 0;
    QString title;
    int titleVisible = 1;
    QString minimalText;  // "4.0" only
    int sequencePosition = 0;
};

struct TextField {
    int parent = 0;
    QRect bounds;
    QString text;                                          // line breaks as CR LF
    velmar::ColourValue background = velmar::kButtonFace;  // not in "3.5"
    int alignment = 0;                                     // not in "3.5"
    QString fontName = QStringLiteral("MS Sans Serif");
    int fontSize = 10;
    velmar::ColourValue fontColour = velmar::kWindowText;
    int pitch = 0;
    int style = 0;
    QString minimalText;  // "4.0" only
    int sequencePosition = 0;
};

struct Arrow {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int penWidth = 1;
    velmar::ColourValue colour = velmar::kBlack;
};

struct Video {
    int parent = 0;
    QRect bounds;
    QString fileName;
    QString minimalText;  // "4.0" only
    int sequencePosition = 0;
};

struct Picture {
    int parent = 0;
    QRect bounds;
    QString minimalText;  // "4.0" only
    int sequencePosition = 0;
    QByteArray stream;   // JPEG (or BMP) data stored in the side file
    int lengthType = 0;  // 2, 3 or 4; 0 = the smallest that holds the length
};

struct Outline {
    QString version = QStringLiteral("4.0");
    QString name;
    velmar::ColourValue canvasColour = velmar::kButtonFace;
    QSize windowSize = velmar::kDefaultWindowSize;
    QList<Frame> frames;
    QList<TextField> textFields;
    QList<Arrow> arrows;
    QList<Video> videos;
    QList<Picture> pictures;
};

// The lines of the .vmc file, without line ends, in Windows-1251.
QList<QByteArray> lines(const Outline& outline);
// Lines joined with CR LF after each.
QByteArray joinLines(const QList<QByteArray>& lines);
QByteArray vmc(const Outline& outline);
// The .blc side file: per picture a length (type byte, little-endian integer) and its stream.
QByteArray blc(const Outline& outline);
// One length as the side file writes it; type 0 picks the smallest type that holds it.
QByteArray length(qint64 value, int type = 0);
// A text in Windows-1251 with line breaks replaced by the substitute bytes of the version.
QByteArray substituted(const QString& text, const QString& version);

// Writes both files (the .blc beside the .vmc); false on a write error.
bool writeFiles(const Outline& outline, const QString& vmcPath);

}  // namespace velmar::oldformat
