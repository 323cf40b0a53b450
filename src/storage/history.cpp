#include "storage/history.h"

#include "storage/extension_block.h"
#include "storage/object_fields.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "system/file_io.h"
#include "system/working_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <sys/stat.h>

namespace velmar {

namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// The longest header snapshot read back: the header record with room for what follows it.
constexpr qint64 kMaxHeaderSnapshotBytes = 16LL * 1024 * 1024;

HistoryResult failure(const QString& message)
{
    HistoryResult result;
    result.ok = false;
    result.message = message;
    return result;
}

void describeState(HistoryResult& result, const Document& doc)
{
    result.outlineName = doc.state.outlineName;
    result.canvasColour = doc.state.canvasColour;
    result.windowSize = doc.state.windowSize;
}

// Reads the header-only snapshot of a step; false with a message when it is missing or refused.
bool readHeaderSnapshot(const QString& path, OutlineHeader* header, QString* message)
{
    QString problem;
    // The record, then the block of what it cannot hold (texts beyond Windows-1251, appearance).
    const std::optional<QByteArray> bytes =
        readRegularFileStart(path, layout::kHeaderSize + extension::kPreambleSize + extension::kMaxPayload, &problem);
    if (!bytes) {
        *message = QFileInfo::exists(path)
                       ? QCoreApplication::translate("History", "Не удалось открыть снимок «%1»: %2.")
                             .arg(shown(path), problem)
                       : QCoreApplication::translate("History",
                                                     "Снимок «%1» не найден: состояние этого шага восстановить нельзя.")
                             .arg(shown(path));
        return false;
    }
    const HeaderReadResult read = readOutlineHeaderWithBlock(*bytes);
    if (!read.ok()) {
        *message = headerProblemMessage(read, shown(path));
        return false;
    }
    *header = read.header;
    return true;
}

void takeDocumentValues(Document& doc, const QString& name, ColourValue colour, QSize windowSize)
{
    doc.state.outlineName = name;
    doc.state.canvasColour = colour;
    doc.state.windowSize = windowSize;
}

// Replaces the document's objects with a loaded outline; the zoom keeps its reference size.
void install(Document& doc, LoadResult& loaded)
{
    const QSize reference = doc.outline.referenceClientSize();
    const double ownScale = doc.outline.ownLayoutScale();
    const int ownGrid = doc.outline.ownLayoutGridStep();
    doc.outline = std::move(loaded.outline);
    doc.outline.setReferenceClientSize(reference);
    doc.outline.setOwnLayoutScale(ownScale, ownGrid);
    takeDocumentValues(doc, loaded.outlineName, loaded.canvasColour, loaded.windowSize);
}

QString changedOnDiskMessage(const QString& path)
{
    return QCoreApplication::translate("History",
                                       "Файл, открытый в начале истории, изменён другой программой: снимок «%1» больше "
                                       "не хранит этот шаг, восстановить его нельзя.")
        .arg(shown(path));
}

// Whether the file at `path` holds exactly the bytes `image` would write: its size, header record
// and extension block (the picture streams are the file's own, kept from reading it).
bool fileHoldsImage(const QString& path, const OutlineImage& image)
{
    const QFileInfo info(path);
    if (!image.ok || !info.isFile() || info.size() != image.fileSize())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Compared a piece at a time through one small buffer: a copy of the whole record would be
    // fresh memory on every Open.
    const auto holds = [&file](QByteArrayView expected) {
        char piece[64 * 1024];
        for (qsizetype at = 0; at < expected.size();) {
            const qint64 wanted = std::min<qint64>(qint64(sizeof piece), expected.size() - at);
            if (file.read(piece, wanted) != wanted
                || std::memcmp(piece, expected.data() + at, std::size_t(wanted)) != 0)
                return false;
            at += qsizetype(wanted);
        }
        return true;
    };
    if (!holds(image.header))
        return false;
    if (image.extension.isEmpty())
        return true;
    return file.seek(info.size() - image.extension.size()) && holds(image.extension);
}

// Rebuilds the outline as it was at the current step, coming from step `from`. Like the readers, it
// gives the outline the canvas its stored window has in the usual frame; a window with another
// frame gives it its own afterwards.
HistoryResult restoreStep(Document& doc, int from)
{
    const QString folder = snapshotFolder(doc);
    const int step = doc.history.currentStep;
    const QString full = snapshotPathIn(folder, step, true);
    const QString header = snapshotPathIn(folder, step, false);
    HistoryResult result;
    QString message;

    if (QFileInfo::exists(full)) {
        if (!snapshotIntact(full))
            return failure(changedOnDiskMessage(full));
        LoadResult loaded = readOutlineFile(full, defaultWindowChrome());
        if (!loaded.ok)
            return failure(loaded.message);
        install(doc, loaded);
        result.reloaded = true;
        result.message = loaded.message;  // pictures that could not be read, if any
        describeState(result, doc);
        return result;
    }

    // Did the set of objects change between this step and the one shown (or the next one)?
    bool objectsChanged = false;
    for (int k = step + 1; k <= std::max(from, step + 1); ++k)
        objectsChanged = objectsChanged || QFileInfo::exists(snapshotPathIn(folder, k, true));
    if (objectsChanged) {
        // The objects changed on the way to the next step, so the present ones may not be this
        // step's: start from the nearest complete snapshot below and apply this step's header.
        for (int k = step - 1; k >= 0; --k) {
            const QString base = snapshotPathIn(folder, k, true);
            if (!QFileInfo::exists(base))
                continue;
            if (!snapshotIntact(base))
                return failure(changedOnDiskMessage(base));
            LoadResult loaded = readOutlineFile(base, defaultWindowChrome());
            if (!loaded.ok)
                return failure(loaded.message);
            OutlineHeader h;
            if (!readHeaderSnapshot(header, &h, &message))
                return failure(message);
            QString problem;
            if (!applyHeaderToOutline(h, loaded.outline, &problem))
                return failure(QCoreApplication::translate(
                                   "History", "Снимок «%1» не подходит к снимку «%2» (%3): шаг восстановить нельзя.")
                                   .arg(shown(header), shown(base), problem));
            loaded.outline.setClientSize(canvasSizeIn(QSize(h.windowWidth, h.windowHeight), defaultWindowChrome()));
            loaded.outlineName = h.outlineName;
            loaded.canvasColour = h.canvasColour;
            loaded.windowSize = QSize(h.windowWidth, h.windowHeight);
            install(doc, loaded);
            result.reloaded = true;
            result.message = loaded.message;
            describeState(result, doc);
            return result;
        }
    }

    OutlineHeader h;
    if (!readHeaderSnapshot(header, &h, &message))
        return failure(message);
    QString problem;
    if (!applyHeaderToOutline(h, doc.outline, &problem))
        return failure(QCoreApplication::translate(
                           "History", "Снимок «%1» не подходит к объектам конспекта (%2): шаг восстановить нельзя.")
                           .arg(shown(header), problem));
    doc.outline.setClientSize(canvasSizeIn(QSize(h.windowWidth, h.windowHeight), defaultWindowChrome()));
    takeDocumentValues(doc, h.outlineName, h.canvasColour, QSize(h.windowWidth, h.windowHeight));
    describeState(result, doc);
    return result;
}

// The nearest step from `step` on, in the direction `by`, whose snapshot was written (a step whose
// write failed has none), or `step` itself when none up to `last` was.
int nearestRestorable(const HistoryState& history, int step, int by, int last)
{
    for (int k = step; by < 0 ? k >= last : k <= last; k += by)
        if (!history.unwrittenSteps.count(k))
            return k;
    return step;
}

HistoryResult moveTo(Document& doc, int step)
{
    const int from = doc.history.currentStep;
    doc.history.currentStep = step;
    HistoryResult result = restoreStep(doc, from);
    if (!result.ok) {
        doc.history.currentStep = from;  // the outline on screen is still the one of that step
        return result;
    }
    const auto kept = doc.history.stepObjects.find(step);
    if (kept != doc.history.stepObjects.end())
        keepUnsavedDetails(doc.outline, kept->second);
    doc.state.modified = step != doc.history.savedStep;
    return result;
}

}  // namespace

