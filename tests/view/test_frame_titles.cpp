// Showing, hiding and renaming frame titles on the real window.
#include "canvas/film_panel_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPicture>
#include <QTest>

using namespace velmar;

class TestFrameTitles : public QObject {
    Q_OBJECT
private slots:
    void hidingWithThePopupIsUndoableWithTheButtonNot();
    void settingsItemMirrorsTheButton();
    void pressingAFrameShowsItsState();
    void rename();
    void titlesMeasureAndDrawAsLabels();
    void bevelsAndPlayerBarsDrawAsTheirLines();

private:
    static void rightClick(WindowFixture& f, int slot)
    {
        QWidget* w = f.widgetOf(f.doc().outline.frame(slot).id);
        sendMouse(w, QEvent::MouseButtonPress, QPoint(60, 60), Qt::RightButton);
        sendMouse(w, QEvent::MouseButtonRelease, QPoint(60, 60), Qt::RightButton);
        f.window->popupMenu(Menu::Frame)->hide();
    }
    static bool titleShown(WindowFixture& f, int slot)
    {
        auto* w = static_cast<FrameWidget*>(f.widgetOf(f.doc().outline.frame(slot).id));
        return f.doc().outline.frame(slot).titleVisible && !w->title()->isHidden();
    }
    static void createFrame(WindowFixture& f, QPoint at)
    {
        f.doc().interaction.creationPoint = at;
        f.command(Command::CreateFrame)->trigger();
    }
};

void TestFrameTitles::hidingWithThePopupIsUndoableWithTheButtonNot()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));  // step 0
    rightClick(f, 1);
    QVERIFY(f.command(Command::FrameTitlePopup)->isChecked());
    f.command(Command::FrameTitlePopup)->trigger();
    QVERIFY(!titleShown(f, 1));
    QVERIFY(!f.command(Command::FrameTitles)->isChecked());
    QVERIFY(!f.command(Command::FrameTitlesButton)->isChecked());
    QCOMPARE(f.doc().history.currentStep, 1);
    f.command(Command::Undo)->trigger();
    QVERIFY(titleShown(f, 1));

    rightClick(f, 1);
    QVERIFY(f.command(Command::FrameTitlesButton)->isEnabled());
    QVERIFY(f.command(Command::FrameTitlesButton)->isChecked());
    f.doc().state.modified = false;
    f.command(Command::FrameTitlesButton)->trigger();
    QVERIFY(!titleShown(f, 1));
    QVERIFY(!f.command(Command::FrameTitlePopup)->isChecked());
    QVERIFY(!f.command(Command::FrameTitles)->isChecked());
    QCOMPARE(f.doc().history.currentStep, 0);
    QVERIFY(f.doc().state.modified);  // no step, yet closing asks to save
    QVERIFY(!f.command(Command::Undo)->isEnabled());
}

void TestFrameTitles::settingsItemMirrorsTheButton()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));
    rightClick(f, 1);
    f.command(Command::FrameTitles)->trigger();
    QVERIFY(!f.command(Command::FrameTitlesButton)->isChecked());
    QVERIFY(!titleShown(f, 1));
    f.command(Command::FrameTitles)->trigger();
    QVERIFY(f.command(Command::FrameTitlesButton)->isChecked());
    QVERIFY(titleShown(f, 1));
}

void TestFrameTitles::pressingAFrameShowsItsState()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));
    createFrame(f, QPoint(300, 40));
    rightClick(f, 1);
    f.command(Command::FrameTitlesButton)->trigger();
    QVERIFY(!titleShown(f, 1));
    rightClick(f, 2);
    QVERIFY(f.command(Command::FrameTitlesButton)->isChecked());
    QVERIFY(f.command(Command::FrameTitles)->isChecked());
    QVERIFY(titleShown(f, 2));
}

void TestFrameTitles::rename()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));
    rightClick(f, 1);
    const int step = f.doc().history.currentStep;
    f.command(Command::RenameFrame)->trigger();  // cancelled
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("Фрейм1"));
    QCOMPARE(f.doc().history.currentStep, step);

    f.dialogs.inputs.push_back(QString());
    f.command(Command::RenameFrame)->trigger();
    QCOMPARE(f.doc().outline.frame(1).title, QString());
    QCOMPARE(f.doc().outline.frame(1).hint, QStringLiteral("Фрейм1"));  // the tooltip stays
    QCOMPARE(f.doc().history.currentStep, step + 1);

    f.dialogs.inputs.push_back(QStringLiteral("Опыты"));
    f.command(Command::RenameFrame)->trigger();
    auto* w = static_cast<FrameWidget*>(f.widgetOf(f.doc().outline.frame(1).id));
    QCOMPARE(w->title()->text(), QStringLiteral("Опыты"));
}

