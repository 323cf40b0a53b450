#pragma once

#include "model/document.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace velmar {

// What the page needs to know about one object while its layer is written.
struct WebLayerInfo {
    QString elementId;  // "frame-2", "picture-1", "text-3", "caption-1", "video-1", "arrow-4"
    int step = 0;       // the reveal step at which it appears
    QString name;       // accessible name and tooltip; empty for none
    QString role;       // ARIA role of its group ("img" or "group")
    QString label;      // a line written over the object's top-left corner (a film's file name)
};

// The outline as an inline SVG element for a web page: the drawing the PDF and SVG exports make
// (one vector drawing at scale 1, texts as text, arrows as strokes), split into one group per
// object so that a page can show and hide objects one by one. Each group carries its element id,
// its reveal step (data-step), its accessible name and a <title> tooltip; groups of the objects
// lying in a frame sit inside the frame's group, clipped to it. Photos are embedded as their JPEG
// streams (as stored, not encoded again). Every element and attribute is written anew by this
// code from the drawing, escaped: nothing from a text or name can become markup.
//
// `describe` gives each object's layer information; objects it leaves without an element id
// are still drawn, in an unnamed group.
//
// With `markedPhotos`, the photos' streams are left for the caller to write in: the address of
// the n-th photo (from 0) is "data:image/jpeg;base64," followed by webPhotoMark(n), and its
// stream is the n-th of *markedPhotos. A page of many photos is then put together in UTF-8 with
// each stream encoded once, straight into it. No text of the drawing holds the mark's character.
QString outlineWebSvg(const Document& document, QSize clientSize, const std::function<WebLayerInfo(ObjectId)>& describe,
                      qint64* embeddedJpegBytes = nullptr, std::vector<QByteArray>* markedPhotos = nullptr);

// The control character around a mark: escaped texts never hold it.
inline constexpr char16_t kWebPhotoMark = 0x01;
QString webPhotoMark(int index);

// A JPEG stream browsers can show for a picture: the stored stream when there is one, otherwise
// the bitmap encoded once (and kept with the picture).
QByteArray pictureJpeg(const PictureObject& picture);

}  // namespace velmar
