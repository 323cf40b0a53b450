#include "platform/film_player.h"

#include "system/program_module.h"

#include <QCoreApplication>

namespace velmar {

namespace {

using CreateFunction = FilmPlayer* (*)();

struct MediaModule {
    CreateFunction create = nullptr;
    QString error;
};

MediaModule loadModule()
{
    MediaModule module;
    const auto found = loadProgramModule(QStringLiteral("velmar_media.so"), "VELMAR_MEDIA_MODULE",
                                         {"velmarCreateFilmPlayer"}, &module.error);
    if (!found.empty())
        module.create = reinterpret_cast<CreateFunction>(found[0]);
    else if (module.error.isEmpty())
        module.error = QCoreApplication::translate("FilmPlayer", "модуль воспроизведения видео не найден");
    else
        module.error =
            QCoreApplication::translate("FilmPlayer", "модуль воспроизведения видео не загружается: ") + module.error;
    return module;
}

MediaModule* loadedModule = nullptr;

// Settings the media framework needs before its first player.
void prepareMediaFramework()
{
    // Qt 6.4's FFmpeg backend is a preview that draws MJPEG films in wrong colours and garbles
    // uncompressed and Cinepak ones; GStreamer decodes them all.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    // Frames become images on the CPU. Otherwise Qt 6.4 first sets up an OpenGL context in the GUI
    // thread for the conversion, and on a software-rendered X display that takes long enough for
    // GStreamer's streaming thread to give up the film ("Internal data stream error"). No widget
    // of the program draws with OpenGL, so nothing else changes.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
}

}  // namespace

FilmPlayer* createFilmPlayer(QString* error)
{
    if (!loadedModule) {
        prepareMediaFramework();
        loadedModule = new MediaModule(loadModule());  // kept for the life of the process
    }
    if (loadedModule->create)
        return loadedModule->create();
    if (error)
        *error = loadedModule->error;
    return nullptr;
}

bool filmPlayerModuleLoaded() { return loadedModule && loadedModule->create; }

}  // namespace velmar
