// Printing the outline and its summary, and the summary on the command line.
#include "app/headless_cli.h"
#include "model/reveal_order.h"
#include "model/summary_formats.h"
#include "storage/outline_io.h"
#include "support/avi_writer.h"
#include "support/photo_like_image.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace velmar;

class TestOutlinePrint : public QObject {
    Q_OBJECT
private slots:
    void printingThroughTheDialog();
    void previewDrawsTheSamePages();
    void formsChosenInTheDialogAreKept();
    void failingPrinterChangesNothing();
    void pagesShowTheWholeCanvasAndFilms();
    void summaryCommandMatchesTheWindow();
    void summaryFormats_data();
    void summaryFormats();
};

namespace {

QString runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A new outline whose first two frames read in swapped order, with texts that HTML and Markdown
// would take for markup.
void prepareOutline(WindowFixture& f)
{
    f.dialogs.inputs.push_back(QStringLiteral("Урок"));
    f.command(Command::NewOutline)->trigger();
    Outline& o = f.doc().outline;
    o.frame(1).minimalText = QStringLiteral("Вода <кипит> & пар");
    o.frame(2).minimalText = QStringLiteral("# Опыты *первые*");
    const int field = o.createTextField(QRect(10, 30, 100, 40), 0x00FFFFFF, QStringLiteral("t"), 2);
    o.textField(field).minimalText = QStringLiteral("Строка 1\r\nСтрока 2");
    // A heading ending in a hash sign, and a frame whose minimal text was emptied (its name heads it).
    o.frame(3).minimalText = QStringLiteral("Закон Ома #");
    o.frame(5).minimalText = QString();
    o.frameSequence().swap(1, 2);
    // A photo far larger than its control.
    const int picture = o.createPicture(QRect(10, 80, 80, 60), 3);
    o.picture(picture).setBitmap(photoLikeImage(1600, 1200, 5));
    f.window->documents().recordStep(StepKind::HeaderOnly);
}

}  // namespace

void TestOutlinePrint::printingThroughTheDialog()
{
    WindowFixture f;
    prepareOutline(f);
    QVERIFY(f.command(Command::Print)->isEnabled());
    QCOMPARE(f.command(Command::Print)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    const int step = f.doc().history.currentStep;
    const bool modified = f.doc().state.modified;
    const QString pdf = f.home.filePath(QStringLiteral("печать.pdf"));
    f.dialogs.printFile = pdf;

    // Cancelling prints nothing.
    f.command(Command::Print)->trigger();
    QCOMPARE(f.dialogs.printDialogs, 1);
    QVERIFY(!QFile::exists(pdf));

    // The outline alone: one landscape page (the canvas is wider than tall), titles as text.
    f.dialogs.printChoices.push_back(Dialogs::PrintChoice{false});
    f.command(Command::Print)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 0);
    QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
    QVERIFY(size.hasMatch());
    QVERIFY(size.captured(1).toDouble() > size.captured(2).toDouble());
    QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("Наблюдения")) && text.contains(QStringLiteral("Технологические")),
             qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Вода")));
    // The photo is printed from its stored bitmap, not from the screen's small copy.
    const QString images = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    QVERIFY2(images.contains(QRegularExpression(QStringLiteral("\\s1600\\s+1200\\s"))), qPrintable(images));

    // With the summary: its texts follow on the next page, in reading order, markup as written.
    f.dialogs.printChoices.push_back(Dialogs::PrintChoice{true});
    f.command(Command::Print)->trigger();
    info = runTool(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))), qPrintable(info));
    text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QStringLiteral("2"), pdf, QStringLiteral("-")});
    const qsizetype second = text.indexOf(QStringLiteral("# Опыты *первые*"));
    const qsizetype lines = text.indexOf(QStringLiteral("Строка 1"));
    const qsizetype first = text.indexOf(QStringLiteral("Вода <кипит> & пар"));
    QVERIFY2(second >= 0 && second < lines && lines < first, qPrintable(text));

    QCOMPARE(f.doc().history.currentStep, step);
    QCOMPARE(f.doc().state.modified, modified);
}

void TestOutlinePrint::previewDrawsTheSamePages()
{
    WindowFixture f;
    // Nothing to print before an outline is open.
    QVERIFY(!f.command(Command::PrintPreview)->isEnabled());
    prepareOutline(f);
    QVERIFY(f.command(Command::PrintPreview)->isEnabled());
    const QString pdf = f.home.filePath(QStringLiteral("просмотр.pdf"));
    f.dialogs.printFile = pdf;
    f.command(Command::PrintPreview)->trigger();
    QCOMPARE(f.dialogs.previews, 1);
    QVERIFY(runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).contains(QStringLiteral("Наблюдения")));
    f.command(Command::Close)->trigger();  // closing the outline disables printing again
    QVERIFY(!f.command(Command::Print)->isEnabled() && !f.command(Command::PrintPreview)->isEnabled());
}