namespace {

// Makes the history folder when it is missing; empty when it is there, otherwise why not.
QString makeHistoryFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return {};
    QDir().mkpath(QFileInfo(folder).absolutePath());
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || errno == EEXIST)
        return {};
    return systemErrorText(errno);
}

}  // namespace

QString snapshotFolder(const Document& doc)
{
    if (!doc.history.folder.isEmpty())
        return doc.history.folder;
    return historyFolder(doc.history.programFolder.isEmpty() ? programFolder() : doc.history.programFolder);
}

HistoryResult recordStep(Document& doc, StepKind kind)
{
    HistoryState& history = doc.history;
    doc.state.modified = true;
    const int abandoned = history.highestStep;
    const int step = ++history.currentStep;
    history.highestStep = step;

    const QString folder = snapshotFolder(doc);
    const QString folderProblem = makeHistoryFolder(folder);
    // Steps above this one belong to a branch that undo left behind; none of their files may be
    // found by a later restore.
    for (int k = step + 1; k <= abandoned; ++k) {
        removeSnapshot(snapshotPathIn(folder, k, true));
        removeSnapshot(snapshotPathIn(folder, k, false));
    }
    const bool full = kind == StepKind::Full || step == 0 || history.nextStepComplete;
    const QString openedFile = std::exchange(doc.history.openedFile, QString());
    // A step has one snapshot: a complete one of this number must not outlive a newer header.
    removeSnapshot(snapshotPathIn(folder, step, !full));
    // A complete snapshot may be offered after a crash, so it appears only once written whole.
    const QString path = snapshotPathIn(folder, step, full);
    const OutlineImage image = buildOutlineImage(doc, full);
    WriteResult written;
    // An outline just read and still as its file has it needs no copy of that file: the step is
    // the file itself, linked (or cloned) into the history folder.
    if (full)
        removeSnapshot(path);
    // An outline the program adjusted on opening (sequences renumbered, zoomed to a larger
    // window) still starts from its file: the file is step 0, and the adjustment follows as a
    // header step, which undo does not go back past.
    bool adjusted = false;
    if (full && !openedFile.isEmpty() && fileHoldsImage(openedFile, image) && linkSnapshot(openedFile, path))
        written.ok = true;
    else if (full && step == 0 && !openedFile.isEmpty() && linkSnapshot(openedFile, path))
        written.ok = adjusted = true;
    else
        written = writeSnapshotFile(path, image, full);
    if (step == 0)
        history.firstStep = 0;
    // Without this step's file the objects of the next step cannot be told from the last ones
    // written down: the next step must be complete, whichever kind this one was.
    history.nextStepComplete = !written.ok;
    if (!written.ok)
        removeSnapshot(path);  // a partly written snapshot must not be mistaken for this step
    // The snapshots carry texts beyond Windows-1251 and the appearance properties in their block;
    // what no file holds (the zoom's reference layout) is kept beside them, for undo and redo.
    history.stepObjects.erase(history.stepObjects.upper_bound(step - 1), history.stepObjects.end());
    history.stepObjects.emplace(step, doc.outline);
    history.unwrittenSteps.erase(history.unwrittenSteps.upper_bound(step - 1), history.unwrittenSteps.end());
    if (!written.ok)
        history.unwrittenSteps.insert(step);

    if (adjusted) {
        // Step 0 holds the file as it is; the outline as the program shows it is step 1.
        history.stepObjects.erase(0);
        history.firstStep = 1;
        return recordStep(doc, StepKind::HeaderOnly);
    }

    HistoryResult result;
    result.ok = written.ok;
    // A folder that could not be made is the real reason, not the missing folder the write met.
    result.message = written.ok || folderProblem.isEmpty()
                         ? written.message
                         : QCoreApplication::translate("History", "Не удалось создать папку истории «%1»: %2.")
                               .arg(QDir::toNativeSeparators(folder), folderProblem);
    describeState(result, doc);
    return result;
}

