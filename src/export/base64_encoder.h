#pragma once

#include <QtGlobal>

namespace velmar {

// Base64 (RFC 4648, with padding) written straight into a caller's buffer, for pages that embed
// megabytes of photos: with AVX2 where the processor has it, otherwise through a table of every
// 12-bit group's two characters.

// The characters `bytes` bytes take.
constexpr qsizetype base64Length(qsizetype bytes) { return (bytes + 2) / 3 * 4; }

enum class Base64Path { Best, Table, Avx2 };

// Writes base64Length(size) characters to `out`. Avx2 falls back to Table on a processor
// without it.
void encodeBase64(const char* data, qsizetype size, char* out, Base64Path path = Base64Path::Best);

}  // namespace velmar
