#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

namespace velmar {

class PictureBudget;

// A film's first picture as a still, for every drawing of an outline that does not play films:
// exported files, printed pages, thumbnails, the web page, the show and the panels before a film
// is played.
//
// A still comes from one of two places. A player that showed a film whose first picture could not
// be read hands over its first picture (rememberFilmStill). Otherwise the film is read by the film
// picture module (FFmpeg's libraries, loaded on the first film; see film_picture_module.h): AVI,
// QuickTime/MP4 and Matroska/WebM files with the usual codecs (Motion JPEG, MPEG-4 Part 2,
// H.264, H.265, VP8, VP9, AV1, DV, uncompressed…).
//
// Reading a stranger's film is bounded like reading a stranger's pictures: only regular files are
// opened; a film may take a few seconds and a few dozen megabytes of reading at most; its frame is
// charged to the decoding budget the outline's pictures share (PictureBudget, together with the
// film's own size); the picture kept is no larger than the size it is drawn at, never a full
// frame of a huge film.

struct FilmStill {
    QImage picture;   // null when there is none
    QString problem;  // then why not, in Russian (without the file's name)
};

// The largest side a still is read at: drawings larger than that stretch it.
inline constexpr int kMaxStillSide = 2048;
// How long one film may take to read, and all films of an outline together.
inline constexpr int kFilmTimeLimitMs = 3000;
inline constexpr int kFilmsTimeLimitMs = 10000;
// What the container reader may read of one film.
inline constexpr qint64 kFilmReadLimitBytes = 64LL * 1024 * 1024;

// The still of the film at path for a drawing of the film at drawnSize (device pixels): what a
// player of this session reported for the file as it is now, or the film read at no more than
// that size (and kept). A still kept at a smaller size is read again when a larger drawing wants
// more and the film has more; a failure is kept and not read again while the file is unchanged.
FilmStill readFilmStill(const QString& path, QSize drawnSize);
inline QImage filmStill(const QString& path, QSize drawnSize) { return readFilmStill(path, drawnSize).picture; }

// A player's first picture of the film at path, kept (reduced to kMaxStillSide) for later
// drawings as long as the file is not changed.
void rememberFilmStill(const QString& path, const QImage& picture);

// The decoding budget of the outline whose films are read from now on: what its pictures left
// (LoadResult::budget). Also starts the outline's reading time afresh. A null budget stands for
// an outline of no pictures.
void useFilmBudget(std::shared_ptr<PictureBudget> budget);

// Films that could not be read since the last call, one line each ("«name.avi»: why").
QStringList takeFilmProblems();

// Whether the film picture module has been loaded in this process.
bool filmPictureModuleLoaded();

}  // namespace velmar
