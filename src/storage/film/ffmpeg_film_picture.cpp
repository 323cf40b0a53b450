// The film picture module: a film's first picture read with FFmpeg's libraries (libavformat for
// the container, libavcodec for the frame, libswscale to bring it to the size it is drawn at).
// Built as a module of its own and loaded on the first film (see storage/film_picture_module.h),
// and linked straight into the fuzz harness of the same path.
//
// Everything it reads comes from strangers, so every step is bounded: only the containers films
// come in (AVI, QuickTime/MP4, Matroska/WebM) are probed; the input is read through callbacks that
// count the bytes and watch the clock; a frame larger than the caller allows is refused from the
// stream's header and, should the bitstream claim more, by the decoder itself; the decoder runs on
// one thread, and Motion JPEG is decoded at a reduced size when a small picture is wanted.
#include "storage/film_picture_module.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libavutil/time.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The demuxers tried: the containers of films. Probing anything else (playlists, image sequences,
// raw streams) would widen what a stranger's file can reach.
constexpr const char* kContainers = "avi,mov,matroska";

// Codecs of the films people have: cameras, phones, screen recorders and older Windows tools.
bool decodable(AVCodecID id)
{
    switch (id) {
    case AV_CODEC_ID_MJPEG:
    case AV_CODEC_ID_MPEG4:
    case AV_CODEC_ID_MSMPEG4V3:
    case AV_CODEC_ID_H263:
    case AV_CODEC_ID_H264:
    case AV_CODEC_ID_HEVC:
    case AV_CODEC_ID_VP8:
    case AV_CODEC_ID_VP9:
    case AV_CODEC_ID_AV1:
    case AV_CODEC_ID_MPEG1VIDEO:
    case AV_CODEC_ID_MPEG2VIDEO:
    case AV_CODEC_ID_RAWVIDEO:
    case AV_CODEC_ID_MSVIDEO1:
    case AV_CODEC_ID_MSRLE:
    case AV_CODEC_ID_CINEPAK:
    case AV_CODEC_ID_DVVIDEO:
    case AV_CODEC_ID_THEORA: return true;
    default: return false;
    }
}

constexpr int kBufferSize = 32 * 1024;
// What the container's headers may take: a QuickTime index of a long film is a few megabytes, and
// a reader walking empty chunks of a sparse file stops here long before any time limit.
constexpr int64_t kHeaderBytes = 16 * 1024 * 1024;
// Packets of the video stream handed to the decoder before it counts as giving no picture.
constexpr int kMaxPackets = 600;

// The input with its bounds, shared by the reads and the interrupt callback.
struct Reading {
    const VelmarFilmRequest* request = nullptr;
    int64_t deadline = 0;  // av_gettime_relative() microseconds
    int64_t bytesRead = 0;
    int64_t limit = 0;  // what may be read until now
    bool timedOut = false;
    bool readLimit = false;

    bool late()
    {
        if (av_gettime_relative() > deadline)
            timedOut = true;
        return timedOut;
    }
};

int readInput(void* opaque, uint8_t* buffer, int size)
{
    auto* r = static_cast<Reading*>(opaque);
    if (r->late())
        return AVERROR_EXIT;
    const int64_t left = r->limit - r->bytesRead;
    if (left <= 0) {
        r->readLimit = true;
        return AVERROR_EOF;
    }
    const int wanted = int(std::min<int64_t>(size, left));
    const int got = r->request->input.read(r->request->input.opaque, buffer, wanted);
    if (got < 0)
        return AVERROR(EIO);
    if (got == 0)
        return AVERROR_EOF;
    r->bytesRead += got;
    return got;
}

int64_t seekInput(void* opaque, int64_t offset, int whence)
{
    auto* r = static_cast<Reading*>(opaque);
    if (r->late())
        return AVERROR_EXIT;
    const int64_t at = r->request->input.seek(r->request->input.opaque, offset, whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(EIO) : at;
}

int interrupted(void* opaque) { return static_cast<Reading*>(opaque)->late() ? 1 : 0; }

// Demuxers that would open other files (references in a QuickTime file) get none.
int refuseOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) { return AVERROR(EPERM); }

// What FFmpeg holds for one reading; released in any case.
struct Session {
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* scaler = nullptr;

    ~Session()
    {
        sws_freeContext(scaler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);  // does not free the custom input
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }
};

