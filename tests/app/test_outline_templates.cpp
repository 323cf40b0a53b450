// "Создать..." and "Сохранить как шаблон...": templates the user keeps, with their pictures, and
// the empty outline, driven through the real window's commands with scripted dialogs.
#include "app/outline_templates.h"
#include "canvas/canvas_widget.h"
#include "canvas/outline_view.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace velmar;

class TestOutlineTemplates : public QObject {
    Q_OBJECT
private slots:
    void templateKeepsTheOutlinesObjects();
    void emptyBuiltInAndCancelled();
    void unreadableTemplateChangesNothing();
    void templateNames_data();
    void templateNames();

private:
    static void startNew(WindowFixture& f, const QString& name = QStringLiteral("Урок"))
    {
        f.dialogs.inputs.push_back(name);
        f.window->command(Command::NewOutline)->trigger();
    }
    static QString templatesOf(WindowFixture& f) { return templatesFolder(f.home.path()); }
};

void TestOutlineTemplates::templateKeepsTheOutlinesObjects()
{
    WindowFixture f;
    startNew(f);
    Outline& o = f.doc().outline;
    const int field = o.createTextField(QRect(10, 30, 120, 40), 0xFFFFFF, QStringLiteral("Закон Ома"), 2);
    o.textField(field).minimalText = QStringLiteral("закон");
    const int picture = o.createPicture(QRect(5, 25, 60, 40), 1);
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(QColor(200, 40, 40));
    o.picture(picture).setBitmap(photo);
    o.frame(3).titleColour = 0x0000FF;  // kept in the extension block
    o.frame(3).title = QStringLiteral("Величины ≠ числа");
    f.doc().state.canvasColour = 0x00FFEEDD;
    f.window->documents().recordStep(StepKind::Full);
    const Outline saved = o;

    f.dialogs.inputs.push_back(QStringLiteral("Физика 7"));
    f.command(Command::SaveAsTemplate)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 0);
    const QString file = QDir(templatesOf(f)).filePath(QStringLiteral("Физика 7.vmd"));
    QVERIFY(QFileInfo(file).isFile());
    const QImage thumbnail(templateThumbnailFor(file));
    QVERIFY(!thumbnail.isNull());
    QVERIFY(thumbnail.width() <= 320 && thumbnail.height() <= 240);
    // Saving a template leaves the outline's own file and state alone.
    QVERIFY(f.doc().state.modified);
    QVERIFY(!f.doc().state.hasFileName);

    // Saved again under the same name: asked first, No keeps the old one.
    const QDateTime written = QFileInfo(file).lastModified();
    f.dialogs.inputs.push_back(QStringLiteral("Физика 7"));
    f.dialogs.answers = {QMessageBox::No};
    f.command(Command::SaveAsTemplate)->trigger();
    QCOMPARE(f.dialogs.questions.last().text, QStringLiteral("Шаблон «Физика 7» уже есть. Заменить его?"));
    QCOMPARE(QFileInfo(file).lastModified(), written);

    // A new outline from it holds its objects, under the name asked for, with no file yet.
    startNew(f, QStringLiteral("Пусто"));
    f.dialogs.pictureChoices = {2};
    f.dialogs.inputs.push_back(QStringLiteral("Второй урок"));
    f.command(Command::NewFromTemplate)->trigger();
    const QList<Dialogs::PictureChoice>& offered = f.dialogs.pictureAsks.last();
    QCOMPARE(offered.size(), 3);
    QCOMPARE(offered[0].caption, QStringLiteral("Пустой конспект"));
    QCOMPARE(offered[1].caption, QStringLiteral("Стандартный шаблон"));
    QCOMPARE(offered[2].caption, QStringLiteral("Физика 7"));
    for (const Dialogs::PictureChoice& item : offered)
        QVERIFY(!item.picture.isNull());

    const Outline& made = f.doc().outline;
    QCOMPARE(made.count(ObjectKind::Frame), 10);
    QCOMPARE(made.count(ObjectKind::TextField), 1);
    QCOMPARE(made.count(ObjectKind::Picture), 1);
    QCOMPARE(made.textField(1).text, QStringLiteral("Закон Ома"));
    QCOMPARE(made.textField(1).minimalText, QStringLiteral("закон"));
    QCOMPARE(made.textField(1).parentFrame, quint8(2));
    QCOMPARE(made.frame(3).title, QStringLiteral("Величины ≠ числа"));
    QCOMPARE(made.frame(3).titleColour, ColourValue(0x0000FF));
    const QColor pixel = made.picture(1).bitmap().pixelColor(30, 20);  // through JPEG
    QVERIFY(qAbs(pixel.red() - 200) < 8 && qAbs(pixel.green() - 40) < 8 && qAbs(pixel.blue() - 40) < 8);
    for (int i = 1; i <= 10; ++i)
        QCOMPARE(made.frame(i).bounds, saved.frame(i).bounds);  // the same window: not scaled
    QCOMPARE(f.doc().state.canvasColour, ColourValue(0x00FFEEDD));
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("Второй урок"));
    QVERIFY(!f.doc().state.hasFileName);
    QVERIFY(f.doc().state.modified);
    QCOMPARE(f.doc().history.currentStep, 0);
    QCOMPARE(f.window->outlineView()->widget(made.textField(1).id)->isVisible(), true);
}

