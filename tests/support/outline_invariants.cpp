#include "support/outline_invariants.h"

#include "app/main_window.h"
#include "canvas/arrow_geometry.h"
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/arrow_attachment.h"
#include "model/object_group.h"
#include "model/zoom.h"
#include "storage/history.h"
#include "storage/object_fields.h"
#include "storage/outline_io.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <type_traits>
#include <vector>

using namespace velmar;

namespace {

constexpr int kMinCoordinate = -32768;
constexpr int kMaxCoordinate = 32767;

// Every kind, in the order of their codes.
std::vector<ObjectKind> allKinds()
{
    std::vector<ObjectKind> kinds;
    forEachKind([&](auto tag) { kinds.push_back(tag.kind); });
    return kinds;
}

// The kinds standing in a reading order.
std::vector<ObjectKind> kindsIn(ReadingOrder order)
{
    std::vector<ObjectKind> kinds;
    forEachKind([&](auto tag) {
        if (decltype(tag)::Traits::order == order)
            kinds.push_back(tag.kind);
    });
    return kinds;
}

// Whether an outline file holds the kind's objects (the others do not come back from a file).
bool keptInFiles(ObjectKind kind)
{
    bool kept = false;
    forEachStoredKind([&](const auto& fields) { kept = kept || fields.kind == kind; });
    return kept;
}

// The name of the kind's array in the --info listing.
QString kindName(ObjectKind kind)
{
    return withKind(kind, [](auto tag) { return QString::fromLatin1(fieldsOf<typename decltype(tag)::Object>().key); });
}

ObjectId idAt(const Outline& o, ObjectKind kind, int slot)
{
    return withObject(o, ObjectRef{kind, slot}, [](const auto& object) { return object.id; });
}

// Bounds relative to the parent, as the widget is placed; an arrow's picture for arrows.
QRect boundsAt(const Outline& o, ObjectKind kind, int slot)
{
    return withObject(o, ObjectRef{kind, slot}, [](const auto& object) {
        if constexpr (HasBounds<std::decay_t<decltype(object)>>) {
            return object.bounds;
        } else {
            const ArrowObject& a = object;
            return QRect(std::min(a.x1, a.x2) - 15, std::min(a.y1, a.y2) - 15, std::abs(a.x1 - a.x2) + 30,
                         std::abs(a.y1 - a.y2) + 30);
        }
    });
}

int parentAt(const Outline& o, ObjectKind kind, int slot)
{
    return withObject(o, ObjectRef{kind, slot}, [](const auto& object) {
        if constexpr (HasParentFrame<std::decay_t<decltype(object)>>)
            return object.parentFrame;
        else
            return 0;
    });
}

bool inFileRange(int v) { return v >= kMinCoordinate && v <= kMaxCoordinate; }

QString where(ObjectKind kind, int slot) { return QStringLiteral("%1 %2").arg(kindName(kind)).arg(slot); }

QString rectText(const QRect& r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

void checkSequence(const Outline& o, const Sequence& seq, const QString& name, const std::vector<ObjectKind>& kinds,
                   QStringList& out)
{
    if (seq.length() < 0 || seq.length() > Sequence::kCapacity)
        out << QStringLiteral("%1 sequence length %2 out of range").arg(name).arg(seq.length());
    QHash<ObjectId, int> seen;
    for (int p = 1; p <= seq.length(); ++p) {
        const ObjectId id = seq.entry(p);
        if (id == 0) {
            out << QStringLiteral("%1 sequence: position %2 of %3 is empty").arg(name).arg(p).arg(seq.length());
            continue;
        }
        const ObjectRef ref = o.find(id);
        if (!ref.isValid() || std::find(kinds.begin(), kinds.end(), ref.kind) == kinds.end())
            out << QStringLiteral("%1 sequence: position %2 holds object %3 that is not a live %1 item")
                       .arg(name)
                       .arg(p)
                       .arg(id);
        if (seen.contains(id))
            out << QStringLiteral("%1 sequence: object %2 stands at %3 and %4").arg(name).arg(id).arg(seen[id]).arg(p);
        seen.insert(id, p);
    }
    // Every item belongs in its sequence as long as the sequence has room for it.
    int items = 0;
    for (ObjectKind kind : kinds)
        items += o.count(kind);
    if (items <= Sequence::kCapacity)
        for (ObjectKind kind : kinds)
            for (int k = 1; k <= o.count(kind); ++k)
                if (!seen.contains(idAt(o, kind, k)))
                    out << QStringLiteral("%1 sequence lacks %2").arg(name, where(kind, k));
}

}  // namespace

QStringList modelViolations(const Document& doc)
{
    QStringList out;
    const Outline& o = doc.outline;
    QSet<ObjectId> ids;
    const int frames = o.count(ObjectKind::Frame);
    for (ObjectKind kind : allKinds()) {
        const int count = o.count(kind);
        if (count < 0 || count > kTableCapacity)
            out << QStringLiteral("%1 count %2 outside 0..%3").arg(kindName(kind)).arg(count).arg(kTableCapacity);
        for (int k = 1; k <= count; ++k) {
            const ObjectId id = idAt(o, kind, k);
            if (id == 0 || ids.contains(id))
                out << QStringLiteral("%1 has identity %2, zero or shared").arg(where(kind, k)).arg(id);
            ids.insert(id);
            const ObjectRef ref = o.find(id);
            if (ref.kind != kind || ref.slot != k)
                out << QStringLiteral("%1 is found at another slot").arg(where(kind, k));
            const int parent = parentAt(o, kind, k);
            if (parent < 0 || parent > frames)
                out << QStringLiteral("%1 has parent frame %2 of %3").arg(where(kind, k)).arg(parent).arg(frames);
            const QRect r = boundsAt(o, kind, k);
            if (withKind(kind, [](auto tag) { return HasBounds<typename decltype(tag)::Object>; })
                && (!inFileRange(r.x()) || !inFileRange(r.y()) || r.width() < 0 || r.height() < 0
                    || !inFileRange(r.width()) || !inFileRange(r.height())))
                out << QStringLiteral("%1 bounds %2 cannot be stored").arg(where(kind, k), rectText(r));
        }
    }
    for (int k = 1; k <= o.count(ObjectKind::Arrow); ++k) {
        const ArrowObject& a = o.arrow(k);
        if (a.penWidth < 1 || a.penWidth > 10)
            out << QStringLiteral("arrow %1 pen width %2").arg(k).arg(a.penWidth);
        for (int v : {a.x1, a.x2, a.y1, a.y2})
            if (!inFileRange(v))
                out << QStringLiteral("arrow %1 end point %2 cannot be stored").arg(k).arg(v);
        if ((a.colour & 0xFF000000u) != 0 && !isSystemColour(a.colour))
            out << QStringLiteral("arrow %1 colour %2").arg(k).arg(a.colour, 8, 16, QLatin1Char('0'));
    }
    // An attached arrow end names an object an end can hold on to and stands at its place there.
    for (int k = 1; k <= o.count(ObjectKind::Arrow); ++k) {
        const ArrowObject& a = o.arrow(k);
        for (const auto& [end, point, name] : {std::tuple(a.startAttachment, QPoint(a.x1, a.y1), "start"),
                                               std::tuple(a.endAttachment, QPoint(a.x2, a.y2), "end")}) {
            if (!end.attached())
                continue;
            const std::optional<QPoint> at = attachedPoint(o, end);
            if (!at)
                out << QStringLiteral("arrow %1 %2 is attached to %3, which is none")
                           .arg(k)
                           .arg(QLatin1String(name), where(end.kind, end.slot));
            else if (*at != point)
                out << QStringLiteral("arrow %1 %2 stands at (%3,%4), its place on %5 is (%6,%7)")
                           .arg(k)
                           .arg(QLatin1String(name))
                           .arg(point.x())
                           .arg(point.y())
                           .arg(where(end.kind, end.slot))
                           .arg(at->x())
                           .arg(at->y());
        }
    }
    for (int k = 1; k <= o.count(ObjectKind::Picture); ++k)
        if (o.picture(k).pixelSize().isEmpty())
            out << QStringLiteral("picture %1 has no stored bitmap").arg(k);
    checkSequence(o, o.frameSequence(), QStringLiteral("frame"), kindsIn(ReadingOrder::Frames), out);
    checkSequence(o, o.objectSequence(), QStringLiteral("object"), kindsIn(ReadingOrder::Objects), out);

    const HistoryState& h = doc.history;
    if (h.currentStep < -1 || h.currentStep > h.highestStep)
        out << QStringLiteral("history step %1 of highest %2").arg(h.currentStep).arg(h.highestStep);
    return out;
}

QStringList windowViolations(MainWindow& window)
{
    QStringList out;
    const OpenOutline& doc = window.document();
    const Outline& o = doc.outline;
    OutlineView* view = window.outlineView();
    CanvasWidget* canvas = window.canvas();
    QSet<ObjectId> live;
    for (ObjectKind kind : allKinds())
        for (int k = 1; k <= o.count(kind); ++k) {
            const ObjectId id = idAt(o, kind, k);
            live.insert(id);
            // As shown: asking for a field's editor would make one.
            QWidget* w = view->shownWidget(id);
            if (!w) {
                out << QStringLiteral("%1 has no widget").arg(where(kind, k));
                continue;
            }
            const int parent = parentAt(o, kind, k);
            QWidget* expectedParent = parent > 0 ? static_cast<QWidget*>(view->frameWidget(parent)) : canvas;
            if (w->parentWidget() != expectedParent)
                out << QStringLiteral("%1 widget lies in the wrong parent").arg(where(kind, k));
            QRect placed = boundsAt(o, kind, k);
            // An arrow longer than its widget may be (far off any screen) keeps only its place.
            if (kind == ObjectKind::Arrow
                && (placed.width() > kArrowImageMaxSide || placed.height() > kArrowImageMaxSide))
                placed.setSize(QSize(0, 0));
            if (w->geometry() != placed)
                out << QStringLiteral("%1 widget at %2, model %3")
                           .arg(where(kind, k), rectText(w->geometry()), rectText(boundsAt(o, kind, k)));
            if (w->isHidden())
                out << QStringLiteral("%1 widget is hidden").arg(where(kind, k));
            if (kind == ObjectKind::TextField) {
                const auto* text = qobject_cast<TextFieldWidget*>(w);
                const auto* face = qobject_cast<TextFieldFace*>(w);
                const QString shown = text ? text->modelText() : face ? face->modelText() : QString();
                if (!text && !face)
                    out << QStringLiteral("%1 widget is no text box").arg(where(kind, k));
                else if (shown != o.textField(k).text)
                    out << QStringLiteral("%1 shows %2, model %3")
                               .arg(where(kind, k), shown.toHtmlEscaped(), o.textField(k).text.toHtmlEscaped());
            }
        }
    // Widgets of removed objects may only wait for their deferred deletion, hidden.
    for (QWidget* w : canvas->findChildren<QWidget*>()) {
        const ObjectId id = objectId(w);
        if (id != 0 && !live.contains(id) && !w->isHidden())
            out << QStringLiteral("a visible widget is left over for removed object %1").arg(id);
    }

    SelectionHandles* handles = window.selectionHandles();
    const InteractionState& s = doc.interaction;
    if (handles->blackSetVisible() && !o.find(s.outerSelection).isValid())
        out << QStringLiteral(
                   "black handles shown around no object (outer selection %1, black set around %2, group of %3)")
                   .arg(s.outerSelection)
                   .arg(handles->model().blackAround)
                   .arg(s.group.size());
    if (handles->blueSetVisible() && !o.find(s.innerSelection).isValid())
        out << QStringLiteral("blue handles shown around no object (inner selection %1)").arg(s.innerSelection);
    // The group holds live objects only, none beside its frame, and is shown exactly while it is there.
    for (ObjectId id : s.group)
        if (!o.find(id).isValid())
            out << QStringLiteral("the group holds removed object %1").arg(id);
    if (groupLeaders(o, s.group).size() != s.group.size())
        out << QStringLiteral("the group holds an object beside its frame or twice");
    if (QWidget* overlay = canvas->findChild<QWidget*>(QStringLiteral("groupOverlay")))
        if (overlay->isHidden() == !s.group.empty())
            out << QStringLiteral("the group overlay is %1 with %2 objects in the group")
                       .arg(overlay->isHidden() ? "hidden" : "shown")
                       .arg(s.group.size());

    // The history pointer and the commands that move it agree, and the step shown has its snapshot.
    const bool open = window.command(Command::EditModeButton)->isEnabled();
    if (open) {
        const bool back = window.command(Command::Undo)->isEnabled();
        const bool forth = window.command(Command::Redo)->isEnabled();
        // Undo goes back no further than the history's first step (the opened file's adjustment
        // when the file itself is step 0).
        const int first = std::max(0, doc.history.firstStep);
        if (back != (doc.history.currentStep > first) || back != window.command(Command::Undo)->isEnabled())
            out << QStringLiteral("undo enabled %1 at step %2").arg(back).arg(doc.history.currentStep);
        if (forth != (doc.history.currentStep < doc.history.highestStep)
            || forth != window.command(Command::Redo)->isEnabled())
            out << QStringLiteral("redo enabled %1 at step %2 of %3")
                       .arg(forth)
                       .arg(doc.history.currentStep)
                       .arg(doc.history.highestStep);
        const QDir folder(snapshotFolder(doc));
        const QString base = QStringLiteral("temp%1").arg(doc.history.currentStep);
        if (doc.history.currentStep >= 0 && !folder.exists(base + QStringLiteral(".tm1"))
            && !folder.exists(base + QStringLiteral(".tm2")))
            out << QStringLiteral("no snapshot of the current step %1").arg(doc.history.currentStep);
    }
    return out;
}

namespace {

template <typename T>
void same(QStringList& out, const QString& what, const T& saved, const T& loaded)
{
    if (saved == loaded)
        return;
    if constexpr (std::is_integral_v<T>)
        out << QStringLiteral("%1 %2 came back as %3").arg(what).arg(qint64(saved), 0, 16).arg(qint64(loaded), 0, 16);
    else
        out << QStringLiteral("%1 differs after loading").arg(what);
}

void sameRect(QStringList& out, const QString& what, const QRect& saved, const QRect& loaded)
{
    if (saved != loaded)
        out << QStringLiteral("%1 bounds %2 came back as %3").arg(what, rectText(saved), rectText(loaded));
}

void sameText(QStringList& out, const QString& what, const QString& saved, const QString& loaded)
{
    if (saved != loaded)
        out << QStringLiteral("%1 \"%2\" came back as \"%3\"").arg(what, saved, loaded);
}

// JPEG at quality 100 keeps a picture nearly exact: a few levels per channel on average.
bool sameContent(const QImage& saved, const QImage& loaded)
{
    if (saved.size() != loaded.size())
        return false;
    const QImage a = saved.convertToFormat(QImage::Format_RGB32);
    const QImage b = loaded.convertToFormat(QImage::Format_RGB32);
    qint64 total = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            total += std::abs(qRed(pa[x]) - qRed(pb[x])) + std::abs(qGreen(pa[x]) - qGreen(pb[x]))
                     + std::abs(qBlue(pa[x]) - qBlue(pb[x]));
    }
    const qint64 samples = qint64(a.width()) * a.height() * 3;
    return samples == 0 || total <= samples * 4;
}

}  // namespace

