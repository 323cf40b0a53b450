// The save and open dialogs of the main window, answered by the scripted dialogs: the name they
// propose, the filter, the folder they start in, the question about replacing a file and the file
// that is actually written.
#include "model/file_name_proposal.h"
#include "storage/outline_io.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

using namespace velmar;

class TestFileDialogs : public QObject {
    Q_OBJECT
private slots:
    void proposedFileName_data();
    void proposedFileName();
    void pictureExportWritesTheFileItAskedAbout();
    void typedExtensionChoosesTheTypeAndIsRemembered();
    void quotedOutlineNameIsProposedWhole();
    void outlineDialogsStartBesideTheOutline();
    void outlineSaveAsAsksAboutTheFileItWrites();
    void slideDeckTypeFollowsNameOrFilter();

private:
    // An outline file named `name` in `folder`, opened in the window.
    static QString openOutline(WindowFixture& f, const QDir& folder, const QString& fileName, const QString& name)
    {
        Document doc;
        doc.state.outlineName = name;
        doc.state.windowSize = QSize(700, 500);
        doc.outline.createFrame(QRect(10, 40, 300, 200), QStringLiteral("Рамка"));
        const QString path = folder.filePath(fileName);
        if (!writeOutlineFile(path, doc).ok)
            return QString();
        f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        f.command(Command::Open)->trigger();
        return path;
    }
    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

void TestFileDialogs::proposedFileName_data()
{
    QTest::addColumn<QString>("outlineName");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("plain") << QStringLiteral("Урок 5") << QStringLiteral("Урок 5");
    QTest::newRow("quotes") << QStringLiteral("Урок \"ё\" 'кавычки'") << QStringLiteral("Урок _ё_ _кавычки_");
    QTest::newRow("slashes") << QStringLiteral("7/8 класс\\А") << QStringLiteral("7_8 класс_А");
    QTest::newRow("control characters") << QStringLiteral("а\x1b[31mб\tв\nг") << QStringLiteral("а_[31mб_в_г");
    QTest::newRow("wildcards") << QStringLiteral("*.jpg?") << QStringLiteral("_.jpg_");
    QTest::newRow("an outline file's extension") << QStringLiteral("lesson.vmd") << QStringLiteral("lesson");
    QTest::newRow("old format, upper case") << QStringLiteral("ОПЫТ.VMC") << QStringLiteral("ОПЫТ");
    QTest::newRow("dots and spaces around") << QStringLiteral("  ..урок.  ") << QStringLiteral("урок");
    QTest::newRow("nothing left") << QStringLiteral(" \"/\" ") << QString();
    QTest::newRow("parent folder") << QStringLiteral("..") << QString();
}

void TestFileDialogs::proposedFileName()
{
    QFETCH(QString, outlineName);
    QFETCH(QString, proposed);
    QCOMPARE(velmar::proposedFileName(outlineName), proposed);
}

void TestFileDialogs::pictureExportWritesTheFileItAskedAbout()
{
    WindowFixture f;
    const QDir folder(f.home.path());
    // The outline was saved as "lesson.vmd" (typed with its extension, so that is its name).
    const QString outline = openOutline(f, folder, QStringLiteral("lesson.vmd"), QStringLiteral("lesson.vmd"));
    QVERIFY(!outline.isEmpty());
    const QByteArray outlineBytes = bytesOf(outline);
    const QString jpg = folder.filePath(QStringLiteral("lesson.jpg"));
    writeBytes(jpg, "an older picture");

    // Proposed: the outline's name with the selected filter's extension, under a Russian filter.
    f.dialogs.files.push_back(Dialogs::FileChoice{jpg, 1});
    f.dialogs.answers.push_back(QMessageBox::No);  // not that one: the dialog comes back
    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.fileAsks.size(), 3);  // Open, then the export dialog twice
    const auto& asked = f.dialogs.fileAsks[1];
    QCOMPARE(asked.caption, QStringLiteral("Сохранить как рисунок"));
    QCOMPARE(asked.name, QStringLiteral("lesson.jpg"));
    QCOMPARE(asked.filterIndex, 1);
    QVERIFY2(asked.filter.startsWith(QStringLiteral("Рисунок JPEG (*.jpg)|*.jpg|Рисунок BMP (*.bmp)|*.bmp")),
             qPrintable(asked.filter));
    QVERIFY(!asked.filter.contains(QStringLiteral("Image File")) && !asked.filter.contains(QStringLiteral("Bitmaps")));
    // The dialog does not ask about the name typed; the program asks about the file it writes.
    QVERIFY(!asked.confirmOverwrite);
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(f.dialogs.questions[0].text, QStringLiteral("lesson.jpg уже существует. Заменить его?"));
    QCOMPARE(f.dialogs.fileAsks[2].name, QStringLiteral("lesson.jpg"));
    QCOMPARE(f.dialogs.fileAsks[2].folder, folder.absolutePath());
    // "Нет", then cancelled: nothing was written.
    QCOMPARE(bytesOf(jpg), QByteArray("an older picture"));
    QCOMPARE(bytesOf(outline), outlineBytes);

