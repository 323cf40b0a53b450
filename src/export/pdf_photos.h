#pragma once

#include "model/document.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <vector>

namespace velmar {

// What a JPEG stream's markers declare, read without decoding anything.
struct JpegFacts {
    QSize size;
    int components = 0;
    int precision = 0;
    bool adobe = false;       // an APP14 "Adobe" marker: a four-component stream holds inverted inks
    bool embeddable = false;  // a PDF reader's DCT filter takes the stream as it is
};
JpegFacts readJpegFacts(const QByteArray& stream);

// PDF documents that carry the photos' stored JPEG streams byte for byte. Qt's PDF writer
// compresses every picture it is given anew, so the outline is drawn from a copy of the document
// whose photos are small stand-ins, each of a plain colour of its own; each stand-in becomes
// a picture object of its own in the PDF, placed, scaled and clipped as the photo would be (a PDF
// picture fills the unit square its placement maps, whatever its pixel size). embedStreams() then
// puts each photo's stream in its stand-in's place and writes the cross-reference table anew. No
// photo is decoded or encoded; a picture without a stream a PDF reader takes (an edited picture,
// an arithmetic-coded or 12-bit stream) is drawn from its pixels as before.
class PdfPhotos {
public:
    explicit PdfPhotos(const Document& document);

    // The document to draw: the photos with streams replaced by their stand-ins.
    const Document& document() const { return m_document; }

    // The PDF with every stand-in it holds replaced by its photo's stream; the PDF unchanged when
    // it cannot be read as the writer writes it.
    QByteArray embedStreams(const QByteArray& pdf) const;

    // How many streams go in (pictures of the same stream count once).
    int streamCount() const { return int(m_photos.size()); }

private:
    struct Photo {
        QByteArray stream;
        JpegFacts facts;
        QImage standIn;
    };
    Document m_document;
    std::vector<Photo> m_photos;
};

}  // namespace velmar
