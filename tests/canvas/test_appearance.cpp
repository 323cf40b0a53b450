// Colours, bevels, borders, fonts, alignment and the five deletions on the real window.
#include "canvas/canvas_widget.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/text_metrics.h"
#include "support/window_fixture.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTextEdit>

using namespace velmar;

class TestAppearance : public QObject {
    Q_OBJECT
private slots:
    void deletingAFrameTakesItsObjectsAndRenumbers();
    void deletingSingleObjects();
    void deletionQuestions_data();
    void deletionQuestions();
    void stepsAndModifiedFlag_data();
    void stepsAndModifiedFlag();
    void frameColourResetCanBeUndone();
    void dialogsStartFromThePresentValues();
    void fontDialogSetsTheTextColour();
    void fitBoxToText();
    void typedTextGrowsTheBoxOnlyWithinItsFrame();
    void pictureBorderChecks();
    void alignmentAfterADropLeavesTheBoxAlone();
};

namespace {

// Records where the colour and font dialogs start.
class RecordingDialogs : public ScriptedDialogs {
public:
    QList<QColor> startColours;
    QList<QFont> startFonts;
    QList<QColor> startFontColours;
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override
    {
        startColours << initial;
        return ScriptedDialogs::chooseColour(parent, initial);
    }
    std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override
    {
        startFonts << initial.font;
        startFontColours << initial.colour;
        return ScriptedDialogs::chooseFont(parent, initial);
    }
};

Outline& outline(WindowFixture& f) { return f.doc().outline; }

int addFrame(WindowFixture& f, int x)
{
    const int slot = outline(f).createFrame(QRect(x, 40, 150, 150), QStringLiteral("F%1").arg(x));
    outline(f).frame(slot).minimalText = QStringLiteral("frame at %1").arg(x);
    return slot;
}

ObjectId addPicture(WindowFixture& f, int frame, const QString& text, QColor colour)
{
    const int slot = outline(f).createPicture(QRect(5, 20, 40, 40), frame);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(colour);
    outline(f).picture(slot).setBitmap(image);
    outline(f).picture(slot).minimalText = text;
    return outline(f).picture(slot).id;
}

ObjectId addText(WindowFixture& f, int frame, const QString& text)
{
    const int slot = outline(f).createTextField(QRect(5, 80, 60, 30), kButtonFace, text, frame);
    outline(f).textField(slot).minimalText = text;
    return outline(f).textField(slot).id;
}

// Deletes the object after a "Yes".
void remove(WindowFixture& f, ObjectId id, Command command)
{
    f.window->outlineView()->sync();
    f.doc().interaction.currentObject = id;
    f.dialogs.answers.push_back(QMessageBox::Yes);
    f.command(command)->trigger();
}

QList<ObjectId> entries(const Sequence& s)
{
    QList<ObjectId> ids;
    for (int p = 1; p <= s.length(); ++p)
        ids << s.entry(p);
    return ids;
}

}  // namespace