    // "Да": the picture is replaced, and only the picture.
    f.dialogs.files.push_back(Dialogs::FileChoice{jpg, 1});
    f.dialogs.answers.push_back(QMessageBox::Yes);
    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.questions.size(), 2);
    QCOMPARE(f.dialogs.questions[1].text, QStringLiteral("lesson.jpg уже существует. Заменить его?"));
    QVERIFY(QImage(jpg, "JPEG").width() > 100);
    QCOMPARE(bytesOf(outline), outlineBytes);

    // A name typed without an extension: the question is about the file with the filter's one.
    const QString bmp = folder.filePath(QStringLiteral("lesson.bmp"));
    writeBytes(bmp, "old");
    f.dialogs.files.push_back(Dialogs::FileChoice{folder.filePath(QStringLiteral("lesson")), 2});
    f.dialogs.answers.push_back(QMessageBox::Yes);
    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.questions.size(), 3);
    QCOMPARE(f.dialogs.questions[2].text, QStringLiteral("lesson.bmp уже существует. Заменить его?"));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("lesson"))));
    QVERIFY(!QImage(bmp, "BMP").isNull());
    QCOMPARE(f.dialogs.messages.size(), 0);
}

void TestFileDialogs::typedExtensionChoosesTheTypeAndIsRemembered()
{
    WindowFixture f;
    const QDir folder(f.home.path());
    QVERIFY(!openOutline(f, folder, QStringLiteral("menu.vmd"), QStringLiteral("menu")).isEmpty());

    // "menu_a.svg" typed with the JPEG filter: an SVG is written under that name, no JPEG.
    f.dialogs.files.push_back(Dialogs::FileChoice{folder.filePath(QStringLiteral("menu_a.svg")), 1});
    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 0);
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("menu_a.jpg"))));
    QVERIFY(bytesOf(folder.filePath(QStringLiteral("menu_a.svg"))).contains("<svg"));
    QCOMPARE(f.dialogs.questions.size(), 0);  // nothing was there to replace

    // The next export offers that type.
    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.fileAsks.last().filterIndex, 4);
    QCOMPARE(f.dialogs.fileAsks.last().name, QStringLiteral("menu.svg"));

    // ".jpeg" is a JPEG's extension too; a BMP filter then is remembered as JPEG.
    f.dialogs.files.push_back(Dialogs::FileChoice{folder.filePath(QStringLiteral("b.jpeg")), 2});
    f.command(Command::ExportPicture)->trigger();
    QVERIFY(!QImage(folder.filePath(QStringLiteral("b.jpeg")), "JPEG").isNull());
    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.fileAsks.last().filterIndex, 1);
    QCOMPARE(f.dialogs.fileAsks.last().name, QStringLiteral("menu.jpg"));
}

void TestFileDialogs::quotedOutlineNameIsProposedWhole()
{
    WindowFixture f;
    const QDir folder(f.home.path());
    const QString name = QStringLiteral("Урок \"ё\" 'кавычки'");
    QVERIFY(!openOutline(f, folder, QStringLiteral("урок.vmd"), name).isEmpty());
    QCOMPARE(f.doc().state.outlineName, name);
    const QString proposed = QStringLiteral("Урок _ё_ _кавычки_");

    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.fileAsks.last().name, proposed + QStringLiteral(".jpg"));
    f.command(Command::ExportWebPage)->trigger();
    QCOMPARE(f.dialogs.fileAsks.last().caption, QStringLiteral("Сохранить как веб-страницу"));
    QCOMPARE(f.dialogs.fileAsks.last().name, proposed + QStringLiteral(".html"));
    QVERIFY(!f.dialogs.fileAsks.last().confirmOverwrite);
    f.command(Command::SaveAs)->trigger();
    QCOMPARE(f.dialogs.fileAsks.last().name, proposed);

    // Accepted as proposed, the page is written under the whole name; a second time, the question
    // names that file.
    const QString page = folder.filePath(proposed + QStringLiteral(".html"));
    f.dialogs.files.push_back(Dialogs::FileChoice{folder.filePath(proposed), 1});
    f.command(Command::ExportWebPage)->trigger();
    QVERIFY(bytesOf(page).contains("<svg"));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("ё.html"))));
    f.dialogs.files.push_back(Dialogs::FileChoice{page, 1});
    f.command(Command::ExportWebPage)->trigger();  // "Нет" (no answer scripted), then cancelled
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(f.dialogs.questions[0].text, proposed + QStringLiteral(".html уже существует. Заменить его?"));
}

