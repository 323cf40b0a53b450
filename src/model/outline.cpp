#include "model/outline.h"

#include "model/object_kinds.h"

#include <QCoreApplication>

#include <algorithm>
#include <stdexcept>

namespace velmar {

namespace {

template <typename T>
int findIn(const std::vector<T>& table, ObjectId id)
{
    int found = 0;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].id == id)
            found = int(i) + 1;
    return found;
}

}  // namespace

Outline::Outline() = default;

std::size_t Outline::index(int slot, std::size_t size)
{
    if (slot < 1 || std::size_t(slot) > size)
        throw std::out_of_range("slot outside the table");
    return std::size_t(slot - 1);
}

int Outline::count(ObjectKind kind) const
{
    return withKind(kind, [&](auto tag) { return int(objects<typename decltype(tag)::Object>().size()); });
}

int Outline::findSlot(ObjectKind kind, ObjectId id) const
{
    if (id == 0)
        return 0;
    return withKind(kind, [&](auto tag) { return findIn(objects<typename decltype(tag)::Object>(), id); });
}

ObjectRef Outline::find(ObjectId id) const
{
    for (int k = 0; k < kKindCount; ++k) {
        const auto kind = ObjectKind(k);
        if (const int slot = findSlot(kind, id))
            return {kind, slot};
    }
    return {};
}

QSize Outline::parentSize(int parentFrame) const
{
    if (parentFrame >= 1 && parentFrame <= count(ObjectKind::Frame))
        return frame(parentFrame).bounds.size();
    return m_clientSize;
}

quint8 Outline::parentFrameNumber(int parentFrame) const
{
    quint8 number = 0;
    for (int k = 1; k <= count(ObjectKind::Frame); ++k)
        if (k == parentFrame)
            number = quint8(k);
    return number;
}

QRect fitIntoParent(const QRect& bounds, QSize parent)
{
    int x = bounds.x(), y = bounds.y(), w = bounds.width(), h = bounds.height();
    if (x + w > parent.width())
        w = parent.width() - x;
    if (y + h > parent.height())
        h = parent.height() - y;
    if (w < 30) {
        x -= 30 - w;
        w = 30;
    }
    if (h < 30) {
        y -= 30 - h;
        h = 30;
    }
    return QRect(std::clamp(x, kMinCoordinate, kMaxCoordinate), std::clamp(y, kMinCoordinate, kMaxCoordinate),
                 std::min(w, kMaxCoordinate), std::min(h, kMaxCoordinate));
}

QRect Outline::fitIntoParent(const QRect& bounds, int parentFrame) const
{
    return velmar::fitIntoParent(bounds, parentSize(parentFrame));
}

int Outline::createFrame(const QRect& bounds, const QString& name)
{
    if (isFull(ObjectKind::Frame))
        return 0;
    FrameObject f;
    f.id = nextId();
    f.bounds = bounds;
    f.title = name;
    f.hint = name;
    m_frames.push_back(f);
    m_frameSequence.append(f.id, m_sequenceRecording);
    return int(m_frames.size());
}

int Outline::createTextField(const QRect& bounds, ColourValue background, const QString& text, int parentFrame)
{
    if (isFull(ObjectKind::TextField))
        return 0;
    TextFieldObject t;
    t.id = nextId();
    t.bounds = fitIntoParent(bounds, parentFrame);
    t.background = background;
    t.text = text;
    t.parentFrame = parentFrameNumber(parentFrame);
    m_textFields.push_back(t);
    m_objectSequence.append(t.id, m_sequenceRecording);
    return int(m_textFields.size());
}

int Outline::createCaption(const QRect& bounds, const QString& text, int parentFrame)
{
    if (isFull(ObjectKind::Caption))
        return 0;
    CaptionObject c;
    c.id = nextId();
    c.bounds = bounds;  // captions are placed exactly as asked, without fitting
    c.text = text;
    c.parentFrame = parentFrameNumber(parentFrame);
    m_captions.push_back(c);
    return int(m_captions.size());
}

namespace {

// libjpeg's reduced size: each side divided and rounded up.
QSize reducedSize(QSize full, int denominator)
{
    return QSize((full.width() + denominator - 1) / denominator, (full.height() + denominator - 1) / denominator);
}

// The largest denominator (8, 4, 2) whose reduced size still covers `wanted`; 1 when none does.
int reductionFor(QSize full, QSize wanted)
{
    if (wanted.isEmpty())
        return 1;
    for (const int d : {8, 4, 2}) {
        const QSize reduced = reducedSize(full, d);
        if (reduced.width() >= wanted.width() && reduced.height() >= wanted.height())
            return d;
    }
    return 1;
}

}  // namespace