void TestAppearance::deletingAFrameTakesItsObjectsAndRenumbers()
{
    {
        // Frame 2 of 3 goes; frame 3 with its text field and picture becomes frame 2.
        WindowFixture f;
        f.beginOutline();
        addFrame(f, 0), addFrame(f, 200), addFrame(f, 400);
        const ObjectId third = outline(f).frame(3).id;
        const ObjectId text = addText(f, 3, QStringLiteral("t3"));
        const ObjectId picture = addPicture(f, 3, QStringLiteral("p3"), Qt::red);
        const ObjectId onCanvas = addPicture(f, 0, QStringLiteral("p0"), Qt::blue);
        remove(f, outline(f).frame(2).id, Command::DeleteFrame);
        QCOMPARE(outline(f).count(ObjectKind::Frame), 2);
        QCOMPARE(outline(f).frame(2).id, third);
        QCOMPARE(outline(f).textField(1).parentFrame, quint8(2));
        QCOMPARE(outline(f).picture(1).parentFrame, quint8(2));
        QCOMPARE(outline(f).picture(2).parentFrame, quint8(0));
        QCOMPARE(entries(outline(f).frameSequence()), (QList<ObjectId>{outline(f).frame(1).id, third}));
        QCOMPARE(f.dialogs.questions.last().text, QStringLiteral("Вы действительно хотите удалить фрейм?"));

        remove(f, third, Command::DeleteFrame);  // the new frame 2 takes them with it
        QCOMPARE(outline(f).count(ObjectKind::TextField), 0);
        QCOMPARE(outline(f).count(ObjectKind::Picture), 1);
        QCOMPARE(entries(outline(f).objectSequence()), QList<ObjectId>{onCanvas});
        QVERIFY(!f.widgetOf(text) && !f.widgetOf(picture));
    }
    {
        // Pictures 1 and 3 of four lie in the deleted frame: 2 and 4 close up with their own data.
        WindowFixture f;
        f.beginOutline();
        addFrame(f, 0), addFrame(f, 200);
        addPicture(f, 1, QStringLiteral("a"), Qt::red);
        const ObjectId b = addPicture(f, 2, QStringLiteral("b"), Qt::green);
        addPicture(f, 1, QStringLiteral("c"), Qt::blue);
        const ObjectId d = addPicture(f, 0, QStringLiteral("d"), Qt::yellow);
        const int step = f.doc().history.currentStep;
        remove(f, outline(f).frame(1).id, Command::DeleteFrame);
        QCOMPARE(outline(f).count(ObjectKind::Picture), 2);
        QCOMPARE(outline(f).picture(1).id, b);
        QCOMPARE(outline(f).picture(1).minimalText, QStringLiteral("b"));
        QCOMPARE(outline(f).picture(1).bitmap().pixelColor(0, 0), QColor(Qt::green));
        QCOMPARE(outline(f).picture(1).parentFrame, quint8(1));  // frame 2 became frame 1
        QCOMPARE(outline(f).picture(2).id, d);
        QCOMPARE(outline(f).picture(2).bitmap().pixelColor(0, 0), QColor(Qt::yellow));
        QCOMPARE(entries(outline(f).objectSequence()), (QList<ObjectId>{b, d}));
        QCOMPARE(f.doc().history.currentStep, step + 1);
        QVERIFY(!f.command(Command::FrameTitlesButton)->isEnabled() && !f.command(Command::FrameTitles)->isEnabled());
    }
}

void TestAppearance::deletingSingleObjects()
{
    WindowFixture f;
    f.beginOutline();
    addFrame(f, 0);
    const ObjectId p1 = addPicture(f, 1, QStringLiteral("p1"), Qt::red);
    const ObjectId t1 = addText(f, 1, QStringLiteral("t1"));
    const ObjectId t2 = addText(f, 1, QStringLiteral("t2"));
    const ObjectId t3 = addText(f, 0, QStringLiteral("t3"));
    const ObjectId p2 = addPicture(f, 0, QStringLiteral("p2"), Qt::blue);

    // The middle text field: the third keeps its own minimal text and parent.
    remove(f, t2, Command::DeleteTextField);
    QCOMPARE(outline(f).count(ObjectKind::TextField), 2);
    QCOMPARE(outline(f).textField(2).id, t3);
    QCOMPARE(outline(f).textField(2).minimalText, QStringLiteral("t3"));
    QCOMPARE(outline(f).textField(2).parentFrame, quint8(0));
    QCOMPARE(f.dialogs.questions.last().text, QStringLiteral("Вы действительно хотите удалить текстовое поле?"));

    // The last picture: only the count goes down.
    remove(f, p2, Command::DeletePicture);
    QCOMPARE(outline(f).count(ObjectKind::Picture), 1);
    QCOMPARE(outline(f).picture(1).id, p1);
    QCOMPARE(entries(outline(f).objectSequence()), (QList<ObjectId>{p1, t1, t3}));
    QVERIFY(!f.component("Panel12")->isVisible());
    QCOMPARE(f.doc().interaction.currentObject, ObjectId(0));
}

void TestAppearance::deletionQuestions_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("question");
    QTest::newRow("picture") << int(Command::DeletePicture) << int(ObjectKind::Picture)
                             << "Вы действительно хотите удалить рисунок?";
    QTest::newRow("caption") << int(Command::DeleteCaption) << int(ObjectKind::Caption)
                             << "Вы действительно хотите удалить надпись?";
    QTest::newRow("video") << int(Command::DeleteFilm) << int(ObjectKind::Video)
                           << "Вы действительно хотите удалить видео фрагмент?";
    QTest::newRow("frame") << int(Command::DeleteFrame) << int(ObjectKind::Frame)
                           << "Вы действительно хотите удалить фрейм?";
}

