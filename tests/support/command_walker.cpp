#include "support/command_walker.h"

#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "model/grid.h"
#include "model/zoom.h"
#include "storage/history.h"
#include "storage/outline_io.h"
#include "support/outline_invariants.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>

#include <algorithm>

#include <sys/stat.h>

using namespace velmar;

namespace {

ObjectKind kindFromLetter(char letter)
{
    switch (letter) {
    case 'F': return ObjectKind::Frame;
    case 'P': return ObjectKind::Picture;
    case 'C': return ObjectKind::Caption;
    case 'T': return ObjectKind::TextField;
    case 'V': return ObjectKind::Video;
    default: return ObjectKind::Arrow;
    }
}

const char kKindLetters[] = {'F', 'P', 'C', 'T', 'V', 'A'};

// Items of each object's pop-up menu that the walk chooses from (creation items apart).
const QStringList kFrameItems = {"FrameMinimalText",  "FrameTitlePopup",   "RenameFrame",      "FrameColour",
                                 "FrameTitleColour",  "ResetFrameColours", "InnerBevelNone",   "InnerBevelLowered",
                                 "InnerBevelRaised",  "BorderLineNone",    "BorderLineSingle", "OuterBevelNone",
                                 "OuterBevelLowered", "OuterBevelRaised",  "DeleteFrame",      "CutFrame",
                                 "CopyFrame",         "DuplicateFrame",    "PasteInFrame"};
const QStringList kPictureItems = {"EditPicture",       "OpenPicture",         "PictureLater",
                                   "PictureEarlier",    "PictureMinimalText",  "PictureFullScreen",
                                   "PictureBorderNone", "PictureBorderSingle", "DeletePicture",
                                   "CutPicture",        "CopyPicture",         "DuplicatePicture"};
const QStringList kVideoItems = {"OpenFilmFile", "FilmMinimalText", "FilmFullScreen", "PlayFilm", "PauseFilm",
                                 "StopFilm",     "DeleteFilm",      "CutFilm",        "CopyFilm", "DuplicateFilm"};
const QStringList kCaptionItems = {"CaptionFont", "CaptionText", "CaptionColour", "ResetCaptionColours",
                                   "DeleteCaption"};
const QStringList kArrowItems = {"ArrowColour", "ArrowThicker", "ArrowThinner",  "DeleteArrow",
                                 "CutArrow",    "CopyArrow",    "DuplicateArrow"};
const QStringList kTextItems = {
    "TextFieldFont",        "AlignLeft",         "AlignCentre",           "AlignRight",      "FitTextField",
    "TextFieldMinimalText", "TextFieldColour",   "ResetTextFieldColours", "DeleteTextField", "CutTextField",
    "CopyTextField",        "DuplicateTextField"};
// Commands on several objects at once and on the clipboard, from the Edit menu and its keys.
const QStringList kGroupCommands = {"Copy",
                                    "Cut",
                                    "Paste",
                                    "Paste",
                                    "Duplicate",
                                    "SelectAll",
                                    "AlignObjectsLeft",
                                    "AlignObjectsCentre",
                                    "AlignObjectsRight",
                                    "AlignObjectsTop",
                                    "AlignObjectsMiddle",
                                    "AlignObjectsBottom",
                                    "DistributeHorizontally",
                                    "DistributeVertically"};
const QStringList kSelectionKeys = {"moveLeft", "moveRight", "moveUp", "moveDown", "moveLeftByGrid", "deleteSelected"};
// Creation items that no menu shows; the walk uses them rarely, for captions and for objects lying
// directly on the canvas, which only files can otherwise bring.
const QStringList kHiddenCreators = {"CreatePictureOnCanvas", "CreateCaptionOnCanvas", "CreateFilmOnCanvas",
                                     "CreateCaption"};

const QStringList kHandles = {"Panel3",  "Panel4",  "Panel5",  "Panel6",  "Panel7",  "Panel8",  "Panel9",
                              "Panel10", "Panel11", "Panel12", "Panel13", "Panel14", "Panel15", "Panel16",
                              "Panel17", "Panel18", "Panel19", "Panel20", "Panel23", "Panel24"};

bool isFileCommand(const WalkCommand& c)
{
    return c.op == QLatin1String("action")
           && (c.name == "NewOutline" || c.name == "Open" || c.name == "Save" || c.name == "SaveAs"
               || c.name == "Close");
}

const QString kLetters = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЁЖЯ abcxyzQW0123456789.,-!?");

QString encodeText(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(QUrl::toPercentEncoding(text, "", "-"));
}

QString decodeText(const QString& field)
{
    return field == QLatin1String("-") ? QString() : QUrl::fromPercentEncoding(field.toLatin1());
}

}  // namespace

QString WalkCommand::toString() const
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 %12")
        .arg(op, name.isEmpty() ? QStringLiteral("-") : name, QString(QLatin1Char(kind)))
        .arg(index)
        .arg(x)
        .arg(y)
        .arg(dx)
        .arg(dy)
        .arg(mods.isEmpty() ? QStringLiteral("-") : mods)
        .arg(answer)
        .arg(value)
        .arg(encodeText(text));
}

