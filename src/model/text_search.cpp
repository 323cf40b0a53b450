#include "model/text_search.h"

#include "model/object_kinds.h"
#include "model/reveal_order.h"

#include <tuple>

namespace velmar {

namespace {

// The searchable texts of an object, in the order its hits are listed.
template <typename Visit>
void forEachField(const Outline& outline, ObjectId id, Visit&& visit)
{
    const ObjectRef ref = outline.find(id);
    withObject(outline, ref, [&](const auto& object) {
        using Object = std::decay_t<decltype(object)>;
        if constexpr (std::is_same_v<Object, FrameObject>)
            visit(SearchField::Title, object.title);
        if constexpr (std::is_same_v<Object, TextFieldObject>)
            visit(SearchField::Text, object.text);
        if constexpr (HasMinimalText<Object>)
            visit(SearchField::MinimalText, object.minimalText);
        if constexpr (std::is_same_v<Object, VideoObject>)
            visit(SearchField::FilmName, object.fileName);
    });
}

// Starts of the words in a text, not overlapping, searched in the folded forms.
std::vector<int> placesIn(const QString& text, const QString& foldedWords)
{
    std::vector<int> places;
    const QString folded = foldedForSearch(text);
    for (qsizetype at = folded.indexOf(foldedWords); at >= 0; at = folded.indexOf(foldedWords, at + foldedWords.size()))
        places.push_back(int(at));
    return places;
}

TextFieldObject* textFieldOf(Outline& outline, ObjectId id)
{
    const int slot = outline.findSlot(ObjectKind::TextField, id);
    return slot ? &outline.textField(slot) : nullptr;
}

}  // namespace

bool comesBefore(const SearchHit& a, const SearchHit& b)
{
    return std::tuple(a.order, int(a.field), a.start) < std::tuple(b.order, int(b.field), b.start);
}

QString foldedForSearch(const QString& text)
{
    // One unit for one unit, so that places in the folded text are places in the text.
    QString folded = text;
    for (QChar& c : folded) {
        c = c.toLower();
        if (c == QChar(0x0451))  // ё
            c = QChar(0x0435);   // е
    }
    return folded;
}

std::vector<SearchHit> findInOutline(const Outline& outline, const QString& words)
{
    std::vector<SearchHit> hits;
    if (words.isEmpty())
        return hits;
    const QString folded = foldedForSearch(words);
    const RevealOrder order(outline);
    int rank = 0;
    for (int s = 1; s <= order.lastStep(); ++s) {
        const ObjectId id = order.step(s).lead;
        ++rank;
        forEachField(outline, id, [&](SearchField field, const QString& text) {
            for (int start : placesIn(text, folded))
                hits.push_back({id, field, start, int(words.size()), rank});
        });
    }
    return hits;
}

QString textOfHit(const Outline& outline, const SearchHit& hit)
{
    QString found;
    forEachField(outline, hit.object, [&](SearchField field, const QString& text) {
        if (field == hit.field)
            found = text;
    });
    return found;
}

int replaceInTexts(Outline& outline, const QString& words, const QString& replacement)
{
    if (words.isEmpty())
        return 0;
    const QString folded = foldedForSearch(words);
    int replaced = 0;
    for (int k = 1; k <= outline.count(ObjectKind::TextField); ++k) {
        QString& text = outline.textField(k).text;
        const std::vector<int> places = placesIn(text, folded);
        // From the last one back, so that the earlier places stay where they are.
        for (auto it = places.rbegin(); it != places.rend(); ++it)
            text.replace(*it, words.size(), replacement);
        replaced += int(places.size());
    }
    return replaced;
}

bool replaceHit(Outline& outline, const SearchHit& hit, const QString& words, const QString& replacement)
{
    TextFieldObject* field = textFieldOf(outline, hit.object);
    if (!field || hit.field != SearchField::Text || words.isEmpty() || hit.start < 0
        || hit.start + words.size() > field->text.size()
        || foldedForSearch(field->text.mid(hit.start, words.size())) != foldedForSearch(words))
        return false;
    field->text.replace(hit.start, words.size(), replacement);
    return true;
}

}  // namespace velmar