QStringList storedDifferences(const StoredOutline& saved, const StoredOutline& loaded, bool refitAllowed)
{
    QStringList out;
    const Outline& s = *saved.outline;
    const Outline& l = *loaded.outline;
    sameText(out, QStringLiteral("outline name"), saved.name, loaded.name);
    same(out, QStringLiteral("canvas colour"), saved.canvasColour, loaded.canvasColour);
    if (saved.windowSize != loaded.windowSize)
        out << QStringLiteral("window size %1x%2 came back as %3x%4")
                   .arg(saved.windowSize.width())
                   .arg(saved.windowSize.height())
                   .arg(loaded.windowSize.width())
                   .arg(loaded.windowSize.height());
    for (ObjectKind kind : allKinds()) {
        const int expected = keptInFiles(kind) ? s.count(kind) : 0;
        if (l.count(kind) != expected)
            out << QStringLiteral("%1 count %2 came back as %3").arg(kindName(kind)).arg(expected).arg(l.count(kind));
    }
    if (!out.isEmpty())
        return out;

    // Bounds of an object inside a parent, possibly refitted on loading.
    const auto sameFitted = [&](const QString& w, const QRect& a, const QRect& b, int parent) {
        if (refitAllowed && a != b && b == fitIntoParent(a, l.parentSize(parent)))
            return;
        sameRect(out, w, a, b);
    };
    const auto position = [](const Sequence& seq, const Outline& o, ObjectKind kind, int k) {
        return seq.positionOf(idAt(o, kind, k));
    };
    for (int k = 1; k <= s.count(ObjectKind::Frame); ++k) {
        const FrameObject& a = s.frame(k);
        const FrameObject& b = l.frame(k);
        const QString w = where(ObjectKind::Frame, k);
        sameRect(out, w, a.bounds, b.bounds);
        same(out, w + QStringLiteral(" colour"), a.colour, b.colour);
        same(out, w + QStringLiteral(" bevels and border"), std::tuple(a.innerBevel, a.outerBevel, a.borderLine),
             std::tuple(b.innerBevel, b.outerBevel, b.borderLine));
        sameText(out, w + QStringLiteral(" title"), a.title, b.title);
        same(out, w + QStringLiteral(" title visibility"), a.titleVisible, b.titleVisible);
        sameText(out, w + QStringLiteral(" minimal text"), a.minimalText, b.minimalText);
        same(out, w + QStringLiteral(" sequence position"), position(s.frameSequence(), s, ObjectKind::Frame, k),
             position(l.frameSequence(), l, ObjectKind::Frame, k));
    }
    for (int k = 1; k <= s.count(ObjectKind::TextField); ++k) {
        const TextFieldObject& a = s.textField(k);
        const TextFieldObject& b = l.textField(k);
        const QString w = where(ObjectKind::TextField, k);
        same(out, w + QStringLiteral(" parent"), a.parentFrame, b.parentFrame);
        sameFitted(w, a.bounds, b.bounds, b.parentFrame);
        sameText(out, w + QStringLiteral(" text"), a.text, b.text);
        sameText(out, w + QStringLiteral(" minimal text"), a.minimalText, b.minimalText);
        same(out, w + QStringLiteral(" background"), a.background, b.background);
        same(out, w + QStringLiteral(" alignment"), a.alignment, b.alignment);
        same(out, w + QStringLiteral(" font"), a.font, b.font);
        same(out, w + QStringLiteral(" sequence position"), position(s.objectSequence(), s, ObjectKind::TextField, k),
             position(l.objectSequence(), l, ObjectKind::TextField, k));
    }
    for (int k = 1; k <= s.count(ObjectKind::Video); ++k) {
        const VideoObject& a = s.video(k);
        const VideoObject& b = l.video(k);
        const QString w = where(ObjectKind::Video, k);
        same(out, w + QStringLiteral(" parent"), a.parentFrame, b.parentFrame);
        sameFitted(w, a.bounds, b.bounds, b.parentFrame);
        sameText(out, w + QStringLiteral(" file"), a.fileName, b.fileName);
        sameText(out, w + QStringLiteral(" minimal text"), a.minimalText, b.minimalText);
        same(out, w + QStringLiteral(" sequence position"), position(s.objectSequence(), s, ObjectKind::Video, k),
             position(l.objectSequence(), l, ObjectKind::Video, k));
    }
    for (int k = 1; k <= s.count(ObjectKind::Picture); ++k) {
        const PictureObject& a = s.picture(k);
        const PictureObject& b = l.picture(k);
        const QString w = where(ObjectKind::Picture, k);
        same(out, w + QStringLiteral(" parent"), a.parentFrame, b.parentFrame);
        sameFitted(w, a.bounds, b.bounds, b.parentFrame);
        sameText(out, w + QStringLiteral(" minimal text"), a.minimalText, b.minimalText);
        same(out, w + QStringLiteral(" sequence position"), position(s.objectSequence(), s, ObjectKind::Picture, k),
             position(l.objectSequence(), l, ObjectKind::Picture, k));
        if (!a.samePicture(b) && !sameContent(a.bitmap(), b.bitmap()))
            out << QStringLiteral("%1 image %2x%3 came back as another %4x%5")
                       .arg(w)
                       .arg(a.bitmap().width())
                       .arg(a.bitmap().height())
                       .arg(b.bitmap().width())
                       .arg(b.bitmap().height());
    }
    for (int k = 1; k <= s.count(ObjectKind::Arrow); ++k) {
        const ArrowObject& a = s.arrow(k);
        const ArrowObject& b = l.arrow(k);
        same(out, where(ObjectKind::Arrow, k), std::tuple(a.x1, a.x2, a.y1, a.y2, a.penWidth, a.colour),
             std::tuple(b.x1, b.x2, b.y1, b.y2, b.penWidth, b.colour));
        for (const auto& [x, y, name] : {std::tuple(a.startAttachment, b.startAttachment, " start attachment"),
                                         std::tuple(a.endAttachment, b.endAttachment, " end attachment")})
            if (x != y)
                out << QStringLiteral("%1%2 %3/%4 came back as %5/%6")
                           .arg(where(ObjectKind::Arrow, k), QLatin1String(name))
                           .arg(attachedObjectCode(x))
                           .arg(attachedPlaceCode(x))
                           .arg(attachedObjectCode(y))
                           .arg(attachedPlaceCode(y));
    }
    return out;
}

QStringList roundTripDifferences(const Document& doc, const QString& path, QSize windowChrome, bool refitAllowed)
{
    const WriteResult written = writeOutlineFile(path, doc);
    if (!written.ok)
        return {QStringLiteral("saving failed: ") + written.message};
    const LoadResult loaded = readOutlineFile(path, windowChrome);
    if (!loaded.ok)
        return {QStringLiteral("the saved file is refused: ") + loaded.message};
    if (!loaded.message.isEmpty())
        return {QStringLiteral("the saved file loads with a warning: ") + loaded.message};
    // An outline shown scaled to fit the window is written in its own layout.
    const Outline stored = ownLayoutOf(doc.outline);
    return storedDifferences({&stored, doc.state.outlineName, doc.state.canvasColour, doc.state.windowSize},
                             {&loaded.outline, loaded.outlineName, loaded.canvasColour, loaded.windowSize},
                             refitAllowed);
}