std::optional<WalkCommand> WalkCommand::parse(const QString& line)
{
    const QStringList f = line.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (f.size() != 12 || f[2].size() != 1)
        return std::nullopt;
    WalkCommand c;
    bool ok = true;
    const auto number = [&ok](const QString& s) {
        bool good = false;
        const qint64 v = s.toLongLong(&good);
        ok = ok && good;
        return v;
    };
    c.op = f[0];
    c.name = f[1] == QLatin1String("-") ? QString() : f[1];
    c.kind = f[2][0].toLatin1();
    c.index = int(number(f[3]));
    c.x = int(number(f[4]));
    c.y = int(number(f[5]));
    c.dx = int(number(f[6]));
    c.dy = int(number(f[7]));
    c.mods = f[8] == QLatin1String("-") ? QString() : f[8];
    c.answer = int(number(f[9]));
    c.value = number(f[10]);
    c.text = decodeText(f[11]);
    if (!ok)
        return std::nullopt;
    return c;
}

// --- set-up ---------------------------------------------------------------------------------------

CommandWalker::CommandWalker(WindowFixture& fixture, const QString& folder) : m_fixture(fixture), m_folder(folder)
{
    QDir().mkpath(folder);
    // A history starts when its first step is recorded: the step then is both the first and the
    // highest one, which no undo or redo of an older history can give.
    QObject::connect(&m_fixture.window->documents(), &DocumentController::historyChanged, [this] {
        const HistoryState& h = doc().history;
        if (h.currentStep >= 0 && h.currentStep == std::max(0, h.firstStep) && h.highestStep == h.currentStep)
            m_historyStarted = true;
    });
    // Files the open dialogs offer: pictures good and bad, an outline that is no outline.
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(QColor(200, 40, 40));
    small.save(walkPath(QStringLiteral("p1.bmp")), "BMP");
    QImage large(320, 200, QImage::Format_RGB32);
    for (int y = 0; y < large.height(); ++y)
        for (int x = 0; x < large.width(); ++x)
            large.setPixel(x, y, qRgb(x % 256, y, (x + y) % 256));
    large.save(walkPath(QStringLiteral("p2.jpg")), "JPEG", 95);
    for (const char* name : {"bad.jpg", "garbage.vmd"}) {
        QFile junk(walkPath(QLatin1String(name)));
        if (junk.open(QIODevice::WriteOnly))
            junk.write(QByteArray(3000, 'x'));
    }
    m_modalCloser.setInterval(0);
    QObject::connect(&m_modalCloser, &QTimer::timeout, [this] { closeModal(); });
    m_fixture.window->activateWindow();
    QApplication::setActiveWindow(m_fixture.window.get());
}

CommandWalker::~CommandWalker() = default;

QString CommandWalker::walkPath(const QString& name) const { return QDir(m_folder).filePath(name); }

// --- generating ------------------------------------------------------------------------------------

