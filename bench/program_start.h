#pragma once
// Starting the real program from a benchmark: where the build put it, and the environment of a
// start that quits once its main window is shown.
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A program of the same build, found from the running benchmark's folder (the benchmarks are built
// in <build>/bench, the program in <build>/src), so that no path of the build folder is compiled in.
inline QString builtProgram(const QString& pathFromBench)
{
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return QFileInfo(self.canonicalFilePath()).dir().filePath(pathFromBench);
}

// The environment of a start with every working folder in `home`, quitting once the main window is
// shown; offscreen unless a display is asked for.
inline QProcessEnvironment quitWhenShownEnvironment(const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELMAR_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.insert(QStringLiteral("VELMAR_HOME"), home.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}
