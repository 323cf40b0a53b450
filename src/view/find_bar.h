#pragma once

#include "canvas/canvas_host.h"
#include "model/text_search.h"

#include <QFrame>
#include <QPointer>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmar {

class CanvasController;
class CanvasWidget;
class OutlineView;
class TextFieldWidget;

// The find bar over the bottom right corner of the canvas: words to find in titles, texts, minimal
// texts and film names (any case, ё as е), each place found selected and shown in turn; with its
// second row, what to put in their place in the texts. Enter and F3 go to the next place,
// Shift+Enter and Shift+F3 to the previous one, Esc closes the bar and gives the keyboard back to
// the canvas. Each replacement is one history step.
class FindBar : public QFrame {
    Q_OBJECT
public:
    FindBar(CanvasHost& host, CanvasController* controller, OutlineView* view, CanvasWidget* canvas, QWidget* window);

    // Shows the bar with the keyboard in its words (their text selected); with `replacing`, also
    // the row of the replacement.
    void open(bool replacing);
    void closeBar();
    // The next search starts from the outline's beginning (the outline was replaced).
    void forgetPlace();
    // The next and the previous place of the words, round the outline; opens the bar first when
    // it is closed.
    void findNext();
    void findPrevious();
    // Replaces the place shown (when it lies in a text) and goes on to the next one; replaces the
    // words in every text at once. One history step each.
    void replaceCurrent();
    void replaceAll();

    QLineEdit* wordsField() const { return m_words; }
    QLineEdit* replacementField() const { return m_replacement; }
    // What the bar says: "2 из 5: текст", "Не найдено"…
    QString status() const;
    const std::optional<SearchHit>& current() const { return m_current; }

signals:
    // The bar was shown or closed, or says something new.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    void step(int direction, bool fromCurrent);
    void showHit(const SearchHit& hit, int index, int count);
    void showNothingFound();
    // Takes the mark off the words shown last in a text field.
    void unmark();

    CanvasHost& m_host;
    CanvasController* m_controller;
    OutlineView* m_view;
    CanvasWidget* m_canvas;
    QLineEdit* m_words;
    QLineEdit* m_replacement;
    QWidget* m_replaceRow;
    QLabel* m_status;
    std::optional<SearchHit> m_current;
    // The text field whose words are marked as the place shown.
    QPointer<TextFieldWidget> m_marked;
};

}  // namespace velmar