// The pixel format without FFmpeg's full-range aliases, and whether it is full range.
AVPixelFormat plainFormat(AVPixelFormat format, bool* fullRange)
{
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: *fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: *fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: *fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: *fullRange = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: *fullRange = true; return AV_PIX_FMT_YUV411P;
    default: return format;
    }
}

// The decoded frame at the size asked for, as 32-bit pixels.
int convert(Session& s, const VelmarFilmRequest& request, VelmarFilmPicture* picture)
{
    const AVFrame* f = s.frame;
    if (f->width <= 0 || f->height <= 0 || int64_t(f->width) * f->height > request.maxFramePixels)
        return VelmarFilmDamaged;
    // A container that did not say the frame's size: the frame does (before any reduction).
    if (picture->frameWidth <= 0 || picture->frameHeight <= 0) {
        picture->frameWidth = f->width << s.decoder->lowres;
        picture->frameHeight = f->height << s.decoder->lowres;
    }
    const int width = std::min(f->width, request.maxWidth);
    const int height = std::min(f->height, request.maxHeight);
    bool fullRange = f->color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat source = plainFormat(AVPixelFormat(f->format), &fullRange);
    if (!sws_isSupportedInput(source))
        return VelmarFilmUnsupportedCodec;
    // Area averaging when shrinking; exact rounding so that every run gives the same pixels.
    s.scaler = sws_getContext(f->width, f->height, source, width, height, AV_PIX_FMT_RGB32,
                              SWS_AREA | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
    if (!s.scaler)
        return VelmarFilmUnsupportedCodec;
    const int* coefficients = sws_getCoefficients(f->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT);
    sws_setColorspaceDetails(s.scaler, coefficients, fullRange ? 1 : 0, sws_getCoefficients(SWS_CS_DEFAULT), 1, 0,
                             1 << 16, 1 << 16);
    auto* pixels = static_cast<uint32_t*>(std::malloc(size_t(width) * size_t(height) * 4));
    if (!pixels)
        return VelmarFilmTooLarge;
    uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(pixels), nullptr, nullptr, nullptr};
    const int strides[4] = {width * 4, 0, 0, 0};
    if (sws_scale(s.scaler, f->data, f->linesize, 0, f->height, planes, strides) != height) {
        std::free(pixels);
        return VelmarFilmDamaged;
    }
    // Opaque whatever the film's alpha said: a film covers its panel.
    for (size_t i = 0, n = size_t(width) * size_t(height); i < n; ++i)
        pixels[i] |= 0xff000000u;
    picture->width = width;
    picture->height = height;
    picture->pixels = pixels;
    return VelmarFilmOk;
}