// A title is no label, yet it must take the place and the pixels a plain label of the same text
// took: presses on it move the frame, and the slide deck places the title's text by its box.
void TestFrameTitles::titlesMeasureAndDrawAsLabels()
{
    QWidget host;
    host.resize(900, 200);
    const QStringList titles = {QStringLiteral("Фрейм1"),
                                QStringLiteral("Фрейм2"),
                                QStringLiteral("Опыты и наблюдения — глава 3"),
                                QStringLiteral("&Файл && друзья"),
                                QStringLiteral("שלום עולם 12"),
                                QStringLiteral("i"),
                                QStringLiteral("Длинное название ").repeated(8),
                                QStringLiteral("␊ знак строки, ☺ и 漢字")};
    // One title takes each text and font in turn, as a frame's title is renamed: what it laid out
    // for the last text must not be drawn for the next one. Each is drawn twice, the second time
    // from what the first laid out.
    FrameTitle title(&host);
    QPalette palette = title.palette();
    palette.setColor(QPalette::WindowText, QColor(0x20, 0x60, 0xC0));
    title.setPalette(palette);
    for (const int pointSize : {0, 17}) {
        QFont font = host.font();
        if (pointSize)
            font.setPointSize(pointSize);
        for (const QString& text : titles) {
            QLabel label(&host);
            label.setTextFormat(Qt::PlainText);
            label.setFont(font);
            label.setText(text);
            label.adjustSize();
            label.setPalette(palette);
            title.setFont(font);
            title.setText(text);
            QCOMPARE(title.size(), label.size());
            QImage expected(label.size(), QImage::Format_RGB32);
            expected.fill(Qt::white);
            label.render(&expected);
            for (int paint = 0; paint < 2; ++paint) {
                QImage drawn(title.size(), QImage::Format_RGB32);
                drawn.fill(Qt::white);
                title.render(&drawn);
                QVERIFY2(drawn == expected, qPrintable(text));
            }
        }
    }
}

// Bevels, border lines and the player's buttons are filled as rectangles where a window paints
// them; recorded into a picture, the same painting draws them as lines and rectangle outlines, as
// print and the vector exports get them. Played back, the picture must give the same pixels.
void TestFrameTitles::bevelsAndPlayerBarsDrawAsTheirLines()
{
    const auto compareWithLines = [](QWidget& w, QPoint offset, const char* what) {
        const QSize canvas = w.size() + QSize(6, 6);
        QImage filled(canvas, QImage::Format_RGB32), drawn(canvas, QImage::Format_RGB32);
        filled.fill(Qt::white);
        drawn.fill(Qt::white);
        w.render(&filled, offset);
        QPicture picture;
        {
            QPainter recording(&picture);
            w.render(&recording, offset);
        }
        QPainter playing(&drawn);
        // A widget's painting stays within the widget; a picture does not keep that clip.
        playing.setClipRect(QRect(offset, w.size()));
        picture.play(&playing);
        playing.end();
        QVERIFY2(filled == drawn, what);
    };
    const quint8 bevels[] = {BevelNone, BevelRaised, BevelLowered};
    for (const QSize size : {QSize(1, 1), QSize(2, 3), QSize(5, 4), QSize(70, 41)}) {
        for (const quint8 outer : bevels) {
            for (const quint8 inner : bevels) {
                for (const quint8 border : {quint8(0), quint8(1)}) {
                    FrameWidget w(nullptr);
                    FrameObject frame;
                    frame.bounds = QRect(QPoint(0, 0), size);
                    frame.outerBevel = outer;
                    frame.innerBevel = inner;
                    frame.borderLine = border;
                    frame.titleVisible = false;
                    w.apply(frame);
                    const QByteArray what = QStringLiteral("frame %1×%2, bevels %3/%4, border %5")
                                                .arg(size.width())
                                                .arg(size.height())
                                                .arg(outer)
                                                .arg(inner)
                                                .arg(border)
                                                .toUtf8();
                    compareWithLines(w, QPoint(0, 0), what.constData());
                    compareWithLines(w, QPoint(3, 2), what.constData());
                }
            }
        }
    }
    // Player bars of two sizes, each button pressed in turn: the bars copied on the screen must
    // be the bar of that size and state.
    for (const int width : {95, 31}) {
        FilmPanelWidget panel(nullptr);
        VideoObject video;
        video.bounds = QRect(0, 0, width, 60);
        panel.apply(video);
        VideoPlayerBar& bar = *panel.playerBar();
        compareWithLines(bar, QPoint(1, 1), "player bar");
        for (const int button : {VideoPlayerBar::Play, VideoPlayerBar::Pause, VideoPlayerBar::Stop}) {
            const QPoint at(bar.width() * (2 * button + 1) / 6, bar.height() / 2);
            sendMouse(&bar, QEvent::MouseButtonPress, at, Qt::LeftButton);
            compareWithLines(bar, QPoint(2, 0), "pressed player bar");
            // Released off the bar: nothing is played.
            sendMouse(&bar, QEvent::MouseButtonRelease, QPoint(-50, -50), Qt::LeftButton);
            compareWithLines(bar, QPoint(0, 0), "released player bar");
        }
    }
}

QTEST_MAIN(TestFrameTitles)
#include "test_frame_titles.moc"