WalkCommand CommandWalker::generate(std::mt19937& rng)
{
    const auto n = [&rng](int bound) { return bound <= 1 ? 0 : int(rng() % unsigned(bound)); };
    const auto between = [&n](int lo, int hi) { return lo + n(hi - lo + 1); };
    const auto oneOf = [&n](const QStringList& list) { return list.at(n(int(list.size()))); };
    const auto text = [&](int longest, bool lines) {
        QString t;
        const int length = n(8) == 0 ? 0 : between(1, n(10) == 0 ? longest : 12);
        for (int i = 0; i < length; ++i)
            t += lines && n(15) == 0 ? QStringLiteral("\r\n") : QString(kLetters.at(n(int(kLetters.size()))));
        return t;
    };
    const Outline& o = doc().outline;
    const auto count = [&o](char letter) { return o.count(kindFromLetter(letter)); };
    // An existing object of one of the given kinds, as a kind letter; '-' when there is none.
    const auto someKind = [&](const QString& letters) {
        QList<char> present;
        for (QChar l : letters)
            if (count(l.toLatin1()) > 0)
                present << l.toLatin1();
        return present.isEmpty() ? '-' : present.at(n(int(present.size())));
    };

    WalkCommand c;
    c.op = QStringLiteral("action");
    c.index = n(100);
    c.x = n(1001);
    c.y = n(1001);
    c.answer = n(10) < 7 ? 1 : n(3);
    c.value = qint64(rng() & 0xFFFFFF);

    const bool open = m_fixture.command(Command::EditModeButton)->isEnabled();
    if (!open) {
        c.name = n(3) ? QStringLiteral("NewOutline") : QStringLiteral("Open");
        c.text = c.name == QLatin1String("NewOutline") ? text(20, false) : oneOf({"a.vmd", "b.vmd", "garbage.vmd"});
        return c;
    }

    // Every third stretch of the walk builds up: mostly creation, so that the tables fill up to
    // their capacity now and then.
    const bool buildUp = (m_generated++ / 500) % 3 == 1;
    int roll = n(1000);
    if (buildUp && n(4) != 0)
        roll = n(175);
    const QSize canvas = m_fixture.window->canvas()->size();
    const auto canvasPoint = [&] {
        c.kind = '-';
        c.x = between(0, canvas.width() - 1);
        c.y = between(kToolBarHeight, canvas.height() - 1);
    };
    const auto answerDialogs = [&](const QString& item) {
        if (item == "RenameFrame" || item == "CaptionText")
            c.text = text(40, false);
        else if (item == "FrameMinimalText" || item == "PictureMinimalText" || item == "FilmMinimalText"
                 || item == "TextFieldMinimalText")
            c.text = text(300, true);
        else if (item == "CaptionFont" || item == "TextFieldFont") {
            c.text = oneOf({"Arial", "DejaVu Sans", "Times New Roman", "MS Sans Serif", "Courier New"});
            c.value = between(6, 36) + 100 * n(16);
        } else if (item == "OpenPicture") {
            c.text = oneOf({"p1.bmp", "p2.jpg", "bad.jpg", "missing.bmp"});
            c.value = between(1, 3);
        } else if (item == "OpenFilmFile")
            c.text = oneOf({"missing.avi", "p2.jpg"});
        else if (item == "DeleteFrame" || item == "DeletePicture" || item == "DeleteFilm" || item == "DeleteCaption"
                 || item == "DeleteTextField" || item == "DeleteArrow")
            c.answer = n(4) ? 1 : 0;  // deletions are mostly confirmed
    };

    if (roll < 120 && count('F')) {  // create inside a frame from its menu
        c.op = QStringLiteral("rclick");
        c.kind = 'F';
        const int r = n(100);
        c.name = r < 40 ? "CreateTextField" : r < 72 ? "CreatePicture" : r < 95 ? "CreateFilm" : "CreateCaption";
    } else if (roll < 175) {  // the canvas menu, on a free spot when there is one
        c.op = QStringLiteral("rclick");
        QPoint local;
        for (int tries = 0; tries < 20; ++tries) {
            canvasPoint();
            if (widgetAt(QPoint(c.x, c.y), &local) == m_fixture.window->canvas())
                break;
        }
        const int r = n(100);
        c.name = r < 40   ? "CreateFrame"
                 : r < 85 ? "CreateArrow"
                 : r < 91 ? "CanvasColourPopup"
                          : oneOf({"CreatePictureOnCanvas", "CreateCaptionOnCanvas", "CreateFilmOnCanvas"});
    } else if (roll < 260) {  // a command from an object's own menu
        c.op = QStringLiteral("rclick");
        c.kind = someKind(QStringLiteral("FPCTVA"));
        c.name = c.kind == 'F'   ? oneOf(kFrameItems)
                 : c.kind == 'P' ? oneOf(kPictureItems)
                 : c.kind == 'V' ? oneOf(kVideoItems)
                 : c.kind == 'C' ? oneOf(kCaptionItems)
                 : c.kind == 'A' ? oneOf(kArrowItems)
                 : c.kind == 'T' ? oneOf(kTextItems)
                                 : QStringLiteral("CreateFrame");
        if (c.kind == '-')
            canvasPoint();
        answerDialogs(c.name);
    } else if (roll < 350) {  // select with a click (sometimes a double click, which opens a menu)
        c.op = QStringLiteral("click");
        c.kind = someKind(QStringLiteral("FFPCTVA"));
        if (c.kind == '-' || n(5) == 0)
            canvasPoint();
        if (n(6) == 0)
            c.mods = QStringLiteral("d");
        if (c.kind == 'F' && n(4) == 0)
            c.mods += QLatin1Char('t');
    } else if (roll < 450) {  // move an object (or a frame by its title) with the mouse
        c.op = QStringLiteral("drag");
        c.kind = someKind(QStringLiteral("FFPCTVAA"));
        if (c.kind == '-')
            canvasPoint();
        const int r = n(100);
        // Now and then far beyond the canvas, to the limits of what an outline file can hold.
        const int reach = r < 25 ? 5 : r < 85 ? 150 : r < 97 ? 1200 : 40000;
        c.dx = between(-reach, reach);
        c.dy = between(-reach, reach);
        if (c.kind == 'F' && n(4) == 0)
            c.mods = QStringLiteral("t");
    } else if (roll < 490 && count('F')) {  // Alt-drop into a frame
        c.op = QStringLiteral("drag");
        c.kind = someKind(QStringLiteral("PCTV"));
        if (c.kind == '-')
            c.kind = 'F';
        c.mods = QStringLiteral("a");
        if (const auto from = target(c)) {
            const int frameSlot = n(count('F')) + 1;
            const QRect f = canvasRect('F', frameSlot);
            const QPoint to(f.x() + n(std::max(1, f.width())), f.y() + n(std::max(1, f.height())));
            c.dx = to.x() - from->x();
            c.dy = to.y() - from->y();
        }
    } else if (roll < 590) {  // drag a handle that is shown, or select something to get handles
        QStringList shown;
        for (const QString& h : kHandles)
            if (QWidget* w = m_fixture.window->selectionHandles()->component(h); w && w->isVisible())
                shown << h;
        if (shown.isEmpty()) {
            c.op = QStringLiteral("click");
            c.kind = someKind(QStringLiteral("FPTVA"));
            if (c.kind == '-')
                canvasPoint();
        } else {
            c.op = QStringLiteral("handle");
            c.name = oneOf(shown);
            const int reach = n(3) == 0 ? 6 : 120;
            c.dx = between(-reach, reach);
            c.dy = between(-reach, reach);
            // An arrow end is dropped on an object half the time, which attaches it there.
            if (c.name == "Panel23" || c.name == "Panel24")
                if (const char aim = someKind(QStringLiteral("FFPTV")); aim != '-' && n(2) == 0) {
                    const QRect r = canvasRect(aim, n(count(aim)) + 1);
                    const QPoint to(r.x() + n(std::max(1, r.width())), r.y() + n(std::max(1, r.height())));
                    const QPoint from =
                        m_fixture.window->selectionHandles()->component(c.name)->geometry().topLeft() + QPoint(3, 3);
                    c.dx = to.x() - from.x();
                    c.dy = to.y() - from.y();
                }
        }
    } else if (roll < 630 && count('T')) {  // type into a text field
        c.op = QStringLiteral("type");
        c.kind = 'T';
        for (int i = between(1, 8); i > 0; --i) {
            const int r = n(12);
            c.text += r == 0   ? QStringLiteral("\n")
                      : r == 1 ? QStringLiteral("\b")
                               : QString(kLetters.at(n(int(kLetters.size()))));
        }
    } else if (roll < 700) {
        c.name = QStringLiteral("Undo");
        n(4);  // once the menu item or the button, one action now; the draw keeps walks as they were
    } else if (roll < 745) {
        c.name = QStringLiteral("Redo");
        n(4);
    } else if (roll < 800) {  // the file commands
        const int r = n(100);
        c.name = r < 35   ? "Save"
                 : r < 55 ? "SaveAs"
                 : r < 80 ? "Open"
                 : r < 93 ? "NewOutline"
                 : r < 97 ? "ExportPicture"
                          : "Close";
        if (c.name == "NewOutline")
            c.text = text(20, false);
        else if (c.name == "ExportPicture")
            c.text = oneOf({"shot.jpg", "shot.bmp"}), c.value = between(1, 2);
        else if (c.name == "Open" && !m_savedFiles.isEmpty() && n(2))  // half the time, one saved before
            c.text = QFileInfo(m_savedFiles.keys().at(n(int(m_savedFiles.size())))).fileName();
        else
            c.text = oneOf({"a.vmd", "b.vmd", "c", "nofolder/d.vmd", "garbage.vmd"});
    } else if (roll < 830) {
        c.name = oneOf({"GridButton", "Grid", "GrowGrid", "ShrinkGrid", "ShrinkGrid"});
    } else if (roll < 850) {
        c.name = oneOf({"EditModeButton", "EditMode"});
    } else if (roll < 865) {
        c.name = oneOf({"FrameTitlesButton", "FrameTitles"});
    } else if (roll < 910) {
        c.name = oneOf({"ObjectSequenceButton", "FrameSequenceButton", "MoveLaterButton", "MoveEarlierButton",
                        "MoveLaterButton", "MoveEarlierButton", "FrameSequence", "ObjectSequence"});
    } else if (roll < 925) {
        c.name = oneOf({"CanvasColour", "CanvasColourButton", "ResetCanvasColour"});
    } else if (roll < 940) {
        if (n(2)) {
            c.name = oneOf({"ZoomButton", "Zoom"});
        } else {
            c.op = QStringLiteral("resize");
            c.dx = between(500, 1100);
            c.dy = between(400, 850);
        }
    } else if (roll < 950) {
        c.name = oneOf({"Summary", "Summary", "Help", "About"});
    } else if (roll < 975) {  // several objects at once: choose them, then copy, paste, align, move
        const int r = n(100);
        if (r < 25) {  // Ctrl+click or Shift+click adds an object to the group or takes it out
            c.op = QStringLiteral("click");
            c.kind = someKind(QStringLiteral("FFPTVA"));
            if (c.kind == '-')
                canvasPoint();
            c.mods = n(2) ? QStringLiteral("c") : QStringLiteral("s");
        } else if (r < 40) {  // a rubber band from a free spot
            c.op = QStringLiteral("band");
            canvasPoint();
            c.dx = between(-400, 400);
            c.dy = between(-300, 300);
            if (n(4) == 0)
                c.mods = QStringLiteral("c");
        } else if (r < 55) {  // the keys on the selection
            c.op = QStringLiteral("key");
            c.name = oneOf(kSelectionKeys);
            if (c.name == "deleteSelected")
                c.answer = n(3) ? 1 : 0;
        } else {
            c.name = oneOf(kGroupCommands);
        }
    } else {  // a click on an empty spot of the canvas
        c.op = QStringLiteral("click");
        canvasPoint();
    }
    if (c.op == QLatin1String("rclick") && c.kind == 'F' && c.name != QLatin1String("FrameTitlePopup") && n(5) == 0)
        c.mods = QStringLiteral("t");  // the title carries the frame's menu too
    return c;
}