void TestOutlinePrint::formsChosenInTheDialogAreKept()
{
    WindowFixture f;
    prepareOutline(f);
    const QString pdf = f.home.filePath(QStringLiteral("формы.pdf"));
    f.dialogs.printFile = pdf;
    const auto pages = [&] {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)\\n")).match(runTool(QStringLiteral("pdfinfo"), {pdf}));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };

    // A poster of 3 × 1 sheets: three pages, each with the outline's texts where they fall.
    Dialogs::PrintChoice poster;
    poster.form = {PrintForm::Kind::Poster, 4, 3, 1};
    f.dialogs.printChoices.push_back(poster);
    f.command(Command::Print)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 0);
    QCOMPARE(pages(), 3);

    // The next dialog opens with that choice; handouts of one step a page give a page per step.
    Dialogs::PrintChoice handouts;
    handouts.form = {PrintForm::Kind::Handouts, 1, 2, 2};
    f.dialogs.printChoices.push_back(handouts);
    f.command(Command::Print)->trigger();
    QVERIFY(f.dialogs.printDialogOpenedWith.form == poster.form);
    const int steps = RevealOrder(f.doc().outline).lastStep();
    QVERIFY(steps > 2);
    QCOMPARE(pages(), steps);
    const QString last =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(steps), pdf, QStringLiteral("-")});
    QVERIFY2(last.contains(QStringLiteral("Страница %1 из %1").arg(steps)), qPrintable(last));

    // The preview shows what was chosen last: the exercise sheet has no minimal text on it.
    Dialogs::PrintChoice exercise;
    exercise.form.kind = PrintForm::Kind::Exercise;
    f.dialogs.printChoices.push_back(exercise);
    f.command(Command::Print)->trigger();
    QFile::remove(pdf);
    f.command(Command::PrintPreview)->trigger();
    const QString sheet = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY2(sheet.contains(QStringLiteral("Наблюдения")), qPrintable(sheet));
    QVERIFY2(!sheet.contains(QStringLiteral("Вода")) && !sheet.contains(QStringLiteral("Строка 1")), qPrintable(sheet));
}

void TestOutlinePrint::pagesShowTheWholeCanvasAndFilms()
{
    WindowFixture f;
    prepareOutline(f);
    const QString film = f.home.filePath(QStringLiteral("film.avi"));
    QVERIFY(avi::writeAvi(film, avi::colourFrames({Qt::red, Qt::green}, 40, 30), 10, avi::Codec::Uncompressed));
    Outline& o = f.doc().outline;
    o.video(o.createVideo(QRect(420, 300, 120, 90), 0)).fileName = film;
    f.window->documents().recordStep(StepKind::HeaderOnly);
    const QWidget* canvas = f.window->findChild<QWidget*>(QStringLiteral("canvas"));
    QVERIFY(canvas);

    const QString printed = f.home.filePath(QStringLiteral("film.pdf"));
    f.dialogs.printFile = printed;
    f.dialogs.printChoices.push_back(Dialogs::PrintChoice{false});
    f.command(Command::Print)->trigger();
    const QString preview = f.home.filePath(QStringLiteral("film-preview.pdf"));
    f.dialogs.printFile = preview;
    f.command(Command::PrintPreview)->trigger();
    for (const QString& pdf : {printed, preview}) {
        // The film's first picture is on the page (a 40 × 30 picture), not an empty box.
        const QString images = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        QVERIFY2(images.contains(QRegularExpression(QStringLiteral("\\s40\\s+30\\s"))), qPrintable(images));
        // The canvas's grey covers a box shaped like the whole canvas, the tool bar's band too.
        const QString base = f.home.filePath(QStringLiteral("page"));
        runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
                                             QStringLiteral("-singlefile"), pdf, base});
        const QImage page(base + QStringLiteral(".png"));
        QVERIFY(!page.isNull());
        QRect drawn;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (page.pixelColor(x, y) != QColor(Qt::white))
                    drawn |= QRect(x, y, 1, 1);
        const double aspect = double(drawn.width()) / drawn.height();
        const double whole = double(canvas->width()) / canvas->height();
        QVERIFY2(std::abs(aspect - whole) < whole * 0.02,
                 qPrintable(QStringLiteral("%1 against %2").arg(aspect).arg(whole)));
        // Fitted to the page: the drawing reaches across the printable width or height, not a
        // corner of it.
        QVERIFY2(drawn.width() > page.width() * 0.85 || drawn.height() > page.height() * 0.85,
                 qPrintable(QStringLiteral("drawn %1 x %2 on a page of %3 x %4")
                                .arg(drawn.width())
                                .arg(drawn.height())
                                .arg(page.width())
                                .arg(page.height())));
    }
}

