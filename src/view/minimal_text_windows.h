#pragma once

#include "canvas/canvas_host.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QTextEdit;

namespace velmar {

// Form6 "Редактирование минимального текста объекта": a memo over a bottom bar with "Закрыть".
// The button only closes the window; the caller reads the text however the window was closed.
class MinimalTextEditor : public QDialog {
    Q_OBJECT
public:
    explicit MinimalTextEditor(QWidget* parent);

    // Shows the text (lines separated by CR LF) modally; returns the text as it stands when the
    // window closes, with CR LF line breaks again.
    QString edit(const QString& text);
    QPlainTextEdit* memo() const { return m_memo; }

private:
    QPlainTextEdit* m_memo;
};

// Form7 "Минимальный текст логического конспекта": the outline summary in an editable rich-text
// view. What is typed here stays here. Its "Файл" menu saves the text as a plain UTF-8 file.
class SummaryWindow : public QDialog {
    Q_OBJECT
public:
    SummaryWindow(CanvasHost& host, QWidget* parent);

    // Clears the view, shows the summary (lines separated by LF or CR) and runs the window modally.
    void showSummary(const QString& summary);
    // Puts the summary into the view without showing the window.
    void setSummary(const QString& summary);
    QTextEdit* view() const { return m_view; }

    // "Сохранить": asks for a file and writes the view's whole text into it.
    void save();

private:
    CanvasHost& m_host;
    QTextEdit* m_view;
};

// Writes text as a plain UTF-8 file, atomically; a failure throws UserError naming the file.
void writeSummaryFile(const QString& path, const QString& text);

// The minimal-text commands: editing one object's minimal text (the pop-up items of frames,
// pictures, text fields and video fragments) and showing the outline summary.
class MinimalTextCommands : public QObject {
    Q_OBJECT
public:
    MinimalTextCommands(CanvasHost& host, QWidget* window);
    ~MinimalTextCommands() override;

    // Opens Form6 on the current object, looked up in the table of the given kind. When the window
    // closes the text becomes the object's minimal text and tooltip and a history step is recorded.
    void editMinimalText(ObjectKind kind);
    // ToolButton21 / N110: Form7 with the summary built afresh.
    void showSummary();

    // The two windows are made when first needed: a start-up shows neither.
    MinimalTextEditor* editor();
    SummaryWindow* summaryWindow();

private:
    void storeEditedText(const QString& text);

    CanvasHost& m_host;
    QWidget* m_window;
    MinimalTextEditor* m_editor = nullptr;
    SummaryWindow* m_summary = nullptr;
    // The object Form6 was opened on: its kind and slot.
    ObjectKind m_targetKind = ObjectKind::Frame;
    int m_targetIndex = 0;
};

}  // namespace velmar
