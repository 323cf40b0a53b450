#pragma once

#include <QByteArray>
#include <QString>

namespace velmar {

// Text as XML character data or an attribute value: markup characters escaped, and characters
// an XML document cannot hold (control characters other than tab, CR and LF; U+FFFE, U+FFFF)
// left out.
QString xmlText(const QString& text);

// Whether an XML 1.0 document may hold the character: C0 and C1 controls other than tab, CR and
// LF are not kept either (they are allowed only as references, and no drawing means them), nor
// surrogates standing alone, U+FFFE and U+FFFF.
bool keptInXml(char32_t c);

// Turns the drawing Qt's SVG generator wrote into a document any SVG reader takes as it is
// meant: characters XML cannot hold are dropped wherever they are, the document is titled with
// `title` (escaped), every font family gets the generic family of its shape to fall back on, and
// the pieces one line of text was drawn in become one text element. Empty when the result would
// still not be well-formed XML.
QByteArray finishSvg(const QByteArray& generated, const QString& title);

// True when the bytes are one well-formed XML document.
bool isWellFormedXml(const QByteArray& bytes);

}  // namespace velmar
