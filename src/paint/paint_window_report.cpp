// What the editor reports about itself for tests that drive the real program: the editor's state
// and, on request, the part of the picture the screen should be showing.
#include "paint/classic_scroll_bars.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace velmar::paint {

namespace {

QString colourName(QRgb c) { return QColor::fromRgb(c).name(); }

// "2" for a whole zoom, "1/4" (or the fit's own fraction) below 1×.
QString zoomText(ZoomScale z)
{
    return z.down == 1 ? QString::number(z.up) : QStringLiteral("%1/%2").arg(z.up).arg(z.down);
}

// Writes `image` to `path` whole: a reader that sees the file sees all of it.
bool writeWhole(const QImage& image, const QString& path)
{
    const QString partial = path + QStringLiteral(".part");
    if (!image.save(partial, "PPM"))
        return false;
    QFile::remove(path);
    return QFile::rename(partial, path);
}

}  // namespace

void PaintWindow::startViewReports(const QString& folder)
{
    m_viewFolder = folder;
    QDir().mkpath(folder);
    m_viewTimer = new QTimer(this);
    m_viewTimer->setSingleShot(true);
    m_viewTimer->setInterval(0);
    connect(m_viewTimer, &QTimer::timeout, this, &PaintWindow::reportView);
    const auto later = [this] { m_viewTimer->start(); };
    connect(&m_doc, &PaintDocument::pictureChanged, this, later);
    connect(&m_doc, &PaintDocument::pictureReplaced, this, later);
    connect(&m_doc, &PaintDocument::zoomChanged, this, later);
    connect(&m_doc, &PaintDocument::pieceChanged, this, later);
    connect(&m_doc, &PaintDocument::overlayChanged, this, later);
    connect(&m_doc, &PaintDocument::toolChanged, this, later);
    connect(&m_doc, &PaintDocument::coloursChanged, this, later);
    connect(&m_doc, &PaintDocument::undoAvailabilityChanged, this, later);
    connect(&m_doc, &PaintDocument::optionsChanged, this, later);
    for (QScrollBar* bar : {m_workArea->horizontalBar(), m_workArea->verticalBar()})
        connect(bar, &QScrollBar::valueChanged, this, later);
}

