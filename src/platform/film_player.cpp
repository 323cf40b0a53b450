#include "platform/film_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace velmar {

namespace {

using CreateFunction = FilmPlayer* (*)();

struct MediaModule {
    CreateFunction create = nullptr;
    QString error;
};

// The installed module sits in the program's library folder; a program run from its build
// folder finds the module that build made.
QStringList moduleCandidates()
{
    QStringList names;
    const QString override = qEnvironmentVariable("VELMAR_MEDIA_MODULE");
    if (!override.isEmpty())
        return {override};
    const QDir programDir(QCoreApplication::applicationDirPath());
    names << programDir.filePath(QStringLiteral("../" VELMAR_INSTALLED_MODULE_DIR "/velmar_media.so"));
    names << QStringLiteral(VELMAR_BUILD_MEDIA_MODULE);
    return names;
}

MediaModule loadModule()
{
    MediaModule module;
    for (const QString& name : moduleCandidates()) {
        if (!QFileInfo::exists(name))
            continue;
        QLibrary library(name);
        library.setLoadHints(QLibrary::PreventUnloadHint);
        module.create = reinterpret_cast<CreateFunction>(library.resolve("velmarCreateFilmPlayer"));
        if (module.create)
            return module;
        module.error = library.errorString();
    }
    if (module.error.isEmpty())
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
