#include "storage/jpeg_messages.h"

#include <QCoreApplication>

#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace velmar {

JpegFailure jpegFailureKind(int messageCode)
{
    switch (messageCode) {
    case JERR_NO_SOI:
    case JERR_SOI_DUPLICATE: return JpegFailure::NotJpeg;
    case JERR_INPUT_EMPTY:
    case JERR_INPUT_EOF:
    case JERR_FILE_READ: return JpegFailure::Truncated;
    case JERR_ARITH_NOTIMPL:
    case JERR_BAD_PRECISION:
    case JERR_CCIR601_NOTIMPL:
    case JERR_COMPONENT_COUNT:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_FRACT_SAMPLE_NOTIMPL:
    case JERR_NOTIMPL:
    case JERR_NOT_COMPILED:
    case JERR_SOF_UNSUPPORTED:
    case JERR_BAD_J_COLORSPACE: return JpegFailure::Unsupported;
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
    case JERR_OUT_OF_MEMORY:
    case JERR_TFILE_CREATE:
    case JERR_NO_BACKING_STORE: return JpegFailure::TooLarge;
    case JERR_NO_IMAGE:
    case JERR_SOF_NO_SOS: return JpegFailure::NoPicture;
    default: return JpegFailure::Damaged;
    }
}

QString jpegFailureText(int messageCode)
{
    switch (jpegFailureKind(messageCode)) {
    case JpegFailure::NotJpeg: return QCoreApplication::translate("JpegMessages", "это не рисунок JPEG");
    case JpegFailure::Truncated: return QCoreApplication::translate("JpegMessages", "данные JPEG обрываются");
    case JpegFailure::Unsupported:
        return QCoreApplication::translate(
            "JpegMessages", "этот вид рисунка JPEG не поддерживается (например, 12-битный или без потерь)");
    case JpegFailure::TooLarge: return QCoreApplication::translate("JpegMessages", "рисунок JPEG слишком велик");
    case JpegFailure::NoPicture: return QCoreApplication::translate("JpegMessages", "в данных JPEG нет рисунка");
    case JpegFailure::Damaged: break;
    }
    return QCoreApplication::translate("JpegMessages", "повреждённые данные JPEG (код ошибки декодера %1)")
        .arg(messageCode);
}

}  // namespace velmar
