// The editor's picture browser: listing, thumbnails, folder walking and dragging pictures out.
#include "paint/paint_browser.h"

#include "model/visible_text.h"
#include "paint/classic_scroll_bars.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace velmar::paint {

namespace {

// A folder icon (Image18, Image19) stretched to the thumbnails' square.
QIcon folderIcon(const char* name, int side)
{
    // Drawn at the screen's density from the sharper picture where there is one.
    const qreal ratio = std::max<qreal>(1.0, qApp->devicePixelRatio());
    const QString base = QStringLiteral(":/icons/%1").arg(QLatin1String(name));
    QImage image;
    if (ratio > 1.0)
        image.load(base + QStringLiteral("@2x.png"));
    if (image.isNull())
        image = QImage(base + QStringLiteral(".png"));
    QImage square(qRound(side * ratio), qRound(side * ratio), QImage::Format_ARGB32_Premultiplied);
    square.setDevicePixelRatio(ratio);
    square.fill(Qt::transparent);
    if (!image.isNull()) {
        QPainter painter(&square);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(0, 0, side, side), image);
    }
    return QIcon(QPixmap::fromImage(square));
}

// What a picture shows until its thumbnail is made, and when it cannot be read.
QIcon placeholderIcon(int side, bool broken)
{
    QImage square(side, side, QImage::Format_RGB32);
    square.fill(QColor(0xEE, 0xEE, 0xEE));
    QPainter painter(&square);
    painter.setPen(QColor(0xB0, 0xB0, 0xB0));
    painter.drawRect(0, 0, side - 1, side - 1);
    if (broken) {
        painter.setPen(QPen(QColor(0xC0, 0x40, 0x40), 2));
        painter.drawLine(side / 4, side / 4, side * 3 / 4, side * 3 / 4);
        painter.drawLine(side * 3 / 4, side / 4, side / 4, side * 3 / 4);
    }
    return QIcon(QPixmap::fromImage(square));
}

// The memory the decoded thumbnails of rows away from the view may take.
constexpr qint64 kKeptIconBytes = 16 * 1024 * 1024;

}  // namespace

PictureBrowser::PictureBrowser(QWidget* parent, ThumbnailCache cache)
    : QWidget(parent), m_loader(cache), m_fetcher(std::move(cache)), m_folder(QDir::currentPath())
{
    setObjectName(QStringLiteral("Panel2"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setViewMode(QListView::IconMode);
    m_list->setMovement(QListView::Static);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setDragEnabled(false);
    m_list->setUniformItemSizes(true);
    m_list->setWordWrap(true);
    // Large folders are laid out in steps, so the window answers while thousands of items are
    // placed.
    m_list->setLayoutMode(QListView::Batched);
    m_list->setBatchSize(500);
    layout->addWidget(m_list, 1);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("browserNote"));
    m_note->setWordWrap(true);
    m_note->hide();
    layout->addWidget(m_note);

    m_list->viewport()->installEventFilter(this);
    connect(&m_loader, &ThumbnailLoader::thumbnailsReady, this, &PictureBrowser::thumbnailsReady);
    connect(&m_fetcher, &ThumbnailLoader::thumbnailsReady, this, &PictureBrowser::thumbnailsFetched);
    for (QScrollBar* bar : {m_list->verticalScrollBar(), m_list->horizontalScrollBar()}) {
        // Drawn as the work area's bars beside it are.
        bar->setStyle(classicScrollBars());
        connect(bar, &QScrollBar::valueChanged, this, &PictureBrowser::scheduleNearView);
    }
    connect(&m_loader, &ThumbnailLoader::runFinished, this, [this](int run) {
        if (run != m_loader.currentRun())
            return;
        m_runFinished = true;
        if (m_waiting.isEmpty())
            emit thumbnailsShown();
    });
}

PictureBrowser::~PictureBrowser() { endDrag(); }

QString PictureBrowser::note() const { return m_note->isHidden() ? QString() : m_note->text(); }

void PictureBrowser::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The first listing waits until the list has its width, which sizes the thumbnails.
    if (!m_listedOnce)
        refresh();
}

