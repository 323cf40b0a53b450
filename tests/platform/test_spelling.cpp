// Spelling: the words a text is cut into, Hunspell's answers with the user's own list, the marks
// a text box shows while typed, and the menu of a text being typed.
#include "canvas/object_widgets.h"
#include "platform/dialogs.h"
#include "platform/spell_checker.h"
#include "platform/spelling.h"
#include "support/window_fixture.h"
#include "system/mapped_libraries.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

using namespace velmar;

namespace {

const QString kDictionaries = QStringLiteral("/usr/share/hunspell");

bool haveDictionaries()
{
    return QFile::exists(kDictionaries + QStringLiteral("/ru_RU.dic"))
           && QFile::exists(kDictionaries + QStringLiteral("/en_US.dic"));
}

// The stretches of a document the spelling marks: "word" for each.
QStringList markedWords(const QTextDocument* document)
{
    QStringList marked;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (const QTextLayout::FormatRange& range : block.layout()->formats())
            if (range.format.underlineStyle() == QTextCharFormat::WaveUnderline)
                marked << block.text().mid(range.start, range.length);
    return marked;
}

// The viewport point inside the n-th character of the text box.
template <typename Edit>
QPoint pointAt(Edit* edit, int position)
{
    QTextCursor cursor(edit->document());
    cursor.setPosition(position);
    return edit->cursorRect(cursor).center() + QPoint(2, 0);
}

}  // namespace

class TestSpelling : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void wordsOfText_data();
    void wordsOfText();
    void dictionariesAndTheUsersList();
    void withoutDictionariesNothingIsWrong();
    void fieldIsMarkedOnlyWhileTyped();
    void menuReplacesTheWordAndAddsToTheList();
    void inputBoxIsOneCheckedLine();
    void markingLeavesTheOutlineUnmodified();

private:
    QTemporaryDir m_home;
};

void TestSpelling::initTestCase()
{
    // The shared checker reads its list from the settings folder of this program folder.
    qputenv("VELMAR_HOME", QFile::encodeName(m_home.path()));
    qputenv("VELMAR_DICTIONARY_DIR", QFile::encodeName(kDictionaries));
    // Hunspell comes in a module with the first dictionary: nothing of it is mapped before, as at
    // the program's start.
    QVERIFY(!mappedLibraries().filter(QStringLiteral("libQt6Widgets")).isEmpty());
    for (const char* notYet : {"libhunspell", "velmar_spelling"})
        QVERIFY2(mappedLibraries().filter(QLatin1String(notYet)).isEmpty(), notYet);
    // As the program does once its window is up: the shared checker the tests below mark words
    // with is then made from the dictionaries read in the background. The checkers some tests
    // make of their own are opened while that read may still run (under the leak checker a
    // dictionary set-up raced by another lost Hunspell's shared table).
    SpellChecker::preloadShared();
}

void TestSpelling::wordsOfText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("punctuation") << QStringLiteral("Привет, мир! (hello)")
                                 << QStringList{QStringLiteral("Привет"), QStringLiteral("мир"),
                                                QStringLiteral("hello")};
    QTest::newRow("joined inside") << QStringLiteral("кто-то don't ’tis -край- it’s")
                                   << QStringList{QStringLiteral("кто-то"), QStringLiteral("don't"),
                                                  QStringLiteral("tis"), QStringLiteral("край"),
                                                  QStringLiteral("it’s")};
    QTest::newRow("digits are no words") << QStringLiteral("mp3 Ту-154 3D x2 и") << QStringList{QStringLiteral("и")};
    QTest::newRow("line breaks and ё") << QStringLiteral("ёж\nЁлка\r\n")
                                       << QStringList{QStringLiteral("ёж"), QStringLiteral("Ёлка")};
    QTest::newRow("empty") << QString() << QStringList();
}

void TestSpelling::wordsOfText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QStringList found;
    for (const WordSpan& w : wordsOf(text))
        found << text.mid(w.start, w.length);
    QCOMPARE(found, words);
}

