#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QStringList>

#include <deque>

// Dialogs that answer from a script and record what was asked, installed for one test's life.
class ScriptedDialogs : public velmar::Dialogs {
public:
    ScriptedDialogs() { velmar::setDialogs(this); }
    ~ScriptedDialogs() override { velmar::setDialogs(nullptr); }

    struct Asked {
        QString caption;
        QString text;
    };

    std::deque<QMessageBox::StandardButton> answers;  // for ask(); No when empty
    std::deque<int> choices;                          // for choose(); -1 (closed) when empty
    std::deque<int> replaceChoice;                    // for the question about replacing a file, before `choices`
    QList<QStringList> choiceButtons;                 // the buttons of every choose()
    std::deque<std::optional<QString>> inputs;        // for inputText(); cancel when empty
    std::deque<int> pictureChoices;                   // for choosePicture(); -1 (cancel) when empty
    QList<QList<PictureChoice>> pictureAsks;          // the items of every choosePicture()
    std::deque<std::optional<FileChoice>> files;      // for openFile()/saveFile(); cancel when empty
    std::deque<std::optional<QColor>> colours;
    std::deque<std::optional<FontChoice>> fonts;  // an answer without a colour keeps the dialog's

    QList<Asked> questions;  // every ask() and choose()
    QList<Asked> messages;   // every inform()
    QList<QUrl> openedUrls;
    int fileDialogs = 0;
    // What each file dialog was opened with: its caption, folder, file name and filter (1-based).
    struct FileAsked {
        QString caption;
        QString folder;
        QString name;
        int filterIndex = 1;
        QString filter;                // the filter list as the dialog got it
        bool confirmOverwrite = true;  // the dialog itself asks about replacing a file
    };
    QList<FileAsked> fileAsks;
    std::deque<std::optional<PrintChoice>> printChoices;  // for choosePrinter(); cancel when empty
    // When set, an accepted print dialog and the preview print to this PDF file (the preview draws
    // its pages there once, as it would on screen).
    QString printFile;
    int printDialogs = 0;
    int previews = 0;

    QMessageBox::StandardButton ask(QWidget*, const QString& caption, const QString& text, QMessageBox::StandardButtons,
                                    QMessageBox::Icon) override;
    int choose(QWidget*, const QString& caption, const QString& text, const QStringList& buttons,
               QMessageBox::Icon) override;
    void inform(QWidget*, const QString& caption, const QString& text, QMessageBox::Icon) override;
    std::optional<QString> inputText(QWidget*, const QString&, const QString&, const QString&) override;
    int choosePicture(QWidget*, const QString&, const QString&, const QList<PictureChoice>& items, int) override
    {
        pictureAsks << items;
        if (pictureChoices.empty())
            return -1;
        const int chosen = pictureChoices.front();
        pictureChoices.pop_front();
        return chosen;
    }
    std::optional<FileChoice> openFile(QWidget*, const QString&, const QString&, const QString&, int) override;
    std::optional<FileChoice> saveFile(QWidget*, const QString&, const QString&, const QString&, const QString&, int,
                                       bool) override;
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override;
    std::optional<FontChoice> chooseFont(QWidget*, const FontChoice& initial) override;
    void openUrl(const QUrl& url) override { openedUrls << url; }
    std::optional<PrintChoice> choosePrinter(QWidget*, QPrinter& printer, bool withSummary) override;
    bool previewPrint(QWidget*, QPrinter& printer, bool withSummary, const PagePainter& paint) override;
};