void TestFileDialogs::outlineDialogsStartBesideTheOutline()
{
    WindowFixture f;
    const QString project = QDir(f.home.path()).filePath(QStringLiteral("Project"));
    // A new outline has no file: the dialogs start in the project folder.
    f.dialogs.inputs.push_back(QStringLiteral("Новый"));
    f.command(Command::NewOutline)->trigger();
    f.command(Command::SaveAs)->trigger();
    QCOMPARE(QDir(f.dialogs.fileAsks.last().folder).absolutePath(), QDir(project).absolutePath());

    QDir pupils(f.home.path());
    QVERIFY(pupils.mkpath(QStringLiteral("ученики/7а")));
    QVERIFY(pupils.cd(QStringLiteral("ученики/7а")));
    f.dialogs.answers.push_back(QMessageBox::No);  // the new outline is not saved
    QVERIFY(!openOutline(f, pupils, QStringLiteral("урок.vmd"), QStringLiteral("урок")).isEmpty());
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("урок"));
    f.command(Command::Open)->trigger();
    QCOMPARE(f.dialogs.fileAsks.last().caption, QStringLiteral("Открыть"));
    QCOMPARE(f.dialogs.fileAsks.last().folder, pupils.absolutePath());
    f.command(Command::SaveAs)->trigger();
    QCOMPARE(f.dialogs.fileAsks.last().caption, QStringLiteral("Сохранить как"));
    QCOMPARE(f.dialogs.fileAsks.last().folder, pupils.absolutePath());
    QCOMPARE(f.dialogs.fileAsks.last().name, QStringLiteral("урок"));
}

void TestFileDialogs::outlineSaveAsAsksAboutTheFileItWrites()
{
    WindowFixture f;
    const QDir folder(f.home.path());
    QVERIFY(!openOutline(f, folder, QStringLiteral("lesson.vmd"), QStringLiteral("lesson")).isEmpty());
    const QString other = folder.filePath(QStringLiteral("other.vmd"));
    writeBytes(other, "another outline");

    // "other" typed without the extension: the outline would go to other.vmd, so the question names
    // that file, and the dialog itself asks nothing about "other".
    f.dialogs.files.push_back(Dialogs::FileChoice{folder.filePath(QStringLiteral("other")), 1});
    f.command("N50")->trigger();  // "Нет" (no answer scripted): the dialog comes back, cancelled
    QVERIFY(!f.dialogs.fileAsks.last().confirmOverwrite);
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(f.dialogs.questions[0].text, QStringLiteral("other.vmd уже существует. Заменить его?"));
    QCOMPARE(f.dialogs.fileAsks.last().name, QStringLiteral("other.vmd"));
    QCOMPARE(f.dialogs.fileAsks.last().folder, folder.absolutePath());
    QCOMPARE(bytesOf(other), QByteArray("another outline"));
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("lesson"));

    // "Да": that file is replaced by the outline, and no file is made under the typed name.
    f.dialogs.files.push_back(Dialogs::FileChoice{folder.filePath(QStringLiteral("other")), 1});
    f.dialogs.choices.push_back(0);
    f.command("N50")->trigger();
    QCOMPARE(f.dialogs.questions.size(), 2);
    QVERIFY(readAnyOutlineFile(other).ok);
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("other"))));

    // A name nobody uses: no question.
    f.dialogs.files.push_back(Dialogs::FileChoice{folder.filePath(QStringLiteral("third")), 1});
    f.command("N50")->trigger();
    QCOMPARE(f.dialogs.questions.size(), 2);
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("third.vmd"))));
    QCOMPARE(f.dialogs.messages.size(), 0);
}

QTEST_MAIN(TestFileDialogs)
void TestFileDialogs::slideDeckTypeFollowsNameOrFilter()
{
    WindowFixture f;
    const QDir folder(f.home.path());
    QVERIFY(!openOutline(f, folder, QStringLiteral("deck.vmd"), QStringLiteral("Урок")).isEmpty());

    // A plain name takes the chosen filter's type; a typed deck extension wins over the filter.
    f.dialogs.files.push_back(Dialogs::FileChoice{folder.filePath(QStringLiteral("plain")), 2});
    f.command(Command::ExportSlideDeck)->trigger();
    QCOMPARE(f.dialogs.fileAsks.last().caption, QStringLiteral("Сохранить как презентацию"));
    QCOMPARE(f.dialogs.fileAsks.last().name, QStringLiteral("Урок.pptx"));
    QVERIFY(f.dialogs.fileAsks.last().filter.contains(QStringLiteral("*.odp")));
    f.dialogs.files.push_back(Dialogs::FileChoice{folder.filePath(QStringLiteral("typed.PPTX")), 2});
    f.command(Command::ExportSlideDeck)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 0);
    QCOMPARE(bytesOf(folder.filePath(QStringLiteral("plain.odp"))).mid(30, 8), QByteArray("mimetype"));
    QVERIFY(bytesOf(folder.filePath(QStringLiteral("typed.PPTX"))).startsWith("PK"));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("plain"))));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("typed.PPTX.odp"))));

    // A folder that does not exist: a Russian message naming the file, nothing written.
    const QString missing = folder.filePath(QStringLiteral("нет/урок.odp"));
    f.dialogs.files.push_back(Dialogs::FileChoice{missing, 2});
    f.command(Command::ExportSlideDeck)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].text.contains(missing), qPrintable(f.dialogs.messages[0].text));
    QVERIFY(!QFile::exists(missing));
}

#include "test_file_dialogs.moc"