HistoryResult startHistory(Document& doc)
{
    cleanUp(doc);
    doc.history.nextStepComplete = false;
    doc.history.currentStep = -1;
    doc.history.highestStep = -1;
    doc.history.savedStep = -1;
    doc.history.stepObjects.clear();
    doc.history.unwrittenSteps.clear();
    return recordStep(doc, StepKind::Full);
}

void markSaved(Document& doc)
{
    doc.history.savedStep = doc.history.currentStep;
    doc.state.modified = false;
}

bool canUndo(const Document& doc) { return doc.history.currentStep > std::max(0, doc.history.firstStep); }
bool canRedo(const Document& doc) { return doc.history.currentStep < doc.history.highestStep; }

HistoryResult undo(Document& doc)
{
    if (!canUndo(doc))
        return failure(QCoreApplication::translate("History", "Отменять нечего: это первый шаг истории."));
    return moveTo(doc,
                  nearestRestorable(doc.history, doc.history.currentStep - 1, -1, std::max(0, doc.history.firstStep)));
}

HistoryResult redo(Document& doc)
{
    if (!canRedo(doc))
        return failure(QCoreApplication::translate("History", "Повторять нечего: это последний шаг истории."));
    return moveTo(doc, nearestRestorable(doc.history, doc.history.currentStep + 1, 1, doc.history.highestStep));
}

void cleanUp(const Document& doc)
{
    const QDir folder(snapshotFolder(doc));
    const QStringList names = namesIn(folder, u"temp", {u".tm1", u".tm2"}, QDir::Files);
    for (const QString& name : names)
        if (snapshotStep(name) >= 0)
            removeSnapshot(folder.filePath(name));
    // Notes of links that were never made (an end between the note and the link).
    for (const QString& name : namesIn(folder, u"temp", {u".tml"}, QDir::Files))
        QFile::remove(folder.filePath(name));
}

int applyLaterSteps(LoadResult& loaded, const QString& folder, int step)
{
    for (int next = step + 1;; ++next) {
        if (QFileInfo::exists(snapshotPathIn(folder, next, true)))
            return next - 1;  // the set of objects changed there: stop at what is known to fit
        // A header snapshot is the header record and its extension block; anything far longer is
        // not one of ours.
        const std::optional<QByteArray> bytes =
            readRegularFile(snapshotPathIn(folder, next, false), kMaxHeaderSnapshotBytes, nullptr);
        if (!bytes)
            return next - 1;
        const HeaderReadResult read = readOutlineHeaderWithBlock(*bytes);
        QString problem;
        if (!read.ok() || !applyHeaderToOutline(read.header, loaded.outline, &problem))
            return next - 1;
        loaded.outlineName = read.header.outlineName;
        loaded.canvasColour = read.header.canvasColour;
        loaded.windowSize = QSize(read.header.windowWidth, read.header.windowHeight);
    }
}

}  // namespace velmar
