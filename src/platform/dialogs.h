#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace velmar {

// Every message box, input box, file, colour and font dialog, and every request to open a
// document in the desktop's viewer goes through this interface, so that tests can answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A question or message box; returns the button pressed (Cancel/No when closed).
    virtual QMessageBox::StandardButton ask(QWidget* parent, const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) = 0;
    // A question with buttons of its own (captions): the first is the default, the last the one
    // Esc chooses. Returns the index of the button pressed, or -1 when the box was closed.
    virtual int choose(QWidget* parent, const QString& caption, const QString& text, const QStringList& buttons,
                       QMessageBox::Icon icon) = 0;
    // A message with a single OK button.
    virtual void inform(QWidget* parent, const QString& caption, const QString& text, QMessageBox::Icon icon) = 0;

    // A single-line text input; nullopt when cancelled.
    virtual std::optional<QString> inputText(QWidget* parent, const QString& caption, const QString& prompt,
                                             const QString& initial) = 0;

    // A choice among pictures with captions (what a new outline starts from, with thumbnails):
    // the index chosen, or -1 when cancelled. `current` is chosen at first.
    struct PictureChoice {
        QString caption;
        QImage picture;
    };
    virtual int choosePicture(QWidget* parent, const QString& caption, const QString& prompt,
                              const QList<PictureChoice>& items, int current) = 0;

    // A file chosen in an open or save dialog, with the 1-based index of the filter chosen.
    struct FileChoice {
        QString path;
        int filterIndex = 1;
    };
    // filter is a list of "Description (*.ext)|*.ext" pairs joined by '|'.
    virtual std::optional<FileChoice> openFile(QWidget* parent, const QString& caption, const QString& folder,
                                               const QString& filter, int filterIndex = 1) = 0;
    // The save dialog asks about replacing an existing file itself, unless the caller asks
    // (confirmOverwrite false): a caller that adds an extension to the name chosen asks about
    // the file it will write, not about the name typed.
    virtual std::optional<FileChoice> saveFile(QWidget* parent, const QString& caption, const QString& folder,
                                               const QString& filter, const QString& proposedName, int filterIndex = 1,
                                               bool confirmOverwrite = true) = 0;

    virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) = 0;

    // What the font dialog edits: the font (family, size, style, pitch) and the text's colour.
    struct FontChoice {
        QFont font;
        // Invalid when asking: the font alone is chosen (no colour is offered); invalid in an
        // answer: the colour the dialog started with.
        QColor colour;
        FontChoice() = default;
        FontChoice(const QFont& f, const QColor& c = QColor()) : font(f), colour(c) {}
    };
    virtual std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) = 0;

    // Asks the desktop to show a document (help pages) in its viewer; the result is ignored.
    virtual void openUrl(const QUrl& url) = 0;

    // The print dialog, editing the printer's settings, with the option of printing the summary
    // on the pages after the outline; nullopt when cancelled.
    struct PrintChoice {
        bool withSummary = false;
    };
    virtual std::optional<PrintChoice> choosePrinter(QWidget* parent, QPrinter& printer, bool withSummary) = 0;
    // The print preview: shows the pages paint(printer, withSummary) draws, with a check box for the
    // summary pages, until closed (printing from it draws on the printer chosen there). Returns the
    // check box's last state.
    using PagePainter = std::function<void(QPrinter& printer, bool withSummary)>;
    virtual bool previewPrint(QWidget* parent, QPrinter& printer, bool withSummary, const PagePainter& paint) = 0;
};

// The caption of the print option and of the check box that asks for the summary pages.
inline QString printSummaryCaption() { return QCoreApplication::translate("Dialogs", "Печатать краткое содержание"); }

// The dialogs in use. The program starts with the real ones; tests install scripted ones.
Dialogs& dialogs();
// Installs other dialogs (not owned); nullptr restores the real ones.
void setDialogs(Dialogs* replacement);

// Turns "Description|*.ext|Description|*.ext" into the list of name filters a Qt file dialog takes.
QStringList qtNameFilters(const QString& filter);

}  // namespace velmar
