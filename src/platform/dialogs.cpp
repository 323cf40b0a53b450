#include "platform/dialogs.h"

#include "model/visible_text.h"
#include "platform/dialog_russian.h"
#include "platform/font_colour_dialog.h"
#include "platform/print_form_page.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
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

// Messages quote names and texts of documents: they are shown as plain text (a name that looks
// like HTML must not load pictures or show links), their control characters as visible signs.
QString shownMessage(const QString& text) { return visibleText(text, LineBreaks::Keep); }

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
        dialog.setTextValue(initial);
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
        return dialog.textValue();
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
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(QCoreApplication::translate("Dialogs", "Печать"));
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
        dialog.setOptionTabs({forms, options});
        // The options open on what is printed, shown from the start: after the printer, it is the
        // choice a print most often needs.
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
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return PrintChoice{summary->isChecked(), forms->form()};
    }

    bool previewPrint(QWidget* parent, QPrinter& printer, bool withSummary, const PagePainter& paint) override
    {
        QPrintPreviewDialog dialog(&printer, parent);
        dialog.setWindowTitle(QCoreApplication::translate("Dialogs", "Предварительный просмотр"));
        auto* summary = new QCheckBox(printSummaryCaption(), &dialog);
        summary->setObjectName(QStringLiteral("printSummary"));
        summary->setChecked(withSummary);
        if (auto* bar = dialog.findChild<QToolBar*>()) {
            bar->addSeparator();
            bar->addWidget(summary);
        }
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&](QPrinter* target) { paint(*target, summary->isChecked()); });
        QObject::connect(summary, &QCheckBox::toggled, &dialog, [&dialog] {
            if (auto* pages = dialog.findChild<QPrintPreviewWidget*>())
                pages->updatePreview();
        });
        resizeToScreen(dialog, parent);
        dialog.exec();
        return summary->isChecked();
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