void TestAppearance::deletionQuestions()
{
    QFETCH(int, command);
    QFETCH(int, kind);
    QFETCH(QString, question);
    WindowFixture f;
    f.beginOutline();
    addFrame(f, 0);
    outline(f).createPicture(QRect(5, 5, 40, 40), 1);
    outline(f).createCaption(QRect(5, 60, 40, 13), QStringLiteral("n"), 1);
    outline(f).createVideo(QRect(5, 80, 40, 40), 1);
    f.window->outlineView()->sync();
    const auto k = ObjectKind(kind);
    ObjectId target = outline(f).frame(1).id;
    if (k == ObjectKind::Picture)
        target = outline(f).picture(1).id;
    else if (k == ObjectKind::Caption)
        target = outline(f).caption(1).id;
    else if (k == ObjectKind::Video)
        target = outline(f).video(1).id;
    f.doc().interaction.currentObject = target;
    const int step = f.doc().history.currentStep;

    f.dialogs.answers.push_back(QMessageBox::No);
    f.window->command(Command(command))->trigger();
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(f.dialogs.questions[0].caption, QStringLiteral("Подтверждение"));
    QCOMPARE(f.dialogs.questions[0].text, question);
    QCOMPARE(outline(f).count(k), 1);
    QCOMPARE(f.doc().history.currentStep, step);

    f.dialogs.answers.push_back(QMessageBox::Yes);
    f.window->command(Command(command))->trigger();
    QCOMPARE(outline(f).count(k), 0);
    QCOMPARE(f.doc().history.currentStep, step + 1);
}

void TestAppearance::stepsAndModifiedFlag_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("step");
    QTest::newRow("frame colour reset") << int(Command::ResetFrameColours) << int(ObjectKind::Frame) << true;
    QTest::newRow("inner bevel lowered") << int(Command::InnerBevelLowered) << int(ObjectKind::Frame) << true;
    QTest::newRow("border line") << int(Command::BorderLineSingle) << int(ObjectKind::Frame) << true;
    QTest::newRow("text centred") << int(Command::AlignCentre) << int(ObjectKind::TextField) << true;
    QTest::newRow("picture border") << int(Command::PictureBorderSingle) << int(ObjectKind::Picture) << true;
    QTest::newRow("text field colour reset")
        << int(Command::ResetTextFieldColours) << int(ObjectKind::TextField) << false;
    QTest::newRow("caption colour reset") << int(Command::ResetCaptionColours) << int(ObjectKind::Caption) << false;
    QTest::newRow("canvas colour reset") << int(Command::ResetCanvasColour) << int(ObjectKind::Frame) << false;
    QTest::newRow("fit the box") << int(Command::FitTextField) << int(ObjectKind::TextField) << false;
}

void TestAppearance::stepsAndModifiedFlag()
{
    QFETCH(int, command);
    QFETCH(int, kind);
    QFETCH(bool, step);
    WindowFixture f;
    f.beginOutline();
    addFrame(f, 0);
    addPicture(f, 1, QStringLiteral("p"), Qt::red);
    addText(f, 1, QStringLiteral("t"));
    outline(f).createCaption(QRect(5, 60, 40, 13), QStringLiteral("n"), 1);
    f.window->outlineView()->sync();
    switch (ObjectKind(kind)) {
    case ObjectKind::Picture: f.doc().interaction.currentObject = outline(f).picture(1).id; break;
    case ObjectKind::TextField: f.doc().interaction.currentObject = outline(f).textField(1).id; break;
    case ObjectKind::Caption: f.doc().interaction.currentObject = outline(f).caption(1).id; break;
    default: f.doc().interaction.currentObject = outline(f).frame(1).id; break;
    }
    f.doc().state.modified = false;
    const int before = f.doc().history.currentStep;
    f.window->command(Command(command))->trigger();
    QCOMPARE(f.doc().history.currentStep, before + (step ? 1 : 0));
    QVERIFY(f.doc().state.modified);
    QVERIFY(f.command(Command::Save)->isEnabled());

    // Either way closing asks to save.
    f.dialogs.answers.push_back(QMessageBox::No);
    f.window->close();
    QCOMPARE(f.dialogs.questions.last().text, QStringLiteral("Конспект не сохранен. Сохранить?"));
}

