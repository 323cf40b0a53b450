// Start-up of the main window: working folders, the outline named on the command line, the
// interrupted-work question, the file association, and the error guard around commands.
#include "app/main_window.h"
#include "platform/command_guard.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "support/scripted_dialogs.h"
#include "system/file_association.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void startWithNothing();
    void commandLineFileReachesOpen();
    void interruptedWorkQuestion_data();
    void interruptedWorkQuestion();
    void recoveryBringsBackTheLaterSteps();
    void crashedSecondInstanceIsOfferedAfterTheMainFolder_data();
    void crashedSecondInstanceIsOfferedAfterTheMainFolder();
    void associationWrittenAtStart();
    void guardShowsErrorsAndGoesOn();

private:
    struct Started {
        std::unique_ptr<MainWindow> window;
        std::unique_ptr<QSignalSpy> opened;
    };
    static Started start(const StartupOptions& options)
    {
        Started s;
        s.window = std::make_unique<MainWindow>();
        s.opened = std::make_unique<QSignalSpy>(s.window.get(), &MainWindow::openCommandRun);
        s.window->startUp(options);
        return s;
    }
    static bool writeOutline(const QString& path, const QString& name, int frames)
    {
        Document doc;
        doc.state.outlineName = name;
        for (int i = 0; i < frames; ++i)
            doc.outline.createFrame(QRect(10 + 160 * i, 40, 150, 150), QStringLiteral("Фрейм%1").arg(i + 1));
        return writeOutlineFile(path, doc).ok;
    }
    static void touch(const QString& path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
};

