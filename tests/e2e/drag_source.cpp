// A tiny drag source for the real-input tests: a window that starts a drag when pressed, as a
// file manager (a file's address) or a web browser (picture data without a file) does.
//
//   e2e_drag_source --file PATH     drags text/uri-list with PATH's file address
//   e2e_drag_source --image PATH    drags the picture read from PATH as image data only
//
// It prints "drag-source ready X Y" with its middle on the screen once it can be pressed,
// "drag-source action N" whenever the window under the pointer answers with another drop action,
// and "drag-source done N" with the drop action the target took (0 when nothing took it).
#include <QApplication>
#include <QDrag>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

class Source : public QWidget {
public:
    Source(bool file, QString path) : m_file(file), m_path(std::move(path))
    {
        setWindowTitle(QStringLiteral("drag source"));
        resize(120, 90);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_file ? QColor(40, 120, 40) : QColor(40, 40, 160));
        // Reported when painted, and again if the window manager moved it since: a test takes the
        // last report.
        QTimer::singleShot(0, this, [this] {
            const QPoint middle = mapToGlobal(rect().center());
            if (middle == m_reported)
                return;
            m_reported = middle;
            std::printf("drag-source ready %d %d\n", middle.x(), middle.y());
            std::fflush(stdout);
        });
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        auto* data = new QMimeData;
        if (m_file) {
            data->setUrls({QUrl::fromLocalFile(m_path)});
        } else {
            data->setImageData(QImage(m_path));
        }
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        // The target's answers as the pointer moves: a test releases once one has accepted.
        connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
            std::printf("drag-source action %d\n", int(action));
            std::fflush(stdout);
        });
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
        std::printf("drag-source done %d\n", int(action));
        std::fflush(stdout);
    }

private:
    bool m_file;
    QString m_path;
    QPoint m_reported{-1, -1};
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != QLatin1String("--file") && args[1] != QLatin1String("--image"))) {
        std::fprintf(stderr, "usage: e2e_drag_source --file PATH | --image PATH\n");
        return 2;
    }
    Source source(args[1] == QLatin1String("--file"), args[2]);
    // Away from the top left, where the window under test opens.
    source.move(1100, 760);
    source.show();
    return app.exec();
}
