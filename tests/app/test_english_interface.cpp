// The English interface: the language chosen from the environment, and the main window, the
// graphic editor, the messages and the command line shown without a Russian word once the English
// catalogue is installed.
#include "app/accessibility_names.h"
#include "app/command_line.h"
#include "app/qt_translations.h"
#include "paint/paint_window.h"
#include "support/window_fixture.h"
#include "system/interface_language.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

using namespace velmar;

namespace {

bool hasCyrillic(const QString& text)
{
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    return cyrillic.match(text).hasMatch();
}

// Every text a user sees or hears from the widgets under root: captions, hints, labels, titles and
// accessible names and descriptions. Widgets below `skip` show the user's own content.
QStringList shownTexts(QWidget* root, const QWidget* skip = nullptr)
{
    QStringList texts;
    const auto describe = [](const QObject* o, const QString& text) {
        return QStringLiteral("%1 (%2): %3")
            .arg(QString::fromLatin1(o->metaObject()->className()), o->objectName(), text);
    };
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (skip && skip != w && skip->isAncestorOf(w))
            continue;
        for (const QString& text : {w->toolTip(), w->accessibleName(), w->accessibleDescription(), w->statusTip()})
            texts << describe(w, text);
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << describe(w, button->text());
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << describe(w, label->text());
        if (auto* menu = qobject_cast<QMenu*>(w))
            texts << describe(w, menu->title());
        for (QAction* action : w->actions())
            // The language menu names each language in that language.
            if (action->objectName() != QLatin1String("languageRussian"))
                for (const QString& text : {action->text(), action->toolTip(), action->statusTip(), action->iconText()})
                    texts << describe(action, text);
    }
    return texts;
}

QStringList russianAmong(const QStringList& texts)
{
    QStringList russian;
    for (const QString& text : texts)
        if (hasCyrillic(text))
            russian << text;
    return russian;
}

}  // namespace

class TestEnglishInterface : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void languageChoice_data();
    void languageChoice();
    void mainWindowIsEnglish();
    void editorIsEnglish();
    void messagesAreEnglish();
    void commandLineIsEnglish();
};

void TestEnglishInterface::initTestCase()
{
    QVERIFY2(englishCatalogue(), "the English catalogue is not built into the program");
    installInterfaceTranslations(*qApp, InterfaceLanguage::English);
    installAccessibleNames(*qApp);
    QCOMPARE(interfaceLanguage(), InterfaceLanguage::English);
}

void TestEnglishInterface::languageChoice_data()
{
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("lcAll");
    QTest::addColumn<QString>("lcMessages");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<bool>("english");
    QTest::newRow("nothing set") << ""
                                 << ""
                                 << ""
                                 << ""
                                 << "" << false;
    QTest::newRow("C and POSIX") << ""
                                 << ""
                                 << "C"
                                 << ""
                                 << "en_US.UTF-8" << false;
    QTest::newRow("POSIX") << ""
                           << ""
                           << ""
                           << ""
                           << "POSIX" << false;
    QTest::newRow("English LANG") << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "en_US.UTF-8" << true;
    QTest::newRow("bare en") << ""
                             << ""
                             << ""
                             << ""
                             << "en" << true;
    QTest::newRow("en with modifier") << ""
                                      << ""
                                      << ""
                                      << "en@quot"
                                      << "" << true;
    QTest::newRow("not English though it starts so") << ""
                                                     << ""
                                                     << ""
                                                     << ""
                                                     << "eng_XX" << false;
    QTest::newRow("Russian LANG") << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "ru_RU.UTF-8" << false;
    QTest::newRow("German LANG") << ""
                                 << ""
                                 << ""
                                 << ""
                                 << "de_DE.UTF-8" << false;
    QTest::newRow("LC_ALL before LANG") << ""
                                        << ""
                                        << "ru_RU.UTF-8"
                                        << ""
                                        << "en_GB.UTF-8" << false;
    QTest::newRow("LC_MESSAGES before LANG") << ""
                                             << ""
                                             << ""
                                             << "en_GB.UTF-8"
                                             << "ru_RU.UTF-8" << true;
    QTest::newRow("empty LC_ALL is unset") << ""
                                           << ""
                                           << ""
                                           << ""
                                           << "en_GB.UTF-8" << true;
    QTest::newRow("saved choice before locale") << ""
                                                << "ru"
                                                << "en_US.UTF-8"
                                                << ""
                                                << "" << false;
    QTest::newRow("saved English") << ""
                                   << "en"
                                   << ""
                                   << ""
                                   << "ru_RU.UTF-8" << true;
    QTest::newRow("override before saved choice") << "en"
                                                  << "ru"
                                                  << ""
                                                  << ""
                                                  << "" << true;
    QTest::newRow("override Russian") << "RU"
                                      << ""
                                      << "en_US.UTF-8"
                                      << ""
                                      << "" << false;
    QTest::newRow("unknown override ignored") << "fr"
                                              << ""
                                              << ""
                                              << ""
                                              << "en_US.UTF-8" << true;
    QTest::newRow("unknown setting ignored") << ""
                                             << "de"
                                             << ""
                                             << ""
                                             << "ru_RU.UTF-8" << false;
}