void TestStartup::startWithNothing()
{
    ScriptedDialogs dialogs;
    QTemporaryDir home;
    StartupOptions options;
    options.programFolder = home.filePath(QStringLiteral("prog"));
    options.startFolder = home.path();
    Started s = start(options);

    const DocumentState& state = s.window->document().state;
    const SessionState& session = s.window->document().session;
    QCOMPARE(s.window->document().history.programFolder, options.programFolder);
    for (const char* name : {"Picture", "temp", "Conspect", "Project", "Video"})
        QVERIFY(QFileInfo(QDir(options.programFolder).filePath(QLatin1String(name))).isDir());
    QCOMPARE(state.outlineName, QStringLiteral("Новый"));
    QVERIFY(!state.modified);
    QVERIFY(!state.hasFileName);
    QVERIFY(s.window->document().outline.sequenceRecording());
    QCOMPARE(session.gridStep, 2);
    QCOMPARE(s.opened->size(), 0);
    QVERIFY(dialogs.questions.isEmpty());
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Velmar"));
    // The window's icon, read on demand, is the stored picture at each size a window list draws;
    // sizes between them are the next larger one scaled down.
    const QIcon icon = s.window->windowIcon();
    QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
    for (int side : {16, 32, 48, 64}) {
        const QImage stored(QStringLiteral(":/icons/velmar-%1.png").arg(side));
        QVERIFY(!stored.isNull());
        QCOMPARE(icon.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 stored.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    QCOMPARE(icon.pixmap(24).size(), QSize(24, 24));
    QCOMPARE(icon.pixmap(128).size(), QSize(64, 64));
    QCOMPARE(s.window->dialogFolders().outlines, QDir(options.programFolder).filePath(QStringLiteral("Project")));
}

void TestStartup::commandLineFileReachesOpen()
{
    ScriptedDialogs dialogs;
    QTemporaryDir home;
    StartupOptions options;
    options.programFolder = home.path();
    options.startFolder = home.path();
    options.documentPath = home.filePath(QStringLiteral("урок 1.vmd"));
    QVERIFY(writeOutline(options.documentPath, QStringLiteral("Урок"), 2));
    Started s = start(options);
    QCOMPARE(s.opened->size(), 1);
    QCOMPARE(dialogs.fileDialogs, 0);  // opened without a dialog
    QVERIFY(dialogs.messages.isEmpty());
    const Document& doc = s.window->document();
    QCOMPARE(doc.state.fileName, options.documentPath);
    QCOMPARE(doc.outline.count(ObjectKind::Frame), 2);
    QVERIFY(!doc.state.modified);
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Логический конспект (Урок)"));

    // A file that cannot be read is reported by name; the window starts empty.
    options.documentPath = home.filePath(QStringLiteral("нет такого.vmd"));
    Started missing = start(options);
    QCOMPARE(missing.opened->size(), 1);
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages.first().text.contains(QStringLiteral("нет такого.vmd")));
    QCOMPARE(missing.window->document().outline.count(ObjectKind::Frame), 0);

    // A folder named instead of a file is reported the same way.
    options.documentPath = home.filePath(QStringLiteral("папка.vmd"));
    QVERIFY(QDir(home.path()).mkdir(QStringLiteral("папка.vmd")));
    Started folder = start(options);
    QCOMPARE(dialogs.messages.size(), 2);
    QVERIFY2(dialogs.messages.last().text.contains(QStringLiteral("папка.vmd")),
             qPrintable(dialogs.messages.last().text));
    QVERIFY(!folder.window->document().state.hasFileName);
}

void TestStartup::interruptedWorkQuestion_data()
{
    QTest::addColumn<QStringList>("snapshots");
    QTest::addColumn<bool>("commandLine");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("opened");  // file name opened; empty = nothing

    QTest::newRow("yes opens the newest")
        << QStringList{"temp3.tm1", "temp7.tm1"} << false << int(QMessageBox::Yes) << 1 << "temp/temp7.tm1";
    QTest::newRow("yes replaces the command line")
        << QStringList{"temp7.tm1"} << true << int(QMessageBox::Yes) << 1 << "temp/temp7.tm1";
    QTest::newRow("no keeps the command line")
        << QStringList{"temp7.tm1"} << true << int(QMessageBox::No) << 1 << "lesson.vmd";
    QTest::newRow("no and no command line") << QStringList{"temp7.tm1"} << false << int(QMessageBox::No) << 1 << "";
    QTest::newRow("beyond the scan") << QStringList{"temp1001.tm1"} << true << int(QMessageBox::Yes) << 0
                                     << "lesson.vmd";
    QTest::newRow("header snapshots are not offered")
        << QStringList{"temp4.tm2"} << false << int(QMessageBox::Yes) << 0 << "";
}

void TestStartup::interruptedWorkQuestion()
{
    QFETCH(QStringList, snapshots);
    QFETCH(bool, commandLine);
    QFETCH(int, answer);
    QFETCH(int, questions);
    QFETCH(QString, opened);

    ScriptedDialogs dialogs;
    dialogs.answers = {QMessageBox::StandardButton(answer), QMessageBox::StandardButton(answer)};
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkdir(QStringLiteral("temp")));
    for (const QString& name : snapshots)
        QVERIFY(writeOutline(home.filePath(QStringLiteral("temp/") + name), name, 3));
    StartupOptions options;
    options.programFolder = home.path();
    options.startFolder = home.path();
    if (commandLine) {
        options.documentPath = home.filePath(QStringLiteral("lesson.vmd"));
        QVERIFY(writeOutline(options.documentPath, QStringLiteral("lesson.vmd"), 1));
    }
    Started s = start(options);

    QCOMPARE(dialogs.questions.size(), questions);
    if (questions) {
        QCOMPARE(dialogs.questions.first().caption, QStringLiteral("Подтверждение"));
        QCOMPARE(dialogs.questions.first().text,
                 QStringLiteral("Найдены временные файлы логического конспекта. Попробовать открыть файл?"));
    }
    const Document& doc = s.window->document();
    if (opened.isEmpty()) {
        QCOMPARE(s.opened->size(), 0);
        QCOMPARE(doc.outline.count(ObjectKind::Frame), 0);
    } else {
        QCOMPARE(s.opened->size(), 1);
        QCOMPARE(dialogs.fileDialogs, 0);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(doc.state.outlineName, QFileInfo(opened).fileName());
        if (opened.startsWith(QLatin1String("temp/"))) {
            // Recovered work has no file of its own and is not saved anywhere yet.
            QCOMPARE(doc.outline.count(ObjectKind::Frame), 3);
            QVERIFY(!doc.state.hasFileName);
            QVERIFY(doc.state.modified);
            QVERIFY(!QFileInfo::exists(home.filePath(opened)));  // the history started afresh
        } else {
            QCOMPARE(doc.outline.count(ObjectKind::Frame), 1);
            QCOMPARE(doc.state.fileName, home.filePath(opened));
            QVERIFY(!doc.state.modified);
        }
    }
}

// A second instance crashed and left its private history; the main folder may have work too.
void TestStartup::crashedSecondInstanceIsOfferedAfterTheMainFolder_data()
{
    QTest::addColumn<bool>("mainWork");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("frames");  // of the outline opened; 0 = nothing opened
    QTest::newRow("yes brings it back") << false << QList<int>{QMessageBox::Yes} << 2;
    QTest::newRow("no removes it") << false << QList<int>{QMessageBox::No} << 0;
    QTest::newRow("main work first, then the instance's") << true << QList<int>{QMessageBox::No, QMessageBox::Yes} << 2;
    QTest::newRow("main work taken: the instance's waits") << true << QList<int>{QMessageBox::Yes} << 3;
}

