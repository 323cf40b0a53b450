// What spell checking adds to a key press: a letter typed into a text field of 2,000 characters
// on the canvas of the real window (its key handling, the outline following the text, the field's
// layout and painting) with the misspelled words marked, beside the same key press with no
// checking, measured alternately in one run. A key press may cost at most 2 ms more.
//   BM_KeyPress/1  with checking     BM_KeyPress/0  without
#include "app/main_window.h"
#include "bench_main.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "platform/spell_checker.h"
#include "platform/spelling.h"
#include "started_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace velmar;

namespace {

// Russian and English words, a few of them misspelled, as one line of at least 2,000 characters.
QString longText()
{
    const QString words =
        QStringLiteral("Электрический ток в металлах это направленое движение свободных электронов под действием "
                       "электрического поля; сила тока прямо пропорцианальна напряжению and inversely proportional to "
                       "the resistanse of the conductor. ");
    QString text;
    while (text.size() < 2000)
        text += words;
    return text.left(2000);
}

struct TypingWindow {
    QTemporaryDir home;
    MainWindow main;
    TextFieldWidget* field = nullptr;

    TypingWindow()
    {
        startShownIn(main, home.path());
        main.document().session.outlineOpen = true;
        Outline& o = main.document().outline;
        const int frame = o.createFrame(QRect(10, 40, 900, 300), QStringLiteral("Фрейм"));
        const int slot = o.createTextField(QRect(4, 20, 880, 200), kButtonFace, longText(), frame);
        main.outlineView()->sync();
        main.documents().recordStep(StepKind::Full);
        field = qobject_cast<TextFieldWidget*>(main.outlineView()->widget(o.textField(slot).id));
        main.activateWindow();
        field->setFocus(Qt::MouseFocusReason);
        QTextCursor end = field->textCursor();
        end.setPosition(1000);  // in the middle of the line
        field->setTextCursor(end);
        QApplication::processEvents();
    }

    // One key press and release into the field, as the window gets them, shown on the screen.
    void press(int key, const QString& text)
    {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(field, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(field, &up);
        field->viewport()->repaint();
        QApplication::processEvents();
    }

    // A letter, then Backspace: two key presses that leave the text as it was.
    void typeAndTakeBack()
    {
        press(Qt::Key_A, QStringLiteral("а"));
        press(Qt::Key_Backspace, QString());
    }

    void check(bool on) { checkSpelling(field, on); }
};

TypingWindow& window()
{
    static auto* w = new TypingWindow;
    return *w;
}

void BM_KeyPress(benchmark::State& state)
{
    TypingWindow& w = window();
    w.check(state.range(0) == 1);
    for (auto _ : state)
        w.typeAndTakeBack();
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_KeyPress)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(200);

// Both cases taken in turns, so that anything else the machine does falls on both alike.
void printRatio()
{
    TypingWindow& w = window();
    std::vector<double> with, without;
    for (int round = 0; round < 15; ++round)
        for (const bool on : {false, true}) {
            w.check(on);
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < 50; ++i)
                w.typeAndTakeBack();
            (on ? with : without).push_back(double(timer.nsecsElapsed()) / 1e6 / 100);
        }
    const double a = median(with), b = median(without);
    std::printf("\nkey press into a text field of %d characters (median of %zu rounds of 100 presses)\n",
                int(w.field->toPlainText().size()), with.size());
    std::printf("  without checking  %.3f ms\n  with checking     %.3f ms\n", b, a);
    std::printf("  added by checking %.3f ms per key press (limit 2 ms); ratio %.2f\n", a - b, b > 0 ? a / b : 0.0);
    std::printf("  dictionaries: %s\n",
                SpellChecker::shared().hasDictionaries() ? "found" : "none (nothing is marked)");
    // What the first text typed into waits for once: reading the dictionaries.
    QElapsedTimer load;
    load.start();
    const SpellChecker fresh(QStringLiteral("/usr/share/hunspell"), QString());
    std::printf("  reading the Russian and English dictionaries: %.0f ms\n", double(load.nsecsElapsed()) / 1e6);
}

}  // namespace

int main(int argc, char** argv) { return runQtBenchmarks<QApplication>(argc, argv, printRatio); }