void TestEnglishInterface::languageChoice()
{
    QFETCH(QString, override);
    QFETCH(QString, setting);
    QFETCH(QString, lcAll);
    QFETCH(QString, lcMessages);
    QFETCH(QString, lang);
    QFETCH(bool, english);
    const LanguageSources sources{override, setting, lcAll, lcMessages, lang};
    QCOMPARE(chooseInterfaceLanguage(sources) == InterfaceLanguage::English, english);
}

void TestEnglishInterface::mainWindowIsEnglish()
{
    WindowFixture f;
    f.dialogs.inputs.push_back(QStringLiteral("Lesson"));
    f.window->command(Command::NewOutline)->trigger();
    f.beginOutline();
    // The title names the outline, whose name is the user's: only the frame around it is checked.
    QVERIFY2(f.window->windowTitle().startsWith(QLatin1String("Logical outline (")),
             qPrintable(f.window->windowTitle()));
    // The canvas itself is named; the objects on it show the user's titles and texts.
    QWidget* canvas = f.window->findChild<QWidget*>(QStringLiteral("canvas"));
    QVERIFY(canvas);
    const QStringList texts = shownTexts(f.window.get(), canvas);
    QVERIFY(texts.size() > 100);
    QVERIFY2(russianAmong(texts).isEmpty(), qPrintable(russianAmong(texts).join(QLatin1Char('\n'))));
    // The menus are there and English.
    QStringList menus;
    for (QAction* action : f.window->menuBar()->actions())
        menus << action->text();
    QCOMPARE(menus, (QStringList{"File", "Edit", "Tools", "Settings", "Help"}));

    // Help opens the English page.
    f.window->command(Command::Help)->trigger();
    QCOMPARE(f.dialogs.openedUrls.size(), 1);
    QFile page(f.dialogs.openedUrls.constFirst().toLocalFile());
    QCOMPARE(QFileInfo(page).fileName(), QStringLiteral("index_en.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    QVERIFY(html.contains(QLatin1String("<html lang=\"en\">")));
    QVERIFY(html.contains(QLatin1String("<h2 id=\"what\">1. What a logical outline is</h2>")));
}

void TestEnglishInterface::editorIsEnglish()
{
    paint::PaintWindow editor;
    editor.editPicture(QImage(QSize(64, 48), QImage::Format_RGB32));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QStringList texts = shownTexts(&editor);
    QVERIFY(texts.size() > 50);
    QVERIFY2(russianAmong(texts).isEmpty(), qPrintable(russianAmong(texts).join(QLatin1Char('\n'))));
    QCOMPARE(editor.windowTitle(), QStringLiteral("Graphic editor"));
}

void TestEnglishInterface::messagesAreEnglish()
{
    WindowFixture f;
    f.dialogs.inputs.push_back(QStringLiteral("Lesson"));
    f.window->command(Command::NewOutline)->trigger();
    // A new outline is unsaved: closing it asks, in English, whether to save.
    f.doc().state.modified = true;
    f.dialogs.answers.push_back(QMessageBox::No);
    f.window->command(Command::Close)->trigger();
    QVERIFY(!f.dialogs.questions.isEmpty());
    for (const ScriptedDialogs::Asked& asked : f.dialogs.questions) {
        QVERIFY2(!hasCyrillic(asked.caption) && !hasCyrillic(asked.text),
                 qPrintable(asked.caption + QStringLiteral(": ") + asked.text));
        QVERIFY(!asked.text.isEmpty());
    }
}

void TestEnglishInterface::commandLineIsEnglish()
{
    const CommandLine help = parseCommandLine({QStringLiteral("velmar"), QStringLiteral("--help")});
    QVERIFY2(help.output.startsWith(QLatin1String("Usage: velmar [options] [FILE]")), qPrintable(help.output));
    QVERIFY2(help.output.contains(QLatin1String("\nOptions:\n")), qPrintable(help.output));
    QVERIFY2(!hasCyrillic(help.output), qPrintable(help.output));
    const CommandLine unknown = parseCommandLine({QStringLiteral("velmar"), QStringLiteral("--bogus")});
    QCOMPARE(unknown.exitCode, 2);
    QVERIFY2(unknown.errors.startsWith(QStringLiteral("Unknown option “bogus”.")), qPrintable(unknown.errors));
    const CommandLine scale =
        parseCommandLine({QStringLiteral("velmar"), QStringLiteral("--export"), QStringLiteral("a.png"),
                          QStringLiteral("b.vmd"), QStringLiteral("--scale"), QStringLiteral("abc")});
    QVERIFY2(scale.errors.contains(QStringLiteral("“abc”")) && !hasCyrillic(scale.errors), qPrintable(scale.errors));
}

QTEST_MAIN(TestEnglishInterface)
#include "test_english_interface.moc"