void TestStartup::crashedSecondInstanceIsOfferedAfterTheMainFolder()
{
    QFETCH(bool, mainWork);
    QFETCH(QList<int>, answers);
    QFETCH(int, frames);
    ScriptedDialogs dialogs;
    for (int a : answers)
        dialogs.answers.push_back(QMessageBox::StandardButton(a));
    QTemporaryDir home;
    const QString instance = home.filePath(QStringLiteral("temp/instance-4242"));
    QVERIFY(QDir().mkpath(instance));
    QVERIFY(writeOutline(QDir(instance).filePath(QStringLiteral("temp2.tm1")), QStringLiteral("Второй"), 2));
    touch(QDir(instance).filePath(QStringLiteral("velmar.lock")));  // its holder is gone
    if (mainWork)
        QVERIFY(writeOutline(home.filePath(QStringLiteral("temp/temp7.tm1")), QStringLiteral("Первый"), 3));
    StartupOptions options;
    options.programFolder = home.path();
    options.startFolder = home.path();
    Started s = start(options);

    QCOMPARE(dialogs.questions.size(), answers.size());
    for (const auto& question : dialogs.questions)
        QCOMPARE(question.text,
                 QStringLiteral("Найдены временные файлы логического конспекта. Попробовать открыть файл?"));
    const Document& doc = s.window->document();
    QCOMPARE(doc.outline.count(ObjectKind::Frame), frames);
    if (frames == 2) {
        QCOMPARE(doc.state.outlineName, QStringLiteral("Второй"));
        QVERIFY(doc.state.modified);
        // Taken into this instance's history, which started afresh from it.
        QVERIFY(QFileInfo::exists(QDir(snapshotFolder(doc)).filePath(QStringLiteral("temp0.tm1"))));
    }
    // Answered either way, the crashed instance's folder is gone; unless it was never asked about.
    QCOMPARE(QFileInfo::exists(instance), frames == 3);
    releaseHistoryFolder(home.path());
}

void TestStartup::recoveryBringsBackTheLaterSteps()
{
    ScriptedDialogs dialogs;
    dialogs.answers = {QMessageBox::Yes};
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkdir(QStringLiteral("temp")));
    // Step 5 complete; steps 6 and 7 header-only: a move, then a new name and colour.
    Document doc;
    doc.state.outlineName = QStringLiteral("До сбоя");
    doc.outline.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Опыты"));
    QVERIFY(writeOutlineFile(home.filePath(QStringLiteral("temp/temp5.tm1")), doc).ok);
    auto writeHeader = [&](int step) {
        QFile file(home.filePath(QStringLiteral("temp/temp%1.tm2").arg(step)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(serializeOutline(doc, false));
    };
    doc.outline.frame(1).bounds.moveTo(100, 80);
    writeHeader(6);
    doc.outline.frame(1).colour = 0x00FF0000;
    doc.state.outlineName = QStringLiteral("Последнее");
    writeHeader(7);
    // A header of step 9 after a gap is not part of the chain.
    doc.outline.frame(1).bounds.moveTo(300, 300);
    writeHeader(9);

    StartupOptions options;
    options.programFolder = home.path();
    options.startFolder = home.path();
    Started s = start(options);
    QCOMPARE(dialogs.questions.size(), 1);
    const Document& recovered = s.window->document();
    QCOMPARE(recovered.outline.count(ObjectKind::Frame), 1);
    QCOMPARE(recovered.outline.frame(1).bounds.topLeft(), QPoint(100, 80));
    QCOMPARE(recovered.outline.frame(1).colour, ColourValue(0x00FF0000));
    QCOMPARE(recovered.state.outlineName, QStringLiteral("Последнее"));
    QVERIFY(recovered.state.modified);
}

void TestStartup::associationWrittenAtStart()
{
    ScriptedDialogs dialogs;
    QTemporaryDir home, data;
    StartupOptions options;
    options.programFolder = home.path();
    options.startFolder = home.path();
    options.programPath = QStringLiteral("/opt/velmar/bin/velmar");
    options.dataHome = data.path();
    start(options);
    const AssociationFiles files = associationFiles(data.path());
    QFile desktop(files.desktopEntry);
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    QVERIFY(desktop.readAll().contains("Exec=\"/opt/velmar/bin/velmar\" %f\n"));
    QVERIFY(QFileInfo(files.mimePackage).size() > 0);
    QVERIFY(QFileInfo(files.icon).size() > 0);  // the application icon is bundled

    // A data folder that cannot be written does not stop the start.
    QFile blocker(data.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    options.dataHome = blocker.fileName();
    Started s = start(options);
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(QFileInfo(QDir(home.path()).filePath(QStringLiteral("temp"))).isDir());
}

void TestStartup::guardShowsErrorsAndGoesOn()
{
    ScriptedDialogs dialogs;
    QVERIFY(runGuarded(nullptr, [] {}));
    QVERIFY(!runGuarded(nullptr, [] { throw UserError(QStringLiteral("Файл «x.vmd» не найден.")); }));
    QVERIFY(!runGuarded(nullptr, [] { throw std::runtime_error("boom"); }));
    QVERIFY(!runGuarded(nullptr, [] { throw 42; }));
    QCOMPARE(dialogs.messages.size(), 3);
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("Файл «x.vmd» не найден."));
    QVERIFY(dialogs.messages[1].text.contains(QStringLiteral("boom")));
    QVERIFY(!dialogs.messages[2].text.isEmpty());
    for (const auto& m : dialogs.messages)
        QCOMPARE(m.caption, QStringLiteral("Ошибка"));
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
