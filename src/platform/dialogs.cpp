#include "platform/dialogs.h"

#include "model/visible_text.h"
#include "platform/dialog_russian.h"
#include "platform/font_colour_dialog.h"
#include "platform/print_form_page.h"
#include "platform/print_support.h"
#include "platform/spelling.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace velmar {

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = parts[i];
        // Qt reads the patterns from the last parentheses of the text; a description that already
        // lists them is kept as it stands.
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        filters << description;
    }
    return filters;
}

namespace {

// Room for the title bar's buttons, and the least width of an input box, in pixels.
constexpr int kTitleButtonsWidth = 140;
constexpr int kMinInputWidth = 320;
// The thumbnails of a choice among pictures.
constexpr QSize kChoicePictureSize(160, 120);

// Messages quote names and texts of documents: they are shown as plain text (a name that looks
// like HTML must not load pictures or show links), their control characters as visible signs.
QString shownMessage(const QString& text) { return visibleText(text, LineBreaks::Keep); }

// Enter in the one-line box answers the input box, as in a line edit.
class EnterAccepts : public QObject {
public:
    EnterAccepts(QDialog* dialog) : QObject(dialog), m_dialog(dialog) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_dialog->accept();
        return true;
    }

private:
    QDialog* m_dialog;
};

// Makes the plain text box of an input box look and answer like a line edit: one line high, no
// wrapping and no scroll bars, Enter answering, its text selected so that typing replaces it;
// its words are checked as they are typed.
void makeOneLine(QPlainTextEdit* line, QDialog* dialog)
{
    line->setLineWrapMode(QPlainTextEdit::NoWrap);
    line->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    line->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    line->setTabChangesFocus(true);
    const int margin = int(line->document()->documentMargin());
    line->setFixedHeight(line->fontMetrics().lineSpacing() + 2 * (margin + line->frameWidth()) + 2);
    line->installEventFilter(new EnterAccepts(dialog));
    line->selectAll();
    useSpellingMenu(line);
}

class DesktopDialogs final : public Dialogs {
public:
    QMessageBox::StandardButton ask(QWidget* parent, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) override
    {
        QMessageBox box(icon, caption, shownMessage(text), buttons, parent);
        box.setTextFormat(Qt::PlainText);
        const std::pair<QMessageBox::StandardButton, QString> russian[] = {
            {QMessageBox::Yes, QCoreApplication::translate("Dialogs", "Да")},
            {QMessageBox::No, QCoreApplication::translate("Dialogs", "Нет")},
            {QMessageBox::Cancel, QCoreApplication::translate("Dialogs", "Отмена")}};
        for (const auto& [which, text] : russian)
            if (QAbstractButton* button = box.button(which))
                button->setText(text);
        return QMessageBox::StandardButton(box.exec());
    }