void TestAppearance::frameColourResetCanBeUndone()
{
    WindowFixture f;
    f.beginOutline();
    f.doc().interaction.creationPoint = QPoint(10, 40);
    f.command(Command::CreateFrame)->trigger();
    f.doc().interaction.currentObject = outline(f).frame(1).id;
    f.dialogs.colours.push_back(QColor(0, 0, 255));
    f.command(Command::FrameColour)->trigger();
    QCOMPARE(outline(f).frame(1).colour, ColourValue(0xFF0000));
    f.command(Command::ResetFrameColours)->trigger();
    QCOMPARE(outline(f).frame(1).colour, kButtonFace);
    QCOMPARE(outline(f).frame(1).titleColour, kWindowText);
    f.command(Command::Undo)->trigger();
    QCOMPARE(outline(f).frame(1).colour, ColourValue(0xFF0000));
}

void TestAppearance::dialogsStartFromThePresentValues()
{
    WindowFixture f;
    RecordingDialogs dialogs;  // replaces the fixture's for this test
    f.beginOutline();
    addFrame(f, 0);
    outline(f).frame(1).colour = 0x0000FF;  // red
    const ObjectId text = addText(f, 1, QStringLiteral("t"));
    outline(f).createCaption(QRect(5, 60, 40, 13), QStringLiteral("n"), 1);
    f.window->outlineView()->sync();

    // The title colour dialog starts from the title's present colour (not the frame's) and sets
    // only the title's.
    outline(f).frame(1).titleColour = 0x804020;
    f.doc().interaction.currentObject = f.doc().interaction.currentCompanion = outline(f).frame(1).id;
    dialogs.colours.push_back(QColor(0, 255, 0));
    f.command(Command::FrameTitleColour)->trigger();
    QCOMPARE(dialogs.startColours.last(), QColor(0x20, 0x40, 0x80));
    QCOMPARE(outline(f).frame(1).titleColour, ColourValue(0x00FF00));
    QCOMPARE(outline(f).frame(1).colour, ColourValue(0x0000FF));
    const int step = f.doc().history.currentStep;
    f.command(Command::FrameColour)->trigger();  // cancelled
    QCOMPARE(f.doc().history.currentStep, step);

    // A font for the text field, its box fitted (the grid off, so that nothing rounds it); the
    // colour stays.
    f.doc().session.gridOn = false;
    f.doc().interaction.currentObject = text;
    outline(f).textField(1).font.colour = 0x123456;
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSize(20);
    chosen.setBold(true);
    dialogs.fonts.push_back(chosen);
    f.command(Command::TextFieldFont)->trigger();
    const TextFieldObject& field = outline(f).textField(1);
    QCOMPARE(dialogs.startFonts.last().pointSize(), 10);
    QCOMPARE(field.font.size, 20);
    QCOMPARE(field.font.style, quint8(FontBold));
    QCOMPARE(field.font.colour, ColourValue(0x123456));
    QCOMPARE(field.bounds.size(), *fitFrameToText(field.text, field.font));
    QCOMPARE(f.doc().history.currentStep, step + 1);

    // The caption's text: any text, also an empty one; cancel keeps it.
    f.doc().interaction.currentObject = outline(f).caption(1).id;
    dialogs.inputs.push_back(QString());
    f.command(Command::CaptionText)->trigger();
    QCOMPARE(outline(f).caption(1).text, QString());
    f.command(Command::CaptionText)->trigger();
    QCOMPARE(f.doc().history.currentStep, step + 2);

    // The canvas colour, from the settings menu.
    dialogs.colours.push_back(QColor(10, 20, 30));
    f.command(Command::CanvasColour)->trigger();
    QCOMPARE(f.doc().state.canvasColour, ColourValue(0x1E140A));
    QCOMPARE(f.window->canvas()->canvasColour(), ColourValue(0x1E140A));
}

