#pragma once

#include <QImage>
#include <QSize>

namespace velmar::paint {

// The vector instructions the turns and the resampler use: the widest the processor has (AVX2,
// else SSE2) unless narrowed, which tests do to check each kind of code on any processor.
enum class VectorWidth { Widest, Sse2, Scalar };
void limitVectorWidth(VectorWidth width);
VectorWidth vectorWidth();

// The turns of the "Рисунок" menu: a quarter turn either way, a half turn and the two mirrorings.
enum class PictureTurn { Right90, Left90, Half, FlipHorizontal, FlipVertical };

// The picture turned; a quarter turn swaps its width and height.
QImage turned(const QImage& image, PictureTurn turn);
// The turn that takes a turned picture back.
PictureTurn oppositeTurn(PictureTurn turn);
// Turns a 32-bit picture where it lies: a half turn and the mirrorings swap its pixels in place
// (one pass, no new memory); a quarter turn writes into `spare` where that buffer is large
// enough and shared with nobody (else into a new one), and leaves the picture's old buffer there
// for the next quarter turn. Other pictures are turned into a new copy.
void turnInPlace(QImage& picture, PictureTurn turn, QImage& spare);

// The picture's new size as the resize dialog asks for it: in per cent of the size it has or in
// pixels; with keepAspect the height follows the width (the height given is then ignored).
struct ResizeRequest {
    bool percent = true;
    int width = 100;
    int height = 100;
    bool keepAspect = true;
};
// The largest side a resize may give, so that a typing slip cannot ask for gigabytes.
inline constexpr int kMaxPictureSide = 10000;
// The size asked for, each side within 1..kMaxPictureSide.
QSize resizedSize(QSize original, const ResizeRequest& request);
// The picture resampled smoothly to `size`: made smaller, each new pixel is the average of the
// area of the picture it covers (a pattern finer than the new pixels turns into its mean colour);
// made larger, it is interpolated. `memory`, where given, is a picture buffer nobody needs: the
// result is written there when it is large enough (the buffer is then taken).
QImage resampled(const QImage& image, QSize size, QImage* memory = nullptr);

}  // namespace velmar::paint