void PictureBrowser::refresh()
{
    m_listedOnce = true;
    m_loader.cancel();
    m_fetcher.cancel();
    m_waiting.clear();
    m_runFinished = false;
    m_list->clear();
    m_thumbnailCount = 0;
    m_kept = 0;
    m_nearFirst = 0;
    m_nearLast = -1;
    m_thumbSize = thumbSizeForListWidth(m_list->width());
    m_list->setIconSize(QSize(m_thumbSize, m_thumbSize));
    m_list->setGridSize(QSize(m_thumbSize + 12, m_thumbSize + 2 * m_list->fontMetrics().height() + 8));

    m_listing = listFolder(m_folder);
    const QIcon parent = folderIcon("paint_folder_up", m_thumbSize);
    const QIcon folder = folderIcon("paint_folder", m_thumbSize);
    m_waitingIcon = placeholderIcon(m_thumbSize, false);
    m_brokenIcon = QIcon();
    m_rows.assign(m_listing.items.size(), RowThumb());
    QList<ThumbnailLoader::Job> jobs;
    m_list->setUpdatesEnabled(false);
    for (int row = 0; row < m_listing.items.size(); ++row) {
        const BrowserItem& entry = m_listing.items.at(row);
        const QIcon& icon = entry.kind == BrowserItem::Kind::Parent   ? parent
                            : entry.kind == BrowserItem::Kind::Folder ? folder
                                                                      : m_waitingIcon;
        auto* item = new QListWidgetItem(icon, visibleText(entry.caption));
        item->setToolTip(entry.isFolder() ? entry.caption : entry.path);
        m_list->addItem(item);
        if (!entry.isFolder())
            jobs.append({row, entry.path, entry.decoder});
    }
    m_list->setUpdatesEnabled(true);

    QString note;
    if (!m_listing.readable)
        note = QCoreApplication::translate("PictureBrowser", "Папка «%1» не найдена или недоступна.").arg(m_folder);
    else if (m_listing.truncated)
        note = QCoreApplication::translate("PictureBrowser", "В папке больше %1 элементов: показаны первые %1.")
                   .arg(kBrowserItemLimit);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setText(visibleText(note, LineBreaks::Keep));
    m_note->setVisible(!note.isEmpty());

    m_loader.start(jobs, m_thumbSize);
    scheduleNearView();
    emit listed();
}

int PictureBrowser::keptIconLimit() const
{
    if (m_keptLimitOverride > 0)
        return m_keptLimitOverride;
    return int(std::max<qint64>(1, kKeptIconBytes / (qint64(m_thumbSize) * m_thumbSize * 4)));
}

std::pair<int, int> PictureBrowser::visibleRows() const
{
    // Rows are laid out line by line from the top, so their places only grow with the row
    // number: two binary searches find the first and last row in the viewport. Rows not laid
    // out yet count as below it.
    const QAbstractItemModel* model = m_list->model();
    const int height = m_list->viewport()->height();
    const auto place = [&](int row) { return m_list->visualRect(model->index(row, 0)); };
    int low = 0, high = m_list->count();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        const QRect r = place(mid);
        if (r.isValid() && r.bottom() < 0)
            low = mid + 1;
        else
            high = mid;
    }
    const int first = low;
    high = m_list->count();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        const QRect r = place(mid);
        if (r.isValid() && r.top() < height)
            low = mid + 1;
        else
            high = mid;
    }
    return {first, low - 1};
}

void PictureBrowser::scheduleNearView()
{
    if (std::exchange(m_nearViewScheduled, true))
        return;
    QTimer::singleShot(0, this, &PictureBrowser::keepRowsNearView);
}