void TestAppearance::fontDialogSetsTheTextColour()
{
    WindowFixture f;
    RecordingDialogs dialogs;
    f.beginOutline();
    addFrame(f, 0);
    const ObjectId text = addText(f, 1, QStringLiteral("t"));
    const int caption = outline(f).createCaption(QRect(5, 60, 40, 13), QStringLiteral("n"), 1);
    f.window->outlineView()->sync();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(10);

    // The text field's and the caption's text colour come from the font dialog, which starts
    // from the present colour.
    f.doc().interaction.currentObject = text;
    dialogs.fonts.push_back(Dialogs::FontChoice(font, QColor(255, 0, 0)));
    f.command(Command::TextFieldFont)->trigger();
    QCOMPARE(dialogs.startFontColours.last(), toQColor(kWindowText));
    QCOMPARE(outline(f).textField(1).font.colour, ColourValue(0x0000FF));
    f.doc().interaction.currentObject = outline(f).caption(caption).id;
    dialogs.fonts.push_back(Dialogs::FontChoice(font, QColor(0, 0, 128)));
    f.command(Command::CaptionFont)->trigger();
    QCOMPARE(outline(f).caption(caption).font.colour, ColourValue(0x800000));
    QCOMPARE(outline(f).caption(caption).font.name, QStringLiteral("DejaVu Sans"));

    // A colour left as it was keeps its value: the system's text colour stays a system colour.
    outline(f).caption(caption).font.colour = kWindowText;
    dialogs.fonts.push_back(Dialogs::FontChoice(font, toQColor(kWindowText)));
    f.command(Command::CaptionFont)->trigger();
    QCOMPARE(outline(f).caption(caption).font.colour, kWindowText);
    // Cancelled: nothing changes.
    const FontSpec before = outline(f).textField(1).font;
    f.doc().interaction.currentObject = text;
    f.command(Command::TextFieldFont)->trigger();
    QCOMPARE(outline(f).textField(1).font, before);
}

void TestAppearance::fitBoxToText()
{
    WindowFixture f;
    f.beginOutline();
    addFrame(f, 100);
    const ObjectId id = addText(f, 1, QStringLiteral("x"));
    outline(f).textField(1).text = QStringLiteral("ab\r\nabcd");
    f.window->outlineView()->sync();
    f.doc().interaction.currentObject = id;
    const int step = f.doc().history.currentStep;
    f.command(Command::FitTextField)->trigger();

    const TextFieldObject& field = outline(f).textField(1);
    const QFontMetrics metrics(toQFont(field.font));
    const int widest =
        std::max(metrics.horizontalAdvance(QStringLiteral("ab")), metrics.horizontalAdvance(QStringLiteral("\nabcd")));
    QCOMPARE(field.bounds, QRect(5, 80, widest + 2, 2 * metrics.height() + 1));
    QCOMPARE(f.doc().history.currentStep, step);
    QVERIFY(f.doc().state.modified);
    QVERIFY(f.component("Panel12")->isVisible());
    // The outline stands on the canvas, one pixel outside the field, within its frame.
    const QRect frame = outline(f).frame(1).bounds;
    QCOMPARE(f.component("Shape2")->geometry(),
             field.bounds.adjusted(-1, -1, 1, 1).translated(frame.topLeft()).intersected(frame));

    // The release of the Return that chose the command in the menu reaches the field: the box
    // stays fitted. A key pressed in the field fits it as typing does.
    const QRect fitted = field.bounds;
    f.doc().session.editMode = true;
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(f.widgetOf(id), &release);
    QCOMPARE(outline(f).textField(1).bounds, fitted);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QKeyEvent pressRelease(QEvent::KeyRelease, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(f.widgetOf(id), &press);
    QApplication::sendEvent(f.widgetOf(id), &pressRelease);
    QCOMPARE(outline(f).textField(1).bounds.size(), *autoSizeTextField(field.text, field.font));

    // An empty text leaves the box as it is.
    outline(f).textField(1).text.clear();
    const QRect kept = outline(f).textField(1).bounds;
    f.command(Command::FitTextField)->trigger();
    QCOMPARE(outline(f).textField(1).bounds, kept);
}

void TestAppearance::typedTextGrowsTheBoxOnlyWithinItsFrame()
{
    WindowFixture f;
    f.beginOutline();
    addFrame(f, 100);  // 150 × 150
    const ObjectId id = addText(f, 1, QStringLiteral("x"));
    f.window->outlineView()->sync();
    f.doc().session.editMode = true;
    f.doc().interaction.currentObject = id;
    auto* field = qobject_cast<QTextEdit*>(f.widgetOf(id));
    QVERIFY(field);
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("a long line that has no room in its frame"));
    const QSize frame = outline(f).frame(1).bounds.size();
    QRect box = outline(f).textField(1).bounds;
    QVERIFY2(box.right() < frame.width(), qPrintable(QStringLiteral("%1 of %2").arg(box.right()).arg(frame.width())));
    QVERIFY(box.width() > 60);  // it did grow, up to the frame's edge
    for (int k = 0; k < 8; ++k)
        QTest::keyClick(field, Qt::Key_Return);
    box = outline(f).textField(1).bounds;
    QVERIFY2(box.bottom() < frame.height(),
             qPrintable(QStringLiteral("%1 of %2").arg(box.bottom()).arg(frame.height())));
    QCOMPARE(f.widgetOf(id)->geometry(), box);
    // Nothing typed is lost to the narrower box.
    QVERIFY(outline(f).textField(1).text.contains(QStringLiteral("has no room in its frame")));
}