int readPicture(const VelmarFilmRequest& request, VelmarFilmPicture* picture)
{
    Reading reading;
    reading.request = &request;
    reading.deadline = av_gettime_relative() + int64_t(std::max(1, request.timeoutMs)) * 1000;
    reading.limit = std::min(request.maxBytesRead, kHeaderBytes);
    Session s;

    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer)
        return VelmarFilmTooLarge;
    s.io = avio_alloc_context(buffer, kBufferSize, 0, &reading, readInput, nullptr, seekInput);
    if (!s.io) {
        av_free(buffer);
        return VelmarFilmTooLarge;
    }
    s.format = avformat_alloc_context();
    if (!s.format)
        return VelmarFilmTooLarge;
    s.format->pb = s.io;
    s.format->interrupt_callback = {interrupted, &reading};
    s.format->io_open = refuseOpen;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kContainers, 0);
    av_dict_set(&options, "protocol_whitelist", "", 0);
    // What probing the container may read; the reading's byte bound covers the rest.
    av_dict_set_int(&options, "probesize", 1 << 20, 0);
    av_dict_set_int(&options, "formatprobesize", 1 << 20, 0);
    av_dict_set_int(&options, "max_streams", 64, 0);
    // Matroska and QuickTime files may name other files; none is followed.
    av_dict_set_int(&options, "enable_drefs", 0, 0);
    const int opened = avformat_open_input(&s.format, nullptr, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        // avformat_open_input frees the context on failure.
        s.format = nullptr;
        if (reading.timedOut)
            return VelmarFilmTimedOut;
        if (reading.readLimit)
            return VelmarFilmReadLimit;
        return opened == AVERROR_INVALIDDATA && reading.bytesRead < (1 << 20) ? VelmarFilmNotAFilm : VelmarFilmDamaged;
    }

    reading.limit = request.maxBytesRead;
    reading.readLimit = false;
    const int video = av_find_best_stream(s.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0)
        return VelmarFilmNoVideo;
    for (unsigned i = 0; i < s.format->nb_streams; ++i)
        s.format->streams[i]->discard = int(i) == video ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    const AVCodecParameters* parameters = s.format->streams[video]->codecpar;
    picture->frameWidth = parameters->width;
    picture->frameHeight = parameters->height;
    if (int64_t(std::max(0, parameters->width)) * std::max(0, parameters->height) > request.maxFramePixels)
        return VelmarFilmTooLarge;
    if (!decodable(parameters->codec_id))
        return VelmarFilmUnsupportedCodec;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec)
        return VelmarFilmUnsupportedCodec;
    s.decoder = avcodec_alloc_context3(codec);
    if (!s.decoder || avcodec_parameters_to_context(s.decoder, parameters) < 0)
        return VelmarFilmDamaged;
    s.decoder->thread_count = 1;
    // Also frames whose size the bitstream alone gives are refused above the bound.
    s.decoder->max_pixels = request.maxFramePixels;
    // A decoder that can decode at a half, quarter or eighth of the size does so while the
    // reduced frame still covers the picture asked for.
    int lowres = 0;
    while (lowres < codec->max_lowres && parameters->width > 0 && parameters->height > 0
           && (parameters->width >> (lowres + 1)) >= request.maxWidth
           && (parameters->height >> (lowres + 1)) >= request.maxHeight)
        ++lowres;
    s.decoder->lowres = lowres;
    if (avcodec_open2(s.decoder, codec, nullptr) < 0)
        return VelmarFilmUnsupportedCodec;

    s.packet = av_packet_alloc();
    s.frame = av_frame_alloc();
    if (!s.packet || !s.frame)
        return VelmarFilmTooLarge;
    bool ended = false;
    for (int packets = 0; packets < kMaxPackets;) {
        if (!ended) {
            const int got = av_read_frame(s.format, s.packet);
            if (got < 0) {
                if (reading.timedOut)
                    return VelmarFilmTimedOut;
                // The end of the input (or of what may be read): what the decoder holds comes out.
                ended = true;
                avcodec_send_packet(s.decoder, nullptr);
            } else if (s.packet->stream_index != video) {
                av_packet_unref(s.packet);
                continue;
            } else {
                ++packets;
                const int sent = avcodec_send_packet(s.decoder, s.packet);
                av_packet_unref(s.packet);
                if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA)
                    return sent == AVERROR(EINVAL) ? VelmarFilmTooLarge : VelmarFilmDamaged;
            }
        }
        const int received = avcodec_receive_frame(s.decoder, s.frame);
        if (received == 0)
            return convert(s, request, picture);
        if (reading.late())
            return VelmarFilmTimedOut;
        if (ended && received != AVERROR(EAGAIN))
            break;
    }
    if (reading.timedOut)
        return VelmarFilmTimedOut;
    return reading.readLimit ? VelmarFilmReadLimit : VelmarFilmDamaged;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int velmarReadFilmPicture(const VelmarFilmRequest* request,
                                                                            VelmarFilmPicture* picture)
{
    if (!picture)
        return VelmarFilmBadRequest;
    std::memset(picture, 0, sizeof *picture);
    if (!request || request->version != kVelmarFilmModuleVersion || !request->input.read || !request->input.seek
        || request->maxWidth <= 0 || request->maxHeight <= 0 || request->maxFramePixels <= 0
        || request->maxBytesRead <= 0)
        return picture->status = VelmarFilmBadRequest;
    // FFmpeg's own notes would reach the standard error of the file commands; the status says it.
    static const bool quiet = [] {
        av_log_set_level(std::getenv("VELMAR_FFMPEG_LOG") ? AV_LOG_INFO : AV_LOG_QUIET);
        return true;
    }();
    (void)quiet;
    picture->status = readPicture(*request, picture);
    if (picture->status != VelmarFilmOk) {
        std::free(picture->pixels);
        picture->pixels = nullptr;
        picture->width = picture->height = 0;
    }
    return picture->status;
}

extern "C" __attribute__((visibility("default"))) void velmarFreeFilmPicture(VelmarFilmPicture* picture)
{
    if (!picture)
        return;
    std::free(picture->pixels);
    picture->pixels = nullptr;
}