void PictureBrowser::keepRowsNearView()
{
    m_nearViewScheduled = false;
    const auto [first, last] = visibleRows();
    const int rows = int(m_rows.size());
    if (last < first) {
        m_nearFirst = 0;
        m_nearLast = -1;
    } else {
        // A screenful above and below the view, so a short scroll finds its pictures ready.
        const int span = last - first + 1;
        m_nearFirst = std::max(0, first - span);
        m_nearLast = std::min(rows - 1, last + span);
    }
    ++m_look;
    bool wanted = false;
    for (int row = m_nearFirst; row <= m_nearLast; ++row) {
        m_rows[std::size_t(row)].seen = m_look;
        wanted |= m_rows[std::size_t(row)].state == Thumb::Released;
    }
    if (wanted) {
        // One run fetches every released row near the view; rows that went out of it while
        // their thumbnail was on the way are given up.
        QList<ThumbnailLoader::Job> jobs;
        for (int row = 0; row < rows; ++row) {
            Thumb& state = m_rows[std::size_t(row)].state;
            if (state != Thumb::Released && state != Thumb::Fetching)
                continue;
            if (!nearView(row)) {
                state = Thumb::Released;
                continue;
            }
            state = Thumb::Fetching;
            const BrowserItem& entry = m_listing.items.at(row);
            jobs.append({row, entry.path, entry.decoder});
        }
        m_fetcher.start(jobs, m_thumbSize);
    }
    releaseOldThumbnails();
}

void PictureBrowser::releaseOldThumbnails()
{
    const int limit = keptIconLimit();
    if (m_kept <= limit)
        return;
    std::vector<int> away;
    for (int row = 0; row < int(m_rows.size()); ++row)
        if (m_rows[std::size_t(row)].state == Thumb::Kept && !nearView(row))
            away.push_back(row);
    const std::size_t excess = std::min(away.size(), std::size_t(m_kept - limit));
    // The rows seen longest ago go first.
    std::partial_sort(away.begin(), away.begin() + std::ptrdiff_t(excess), away.end(),
                      [this](int a, int b) { return m_rows[std::size_t(a)].seen < m_rows[std::size_t(b)].seen; });
    for (std::size_t i = 0; i < excess; ++i) {
        const int row = away[i];
        if (QListWidgetItem* item = m_list->item(row))
            item->setIcon(m_waitingIcon);
        m_rows[std::size_t(row)].state = Thumb::Released;
        --m_kept;
    }
}

void PictureBrowser::showThumbnail(int row, const QImage& thumbnail)
{
    QListWidgetItem* item = m_list->item(row);
    if (!item || row >= int(m_rows.size()))
        return;
    item->setIcon(QIcon(QPixmap::fromImage(thumbnail)));
    RowThumb& t = m_rows[std::size_t(row)];
    if (t.state != Thumb::Kept)
        ++m_kept;
    t.state = Thumb::Kept;
}

void PictureBrowser::showBroken(int row, const QString& error)
{
    QListWidgetItem* item = m_list->item(row);
    if (!item || row >= int(m_rows.size()))
        return;
    if (m_rows[std::size_t(row)].state == Thumb::Kept)
        --m_kept;
    m_rows[std::size_t(row)].state = Thumb::Broken;
    if (m_brokenIcon.isNull())
        m_brokenIcon = placeholderIcon(m_thumbSize, true);
    item->setIcon(m_brokenIcon);
    item->setToolTip(QCoreApplication::translate("PictureBrowser", "%1\nРисунок не читается: %2")
                         .arg(m_listing.items.at(row).path, error));
}

void PictureBrowser::thumbnailsFetched(int run, const QList<ThumbnailLoader::Result>& results)
{
    if (run != m_fetcher.currentRun())
        return;
    for (const ThumbnailLoader::Result& result : results) {
        if (result.row < 0 || result.row >= int(m_rows.size())
            || m_rows[std::size_t(result.row)].state != Thumb::Fetching)
            continue;
        if (result.thumbnail.isNull())
            showBroken(result.row, result.error);  // the file went away or changed meanwhile
        else
            showThumbnail(result.row, result.thumbnail);
    }
    releaseOldThumbnails();
}

void PictureBrowser::thumbnailsReady(int run, const QList<ThumbnailLoader::Result>& results)
{
    if (run != m_loader.currentRun())
        return;
    if (m_waitingRun != run) {
        m_waiting.clear();
        m_waitingRun = run;
    }
    const bool idle = m_waiting.isEmpty();
    m_waiting.append(results);
    if (idle)
        showWaitingThumbnails();
}