QImage PictureObject::bitmap() const
{
    if (!m_bitmap.isNull() || m_jpeg.isEmpty() || !m_decoder)
        return m_bitmap;
    if (m_drawn.size() == m_streamSize)
        return m_drawn;
    const QImage full = m_decoder(m_jpeg, 1);
    return full.isNull() ? blankPicture(m_streamSize) : full;
}

QSize PictureObject::pixelSize() const
{
    if (!m_bitmap.isNull() || !m_decoder)
        return m_bitmap.size();
    return m_streamSize;
}

bool PictureObject::decodesFor(QSize size) const
{
    if (!m_bitmap.isNull() || m_jpeg.isEmpty() || !m_decoder)
        return false;
    if (m_drawn.isNull())
        return true;
    // The decode kept still serves when it covers the size and is at most the next reduced size
    // up: a zoom going back and forth across the size where that one starts decodes once, not on
    // every step, and a decode four times the pixels needed is the most that is kept.
    const int denominator = reductionFor(m_streamSize, size);
    const QSize nextUp = reducedSize(m_streamSize, std::max(1, denominator / 2));
    const QSize needed = size.boundedTo(m_streamSize);
    return !(m_drawn.width() >= needed.width() && m_drawn.height() >= needed.height()
             && m_drawn.width() <= nextUp.width() && m_drawn.height() <= nextUp.height());
}

QImage PictureObject::imageFor(QSize size) const
{
    if (!m_bitmap.isNull() || m_jpeg.isEmpty() || !m_decoder)
        return m_bitmap;
    if (decodesFor(size)) {
        const int denominator = reductionFor(m_streamSize, size);
        const QImage decoded = m_decoder(m_jpeg, denominator);
        m_drawn = decoded.isNull() ? blankPicture(reducedSize(m_streamSize, denominator)) : decoded;
    }
    return m_drawn;
}

bool PictureObject::samePicture(const PictureObject& other) const
{
    if (!m_bitmap.isNull() || !other.m_bitmap.isNull())
        return m_bitmap.cacheKey() == other.m_bitmap.cacheKey();
    return m_jpeg.constData() == other.m_jpeg.constData() && m_jpeg.size() == other.m_jpeg.size()
           && m_decoder == other.m_decoder;
}

void PictureObject::setBitmap(const QImage& image)
{
    m_bitmap = image;
    m_jpeg.clear();
    m_streamSize = QSize();
    m_decoder = nullptr;
    m_drawn = QImage();
}

void PictureObject::setStoredStream(const QByteArray& stream, QSize size, PictureDecoder decoder, const QImage& drawn)
{
    m_bitmap = QImage();
    m_jpeg = stream;
    m_streamSize = size;
    m_decoder = decoder;
    m_drawn = drawn;
}

QImage blankPicture(QSize size)
{
    // At most 1024 × 1024 pixels (a picture is drawn stretched to its control, so a larger blank
    // looks no different), and pictures of one size share one blank until one of them is drawn
    // on: a loaded file's stored sizes alone must not claim gigabytes.
    const QSize bounded = size.boundedTo(QSize(1024, 1024)).expandedTo(QSize(1, 1));
    thread_local QImage last;
    if (last.size() != bounded) {
        last = QImage(bounded, QImage::Format_RGB32);
        last.fill(Qt::white);
    }
    return last;
}

int Outline::createPicture(const QRect& bounds, int parentFrame)
{
    if (isFull(ObjectKind::Picture))
        return 0;
    PictureObject p;
    p.id = nextId();
    p.bounds = fitIntoParent(bounds, parentFrame);
    p.setBitmap(blankPicture(p.bounds.size()));
    p.parentFrame = parentFrameNumber(parentFrame);
    m_pictures.push_back(p);
    m_objectSequence.append(p.id, m_sequenceRecording);
    return int(m_pictures.size());
}

int Outline::createVideo(const QRect& bounds, int parentFrame)
{
    if (isFull(ObjectKind::Video))
        return 0;
    VideoObject v;
    v.id = nextId();
    v.bounds = fitIntoParent(bounds, parentFrame);
    v.parentFrame = parentFrameNumber(parentFrame);
    m_videos.push_back(v);
    m_objectSequence.append(v.id, m_sequenceRecording);
    return int(m_videos.size());
}

