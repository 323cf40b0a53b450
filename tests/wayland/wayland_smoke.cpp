// Velmar under a Wayland compositor, natively (QT_QPA_PLATFORM=wayland): opens an outline from
// the command line as the program does, shows it, opens the graphic editor on its picture and
// closes it, runs the show and leaves it, then closes the window. Every warning Qt or the program
// prints is collected; those of the Wayland platform (a request it cannot carry out) fail the run.
// Run by wayland_smoke.py under a headless weston.
#include "app/accessibility_names.h"
#include "app/application.h"
#include "app/main_window.h"
#include "app/menu_mnemonics.h"
#include "model/document.h"
#include "paint/paint_window.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace velmar;

namespace {

QStringList g_warnings;
QtMessageHandler g_previous = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << QStringLiteral("[%1] %2").arg(QLatin1String(context.category ? context.category : ""), message);
    if (g_previous)
        g_previous(type, context, message);
}

int fail(const char* what)
{
    std::fprintf(stderr, "FAIL: %s\n", what);
    return 1;
}

// Waits for a condition while the event loop runs, up to five seconds.
template <typename Condition>
bool waitFor(Condition condition)
{
    return QTest::qWaitFor(condition, 5000);
}

}  // namespace

int main(int argc, char** argv)
{
    g_previous = qInstallMessageHandler(collect);
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return fail("not running on the Wayland platform");
    installQtTranslations(app);
    installAccessibleNames(app);
    installMenuMnemonics(app);

    QTemporaryDir home;
    Document doc;
    doc.state.outlineName = QStringLiteral("Проверка");
    doc.state.windowSize = QSize(744, 546);
    doc.outline.setClientSize(QSize(728, 487));
    const int frame = doc.outline.createFrame(QRect(20, 40, 300, 220), QStringLiteral("Опыты"));
    const int picture = doc.outline.createPicture(QRect(10, 20, 120, 90), frame);
    doc.outline.picture(picture).setBitmap(photoLikeImage(120, 90, 5));
    const QString path = home.filePath(QStringLiteral("проверка.vmd"));
    if (!writeOutlineFile(path, doc).ok)
        return fail("cannot write the outline");

    MainWindow window;
    StartupOptions options;
    options.documentPath = path;
    options.programFolder = home.path();
    options.startFolder = home.path();
    if (!window.startUp(options))
        return fail("start-up refused");
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return fail("the main window was never shown");
    if (window.document().outline.count(ObjectKind::Picture) != 1)
        return fail("the outline was not opened");

    // The graphic editor on the picture, then back.
    window.document().interaction.currentObject = window.document().outline.picture(1).id;
    window.command(Command::EditPicture)->trigger();
    paint::PaintWindow* editor = window.paintWindow();
    if (!editor || !QTest::qWaitForWindowExposed(editor))
        return fail("the graphic editor was never shown");
    editor->close();
    if (!waitFor([&] { return !editor->isVisible() && window.isVisible(); }))
        return fail("closing the editor did not bring the main window back");

    // The show, full screen, left with Esc.
    window.command(Command::Present)->trigger();
    QWidget* show = nullptr;
    if (!waitFor([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("presentationWindow") && w->isVisible())
                    show = w;
            return show != nullptr;
        }))
        return fail("the show was never shown");
    if (!QTest::qWaitForWindowExposed(show))
        return fail("the show was never exposed");
    QTest::keyClick(show, Qt::Key_Escape);
    if (!waitFor([&] { return !show->isVisible(); }))
        return fail("Esc did not end the show");

    window.document().state.modified = false;
    window.close();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    app.exec();

    int platformWarnings = 0;
    for (const QString& warning : std::as_const(g_warnings)) {
        std::fprintf(stderr, "warning: %s\n", qPrintable(warning));
        if (warning.contains(QLatin1String("qt.qpa.wayland")) || warning.contains(QLatin1String("not support")))
            ++platformWarnings;
    }
    if (platformWarnings > 0)
        return fail("the Wayland platform was asked for what it cannot do");
    std::puts("wayland smoke test passed");
    return 0;
}
