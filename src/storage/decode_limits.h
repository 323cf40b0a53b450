#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <algorithm>

namespace velmar {

// What reading pictures may cost. Files arrive by mail and on USB sticks: no stream or file,
// however few its bytes, may buy gigabytes of memory or minutes of decoding. Each JPEG stream is
// checked alone before the decoder allocates anything (JpegLimits), and the pictures of one file
// share a budget (PictureBudget), so that a file of many streams at the single limit cannot add
// them up.
struct JpegLimits {
    // Pictures larger than this (400 MB as RGB32), or wider or higher than this, are refused.
    static constexpr qint64 maxPixels = 100'000'000;
    static constexpr int maxSide = 30000;
    // Every 8 × 8 block of every component costs at least one bit in a Huffman-coded stream, so a
    // stream cannot hold more than 512 pixels per byte; a header claiming more is damage. An
    // arithmetic-coded stream of a plain area can be far smaller, but not below this.
    static constexpr qint64 maxPixelsPerByte = 512;
    static constexpr qint64 maxPixelsPerByteArithmetic = 8192;
    // Working memory libjpeg may take (a progressive picture keeps all its coefficients).
    static constexpr long maxDecoderMemory = 768L * 1024 * 1024;
    // Progressive streams: every scan passes over the whole picture. Encoders write about ten;
    // a thousand is an attack on the decoding time.
    static constexpr int maxScans = 100;
    // Stream length: even noise at the highest quality takes about ten bytes a pixel, so a stream
    // longer than this for the pixels it declares is padding, and is refused before it is read.
    static constexpr qint64 maxBytesPerPixel = 16;
    // Streams up to this length are read without that check (headers, markers, small pictures);
    // a stream's header is looked for within them.
    static constexpr qint64 freeStreamBytes = 4 * 1024 * 1024;
};

// The pictures of one file together. Memory: their decoded bitmaps (4 bytes a pixel) stay within
// 2 GB. Time: decoding runs at well over 100 million pixels a second, so a file may decode a
// fixed 32 million pixels (a few photos whatever their compression) plus 128 per byte of its
// size, about a second per megabyte; real photos need a few pixels per byte, plain drawings a
// few dozen. Pictures are charged at their streams' full size (a reduced decoding still reads
// the whole stream) in file order, so which ones are refused does not depend on the machine.
class PictureBudget {
public:
    static constexpr qint64 maxDecodedBytes = 2LL * 1024 * 1024 * 1024;
    static constexpr qint64 freePixels = 32'000'000;
    static constexpr qint64 pixelsPerFileByte = 128;

    explicit PictureBudget(qint64 fileBytes)
        : m_pixelsLeft(std::min(maxDecodedBytes / 4, freePixels + pixelsPerFileByte * std::max<qint64>(0, fileBytes))),
          m_granted(m_pixelsLeft)
    {
    }

    // Adds what another file read for the same document buys (a film: 128 pixels per byte of
    // it), within the same 2 GB for everything granted.
    void grant(qint64 fileBytes)
    {
        const qint64 more =
            std::min(maxDecodedBytes / 4 - m_granted, pixelsPerFileByte * std::max<qint64>(0, fileBytes));
        m_pixelsLeft += more;
        m_granted += more;
    }

    // Takes a picture of the given stream size out of the budget; false (nothing taken) when it
    // does not fit.
    bool take(QSize streamSize)
    {
        return take(qint64(std::max(0, streamSize.width())) * std::max(0, streamSize.height()));
    }

    // Takes the given number of pixels (a progressive stream's pixels once for each pass its
    // scans make, see jpegDecodingCost).
    bool take(qint64 pixels)
    {
        if (pixels > m_pixelsLeft)
            return false;
        m_pixelsLeft -= pixels;
        return true;
    }

    qint64 pixelsLeft() const { return m_pixelsLeft; }

    // Why a picture beyond the budget is not shown.
    static QString refusal()
    {
        return QCoreApplication::translate("DecodeLimits", "рисунки файла слишком велики для его размера");
    }

private:
    qint64 m_pixelsLeft;
    qint64 m_granted;
};

}  // namespace velmar