void TestSpelling::dictionariesAndTheUsersList()
{
    if (!haveDictionaries())
        QSKIP("hunspell-ru and hunspell-en-us are not installed");
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("settings/dictionary.txt"));
    {
        SpellChecker checker(kDictionaries, list);
        QVERIFY(checker.hasDictionaries());
        QVERIFY(!mappedLibraries().filter(QStringLiteral("velmar_spelling")).isEmpty());
        for (const char* right : {"привет", "Москва", "кто-то", "ёлка", "елка", "hello", "Don't", "КОШКА"})
            QVERIFY2(checker.isCorrect(QString::fromUtf8(right)), right);
        for (const char* wrong : {"превет", "карова", "helo", "recieve"})
            QVERIFY2(!checker.isCorrect(QString::fromUtf8(wrong)), wrong);
        // Asked again, the remembered answer stays the same.
        QVERIFY(!checker.isCorrect(QStringLiteral("превет")));
        QVERIFY(checker.suggestions(QStringLiteral("превет")).contains(QStringLiteral("привет")));
        QVERIFY(checker.suggestions(QStringLiteral("helo")).contains(QStringLiteral("hello")));

        QSignalSpy changed(&checker, &SpellChecker::personalChanged);
        QVERIFY(checker.addToPersonal(QStringLiteral("велмар")));
        QCOMPARE(changed.count(), 1);
        // The remembered "wrong" is forgotten; a word of the list is right with a capital too.
        QVERIFY(checker.isCorrect(QStringLiteral("велмар")));
        QVERIFY(checker.isCorrect(QStringLiteral("Велмар")));
        QVERIFY(checker.addToPersonal(QStringLiteral("Qtишка")));
    }
    // Read again by the next start.
    SpellChecker again(kDictionaries, list);
    QVERIFY(again.isCorrect(QStringLiteral("велмар")));
    QVERIFY(again.isCorrect(QStringLiteral("Qtишка")));
    QVERIFY(!again.isCorrect(QStringLiteral("превет")));

    // A list that cannot be written keeps the word for this session and says so.
    QTemporaryDir blocked;
    QVERIFY(QDir(blocked.path()).mkpath(QStringLiteral("dictionary.txt/inside")));
    SpellChecker unwritable(kDictionaries, blocked.filePath(QStringLiteral("dictionary.txt")));
    QVERIFY(!unwritable.addToPersonal(QStringLiteral("превет")));
    QVERIFY(unwritable.isCorrect(QStringLiteral("превет")));
}

void TestSpelling::withoutDictionariesNothingIsWrong()
{
    QTemporaryDir empty;
    SpellChecker checker(empty.path(), empty.filePath(QStringLiteral("dictionary.txt")));
    QVERIFY(!checker.hasDictionaries());
    QVERIFY(checker.isCorrect(QStringLiteral("превет")));
    QVERIFY(checker.isCorrect(QStringLiteral("helo")));
    QVERIFY(checker.suggestions(QStringLiteral("превет")).isEmpty());
    QTextDocument document(QStringLiteral("превет helo"));
    SpellHighlighter highlighter(&document, checker);
    highlighter.rehighlight();
    QVERIFY(markedWords(&document).isEmpty());

    // Only the English dictionary: Russian words are not its to judge.
    QVERIFY(QFile::copy(kDictionaries + QStringLiteral("/en_US.aff"), empty.filePath(QStringLiteral("en_US.aff"))));
    QVERIFY(QFile::copy(kDictionaries + QStringLiteral("/en_US.dic"), empty.filePath(QStringLiteral("en_US.dic"))));
    SpellChecker english(empty.path(), empty.filePath(QStringLiteral("dictionary.txt")));
    QVERIFY(english.isCorrect(QStringLiteral("превет")));
    QVERIFY(!english.isCorrect(QStringLiteral("helo")));
}

void TestSpelling::fieldIsMarkedOnlyWhileTyped()
{
    if (!haveDictionaries())
        QSKIP("hunspell-ru and hunspell-en-us are not installed");
    TextFieldWidget field(nullptr);
    field.setPlainText(QStringLiteral("Карова даёт молоко\nи сметану, превет"));
    const auto focus = [&](QEvent::Type type, Qt::FocusReason reason) {
        QFocusEvent event(type, reason);
        QApplication::sendEvent(&field, &event);
        QCoreApplication::processEvents();
    };
    focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QCOMPARE(markedWords(field.document()), (QStringList{QStringLiteral("Карова"), QStringLiteral("превет")}));
    // The field's own menu or another window take the keyboard for a moment: the marks stay.
    focus(QEvent::FocusOut, Qt::PopupFocusReason);
    QCOMPARE(markedWords(field.document()).size(), 2);
    // Typing marks the word where it is typed, and only that block is looked at again.
    QTextCursor cursor(field.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral(" малако"));
    QCoreApplication::processEvents();
    QCOMPARE(markedWords(field.document()).last(), QStringLiteral("малако"));
    // Leaving the field takes the marks away: pictures and the show draw it without them.
    focus(QEvent::FocusOut, Qt::MouseFocusReason);
    QVERIFY(markedWords(field.document()).isEmpty());
    // Marking changed no text and left no undo step: only the typed words did.
    QCOMPARE(field.document()->availableUndoSteps(), 1);
    QCOMPARE(field.toPlainText(), QStringLiteral("Карова даёт молоко\nи сметану, превет малако"));
    // A read-only field is not being typed into and gets no marks.
    field.setReadOnly(true);
    focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QVERIFY(markedWords(field.document()).isEmpty());
}

