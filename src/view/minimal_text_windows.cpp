#include "view/minimal_text_windows.h"

#include "canvas/object_widgets.h"
#include "model/object_kinds.h"
#include "model/outline_template.h"
#include "model/summary.h"
#include "model/summary_formats.h"
#include "model/text_metrics.h"
#include "platform/command_guard.h"
#include "platform/dialogs.h"
#include "platform/spelling.h"
#include "storage/old_outline_file.h"
#include "system/file_io.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace velmar {

namespace {

// Both windows show their text in "MS Sans Serif" at 16 pixels (12 points at 96 dpi) on silver.
QFont windowTextFont() { return toQFont(FontSpec{kDefaultFontName, 12, kWindowText, 0, 0}); }

void paintSilver(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    palette.setColor(QPalette::Text, Qt::black);
    widget->setPalette(palette);
}

// Translated when asked for: a constant would be made before the interface language is chosen.
QString summaryFilter() { return QCoreApplication::translate("MinimalText", "Текстовый файл|*.txt"); }

}  // namespace

// --- Form6 --------------------------------------------------------------------------------------

MinimalTextEditor::MinimalTextEditor(QWidget* parent) : QDialog(parent), m_memo(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QCoreApplication::translate("MinimalText", "Редактирование минимального текста объекта"));
    resize(561, 403);

    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setFrameStyle(QFrame::Panel | QFrame::Plain);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setFont(windowTextFont());
    paintSilver(m_memo);
    useSpellingMenu(m_memo);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("Panel1"));
    auto* close = new QPushButton(QCoreApplication::translate("MinimalText", "Закрыть"), bar);
    close->setObjectName(QStringLiteral("Button1"));
    close->setAutoDefault(false);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->addStretch();
    barLayout->addWidget(close);
    barLayout->addStretch();
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_memo, 1);
    layout->addWidget(bar);
}

QString MinimalTextEditor::edit(const QString& text)
{
    m_memo->setPlainText(TextFieldWidget::toWidgetText(text));
    m_memo->setFocus();
    // A text nobody wrote is selected, so typing replaces it; the user's own text is continued.
    if (isPlaceholderMinimalText(text))
        m_memo->selectAll();
    else
        m_memo->moveCursor(QTextCursor::End);
    exec();
    return TextFieldWidget::toModelText(m_memo->toPlainText());
}

// --- Form7 --------------------------------------------------------------------------------------

SummaryWindow::SummaryWindow(CanvasHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_view(new QTextEdit(this))
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QCoreApplication::translate("MinimalText", "Минимальный текст логического конспекта"));
    resize(862, 556);

    m_view->setObjectName(QStringLiteral("RichEdit1"));
    m_view->setAcceptRichText(true);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_view->setFont(windowTextFont());
    paintSilver(m_view);

    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = menuBar->addMenu(QCoreApplication::translate("MinimalText", "Файл"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QAction* save = file->addAction(QCoreApplication::translate("MinimalText", "Сохранить"));
    save->setObjectName(QStringLiteral("N2"));
    file->addSeparator();
    QAction* close = file->addAction(QCoreApplication::translate("MinimalText", "Закрыть"));
    close->setObjectName(QStringLiteral("N3"));
    connect(save, &QAction::triggered, this, [this] { runGuarded(this, [this] { this->save(); }); });
    connect(close, &QAction::triggered, this, &QDialog::accept);

    // Formatting is not offered: its menu stays hidden.
    QMenu* format = menuBar->addMenu(QCoreApplication::translate("MinimalText", "Формат"));
    format->setObjectName(QStringLiteral("formatMenu"));
    format->addAction(QCoreApplication::translate("MinimalText", "Перенос по словам"));
    format->addAction(QCoreApplication::translate("MinimalText", "Шрифт"));
    format->menuAction()->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_view);
}

void SummaryWindow::setSummary(const QString& summary)
{
    m_view->clear();
    // Each CR of the summary starts a new paragraph of the view.
    QString text = summary;
    text.replace(kSummaryBreak, QLatin1Char('\n'));
    m_view->setPlainText(text);
}

void SummaryWindow::showSummary(const QString& summary)
{
    setSummary(summary);
    exec();
}

void SummaryWindow::save()
{
    const auto choice = dialogs().saveFile(this, QCoreApplication::translate("MinimalText", "Сохранить"),
                                           m_host.dialogFolders().exports, summaryFilter(), QString(), 1);
    if (!choice)
        return;
    writeSummaryFile(choice->path, m_view->toPlainText());
}

void writeSummaryFile(const QString& path, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const FileWriteStatus written = replaceFile(path, {QByteArrayView(bytes)}, false);
    if (!written.ok)
        throw UserError(
            QCoreApplication::translate("MinimalText", "Не удалось записать файл «%1»: %2.").arg(path, written.error));
}

// --- the commands -------------------------------------------------------------------------------

MinimalTextCommands::MinimalTextCommands(CanvasHost& host, QWidget* window)
    : QObject(window), m_host(host), m_window(window)
{
}

MinimalTextEditor* MinimalTextCommands::editor()
{
    if (!m_editor)
        m_editor = new MinimalTextEditor(m_window);
    return m_editor;
}

SummaryWindow* MinimalTextCommands::summaryWindow()
{
    if (!m_summary)
        m_summary = new SummaryWindow(m_host, m_window);
    return m_summary;
}

MinimalTextCommands::~MinimalTextCommands() { delete m_summary; }

void MinimalTextCommands::editMinimalText(ObjectKind kind)
{
    const Outline& o = m_host.document().outline;
    const int slot = o.findSlot(kind, m_host.document().interaction.currentObject);
    if (slot == 0)
        return;
    const QString* minimal = minimalTextOf(o, ObjectRef{kind, slot});
    if (!minimal)
        return;
    const QString text = *minimal;
    m_targetKind = kind;
    m_targetIndex = slot;
    storeEditedText(editor()->edit(text));
}

void MinimalTextCommands::storeEditedText(const QString& text)
{
    Outline& o = m_host.document().outline;
    if (m_targetIndex < 1 || m_targetIndex > o.count(m_targetKind))
        return;
    if (!setMinimalText(o, ObjectRef{m_targetKind, m_targetIndex}, text))
        return;
    m_host.documents().recordStep(StepKind::HeaderOnly);
}

void MinimalTextCommands::showSummary() { summaryWindow()->showSummary(summaryPlainText(m_host.document().outline)); }

}  // namespace velmar