// --- running ----------------------------------------------------------------------------------------

QRect CommandWalker::canvasRect(char kind, int slot)
{
    const Outline& o = doc().outline;
    const auto inFrame = [&o](QRect r, int parent) {
        return parent >= 1 && parent <= o.count(ObjectKind::Frame) ? r.translated(o.frame(parent).bounds.topLeft()) : r;
    };
    switch (kindFromLetter(kind)) {
    case ObjectKind::Frame: return o.frame(slot).bounds;
    case ObjectKind::Picture: return inFrame(o.picture(slot).bounds, o.picture(slot).parentFrame);
    case ObjectKind::Caption: return inFrame(o.caption(slot).bounds, o.caption(slot).parentFrame);
    case ObjectKind::TextField: return inFrame(o.textField(slot).bounds, o.textField(slot).parentFrame);
    case ObjectKind::Video: return inFrame(o.video(slot).bounds, o.video(slot).parentFrame);
    case ObjectKind::Arrow: break;
    }
    return {};
}

std::optional<QPoint> CommandWalker::target(const WalkCommand& c)
{
    if (c.kind == '-')
        return QPoint(c.x, c.y);
    const ObjectKind kind = kindFromLetter(c.kind);
    const int count = doc().outline.count(kind);
    if (count == 0)
        return std::nullopt;
    const int slot = c.index % count + 1;
    if (kind == ObjectKind::Arrow) {
        const ArrowObject& a = doc().outline.arrow(slot);
        return QPoint(a.x1 + (a.x2 - a.x1) * c.x / 1000, a.y1 + (a.y2 - a.y1) * c.x / 1000);
    }
    const QRect r = canvasRect(c.kind, slot);
    if (kind == ObjectKind::Frame && c.mods.contains(QLatin1Char('t')))
        return r.topLeft() + QPoint(8, 6);
    return QPoint(r.x() + std::max(0, r.width() - 1) * c.x / 1000, r.y() + std::max(0, r.height() - 1) * c.y / 1000);
}