    int choose(QWidget* parent, const QString& caption, const QString& text, const QStringList& buttons,
               QMessageBox::Icon icon) override
    {
        QMessageBox box(icon, caption, shownMessage(text), QMessageBox::NoButton, parent);
        box.setTextFormat(Qt::PlainText);
        QList<QPushButton*> pushed;
        for (qsizetype i = 0; i < buttons.size(); ++i) {
            const bool last = i + 1 == buttons.size() && buttons.size() > 1;
            pushed << box.addButton(buttons[i], last ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
            // Named by place, so that a driver of the real program can press a given answer.
            pushed.last()->setObjectName(QStringLiteral("choice%1").arg(i));
        }
        if (!pushed.isEmpty()) {
            box.setDefaultButton(pushed.first());
            box.setEscapeButton(pushed.last());
        }
        box.exec();
        return int(pushed.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    }

    void inform(QWidget* parent, const QString& caption, const QString& text, QMessageBox::Icon icon) override
    {
        QMessageBox box(icon, caption, shownMessage(text), QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }

    std::optional<QString> inputText(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& initial) override
    {
        QInputDialog dialog(parent);
        dialog.setWindowTitle(caption);
        dialog.setLabelText(prompt);
        // The line is a one-line plain text box, whose words can be checked as they are typed.
        dialog.setOption(QInputDialog::UsePlainTextEditForTextInput);
        dialog.setTextValue(initial);
        if (auto* line = dialog.findChild<QPlainTextEdit*>())
            makeOneLine(line, &dialog);
        dialog.setOkButtonText(QStringLiteral("OK"));
        dialog.setCancelButtonText(QCoreApplication::translate("Dialogs", "Отмена"));
        // Wide enough for the caption in the title bar beside the window manager's buttons, and
        // for the prompt on one line.
        // The dialog sizes itself from its contents, so the room is given to its prompt.
        const QFontMetrics metrics(dialog.font());
        const int width = std::max({kMinInputWidth, metrics.horizontalAdvance(caption) * 3 / 2 + kTitleButtonsWidth,
                                    metrics.horizontalAdvance(prompt)});
        if (QLabel* label = dialog.findChild<QLabel*>()) {
            label->setTextFormat(Qt::PlainText);
            label->setMinimumWidth(width);
        }
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        // A pasted line break is no part of a one-line answer.
        QString text = dialog.textValue();
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return text;
    }

    int choosePicture(QWidget* parent, const QString& caption, const QString& prompt, const QList<PictureChoice>& items,
                      int current) override
    {
        QDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("pictureChoice"));
        dialog.setWindowTitle(caption);
        auto* label = new QLabel(prompt, &dialog);
        label->setTextFormat(Qt::PlainText);
        auto* list = new QListWidget(&dialog);
        list->setObjectName(QStringLiteral("pictureChoiceList"));
        list->setViewMode(QListView::IconMode);
        list->setIconSize(kChoicePictureSize);
        list->setMovement(QListView::Static);
        list->setResizeMode(QListView::Adjust);
        list->setWordWrap(true);
        list->setSpacing(8);
        list->setUniformItemSizes(true);
        for (const PictureChoice& item : items) {
            QPixmap picture(kChoicePictureSize);
            picture.fill(Qt::transparent);
            if (!item.picture.isNull()) {
                QPainter painter(&picture);
                const QImage scaled =
                    item.picture.scaled(kChoicePictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
                const QPoint at((kChoicePictureSize.width() - scaled.width()) / 2,
                                (kChoicePictureSize.height() - scaled.height()) / 2);
                painter.drawImage(at, scaled);
                painter.setPen(Qt::gray);
                painter.drawRect(QRect(at, scaled.size()).adjusted(0, 0, -1, -1));
            }
            // Names come from the user's files: shown as they are, never as markup.
            new QListWidgetItem(QIcon(picture), visibleText(item.caption, LineBreaks::Keep), list);
        }
        if (current >= 0 && current < list->count())
            list->setCurrentRow(current);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        buttons->button(QDialogButtonBox::Cancel)->setText(QCoreApplication::translate("Dialogs", "Отмена"));
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(label);
        layout->addWidget(list, 1);
        layout->addWidget(buttons);
        dialog.resize(4 * (kChoicePictureSize.width() + 40), 2 * (kChoicePictureSize.height() + 60) + 80);
        list->setFocus();
        if (dialog.exec() != QDialog::Accepted)
            return -1;
        return list->currentRow();
    }

    std::optional<FileChoice> openFile(QWidget* parent, const QString& caption, const QString& folder,
                                       const QString& filter, int filterIndex) override
    {
        return runFileDialog(parent, caption, folder, filter, QString(), filterIndex, QFileDialog::AcceptOpen);
    }

    std::optional<FileChoice> saveFile(QWidget* parent, const QString& caption, const QString& folder,
                                       const QString& filter, const QString& proposedName, int filterIndex,
                                       bool confirmOverwrite) override
    {
        return runFileDialog(parent, caption, folder, filter, proposedName, filterIndex, QFileDialog::AcceptSave,
                             confirmOverwrite);
    }

    std::optional<QString> chooseFolder(QWidget* parent, const QString& caption, const QString& folder) override
    {
        QFileDialog dialog(parent, caption, folder);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        russifyFileDialog(&dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }

    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override
    {
        const QColor colour = chooseColourInDialog(parent, initial, QCoreApplication::translate("Dialogs", "Цвет"));
        if (!colour.isValid())
            return std::nullopt;
        return colour;
    }

    std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override
    {
        FontColourDialog dialog(parent);
        dialog.setCurrentFont(initial.font);
        dialog.setCurrentColour(initial.colour);
        dialog.setColourOffered(initial.colour.isValid());
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return FontChoice(dialog.currentFont(), initial.colour.isValid() ? dialog.currentColour() : QColor());
    }

    void openUrl(const QUrl& url) override { QDesktopServices::openUrl(url); }

    std::optional<PrintChoice> choosePrinter(QWidget* parent, QPrinter& printer, const PrintChoice& current) override
    {
        // What is printed and the summary option are pages of the dialog's options.
        PrintFormPage* forms = new PrintFormPage(current.form);
        auto* options = new QWidget;
        options->setWindowTitle(QCoreApplication::translate("Dialogs", "Краткое содержание"));
        auto* summary = new QCheckBox(printSummaryCaption(), options);
        summary->setObjectName(QStringLiteral("printSummary"));
        summary->setChecked(current.withSummary);
        auto* layout = new QVBoxLayout(options);
        layout->addWidget(summary);
        layout->addStretch();
        bool withSummary = current.withSummary;
        PrintForm form = current.form;
        const bool printed = execPrintDialog(printer, parent, {forms, options}, [&](QDialog& dialog) {
            dialog.setWindowTitle(QCoreApplication::translate("Dialogs", "Печать"));
            // The options open on what is printed, shown from the start: after the printer, it is
            // the choice a print most often needs.
            for (QTabWidget* tabs : dialog.findChildren<QTabWidget*>())
                if (tabs->indexOf(forms) >= 0)
                    tabs->setCurrentWidget(forms);
            QTimer::singleShot(0, &dialog, [&dialog, forms] {
                if (forms->isVisible())
                    return;
                // The dialog's own button, by its caption in Qt's catalogue (not one of ours).
                const char* const context = "QPrintDialog";
                const char* const caption = "&Options >>";
                const QString expand = QCoreApplication::translate(context, caption);
                for (QPushButton* button : dialog.findChildren<QPushButton*>())
                    if (button->text() == expand) {
                        button->click();
                        break;
                    }
            });
            // Read while the dialog, which owns the pages, is still there.
            QObject::connect(&dialog, &QDialog::accepted, &dialog, [&] {
                withSummary = summary->isChecked();
                form = forms->form();
            });
        });
        if (!printed)
            return std::nullopt;
        return PrintChoice{withSummary, form};
    }

    bool previewPrint(QWidget* parent, QPrinter& printer, bool withSummary, const PagePainter& paint) override
    {
        bool summaryChosen = withSummary;
        execPrintPreview(
            printer, parent,
            [&](QDialog& dialog, const std::function<void()>& redraw) {
                dialog.setWindowTitle(QCoreApplication::translate("Dialogs", "Предварительный просмотр"));
                auto* summary = new QCheckBox(printSummaryCaption(), &dialog);
                summary->setObjectName(QStringLiteral("printSummary"));
                summary->setChecked(withSummary);
                if (auto* bar = dialog.findChild<QToolBar*>()) {
                    bar->addSeparator();
                    bar->addWidget(summary);
                }
                QObject::connect(summary, &QCheckBox::toggled, &dialog, [&summaryChosen, redraw](bool on) {
                    summaryChosen = on;
                    redraw();
                });
                resizeToScreen(dialog, parent);
            },
            [&](QPrinter* target) { paint(*target, summaryChosen); });
        return summaryChosen;
    }

private:
    // The preview shows a whole page at a readable size: most of the screen the window is on.
    static void resizeToScreen(QWidget& dialog, QWidget* parent)
    {
        const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        if (screen)
            dialog.resize(screen->availableSize() * 4 / 5);
    }

    // A name typed with the extension of another filter selects that filter, so that what the
    // dialog shows is the type that will be written.
    static void followTypedExtension(QFileDialog& dialog, const QString& filter)
    {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!edit)
            return;  // the platform's own dialog
        const QStringList names = qtNameFilters(filter);
        const QStringList parts = filter.split(QLatin1Char('|'));
        QObject::connect(edit, &QLineEdit::textEdited, &dialog, [&dialog, names, parts](const QString& text) {
            const QString suffix = QFileInfo(text).suffix().toLower();
            if (suffix.isEmpty())
                return;
            for (qsizetype i = 0; i + 1 < parts.size() && i / 2 < names.size(); i += 2) {
                const QStringList patterns =
                    parts[i + 1].split(QRegularExpression(QStringLiteral("[; ]")), Qt::SkipEmptyParts);
                if (patterns.contains(QStringLiteral("*.") + suffix, Qt::CaseInsensitive)) {
                    if (dialog.selectedNameFilter() != names[i / 2])
                        dialog.selectNameFilter(names[i / 2]);
                    return;
                }
            }
        });
    }

    static std::optional<FileChoice> runFileDialog(QWidget* parent, const QString& caption, const QString& folder,
                                                   const QString& filter, const QString& proposedName, int filterIndex,
                                                   QFileDialog::AcceptMode mode, bool confirmOverwrite = true)
    {
        QFileDialog dialog(parent, caption, folder);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
        russifyFileDialog(&dialog);
        const QStringList filters = qtNameFilters(filter);
        dialog.setNameFilters(filters);
        if (filterIndex >= 1 && filterIndex <= filters.size())
            dialog.selectNameFilter(filters[filterIndex - 1]);
        if (!proposedName.isEmpty())
            dialog.selectFile(proposedName);
        if (mode == QFileDialog::AcceptSave)
            followTypedExtension(dialog, filter);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        FileChoice choice;
        choice.path = dialog.selectedFiles().constFirst();
        choice.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
        if (choice.filterIndex < 1)
            choice.filterIndex = 1;
        return choice;
    }
};

DesktopDialogs& desktopDialogs()
{
    static DesktopDialogs instance;
    return instance;
}

Dialogs* g_dialogs = nullptr;

}  // namespace

Dialogs& dialogs() { return g_dialogs ? *g_dialogs : desktopDialogs(); }

void setDialogs(Dialogs* replacement) { g_dialogs = replacement; }

}  // namespace velmar