void PaintWindow::reportView()
{
    if (!isVisible())
        return;
    // The editor's state, for tests to wait on.
    const EditorUndo& history = m_doc.history();
    // The checksum tells one picture of the same size from another.
    const QImage& picture = m_doc.picture();
    const quint16 sum =
        qChecksum(QByteArrayView(reinterpret_cast<const char*>(picture.constBits()), qsizetype(picture.sizeInBytes())));
    const QString state = QStringLiteral("paint state tool=%1 zoom=%2 undo=%3/%4 size=%5x%6 piece=%7 front=%8 "
                                         "back=%9 tolerance=%10 sum=%11 piecepos=%12,%13 piecesize=%14x%15")
                              .arg(int(m_doc.currentTool()))
                              .arg(zoomText(m_doc.zoom()))
                              .arg(history.index())
                              .arg(history.count())
                              .arg(m_doc.picture().width())
                              .arg(m_doc.picture().height())
                              .arg(m_doc.pieceFloating() ? 1 : 0)
                              .arg(colourName(m_doc.frontColour()), colourName(m_doc.backColour()))
                              .arg(m_doc.fillTolerance())
                              .arg(sum)
                              .arg(m_doc.piecePos().x())
                              .arg(m_doc.piecePos().y())
                              .arg(m_doc.piece().width())
                              .arg(m_doc.piece().height());

    // The part of the picture the work area shows: its screen rectangle, and the picture pixels
    // under it at zoom 1, with the floating piece as a picture of its own. Below 1× the file holds
    // the picture pixel each screen pixel stands for ("sampled"), looked up by the zoom's mapping.
    const ZoomScale scale = m_doc.zoom();
    const bool sampled = !scale.magnifies() && !scale.isOne();
    const int z = scale.blockSide();
    const QRect control(m_workArea->pictureOrigin(), m_doc.controlSize());
    const QRect visible = control.intersected(m_workArea->viewport());
    QString report = state + QLatin1Char('\n');
    if (!visible.isEmpty()) {
        const QPoint offset = visible.topLeft() - control.topLeft();
        const QRect pixels(offset.x() / z, offset.y() / z, (offset.x() + visible.width() - 1) / z - offset.x() / z + 1,
                           (offset.y() + visible.height() - 1) / z - offset.y() / z + 1);
        const int n = ++m_viewReports;
        const QString path = QStringLiteral("%1/view-%2.ppm").arg(m_viewFolder).arg(n);
        // Below 1× each screen pixel stands for several picture pixels: the report holds what the
        // view makes of them.
        const QImage shownPixels = sampled ? sampleZoomedOut(m_doc.picture(), scale, QRect(offset, visible.size()))
                                           : m_doc.picture().copy(pixels);
        if (!writeWhole(shownPixels, path))
            return;
        // What lies over the picture and is not the picture: handles, frames, the text box.
        for (const QWidget* w : m_workArea->overlays()) {
            if (w && w->isVisible() && w->geometry().intersects(visible)) {
                const QPoint at = m_workArea->mapToGlobal(w->geometry().topLeft());
                report +=
                    QStringLiteral("paint mask %1 %2 %3 %4\n").arg(at.x()).arg(at.y()).arg(w->width()).arg(w->height());
            }
        }
        if (m_doc.pieceFloating()) {
            const QString piecePath = QStringLiteral("%1/piece-%2.ppm").arg(m_viewFolder).arg(n);
            // Below 1× the piece, too, as the screen pixels showing it stand for it.
            const QImage piece =
                sampled ? sampleZoomedOut(m_doc.piece(), scale, QRect(QPoint(0, 0), m_doc.pieceRect().size()))
                        : m_doc.piece();
            if (!writeWhole(piece, piecePath))
                return;
            const QPoint at = m_doc.piecePos() - offset;  // relative to the view's top-left corner
            report += QStringLiteral("paint piece %1 %2 %3 %4\n")
                          .arg(at.x())
                          .arg(at.y())
                          .arg(m_doc.pieceTransparent() ? colourName(m_doc.transparentColour()) : QStringLiteral("-"),
                               piecePath);
        }
        const QPoint screen = m_workArea->mapToGlobal(visible.topLeft());
        report += QStringLiteral("paint view %1 %2 %3 %4 %5 zoom %6 offset %7 %8 file %9%10\n")
                      .arg(n)
                      .arg(screen.x())
                      .arg(screen.y())
                      .arg(visible.width())
                      .arg(visible.height())
                      .arg(zoomText(scale))
                      .arg(offset.x())
                      .arg(offset.y())
                      .arg(path, sampled ? QStringLiteral(" sampled") : QString());
    }
    // The thumbs of the scroll bars that show one, on the screen, and the track they move in.
    for (const QScrollBar* bar : {m_workArea->horizontalBar(), m_workArea->verticalBar()}) {
        if (!bar->isVisible() || !bar->isEnabled() || bar->maximum() <= bar->minimum())
            continue;
        const QRect thumb = scrollBarPart(*bar, QStyle::SC_ScrollBarSlider);
        const QRect track = scrollBarPart(*bar, QStyle::SC_ScrollBarGroove);
        const QPoint at = bar->mapToGlobal(thumb.topLeft()), trackAt = bar->mapToGlobal(track.topLeft());
        report += QStringLiteral("paint thumb %1 %2 %3 %4 %5 track %6 %7 %8 %9\n")
                      .arg(bar->orientation() == Qt::Horizontal ? QLatin1Char('h') : QLatin1Char('v'))
                      .arg(at.x())
                      .arg(at.y())
                      .arg(thumb.width())
                      .arg(thumb.height())
                      .arg(trackAt.x())
                      .arg(trackAt.y())
                      .arg(track.width())
                      .arg(track.height());
    }
    std::fputs(report.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

}  // namespace velmar::paint