int Outline::createArrow(int x1, int y1, int x2, int y2, int penWidth, ColourValue colour)
{
    if (isFull(ObjectKind::Arrow))
        return 0;
    ArrowObject a;
    a.id = nextId();
    a.x1 = x1;
    a.y1 = y1;
    a.x2 = x2;
    a.y2 = y2;
    a.penWidth = penWidth;
    a.colour = colour;
    m_arrows.push_back(a);
    return int(m_arrows.size());
}

template <typename Remove>
void Outline::keepingAttachments(Remove&& remove)
{
    const auto targetOf = [this](const ArrowEndAttachment& end) -> ObjectId {
        if (!end.attached())
            return 0;
        return withKind(end.kind, [&](auto tag) -> ObjectId {
            const auto& t = table<typename decltype(tag)::Object>();
            return end.slot <= int(t.size()) ? t[std::size_t(end.slot - 1)].id : 0;
        });
    };
    std::vector<std::pair<ObjectId, ObjectId>> targets;
    for (const ArrowObject& a : m_arrows)
        targets.emplace_back(targetOf(a.startAttachment), targetOf(a.endAttachment));
    const std::vector<ObjectId> arrows = [this] {
        std::vector<ObjectId> ids;
        for (const ArrowObject& a : m_arrows)
            ids.push_back(a.id);
        return ids;
    }();
    remove();
    const auto relink = [this](ArrowEndAttachment& end, ObjectId target) {
        if (!end.attached())
            return;
        end.slot = target ? findSlot(end.kind, target) : 0;
        if (end.slot == 0)
            end = ArrowEndAttachment{};
    };
    for (ArrowObject& a : m_arrows) {
        const auto it = std::find(arrows.begin(), arrows.end(), a.id);
        if (it == arrows.end())
            continue;
        const auto& [start, end] = targets[std::size_t(it - arrows.begin())];
        relink(a.startAttachment, start);
        relink(a.endAttachment, end);
    }
}

void Outline::removeObject(ObjectKind kind, int slot)
{
    if (kind == ObjectKind::Frame) {
        removeFrame(slot);
        return;
    }
    keepingAttachments([&] {
        withKind(kind, [&](auto tag) {
            auto& t = table<typename decltype(tag)::Object>();
            const std::size_t i = index(slot, t.size());
            if constexpr (decltype(tag)::Traits::order == ReadingOrder::Objects)
                m_objectSequence.remove(t[i].id);
            t.erase(t.begin() + std::ptrdiff_t(i));
        });
    });
}

void Outline::removeFrame(int slot)
{
    keepingAttachments([&] { removeFrameWithContents(slot); });
}

void Outline::removeFrameWithContents(int slot)
{
    const std::size_t i = index(slot, m_frames.size());
    // Everything inside the frame goes with it; the objects of later frames are renumbered.
    forEachKind([&](auto tag) {
        using Object = typename decltype(tag)::Object;
        if constexpr (HasParentFrame<Object>) {
            auto& t = table<Object>();
            auto gone = std::remove_if(t.begin(), t.end(), [&](const Object& object) {
                if (object.parentFrame != slot)
                    return false;
                if constexpr (decltype(tag)::Traits::order == ReadingOrder::Objects)
                    m_objectSequence.remove(object.id);
                return true;
            });
            t.erase(gone, t.end());
            for (Object& object : t)
                if (object.parentFrame > slot)
                    --object.parentFrame;
        }
    });

    m_frameSequence.remove(m_frames[i].id);
    m_frames.erase(m_frames.begin() + std::ptrdiff_t(i));
}

void Outline::clearAll()
{
    m_captions.clear();
    m_textFields.clear();
    m_pictures.clear();
    m_videos.clear();
    m_frames.clear();
    m_arrows.clear();
}

QString Outline::capacityMessage(ObjectKind kind)
{
    const QString what = QCoreApplication::translate(
        "Outline", withKind(kind, [](auto tag) -> const char* { return decltype(tag)::Traits::manyWhat; }));
    return QCoreApplication::translate("Outline", "В логическом конспекте уже %1 %2 — больше создать нельзя.\n"
                                                  "Удалите ненужные объекты этого вида и повторите команду.")
        .arg(kTableCapacity)
        .arg(what);
}

}  // namespace velmar
