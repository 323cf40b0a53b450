#include "storage/film_still.h"

#include "storage/decode_limits.h"
#include "storage/film_picture_module.h"
#include "system/file_io.h"
#include "system/program_module.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace velmar {

namespace {

// --- the module ------------------------------------------------------------------------------

struct FilmModule {
    VelmarReadFilmPicture read = nullptr;
    VelmarFreeFilmPicture release = nullptr;
    QString error;
};

FilmModule loadModule()
{
    FilmModule module;
    const auto found = loadProgramModule(QStringLiteral("velmar_film_pictures.so"), "VELMAR_FILM_MODULE",
                                         {"velmarReadFilmPicture", "velmarFreeFilmPicture"}, &module.error);
    if (!found.empty()) {
        module.read = reinterpret_cast<VelmarReadFilmPicture>(found[0]);
        module.release = reinterpret_cast<VelmarFreeFilmPicture>(found[1]);
        return module;
    }
    module.error =
        module.error.isEmpty()
            ? QCoreApplication::translate("FilmStill", "модуль чтения фильмов не найден")
            : QCoreApplication::translate("FilmStill", "модуль чтения фильмов не загружается: %1").arg(module.error);
    return module;
}

// All of this is touched under the one lock below.
QMutex stillsLock;
FilmModule* loadedModule = nullptr;

const FilmModule& module()
{
    if (!loadedModule)
        loadedModule = new FilmModule(loadModule());  // kept for the life of the process
    return *loadedModule;
}

// --- the outline's budget --------------------------------------------------------------------

std::shared_ptr<PictureBudget> budget;
qint64 timeLeftMs = kFilmsTimeLimitMs;

PictureBudget& currentBudget()
{
    if (!budget)
        budget = std::make_shared<PictureBudget>(0);
    return *budget;
}

// --- reading a file through the module -------------------------------------------------------

struct FileInput {
    int handle = -1;
    qint64 position = 0;
    qint64 size = 0;
};

int readFile(void* opaque, uint8_t* buffer, int size)
{
    auto* in = static_cast<FileInput*>(opaque);
    for (;;) {
        const ssize_t got = ::pread(in->handle, buffer, size_t(std::max(0, size)), off_t(in->position));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        in->position += got;
        return int(got);
    }
}

int64_t seekFile(void* opaque, int64_t offset, int whence)
{
    auto* in = static_cast<FileInput*>(opaque);
    constexpr int kAskSize = 0x10000;
    qint64 at = 0;
    switch (whence) {
    case kAskSize: return in->size;
    case SEEK_SET: at = offset; break;
    case SEEK_CUR: at = in->position + offset; break;
    case SEEK_END: at = in->size + offset; break;
    default: return -1;
    }
    if (at < 0)
        return -1;
    in->position = at;
    return at;
}

QString statusText(int status, const VelmarFilmPicture& picture, bool budgetRefused)
{
    switch (status) {
    case VelmarFilmNotAFilm:
        return QCoreApplication::translate("FilmStill", "формат файла не распознан: это не фильм или фильм повреждён");
    case VelmarFilmNoVideo: return QCoreApplication::translate("FilmStill", "в файле нет видео");
    case VelmarFilmUnsupportedCodec:
        return QCoreApplication::translate("FilmStill", "видео сжато способом, который программа не читает");
    case VelmarFilmTooLarge:
        if (picture.frameWidth <= 0 || picture.frameHeight <= 0)
            return QCoreApplication::translate("FilmStill", "кадр фильма слишком велик");
        if (budgetRefused)
            return QCoreApplication::translate(
                       "FilmStill",
                       "кадр %1 × %2 точек: фильмы и рисунки конспекта вместе слишком велики для его размера")
                .arg(picture.frameWidth)
                .arg(picture.frameHeight);
        return QCoreApplication::translate("FilmStill", "кадр %1 × %2 точек слишком велик")
            .arg(picture.frameWidth)
            .arg(picture.frameHeight);
    case VelmarFilmTimedOut:
        return QCoreApplication::translate("FilmStill", "первый кадр не прочитан за отведённое время");
    case VelmarFilmReadLimit:
        return QCoreApplication::translate(
            "FilmStill", "первый кадр не найден в той части файла, которую фильму позволено прочитать");
    default: return QCoreApplication::translate("FilmStill", "файл фильма повреждён");
    }
}

struct Reading {
    FilmStill still;
    bool reduced = false;  // the picture is smaller than the frame
};

// Reads the film's first picture at no more than `size`, charging the outline's budget unless
// this file was charged before. Called under the lock.
Reading readFilm(const QString& path, QSize size, bool charge)
{
    Reading result;
    QString problem;
    FileInput input;
    input.handle = openRegularFile(path, &problem);
    if (input.handle < 0) {
        result.still.problem = problem;
        return result;
    }
    struct stat info {};
    input.size = ::fstat(input.handle, &info) == 0 ? qint64(info.st_size) : 0;
    const FilmModule& m = module();
    if (!m.read) {
        ::close(input.handle);
        result.still.problem = m.error;
        return result;
    }
    if (timeLeftMs <= 0) {
        ::close(input.handle);
        result.still.problem =
            QCoreApplication::translate("FilmStill", "время, отведённое на чтение фильмов конспекта, истекло");
        return result;
    }
    PictureBudget& pixels = currentBudget();
    if (charge)
        pixels.grant(input.size);
    VelmarFilmRequest request{};
    request.version = kVelmarFilmModuleVersion;
    request.input = {&input, readFile, seekFile};
    request.maxWidth = std::clamp(size.width(), 1, kMaxStillSide);
    request.maxHeight = std::clamp(size.height(), 1, kMaxStillSide);
    // A film already charged is read again at a larger size within what one picture may have.
    const qint64 framePixelsAllowed =
        charge ? std::min(JpegLimits::maxPixels, pixels.pixelsLeft()) : JpegLimits::maxPixels;
    request.maxFramePixels = std::max<qint64>(1, framePixelsAllowed);
    request.maxBytesRead = kFilmReadLimitBytes;
    request.timeoutMs = int(std::min<qint64>(kFilmTimeLimitMs, timeLeftMs));
    QElapsedTimer clock;
    clock.start();
    VelmarFilmPicture picture{};
    const int status = m.read(&request, &picture);
    timeLeftMs -= clock.elapsed();
    ::close(input.handle);
    const qint64 frame = qint64(std::max(0, picture.frameWidth)) * std::max(0, picture.frameHeight);
    if (status == VelmarFilmOk && picture.pixels) {
        QImage image(picture.width, picture.height, QImage::Format_RGB32);
        for (int y = 0; y < picture.height; ++y)
            std::copy_n(picture.pixels + qsizetype(y) * picture.width, picture.width,
                        reinterpret_cast<QRgb*>(image.scanLine(y)));
        result.still.picture = image;
        result.reduced = picture.width < picture.frameWidth || picture.height < picture.frameHeight;
        if (charge)
            pixels.take(frame > 0 ? frame : qint64(picture.width) * picture.height);
    } else {
        const bool budgetRefused = status == VelmarFilmTooLarge && frame > 0 && frame <= JpegLimits::maxPixels;
        result.still.problem = statusText(status, picture, budgetRefused);
    }
    m.release(&picture);
    return result;
}

// --- the stills kept ---------------------------------------------------------------------------

struct KeptStill {
    QDateTime modified;
    qint64 size = -1;
    QImage picture;
    bool reduced = false;
    QString problem;
};

QHash<QString, KeptStill>& keptStills()
{
    static QHash<QString, KeptStill> stills;
    return stills;
}

QStringList& problems()
{
    static QStringList lines;
    return lines;
}

QImage reducedToLimit(const QImage& picture)
{
    if (picture.width() <= kMaxStillSide && picture.height() <= kMaxStillSide)
        return picture;
    return picture.scaled(QSize(kMaxStillSide, kMaxStillSide), Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

void rememberFilmStill(const QString& path, const QImage& picture)
{
    const QFileInfo info(path);
    if (picture.isNull() || !info.isFile())
        return;
    const QImage kept = reducedToLimit(picture);
    const QMutexLocker lock(&stillsLock);
    keptStills().insert(info.absoluteFilePath(),
                        KeptStill{info.lastModified(), info.size(), kept, kept.size() != picture.size(), {}});
}

FilmStill readFilmStill(const QString& path, QSize drawnSize)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    const QString key = info.absoluteFilePath();
    const QSize wanted = drawnSize.expandedTo(QSize(1, 1)).boundedTo(QSize(kMaxStillSide, kMaxStillSide));
    const QMutexLocker lock(&stillsLock);
    const auto kept = keptStills().constFind(key);
    const bool known =
        kept != keptStills().cend() && kept->modified == info.lastModified() && kept->size == info.size();
    if (known) {
        if (!kept->problem.isEmpty())
            return {{}, kept->problem};
        const bool enough = kept->picture.width() >= wanted.width() && kept->picture.height() >= wanted.height();
        if (enough || !kept->reduced)
            return {kept->picture, {}};
    }
    // A larger drawing of a film already read wants more of it: read again, charged once.
    const QSize size = known ? wanted.expandedTo(kept->picture.size()) : wanted;
    Reading read = readFilm(key, size, !known);
    if (read.still.picture.isNull()) {
        if (known)
            return {kept->picture, {}};
        const QString line = QStringLiteral("«%1»: %2").arg(info.fileName(), read.still.problem);
        if (!problems().contains(line))
            problems() << line;
        // Kept, timeouts too: every drawing of the outline would wait again (a new outline tries
        // again, see useFilmBudget).
        if (info.isFile())
            keptStills().insert(key, KeptStill{info.lastModified(), info.size(), {}, false, read.still.problem});
        return read.still;
    }
    keptStills().insert(key, KeptStill{info.lastModified(), info.size(), read.still.picture, read.reduced, {}});
    return read.still;
}

void useFilmBudget(std::shared_ptr<PictureBudget> outlineBudget)
{
    const QMutexLocker lock(&stillsLock);
    budget = std::move(outlineBudget);
    timeLeftMs = kFilmsTimeLimitMs;
    // Stills kept for the last outline stay (they were paid for); films that failed are read
    // afresh for the new outline, which may have the budget or the time they lacked.
    for (auto it = keptStills().begin(); it != keptStills().end();)
        it = it->problem.isEmpty() ? std::next(it) : keptStills().erase(it);
}

QStringList takeFilmProblems()
{
    const QMutexLocker lock(&stillsLock);
    return std::exchange(problems(), {});
}

bool filmPictureModuleLoaded()
{
    const QMutexLocker lock(&stillsLock);
    return loadedModule && loadedModule->read;
}

}  // namespace velmar