void TestAppearance::pictureBorderChecks()
{
    WindowFixture f;
    f.beginOutline();
    addFrame(f, 0);
    f.doc().interaction.currentObject = addPicture(f, 1, QStringLiteral("p"), Qt::red);
    f.window->outlineView()->sync();
    QAction* none = f.command(Command::PictureBorderNone);
    QAction* single = f.command(Command::PictureBorderSingle);
    none->setChecked(false);
    single->setChecked(true);
    none->trigger();
    QVERIFY(none->isChecked());
    QVERIFY(!single->isChecked());
    QCOMPARE(outline(f).picture(1).border, quint8(0));
    single->trigger();
    QVERIFY(single->isChecked() && !none->isChecked());
    QCOMPARE(outline(f).picture(1).border, quint8(1));
    // Chosen again, the checked item flips its own mark off; the marks still show the border.
    single->trigger();
    QVERIFY(single->isChecked() && !none->isChecked());
    QCOMPARE(outline(f).picture(1).border, quint8(1));
}

QTEST_MAIN(TestAppearance)
#include "test_appearance.moc"

void TestAppearance::alignmentAfterADropLeavesTheBoxAlone()
{
    // A text box dropped into another frame takes on that frame's font settings as a widget; the
    // model's font and alignment put back on it afterwards (by the command, by undo) are no
    // typing: the box keeps its bounds, nothing is marked modified and no handles appear.
    WindowFixture f;
    f.beginOutline();
    for (int x : {10, 200}) {
        f.doc().interaction.creationPoint = QPoint(x, 40);
        f.command(Command::CreateFrame)->trigger();
    }
    const ObjectId text = addText(f, 1, QStringLiteral("abc"));
    f.window->outlineView()->sync();
    f.window->documents().recordStep(StepKind::Full);
    auto* viewport = static_cast<QAbstractScrollArea*>(f.widgetOf(text))->viewport();
    const QPoint onCanvas = viewport->mapTo(f.window->canvas(), QPoint(5, 5));
    dragWidget(viewport, QPoint(5, 5), QPoint(5, 5) + QPoint(230, 100) - onCanvas, Qt::AltModifier);
    QCOMPARE(outline(f).textField(1).parentFrame, quint8(2));
    const QRect bounds = outline(f).textField(1).bounds;

    f.doc().interaction.currentObject = text;
    f.command(Command::AlignCentre)->trigger();
    QCOMPARE(outline(f).textField(1).bounds, bounds);
    f.command(Command::Undo)->trigger();
    QCOMPARE(outline(f).textField(1).alignment, quint8(AlignLeft));
    QCOMPARE(outline(f).textField(1).bounds, bounds);
    QCOMPARE(f.widgetOf(text)->geometry(), bounds);
    // Modified only as the history step reached says, with Save offered accordingly: the
    // alignment put back was no typing.
    QCOMPARE(f.doc().state.modified, f.doc().history.currentStep != f.doc().history.savedStep);
    QCOMPARE(f.command(Command::Save)->isEnabled(), f.doc().state.modified);
    QVERIFY(!f.window->selectionHandles()->blueSetVisible());
}