QWidget* CommandWalker::widgetAt(QPoint canvasPoint, QPoint* local)
{
    CanvasWidget* canvas = m_fixture.window->canvas();
    // Events sent straight to a widget skip the window's own look-up, which limits the arrows
    // moved last to their strokes first.
    m_fixture.window->outlineView()->settleHitAreas();
    QWidget* w = canvas->childAt(canvasPoint);
    if (!w)
        w = canvas;
    *local = w->mapFrom(canvas, canvasPoint);
    return w;
}

void CommandWalker::press(QPoint canvasPoint, Qt::MouseButton button, const QString& mods)
{
    QPoint local;
    QWidget* w = widgetAt(canvasPoint, &local);
    Qt::KeyboardModifiers modifiers = mods.contains(QLatin1Char('a')) ? Qt::AltModifier : Qt::NoModifier;
    if (mods.contains(QLatin1Char('c')))
        modifiers |= Qt::ControlModifier;
    if (mods.contains(QLatin1Char('s')))
        modifiers |= Qt::ShiftModifier;
    QPointer<QWidget> guard(w);
    sendMouse(w, QEvent::MouseButtonPress, local, button, modifiers);
    if (guard)
        sendMouse(w, QEvent::MouseButtonRelease, local, button, modifiers);
    if (mods.contains(QLatin1Char('d')) && guard) {
        sendMouse(w, QEvent::MouseButtonDblClick, local, button, modifiers);
        if (guard)
            sendMouse(w, QEvent::MouseButtonRelease, local, button, modifiers);
    }
}

void CommandWalker::chooseFromPopup(const QString& name)
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu)
        return;
    QAction* chosen = m_fixture.command(name);
    for (QAction* action : menu->findChildren<QAction*>()) {
        if (action != chosen)
            continue;
        if (action->isEnabled() && (action->isVisible() || kHiddenCreators.contains(name))) {
            menu->hide();
            action->trigger();
        }
        return;
    }
}

