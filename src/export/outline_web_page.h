#pragma once

#include "model/document.h"

#include <QByteArray>
#include <QSize>
#include <QString>

namespace velmar {

// An outline as one self-contained web page (HTML, UTF-8, Russian): the outline drawn as vector
// SVG scaled to the browser window, its photos embedded as their JPEG streams, a show that steps
// through the outline's reading order (the program's show keys, a "Показ" button, taps on the
// halves), each object's minimal text as its tooltip and accessible name, the step's minimal text
// under the outline on T, and the summary after the outline. The page makes no request: its
// Content-Security-Policy allows only its own script and style (by their hashes) and embedded
// pictures.

// True for the file names a web page is written to (.html, .htm).
bool isWebPageName(const QString& path);

// The name a chosen file name gets for a web page: ".html" unless it already ends in .html/.htm.
QString webPageFileName(const QString& chosen);

// The page for the outline laid out on a canvas of the given client size. `embeddedJpegBytes`
// receives the size of the photos' JPEG streams the page holds.
QByteArray outlineWebPage(const Document& document, QSize clientSize, qint64* embeddedJpegBytes = nullptr);

// Writes the page atomically. Returns an empty string on success, otherwise a Russian message
// naming the file (nothing is written then).
QString exportWebPage(const Document& document, QSize clientSize, const QString& path);

// The page's script and style sheet as they are written into it, for their hashes.
QByteArray webPageScript();
QByteArray webPageStyle();

}  // namespace velmar
