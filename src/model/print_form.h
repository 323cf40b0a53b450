#pragma once

namespace velmar {

// What a printout or a PDF of the outline holds besides the outline itself: handouts of the
// show's steps, an exercise sheet to fill in from memory, or a poster spread over several sheets.
struct PrintForm {
    enum class Kind { Outline, Handouts, Exercise, Poster };
    Kind kind = Kind::Outline;
    int stepsPerPage = 4;  // handouts: 1, 2, 4 or 6
    int columns = 2;       // poster: sheets across
    int rows = 2;          // poster: sheets down

    friend bool operator==(const PrintForm&, const PrintForm&) = default;
};

// The numbers of steps a handout page may hold.
inline bool isHandoutCount(int n) { return n == 1 || n == 2 || n == 4 || n == 6; }

// The most sheets a poster may take in either direction.
inline constexpr int kMaxPosterSheets = 10;

}  // namespace velmar
