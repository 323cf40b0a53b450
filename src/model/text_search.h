#pragma once

#include "model/outline.h"

#include <QString>

#include <vector>

namespace velmar {

// Finding words in an outline: frame titles, the texts of text fields, minimal texts and the
// names of films, in reading order (each frame, then what lies in it, then the objects on the
// canvas). Letters match whatever their case, and ё matches е.

enum class SearchField { Title, Text, MinimalText, FilmName };

struct SearchHit {
    ObjectId object = 0;
    SearchField field = SearchField::Title;
    int start = 0;  // in the stored text (CR LF line breaks)
    int length = 0;
    int order = 0;  // the object's place in reading order, for telling which hit comes first
    bool operator==(const SearchHit&) const = default;
};

// Whether hit a comes before hit b in the outline.
bool comesBefore(const SearchHit& a, const SearchHit& b);

// The text as searching compares it: every letter in lower case, ё as е; as long as the text.
QString foldedForSearch(const QString& text);

// Every place the words stand, in reading order; none for empty words.
std::vector<SearchHit> findInOutline(const Outline& outline, const QString& words);

// The stored text a hit lies in; empty when its object is gone.
QString textOfHit(const Outline& outline, const SearchHit& hit);

// Replaces the words by `replacement` in the texts of text fields (titles, minimal texts and film
// names are left alone); returns how many were replaced.
int replaceInTexts(Outline& outline, const QString& words, const QString& replacement);

// Replaces the one hit, when it lies in a text field's text and the words still stand there.
bool replaceHit(Outline& outline, const SearchHit& hit, const QString& words, const QString& replacement);

}  // namespace velmar
