#pragma once

#include <QString>

namespace velmar {

// What the user is told when libjpeg gives up on a stream, chosen by the library's message code
// (jpeg_error_mgr::msg_code): the library's own English text never reaches a message box. The
// texts are phrases that callers embed after a colon ("Не удалось прочитать рисунок …: %2.").
enum class JpegFailure {
    NotJpeg,      // the data does not start as a JPEG stream does
    Truncated,    // the stream ends before its picture does
    Unsupported,  // a valid stream of a kind this program cannot decode (12-bit, lossless…)
    TooLarge,     // more pixels or memory than a picture may take
    NoPicture,    // tables only, no frame
    Damaged,      // anything else: broken tables, markers or scan data
};

JpegFailure jpegFailureKind(int messageCode);

// The Russian phrase for a message code. Damage of an uncommon kind names the code as the
// technical detail, for a report; no other code shows.
QString jpegFailureText(int messageCode);

}  // namespace velmar