void PictureBrowser::showWaitingThumbnails()
{
    if (m_waitingRun != m_loader.currentRun()) {
        m_waiting.clear();
        return;
    }
    // A folder of thousands of small pictures delivers them by the thousand: the window takes
    // them in slices so it never stops answering.
    constexpr qint64 kSliceNs = 8'000'000;
    QElapsedTimer clock;
    clock.start();
    qsizetype done = 0;
    for (; done < m_waiting.size() && clock.nsecsElapsed() < kSliceNs; ++done) {
        const ThumbnailLoader::Result& result = m_waiting.at(done);
        if (result.row < 0 || result.row >= int(m_rows.size()))
            continue;
        if (result.thumbnail.isNull()) {
            showBroken(result.row, result.error);
            continue;
        }
        ++m_thumbnailCount;
        // Rows away from the view keep the placeholder once the budget is used up; the
        // thumbnail now waits in the cache.
        if (nearView(result.row) || m_kept < keptIconLimit())
            showThumbnail(result.row, result.thumbnail);
        else
            m_rows[std::size_t(result.row)].state = Thumb::Released;
    }
    m_waiting.remove(0, done);
    releaseOldThumbnails();
    scheduleNearView();
    if (!m_waiting.isEmpty())
        QTimer::singleShot(0, this, &PictureBrowser::showWaitingThumbnails);
    else if (m_runFinished)
        emit thumbnailsShown();
}

void PictureBrowser::finishThumbnails()
{
    m_loader.waitForDone();
    while (!m_waiting.isEmpty())
        showWaitingThumbnails();
    keepRowsNearView();
    m_fetcher.waitForDone();
}

void PictureBrowser::openItem(int row)
{
    if (row < 0 || row >= m_listing.items.size())
        return;
    const BrowserItem entry = m_listing.items.at(row);
    if (entry.kind == BrowserItem::Kind::Parent)
        m_folder = parentFolder(m_folder);
    else if (entry.kind == BrowserItem::Kind::Folder)
        m_folder = childFolder(m_folder, entry.caption);
    refresh();
}

void PictureBrowser::splitterMoved()
{
    if (++m_splitterNotifications % 2 == 1)
        refresh();
}

void PictureBrowser::pressRow(int row)
{
    // The first item (the way up) and folders are not dragged.
    if (row < 1 || row >= m_listing.items.size() || m_listing.items.at(row).isFolder())
        return;
    m_drag = true;
    m_dragPath = m_listing.items.at(row).path;
    m_dragDecoder = m_listing.items.at(row).decoder;
    QApplication::setOverrideCursor(Qt::DragCopyCursor);
}

void PictureBrowser::releaseAt(QPoint globalPos)
{
    if (!m_drag)
        return;
    const QString path = m_dragPath;
    const PictureDecoder decoder = m_dragDecoder;
    endDrag();
    // A release over the list abandons the drag; elsewhere the window decides.
    if (!m_list->rect().contains(m_list->mapFromGlobal(globalPos)))
        emit pictureDropped(path, decoder, globalPos);
}

void PictureBrowser::endDrag()
{
    if (!m_drag)
        return;
    m_drag = false;
    m_dragPath.clear();
    QApplication::restoreOverrideCursor();
}

bool PictureBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_list->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show: scheduleNearView(); break;
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QModelIndex index = m_list->indexAt(mouse->position().toPoint());
            pressRow(index.isValid() ? index.row() : -1);
        }
        break;
    }
    case QEvent::MouseMove:
        // While a picture is dragged the list's own drag selection keeps still.
        if (m_drag)
            return true;
        break;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_drag && mouse->button() == Qt::LeftButton) {
            releaseAt(mouse->globalPosition().toPoint());
            // The list still ends its own press.
        }
        break;
    }
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            QListWidgetItem* current = m_list->currentItem();
            openItem(current && current->isSelected() ? m_list->row(current) : -1);
            return true;
        }
        break;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace velmar::paint