void TestOutlinePrint::failingPrinterChangesNothing()
{
    WindowFixture f;
    prepareOutline(f);
    const int step = f.doc().history.currentStep;
    // The printer's file cannot be made: a file stands where its folder should be.
    QFile blocker(f.home.filePath(QStringLiteral("занято")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.dialogs.printFile = f.home.filePath(QStringLiteral("занято/печать.pdf"));
    f.dialogs.printChoices.push_back(Dialogs::PrintChoice{true});
    f.command(Command::Print)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].text.startsWith(QStringLiteral("Не удалось напечатать")),
             qPrintable(f.dialogs.messages[0].text));
    QCOMPARE(f.doc().history.currentStep, step);
    QVERIFY(!QFileInfo(f.home.filePath(QStringLiteral("занято"))).isDir());
    // The preview reports the same failure once, inside the dialog.
    f.command(Command::PrintPreview)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 2);
}

void TestOutlinePrint::summaryCommandMatchesTheWindow()
{
    WindowFixture f;
    prepareOutline(f);
    const QString path = f.home.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(writeOutlineFile(path, f.doc()).ok);

    QString shown;
    QTimer::singleShot(0, [&] {
        auto* window = f.window->findChild<QDialog*>(QStringLiteral("Form7"));
        if (!window)
            return;
        shown = window->findChild<QTextEdit*>(QStringLiteral("RichEdit1"))->toPlainText();
        window->accept();
    });
    f.command(Command::Summary)->trigger();
    QVERIFY(shown.contains(QStringLiteral("Вода <кипит> & пар")));

    QByteArray out;
    QString errors;
    QCOMPARE(runSummaryCommand(path, HeadlessCommand::Text, &out, &errors), 0);
    QCOMPARE(QString::fromUtf8(out), shown);
    // A CR LF inside a text is one line break, in the window and on the command line alike.
    QVERIFY2(shown.contains(QStringLiteral("Строка 1\nСтрока 2\n")), qPrintable(shown));
}

void TestOutlinePrint::summaryFormats_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QStringList>("inOrder");  // pieces expected one after another
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("markdown") << int(HeadlessCommand::Markdown)
                              << QStringList{"# \\# Опыты \\*первые\\*\n\n", "Строка 1\\\nСтрока 2\n\n",
                                             "# Вода \\<кипит\\> \\& пар\n\n", "# Закон Ома \\#\n\n", "# Факты\n\n"}
                              << QStringList{"\r", "# \n"};
    QTest::newRow("html") << int(HeadlessCommand::Html)
                          << QStringList{"<title>Урок</title>",
                                         "<h1># Опыты *первые*</h1>",
                                         "<p>Строка 1<br>Строка 2</p>",
                                         "<h1>Вода &lt;кипит&gt; &amp; пар</h1>",
                                         "<h1>Закон Ома #</h1>",
                                         "<h1>Факты</h1>",
                                         "</html>"}
                          << QStringList{"<кипит>", "\r", "<h1></h1>"};
}

void TestOutlinePrint::summaryFormats()
{
    QFETCH(int, format);
    QFETCH(QStringList, inOrder);
    QFETCH(QStringList, absent);
    WindowFixture f;
    prepareOutline(f);
    const QString path = f.home.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(writeOutlineFile(path, f.doc()).ok);
    QByteArray out;
    QString errors;
    QCOMPARE(runSummaryCommand(path, HeadlessCommand::SummaryFormat(format), &out, &errors), 0);
    const QString text = QString::fromUtf8(out);
    qsizetype at = 0;
    for (const QString& piece : inOrder) {
        const qsizetype found = text.indexOf(piece, at);
        QVERIFY2(found >= 0, qPrintable(piece + QStringLiteral("\n---\n") + text));
        at = found + piece.size();
    }
    for (const QString& piece : absent)
        QVERIFY2(!text.contains(piece), qPrintable(piece));
    // Frames without objects still get their heading: ten frames, ten headings.
    const QString heading = format == HeadlessCommand::Html ? QStringLiteral("<h1>") : QStringLiteral("# ");
    QCOMPARE(text.count(format == HeadlessCommand::Html ? heading : QStringLiteral("\n\n# "))
                 + (format == HeadlessCommand::Html ? 0 : 1),
             10);
}

QTEST_MAIN(TestOutlinePrint)
#include "test_outline_print.moc"
