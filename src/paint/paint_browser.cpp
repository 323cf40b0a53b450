// The editor's picture browser: listing, thumbnails, folder walking and dragging pictures out.
#include "paint/paint_browser.h"
#include "model/visible_text.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace velmar::paint {

namespace {

// A folder icon (Image18, Image19) stretched to the thumbnails' square.
QIcon folderIcon(const char* name, int side)
{
    const QImage image(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)));
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    if (!image.isNull()) {
        QPainter painter(&square);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(0, 0, side, side), image);
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

}  // namespace

PictureBrowser::PictureBrowser(QWidget* parent, ThumbnailCache cache)
    : QWidget(parent), m_loader(std::move(cache)), m_folder(QDir::currentPath())
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
    connect(&m_loader, &ThumbnailLoader::runFinished, this, [this](int run) {
        if (run != m_loader.currentRun())
            return;
        m_runFinished = true;
        if (m_waiting.isEmpty())
            emit thumbnailsShown();
    });
}

PictureBrowser::~PictureBrowser()
{
    endDrag();
}

QString PictureBrowser::note() const
{
    return m_note->isHidden() ? QString() : m_note->text();
}

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
    m_waiting.clear();
    m_runFinished = false;
    m_list->clear();
    m_thumbnailCount = 0;
    m_thumbSize = thumbSizeForListWidth(m_list->width());
    m_list->setIconSize(QSize(m_thumbSize, m_thumbSize));
    m_list->setGridSize(QSize(m_thumbSize + 12, m_thumbSize + 2 * m_list->fontMetrics().height() + 8));

    m_listing = listFolder(m_folder);
    const QIcon parent = folderIcon("paint_folder_up", m_thumbSize);
    const QIcon folder = folderIcon("paint_folder", m_thumbSize);
    const QIcon waiting = placeholderIcon(m_thumbSize, false);
    QList<ThumbnailLoader::Job> jobs;
    m_list->setUpdatesEnabled(false);
    for (int row = 0; row < m_listing.items.size(); ++row) {
        const BrowserItem& entry = m_listing.items.at(row);
        const QIcon& icon = entry.kind == BrowserItem::Kind::Parent ? parent
                            : entry.kind == BrowserItem::Kind::Folder ? folder
                                                                      : waiting;
        auto* item = new QListWidgetItem(icon, visibleText(entry.caption));
        item->setToolTip(entry.isFolder() ? entry.caption : entry.path);
        m_list->addItem(item);
        if (!entry.isFolder())
            jobs.append({row, entry.path, entry.decoder});
    }
    m_list->setUpdatesEnabled(true);

    QString note;
    if (!m_listing.readable)
        note = QStringLiteral("Папка «%1» не найдена или недоступна.").arg(m_folder);
    else if (m_listing.truncated)
        note = QStringLiteral("В папке больше %1 элементов: показаны первые %1.").arg(kBrowserItemLimit);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setText(visibleText(note, LineBreaks::Keep));
    m_note->setVisible(!note.isEmpty());

    m_loader.start(jobs, m_thumbSize);
    emit listed();
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
    QIcon broken;
    qsizetype done = 0;
    for (; done < m_waiting.size() && clock.nsecsElapsed() < kSliceNs; ++done) {
        const ThumbnailLoader::Result& result = m_waiting.at(done);
        QListWidgetItem* item = m_list->item(result.row);
        if (!item)
            continue;
        if (result.thumbnail.isNull()) {
            if (broken.isNull())
                broken = placeholderIcon(m_thumbSize, true);
            item->setIcon(broken);
            item->setToolTip(QStringLiteral("%1\nРисунок не читается: %2").arg(item->toolTip(), result.error));
            continue;
        }
        ++m_thumbnailCount;
        item->setIcon(QIcon(QPixmap::fromImage(result.thumbnail)));
    }
    m_waiting.remove(0, done);
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
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace velmar::paint
