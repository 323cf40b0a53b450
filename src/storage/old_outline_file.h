#pragma once

#include "model/object_kinds.h"
#include "storage/load_result.h"

#include <QByteArray>
#include <QSize>
#include <QString>

namespace velmar {

// Reader of the line-oriented outlines of earlier program versions ("4.0", "3.9", "3.5"): a text
// file (.vmc) with the outline and a side file (.blc) with its pictures. There is no writer:
// such outlines are saved in the current format.
//
// The outline is rebuilt into LoadResult::outline through the same creation routines the user's
// commands use, so objects are fitted into their parents exactly as when they were made. The
// canvas they are fitted into is the window size the file stores minus windowChrome.
//
// A refused file (unsupported version, damaged text, missing or damaged side file) gives ok ==
// false with a Russian message that names the file and what is wrong; nothing read so far is
// kept. The information messages of the older versions go into LoadResult::notices.
// pictureScale below 1 reads the pictures for a drawing of the outline at that scale (thumbnails):
// JPEG pictures are decoded at a reduced size and keep no stream.
LoadResult readOldOutlineFile(const QString& vmcPath, QSize windowChrome = defaultWindowChrome(),
                              double pictureScale = 1.0);

// The same from bytes already read. blc is the side file's content, or nullptr when there is no
// side file (which is fine for an outline without pictures). vmcPathForMessages names the files in
// messages.
LoadResult readOldOutline(const QByteArray& vmc, const QByteArray* blc, const QString& vmcPathForMessages,
                          QSize windowChrome = defaultWindowChrome());

// The window size an old outline's text stores (its first lines), or an invalid size when they
// cannot be read; nothing else is read.
QSize oldOutlineWindowSize(const QByteArray& vmc);

// The side file of an old outline: the same path with its extension replaced by ".blc".
QString oldPicturesPath(const QString& vmcPath);

}  // namespace velmar
