#pragma once

// The entry point of the film picture module (storage/film/ffmpeg_film_picture.cpp): FFmpeg's
// container and codec libraries read a film's first picture there. The module is loaded with
// QLibrary on the first film drawn (see film_still.cpp), so that a start-up without films never
// maps FFmpeg. Plain C types only: the module and the program agree on nothing else.

#include <stdint.h>

extern "C" {

// Where the module reads the film from. The module never opens a file itself.
struct VelmarFilmInput {
    void* opaque;
    // Fills up to size bytes at the present position: the count read, 0 at the end, < 0 on error.
    int (*read)(void* opaque, uint8_t* buffer, int size);
    // Moves to offset from whence (SEEK_SET, SEEK_CUR, SEEK_END); whence 0x10000 asks the size.
    // The new position, or < 0 when it cannot.
    int64_t (*seek)(void* opaque, int64_t offset, int whence);
};

struct VelmarFilmRequest {
    int version;  // kVelmarFilmModuleVersion
    VelmarFilmInput input;
    // The picture is made no wider and no higher than this (a smaller frame keeps its size): a
    // film is drawn stretched over its panel, so nothing larger is ever wanted.
    int maxWidth;
    int maxHeight;
    // A frame of more pixels than this is refused before it is decoded.
    int64_t maxFramePixels;
    // The bytes the container reader may take from the input, in all.
    int64_t maxBytesRead;
    // How long the whole reading may take.
    int timeoutMs;
};

enum VelmarFilmStatus {
    VelmarFilmOk = 0,
    VelmarFilmNotAFilm = 1,          // no container the module reads
    VelmarFilmNoVideo = 2,           // a container without a video stream
    VelmarFilmUnsupportedCodec = 3,  // a video codec the module does not decode
    VelmarFilmTooLarge = 4,          // the frame has more pixels than maxFramePixels
    VelmarFilmTimedOut = 5,          // timeoutMs passed
    VelmarFilmReadLimit = 6,         // maxBytesRead were read without a picture
    VelmarFilmDamaged = 7,           // the container or the frame could not be read
    VelmarFilmBadRequest = 8,
};

struct VelmarFilmPicture {
    int status;  // VelmarFilmStatus
    // The picture: width × height pixels of 32 bits (0xffRRGGBB in the machine's byte order),
    // rows of width pixels one after the other. Null unless status is VelmarFilmOk.
    int width;
    int height;
    uint32_t* pixels;
    // The frame as the film stores it; known as soon as the video stream is, also on failure.
    int frameWidth;
    int frameHeight;
};

inline constexpr int kVelmarFilmModuleVersion = 1;

// Reads the first picture of the film; always fills *picture. Release it with
// velmarFreeFilmPicture.
typedef int (*VelmarReadFilmPicture)(const VelmarFilmRequest* request, VelmarFilmPicture* picture);
typedef void (*VelmarFreeFilmPicture)(VelmarFilmPicture* picture);

}  // extern "C"
