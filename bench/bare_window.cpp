// The start-up baseline: a plain Qt main window of the same build as the program's (8 menus of 10
// commands, a tool bar of 30 buttons, a 744 × 546 central widget), quitting once it is shown.
// With VELMAR_REPORT_LIBRARIES set it names the libraries mapped by then, as velmar does.
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QTimer>
#include <QToolBar>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    for (int m = 0; m < 8; ++m) {
        QMenu* menu = window.menuBar()->addMenu(QStringLiteral("Меню %1").arg(m + 1));
        for (int i = 0; i < 10; ++i)
            menu->addAction(QStringLiteral("Команда %1.%2").arg(m + 1).arg(i + 1));
    }
    QToolBar* bar = window.addToolBar(QStringLiteral("Панель"));
    for (int i = 0; i < 30; ++i) {
        QPixmap icon(16, 16);
        icon.fill(QColor::fromHsv(i * 12, 160, 200));
        bar->addAction(QIcon(icon), QStringLiteral("Кнопка %1").arg(i + 1));
    }
    auto* central = new QWidget;
    central->setFixedSize(744, 546);
    window.setCentralWidget(central);
    window.show();
    QTimer::singleShot(0, &app, [&app] {
        if (qEnvironmentVariableIsSet("VELMAR_REPORT_LIBRARIES")) {
            QFile maps(QStringLiteral("/proc/self/maps"));
            QSet<QByteArray> seen;
            if (maps.open(QIODevice::ReadOnly))
                for (const QByteArray& line : maps.readAll().split('\n')) {
                    const int slash = line.indexOf('/');
                    const QByteArray path = slash < 0 ? QByteArray() : line.mid(slash).trimmed();
                    if (path.contains(".so") && !seen.contains(path)) {
                        seen.insert(path);
                        std::fprintf(stderr, "library: %s\n", path.constData());
                    }
                }
        }
        app.quit();
    });
    return app.exec();
}