void TestSpelling::menuReplacesTheWordAndAddsToTheList()
{
    if (!haveDictionaries())
        QSKIP("hunspell-ru and hunspell-en-us are not installed");
    QPlainTextEdit edit;
    edit.resize(400, 200);
    edit.show();
    edit.setPlainText(QStringLiteral("Новая машына и кофэ"));
    useSpellingMenu(&edit);
    QCoreApplication::processEvents();
    QCOMPARE(markedWords(edit.document()), (QStringList{QStringLiteral("машына"), QStringLiteral("кофэ")}));

    // On a correct word the menu is the text's alone.
    std::unique_ptr<QMenu> plain(textEditMenu(&edit, pointAt(&edit, 2)));
    QStringList names;
    for (QAction* action : plain->actions())
        if (!action->isSeparator())
            names << action->objectName();
    QCOMPARE(names, (QStringList{QStringLiteral("cutText"), QStringLiteral("copyText"), QStringLiteral("pasteText"),
                                 QStringLiteral("selectAllText")}));
    QCOMPARE(plain->actions().first()->text(), QStringLiteral("Вырезать"));
    QVERIFY(!plain->actions().first()->isEnabled());  // nothing selected to cut

    // On a misspelled one, its suggestions come first; one replaces the word as one undo step.
    std::unique_ptr<QMenu> menu(textEditMenu(&edit, pointAt(&edit, 8)));
    QAction* first = menu->actions().first();
    QCOMPARE(first->objectName(), QStringLiteral("suggestion0"));
    QCOMPARE(first->text(), QStringLiteral("машина"));
    first->trigger();
    QCOMPARE(edit.toPlainText(), QStringLiteral("Новая машина и кофэ"));
    QCoreApplication::processEvents();
    QCOMPARE(markedWords(edit.document()), QStringList{QStringLiteral("кофэ")});
    edit.undo();
    QCOMPARE(edit.toPlainText(), QStringLiteral("Новая машына и кофэ"));
    edit.redo();

    // "Добавить в словарь" takes the word off every text being checked, and into the list file.
    std::unique_ptr<QMenu> add(textEditMenu(&edit, pointAt(&edit, 16)));
    QAction* addition = nullptr;
    for (QAction* action : add->actions())
        if (action->objectName() == QStringLiteral("addToDictionary"))
            addition = action;
    QVERIFY(addition);
    QCOMPARE(addition->text(), QStringLiteral("Добавить в словарь"));
    addition->trigger();
    QCoreApplication::processEvents();
    QVERIFY(markedWords(edit.document()).isEmpty());
    QFile list(SpellChecker::shared().personalFile());
    QVERIFY(list.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(list.readAll()).split(QLatin1Char('\n')).contains(QStringLiteral("кофэ")));
    QVERIFY(list.fileName().startsWith(m_home.path()));

    // "Выделить всё" and "Копировать" work on the text.
    std::unique_ptr<QMenu> whole(textEditMenu(&edit, pointAt(&edit, 1)));
    for (QAction* action : whole->actions())
        if (action->objectName() == QStringLiteral("selectAllText"))
            action->trigger();
    QCOMPARE(edit.textCursor().selectedText(), edit.toPlainText());
}

void TestSpelling::inputBoxIsOneCheckedLine()
{
    // The real input box: typing replaces the text offered, Enter answers, words are checked.
    QStringList marked;
    // Typed once the box has been shown and has taken what it does on showing.
    const auto type = [&] {
        auto* line = QApplication::activeModalWidget()->findChild<QPlainTextEdit*>();
        QVERIFY(line);
        for (const QChar c : QStringLiteral("Наблюдения превет"))
            QTest::sendKeyEvent(QTest::Click, line, c == QLatin1Char(' ') ? Qt::Key_Space : Qt::Key_A, QString(c),
                                Qt::NoModifier);
        marked = markedWords(line->document());
        QTest::keyClick(line, Qt::Key_Return);
    };
    QTimer::singleShot(0, this, [&] { QTimer::singleShot(0, this, type); });
    const auto answer = dialogs().inputText(nullptr, QStringLiteral("Внимание"),
                                            QStringLiteral("Введите название фрейма"), QStringLiteral("Опыты"));
    QVERIFY(answer);
    QCOMPARE(*answer, QStringLiteral("Наблюдения превет"));
    if (haveDictionaries())
        QCOMPARE(marked, QStringList{QStringLiteral("превет")});
}

void TestSpelling::markingLeavesTheOutlineUnmodified()
{
    // The marks come and go with the keyboard, and with a word added to the dictionary: none of
    // it is an edit of the outline.
    WindowFixture f;
    f.beginOutline();
    Outline& o = f.doc().outline;
    const int frame = o.createFrame(QRect(10, 40, 300, 200), QStringLiteral("Фрейм"));
    const int slot = o.createTextField(QRect(4, 20, 250, 40), kButtonFace, QStringLiteral("Сабака лает"), frame);
    f.window->documents().recordStep(StepKind::Full);
    f.doc().state.modified = false;
    auto* field = qobject_cast<TextFieldWidget*>(f.widgetOf(o.textField(slot).id));
    QVERIFY(field);
    field->setReadOnly(false);
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(field, &in);
    QCoreApplication::processEvents();
    if (haveDictionaries())
        QCOMPARE(markedWords(field->document()), QStringList{QStringLiteral("Сабака")});
    SpellChecker::shared().addToPersonal(QStringLiteral("сабака"));
    QCoreApplication::processEvents();
    QVERIFY(markedWords(field->document()).isEmpty());
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(field, &out);
    QCoreApplication::processEvents();
    QVERIFY(!f.doc().state.modified);
    QCOMPARE(o.textField(slot).text, QStringLiteral("Сабака лает"));
}

QTEST_MAIN(TestSpelling)
#include "test_spelling.moc"
