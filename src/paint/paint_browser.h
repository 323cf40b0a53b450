#pragma once

#include "paint/core/folder_listing.h"
#include "paint/core/thumbnail_loader.h"

#include <QIcon>
#include <QStringList>
#include <QWidget>

#include <utility>
#include <vector>

class QLabel;
class QListWidget;

namespace velmar::paint {

// The picture browser in the editor's right column (Panel2 with the list ListView1): the
// folders and picture files of `browserFolder` as large icons, pictures as square thumbnails
// that fill in as the worker threads make them. A double-click walks into a folder or up with
// "..", a press on a picture starts dragging it, and the release hands it to the window through
// pictureDropped(). The browser keeps its folder for the whole run of the program.
//
// Only rows near the visible part of the list keep their thumbnails decoded, up to a budget of
// icon memory; the least recently seen rows give theirs up for the placeholder and take them
// back from the thumbnail cache when they are scrolled to again.
class PictureBrowser : public QWidget {
    Q_OBJECT
public:
    explicit PictureBrowser(QWidget* parent = nullptr, ThumbnailCache cache = ThumbnailCache());
    ~PictureBrowser() override;

    QListWidget* list() const { return m_list; }
    QString folder() const { return m_folder; }
    void setFolder(const QString& folder) { m_folder = folder; }
    // The listed item of a row, as listed (row 0 is "..").
    const BrowserItem& item(int row) const { return m_listing.items.at(row); }
    int itemCount() const { return int(m_listing.items.size()); }
    int thumbSize() const { return m_thumbSize; }
    int thumbnailCount() const { return m_thumbnailCount; }
    // How many rows hold a decoded thumbnail now, and at most (besides the rows near the view).
    int keptIcons() const { return m_kept; }
    int keptIconLimit() const;
    // Overrides the limit that the icon memory budget gives (tests); 0 returns to the budget.
    void setKeptIconLimit(int icons) { m_keptLimitOverride = icons; }
    // The rows shown in the list's viewport, first and last (last < first when none).
    std::pair<int, int> visibleRows() const;
    bool dragging() const { return m_drag; }
    // The line under the list (a folder cut short or unreadable), empty when all is well.
    QString note() const;
    ThumbnailLoader& loader() { return m_loader; }

    // Lists the folder anew: thumbnails sized to the list's width, placeholders until they come.
    void refresh();
    // A double-click on a row (−1: none selected).
    void openItem(int row);
    // Waits for the workers and shows every thumbnail they made (tests, benchmarks).
    void finishThumbnails();
    // The splitter beside the browser was moved: every second notification (first, third, …)
    // refreshes the list.
    void splitterMoved();

    // Dragging a picture: a press on a row, a release at a screen point.
    void pressRow(int row);
    void releaseAt(QPoint globalPos);

signals:
    // The list was filled anew (the thumbnails follow).
    void listed();
    // Every thumbnail of the listing is in the list.
    void thumbnailsShown();
    // A picture was dragged from the browser and let go at the screen point `globalPos`.
    void pictureDropped(const QString& path, velmar::paint::PictureDecoder decoder, QPoint globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // What a picture row shows.
    enum class Thumb : quint8 {
        None,      // a folder, or a picture whose thumbnail is being made
        Kept,      // the decoded thumbnail
        Released,  // the placeholder: the thumbnail was made and waits in the cache
        Fetching,  // the placeholder, the thumbnail on its way back from the cache
        Broken,    // the file cannot be read
    };
    struct RowThumb {
        Thumb state = Thumb::None;
        quint32 seen = 0;  // the last look at the rows near the view that included this row
    };

    void thumbnailsReady(int run, const QList<ThumbnailLoader::Result>& results);
    void thumbnailsFetched(int run, const QList<ThumbnailLoader::Result>& results);
    void showThumbnail(int row, const QImage& thumbnail);
    void showBroken(int row, const QString& error);
    // Looks at the rows near the view: brings back their released thumbnails and lets the
    // rows seen longest ago release theirs when more than the limit are kept.
    void keepRowsNearView();
    void scheduleNearView();
    bool nearView(int row) const { return row >= m_nearFirst && row <= m_nearLast; }
    void releaseOldThumbnails();
    // Puts the waiting thumbnails into the list, a few milliseconds' worth at a time.
    void showWaitingThumbnails();
    void endDrag();

    QListWidget* m_list = nullptr;
    QLabel* m_note = nullptr;
    ThumbnailLoader m_loader;
    ThumbnailLoader m_fetcher;                 // brings released thumbnails back from the cache
    QString m_folder;                          // browserFolder
    FolderListing m_listing;                   // browserPaths and captions of the listed items
    QList<ThumbnailLoader::Result> m_waiting;  // made, not yet shown
    int m_waitingRun = 0;
    bool m_runFinished = false;  // the loader has delivered the last of the current run
    int m_thumbSize = 32;
    int m_thumbnailCount = 0;
    std::vector<RowThumb> m_rows;  // one per listed item
    QIcon m_waitingIcon;           // the placeholder, shared by every row that shows it
    QIcon m_brokenIcon;            // the same for files that cannot be read
    int m_kept = 0;
    int m_keptLimitOverride = 0;
    int m_nearFirst = 0, m_nearLast = -1;
    quint32 m_look = 0;  // counts the looks at the rows near the view
    bool m_nearViewScheduled = false;
    int m_splitterNotifications = 0;
    bool m_listedOnce = false;
    bool m_drag = false;  // browserDrag
    QString m_dragPath;
    PictureDecoder m_dragDecoder = PictureDecoder::None;
};

}  // namespace velmar::paint