void CommandWalker::typeInto(const WalkCommand& c)
{
    const int count = doc().outline.count(ObjectKind::TextField);
    if (count == 0)
        return;
    auto* field = qobject_cast<TextFieldWidget*>(m_fixture.widgetOf(doc().outline.textField(c.index % count + 1).id));
    if (!field)
        return;
    const QPoint centre = field->viewport()->rect().center();
    sendMouse(field->viewport(), QEvent::MouseButtonPress, centre, Qt::LeftButton);
    sendMouse(field->viewport(), QEvent::MouseButtonRelease, centre, Qt::LeftButton);
    field->setFocus(Qt::MouseFocusReason);
    QPointer<QWidget> guard(field);
    for (QChar ch : c.text) {
        if (!guard)
            break;
        if (ch == QLatin1Char('\n'))
            QTest::keyClick(field, Qt::Key_Return);
        else if (ch == QLatin1Char('\b'))
            QTest::keyClick(field, Qt::Key_Backspace);
        else {
            // Typed characters carry their text; the key code does not matter to a text box.
            QKeyEvent down(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(field, &down);
            QKeyEvent up(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            if (guard)
                QApplication::sendEvent(field, &up);
        }
    }
}

bool CommandWalker::reachable(QAction* action) const
{
    if (!action || !action->isEnabled() || !action->isVisible())
        return false;
    for (QObject* holder : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(holder))
            if (!reachable(menu->menuAction()) && menu->menuAction()->associatedObjects().size() > 0)
                return false;
    return true;
}

void CommandWalker::prepareDialogs(const WalkCommand& c)
{
    ScriptedDialogs& d = m_fixture.dialogs;
    const QMessageBox::StandardButton button = c.answer == 1   ? QMessageBox::Yes
                                               : c.answer == 2 ? QMessageBox::Cancel
                                                               : QMessageBox::No;
    d.answers.assign(4, button);
    const bool accept = c.answer == 1;
    d.inputs.assign(3, accept ? std::optional<QString>(c.text) : std::nullopt);
    const QString path = c.text.isEmpty() ? QString() : walkPath(c.text);
    d.files.assign(2, accept && !path.isEmpty()
                          ? std::optional<Dialogs::FileChoice>(Dialogs::FileChoice{path, int(c.value % 4)})
                          : std::nullopt);
    d.colours.assign(2, accept ? std::optional<QColor>(QColor::fromRgb(QRgb(c.value & 0xFFFFFF))) : std::nullopt);
    // Saving under the name of a file the walk saved before asks whether to replace it: an
    // accepted command says yes, so that the walk's files keep being written and read back.
    d.replaceChoice.assign(3, accept ? 0 : 1);
    QFont font(c.text.isEmpty() ? QStringLiteral("Arial") : c.text);
    font.setPointSize(std::max<int>(1, int(c.value % 100)));
    const int style = int(c.value / 100);
    font.setBold(style & 1);
    font.setItalic(style & 2);
    font.setUnderline(style & 4);
    font.setStrikeOut(style & 8);
    // Every other accepted font also changes the text colour.
    const QColor colour = style % 2 ? QColor::fromRgb(QRgb(c.value * 2654435761u & 0xFFFFFF)) : QColor();
    d.fonts.assign(2, accept ? std::optional<Dialogs::FontChoice>(Dialogs::FontChoice(font, colour)) : std::nullopt);
    m_minimalText = accept ? std::optional<QString>(c.text) : std::nullopt;
}

void CommandWalker::closeModal()
{
    // A press on a button with a drop-down menu (a tool button's) opens the menu's own loop.
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    if (modal->objectName() == QLatin1String("Form6") && m_minimalText)
        if (auto* memo = modal->findChild<QPlainTextEdit*>())
            memo->setPlainText(QString(*m_minimalText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    modal->close();
}

// --- known open faults ------------------------------------------------------------------------------
// Faults already reported and being fixed elsewhere, which the walk steps around so that it can
// look for new ones. Each entry names its fault; remove it when the fix lands.

void CommandWalker::stepAroundKnownFaults(WalkCommand& c)
{
    // 5. Moving and sizing frames and objects are not kept within the coordinates an outline
    //    file can hold, so a far drag makes a file that cannot be read back. Drags of objects and
    //    of their handles stop well inside that range.
    std::optional<QPoint> from;
    if (c.op == QLatin1String("drag") && c.kind != 'A')
        from = target(c);
    else if (c.op == QLatin1String("handle") && c.name != "Panel23" && c.name != "Panel24")
        if (QWidget* h = m_fixture.window->selectionHandles()->component(c.name))
            from = h->mapTo(m_fixture.window->canvas(), QPoint(3, 3));
    if (from) {
        constexpr int kFar = 16000;
        c.dx = std::clamp(from->x() + c.dx, -kFar, kFar) - from->x();
        c.dy = std::clamp(from->y() + c.dy, -kFar, kFar) - from->y();
    }
}

void CommandWalker::run(const WalkCommand& command)
{
    WalkCommand c = command;
    m_stepBefore = doc().history.currentStep;
    m_beforeFileCommand.reset();
    // Any command may start a new history: a click that lands on the tool bar's New button does.
    m_historyStarted = false;
    // And write a file, through the tool bar's Save button.
    m_stampsBefore = fileStamps();
    if (isFileCommand(c)) {
        m_beforeFileCommand = snapshot();
        m_savesAsOpened = m_fixture.window->documents().savesAsOpened();
        m_modifiedBefore = doc().state.modified;
    }
    prepareDialogs(c);
    stepAroundKnownFaults(c);
    m_modalCloser.start();
    if (c.op == QLatin1String("click") || c.op == QLatin1String("rclick")) {
        if (const auto p = target(c)) {
            press(*p, c.op == QLatin1String("click") ? Qt::LeftButton : Qt::RightButton, c.mods);
            if (c.op == QLatin1String("rclick"))
                chooseFromPopup(c.name);
        }
    } else if (c.op == QLatin1String("drag")) {
        if (const auto p = target(c)) {
            QPoint local;
            QWidget* w = widgetAt(*p, &local);
            dragWidget(w, local, local + QPoint(c.dx, c.dy),
                       c.mods.contains(QLatin1Char('a')) ? Qt::AltModifier : Qt::NoModifier);
        }
    } else if (c.op == QLatin1String("handle")) {
        QWidget* h = m_fixture.window->selectionHandles()->component(c.name);
        if (h && h->isVisible())
            dragWidget(h, QPoint(3, 3), QPoint(3 + c.dx, 3 + c.dy));
    } else if (c.op == QLatin1String("type")) {
        typeInto(c);
    } else if (c.op == QLatin1String("action")) {
        QAction* action = m_fixture.window->command(c.name);
        if (reachable(action))
            action->trigger();
    } else if (c.op == QLatin1String("band")) {
        QPoint local;
        QWidget* w = widgetAt(QPoint(c.x, c.y), &local);
        if (w == m_fixture.window->canvas())
            dragWidget(w, local, local + QPoint(c.dx, c.dy),
                       c.mods.contains(QLatin1Char('c')) ? Qt::ControlModifier : Qt::NoModifier);
    } else if (c.op == QLatin1String("key")) {
        if (auto* key = m_fixture.window->findChild<QAction*>(c.name))
            key->trigger();
    } else if (c.op == QLatin1String("resize")) {
        m_fixture.window->resize(c.dx, c.dy);
    }
    m_modalCloser.stop();
    settle();
    if (kGroupCommands.contains(c.name) || c.op == QLatin1String("band") || c.op == QLatin1String("key"))
        ++m_counts[QStringLiteral("group and clipboard commands")];
    const int group = int(doc().interaction.group.size());
    m_counts[QStringLiteral("largest group")] = std::max(m_counts.value(QStringLiteral("largest group")), group);
}

void CommandWalker::settle()
{
    for (int i = 0; i < 10 && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != m_fixture.window.get() && w->isVisible() && !qobject_cast<QMenu*>(w))
            w->close();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ScriptedDialogs& d = m_fixture.dialogs;
    d.answers.clear();
    d.inputs.clear();
    d.files.clear();
    d.replaceChoice.clear();
    d.colours.clear();
    d.fonts.clear();
}

// --- checking -----------------------------------------------------------------------------------------

CommandWalker::Snapshot CommandWalker::snapshot()
{
    // The window's size as it is, which is what saving stores.
    return {doc().outline, doc().state.outlineName, doc().state.canvasColour, m_fixture.window->frameGeometry().size()};
}

QStringList CommandWalker::check(const WalkCommand& c, bool thorough)
{
    QStringList out;
    if (!m_fixture.window->isVisible())
        out << QStringLiteral("the main window is gone");
    out << modelViolations(doc()) << windowViolations(*m_fixture.window);
    // An object made while the reading order was full stays out of it, also once deleting others
    // makes room again (the order is the user's to extend), and so it is saved and reopened: once
    // an outline of the walk has held more of them than the order has places, one missing is no
    // fault.
    const Outline& o = doc().outline;
    if (o.count(ObjectKind::Picture) + o.count(ObjectKind::TextField) + o.count(ObjectKind::Video)
        > Sequence::kCapacity)
        m_objectOrderOverflowed = true;
    if (m_objectOrderOverflowed)
        out.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("object sequence lacks ")); });
    if (!out.isEmpty())
        return out;
    ++m_counts[QStringLiteral("commands checked")];
    int objects = 0;
    for (ObjectKind kind : {ObjectKind::Frame, ObjectKind::Picture, ObjectKind::Caption, ObjectKind::TextField,
                            ObjectKind::Video, ObjectKind::Arrow})
        objects += doc().outline.count(kind);
    m_counts[QStringLiteral("most objects")] = std::max(m_counts.value(QStringLiteral("most objects")), objects);
    int attached = 0;
    for (const ArrowObject& a : doc().outline.objects<ArrowObject>())
        attached += int(a.startAttachment.attached()) + int(a.endAttachment.attached());
    m_counts[QStringLiteral("most arrow ends attached")] =
        std::max(m_counts.value(QStringLiteral("most arrow ends attached")), attached);

    const HistoryState& h = doc().history;
    const bool historyMove = c.op == QLatin1String("action") && (c.name == "Undo" || c.name == "Redo");
    const bool fileCommand = isFileCommand(c);
    const auto compare = [&out](const Snapshot& expected, const Snapshot& live, const QString& what, bool window) {
        const QStringList d = storedDifferences(
            {&expected.outline, expected.name, expected.canvasColour, window ? expected.windowSize : QSize()},
            {&live.outline, live.name, live.canvasColour, window ? live.windowSize : QSize()});
        for (const QString& line : d)
            out << what + QStringLiteral(": ") + line;
    };

    if (historyMove && h.currentStep != m_stepBefore) {
        // A step revisited by undo or redo shows the outline as it was when the step was recorded.
        if (m_steps.contains(h.currentStep) && ++m_counts[QStringLiteral("steps revisited and compared")])
            compare(m_steps.value(h.currentStep), snapshot(), QStringLiteral("step %1 revisited").arg(h.currentStep),
                    false);
    } else if (historyRestarted()) {
        // New or Open started a history of its own.
        m_steps.clear();
        m_steps.insert(0, snapshot());
        m_opened.reset();
        if (c.name == "Open") {
            const QSize chrome = m_fixture.window->frameGeometry().size() - m_fixture.window->canvas()->size();
            const LoadResult read = readOutlineFile(doc().state.fileName, chrome);
            if (read.ok && read.windowSize.isValid() && !read.windowSize.isEmpty())
                m_opened = Opened{read.outline, h.currentStep};
        }
    } else if (h.currentStep > m_stepBefore) {
        // The steps above the one the command started from are gone; the last one recorded holds
        // the outline as it is now.
        for (auto it = m_steps.begin(); it != m_steps.end();)
            it = it.key() > m_stepBefore ? m_steps.erase(it) : std::next(it);
        m_steps.insert(h.currentStep, snapshot());
        m_counts[QStringLiteral("steps recorded")] += h.currentStep - m_stepBefore;
    }

    if (fileCommand) {
        checkFileCommand(c, out);
    } else {
        // A file written by a command the walk did not mean as a file command (a click that met
        // a tool bar button) holds an outline the walk did not note down: it is not compared
        // when reopened.
        const QMap<QString, QString> stamps = fileStamps();
        for (auto it = stamps.cbegin(); it != stamps.cend(); ++it)
            if (m_stampsBefore.value(it.key()) != it.value())
                m_savedFiles.remove(it.key());
    }
    if (thorough) {
        const QString path = walkPath(QStringLiteral("roundtrip%1.vmd").arg(m_roundTrips++ % 2));
        const QSize chrome = m_fixture.window->frameGeometry().size() - m_fixture.window->canvas()->size();
        ++m_counts[QStringLiteral("save → load round trips")];
        for (const QString& line : roundTripDifferences(doc(), path, chrome))
            out << QStringLiteral("save → load: ") + line;
    }
    return out;
}

// New and Open that went through (from the menu, or a click that met the tool bar's button) start
// a history of their own with a new step 0.
bool CommandWalker::historyRestarted() const { return m_historyStarted; }

QString CommandWalker::stamp(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1 %2.%3 %4").arg(st.st_ino).arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec).arg(st.st_size);
}

QMap<QString, QString> CommandWalker::fileStamps() const
{
    QMap<QString, QString> stamps;
    for (const QFileInfo& info : QDir(m_folder).entryInfoList({QStringLiteral("*.vmd")}, QDir::Files))
        stamps.insert(info.absoluteFilePath(), stamp(info.absoluteFilePath()));
    return stamps;
}

// A file written by the command holds the outline as it was saved: the outline after Save and
// Save as, the one before the command when New, Open or Close saved it on the way. A file opened
// gives back the outline it was saved with.
void CommandWalker::checkFileCommand(const WalkCommand& c, QStringList& out)
{
    const QSize chrome = m_fixture.window->frameGeometry().size() - m_fixture.window->canvas()->size();
    const QMap<QString, QString> stamps = fileStamps();
    for (auto it = stamps.cbegin(); it != stamps.cend(); ++it) {
        if (m_stampsBefore.value(it.key()) == it.value())
            continue;
        const QString name = QFileInfo(it.key()).fileName();
        Snapshot saved = c.name == "Save" || c.name == "SaveAs" ? snapshot() : *m_beforeFileCommand;
        // An outline shown scaled to fit the window is saved in its own layout.
        saved.outline = ownLayoutOf(saved.outline);
        // Unedited since it was opened, the outline is saved as its file held it: what opening
        // adjusted (the fit to this window, the grid, what lay under the tool bar) and a grid
        // changed since are the program's, not the user's, and no change of the file.
        if (m_savesAsOpened && (c.name == "Save" || c.name == "SaveAs")) {
            if (!m_opened || m_modifiedBefore || m_stepBefore != m_opened->step)
                out << QStringLiteral("%1 saved as opened, although the outline was edited since").arg(name);
            else if (++m_counts[QStringLiteral("files saved as opened")])
                saved.outline = m_opened->outline;
        }
        const LoadResult loaded = readOutlineFile(it.key(), chrome);
        // Saving on the way (New, Open, Close) may have asked for a name, which renames the outline.
        if (c.name != "Save" && c.name != "SaveAs")
            saved.name = loaded.outlineName;
        ++m_counts[QStringLiteral("files saved and read back")];
        if (!loaded.ok) {
            out << QStringLiteral("saved %1 cannot be read: %2").arg(name, loaded.message);
            continue;
        }
        // The window's size is left out: an opened window is kept on the screen (shrunk when the
        // screen is smaller) while the file keeps the stored size; the round trip checks it.
        for (const QString& line :
             storedDifferences({&saved.outline, saved.name, saved.canvasColour, QSize()},
                               {&loaded.outline, loaded.outlineName, loaded.canvasColour, QSize()}))
            out << QStringLiteral("saved %1: ").arg(name) + line;
        m_savedFiles.insert(it.key(), saved);
    }
    const QString chosen = QFileInfo(walkPath(c.text)).absoluteFilePath();
    if (c.name == "Open" && historyRestarted() && !doc().state.fileName.isEmpty()
        && QFileInfo(doc().state.fileName).absoluteFilePath() == chosen && m_savedFiles.contains(chosen)) {
        ++m_counts[QStringLiteral("files reopened and compared")];
        Snapshot expected = m_savedFiles[chosen];
        const Snapshot live = snapshot();
        // A stored window the screen cannot give (the walk makes windows larger than the screen)
        // is clamped, and the outline is shown whole in the canvas it got, at one scale for both
        // axes; a larger canvas (a maximised window) zooms it as the zoom does, if it is on.
        const QSize madeFor = readOutlineFile(chosen, chrome).outline.clientSize();
        const QSize canvas = m_fixture.window->canvas()->size();
        const bool smaller = canvas.width() < madeFor.width() || canvas.height() < madeFor.height();
        if (madeFor != canvas && madeFor.height() > kZoomClientHeightOffset) {
            recordReferenceLayout(expected.outline, madeFor);
            if (smaller)
                showOwnLayout(expected.outline,
                              std::min(1.0, fittingScale(expected.outline.referenceClientSize(), canvas)),
                              doc().session.gridStep);
            else if (m_fixture.command(Command::ZoomButton)->isChecked())
                rescaleOutline(expected.outline, canvas, doc().session.gridStep);
        }
        // Opening ends with a history step, which snaps the outline to the grid when it is on.
        if (m_fixture.command(Command::GridButton)->isChecked())
            snapToGrid(expected.outline, doc().session.gridStep);
        for (const QString& line : storedDifferences({&expected.outline, expected.name, expected.canvasColour, QSize()},
                                                     {&live.outline, live.name, live.canvasColour, QSize()}))
            out << QStringLiteral("reopened %1: ").arg(c.text) + line;
    }
}