void TestOutlineTemplates::emptyBuiltInAndCancelled()
{
    WindowFixture f;
    // Before any outline is open, "Создать..." is there; an empty outline has nothing in it.
    QVERIFY(f.command(Command::NewFromTemplate)->isEnabled());
    f.dialogs.pictureChoices = {0};
    f.dialogs.inputs.push_back(QStringLiteral("С чистого листа"));
    f.command(Command::NewFromTemplate)->trigger();
    QCOMPARE(f.dialogs.pictureAsks.size(), 1);
    QCOMPARE(f.dialogs.pictureAsks.last().size(), 2);  // no templates of the user's yet
    QVERIFY(f.doc().session.outlineOpen);
    for (ObjectKind kind : {ObjectKind::Frame, ObjectKind::Picture, ObjectKind::TextField, ObjectKind::Caption,
                            ObjectKind::Video, ObjectKind::Arrow})
        QCOMPARE(f.doc().outline.count(kind), 0);
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("С чистого листа"));
    QVERIFY(f.command(Command::SaveAs)->isEnabled());
    QVERIFY(f.command(Command::SaveAsTemplate)->isEnabled());

    // The built-in template is the ten frames Ctrl+N makes.
    f.dialogs.answers = {QMessageBox::No};  // the empty outline is not saved
    f.dialogs.pictureChoices = {1};
    f.dialogs.inputs.push_back(QStringLiteral("Десять"));
    f.command(Command::NewFromTemplate)->trigger();
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 10);
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("Наблюдения"));

    // Cancelled, nothing is asked and nothing changes.
    f.dialogs.pictureChoices.clear();
    f.command(Command::NewFromTemplate)->trigger();
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 10);
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("Десять"));
    QCOMPARE(f.dialogs.questions.size(), 1);
}

void TestOutlineTemplates::unreadableTemplateChangesNothing()
{
    WindowFixture f;
    startNew(f);
    f.doc().outline.frame(1).title = QStringLiteral("своё");
    QVERIFY(QDir().mkpath(templatesOf(f)));
    QFile broken(QDir(templatesOf(f)).filePath(QStringLiteral("Битый.vmd")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not an outline at all");
    broken.close();
    f.dialogs.pictureChoices = {2};
    f.command(Command::NewFromTemplate)->trigger();
    QCOMPARE(f.dialogs.pictureAsks.last()[2].caption, QStringLiteral("Битый"));
    QVERIFY(f.dialogs.pictureAsks.last()[2].picture.isNull());  // it has no picture
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.questions.isEmpty());  // nothing asked about the unsaved outline
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("своё"));
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("Урок"));

    // A name that cannot be a file is refused with a message.
    f.dialogs.inputs.push_back(QStringLiteral("a/b"));
    f.command(Command::SaveAsTemplate)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 2);
    QVERIFY(!QFileInfo::exists(QDir(templatesOf(f)).filePath(QStringLiteral("a"))));
}

void TestOutlineTemplates::templateNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain") << QStringLiteral("Урок 1") << QStringLiteral("/t/Урок 1.vmd");
    QTest::newRow("trimmed") << QStringLiteral("  Урок ") << QStringLiteral("/t/Урок.vmd");
    QTest::newRow("dots inside") << QStringLiteral("v1.2") << QStringLiteral("/t/v1.2.vmd");
    QTest::newRow("empty") << QStringLiteral("   ") << QString();
    QTest::newRow("dots only") << QStringLiteral("..") << QString();
    QTest::newRow("slash") << QStringLiteral("../x") << QString();
    QTest::newRow("backslash") << QStringLiteral("a\\b") << QString();
    QTest::newRow("control") << QStringLiteral("a\nb") << QString();
}

void TestOutlineTemplates::templateNames()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    QCOMPARE(templateFileFor(QStringLiteral("/t"), name), file);
}

QTEST_MAIN(TestOutlineTemplates)
#include "test_outline_templates.moc"
