#include "show/presenter_view.h"

#include "platform/dialogs.h"
#include "show/presentation_window.h"
#include "show/show_report.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTime>
#include <QWheelEvent>

#include <cstdio>

namespace velmar {

namespace {

const QColor kBackground(24, 24, 24);
const QColor kCaption(170, 170, 170);
constexpr int kMargin = 16;
constexpr int kCaptionHeight = 24;

QSize startSize(QScreen* screen) { return screen ? screen->geometry().size() : QSize(1024, 768); }

// Draws a step picture into `box`, the picture's own (0, 0) at the box's corner.
void paintStep(QPainter& painter, const PresentationPicture& picture, const QRect& box, const QRect& exposed)
{
    const QRect part = exposed.intersected(box);
    if (part.isEmpty())
        return;
    painter.save();
    painter.setClipRect(part);
    painter.translate(box.topLeft());
    picture.paint(painter, part.translated(-box.topLeft()));
    painter.restore();
}

}  // namespace

QScreen* PresenterView::audienceScreen(QScreen* home)
{
    if (!home)
        home = QGuiApplication::primaryScreen();
    for (QScreen* s : QGuiApplication::screens())
        if (s != home && !s->geometry().isEmpty())
            return s;
    return nullptr;
}

PresenterView::PresenterView(const Document& document, QSize clientSize, PresentationWindow* show, QScreen* screen)
    : QWidget(show, Qt::Window | Qt::FramelessWindowHint), m_show(show),
      m_current(document, clientSize, startSize(screen)), m_next(document, clientSize, startSize(screen))
{
    setObjectName(QStringLiteral("presenterView"));
    setWindowTitle(QCoreApplication::translate("PresenterView", "Показ конспекта — ведущий"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    if (screen) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    m_started.start();
    // The clock shows seconds: it is redrawn every second, the pictures only when the step moves.
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        update(clockRect());
        reportIfAsked();
    });
    m_tick.start();
    // The countdown's buttons take no keyboard: the keys go on driving the show.
    const auto button = [this](const char* name, const QString& caption, auto slot) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    m_setButton =
        button("countdownSet", QCoreApplication::translate("PresenterView", "Таймер..."), [this] { askCountdown(); });
    m_pauseButton = button("countdownPause", QCoreApplication::translate("PresenterView", "Пауза"),
                           [this] { toggleCountdownPause(); });
    m_resetButton =
        button("countdownReset", QCoreApplication::translate("PresenterView", "Сброс"), [this] { resetCountdown(); });
    m_pauseButton->setEnabled(false);
    m_resetButton->setEnabled(false);
    connect(show, &PresentationWindow::shownChanged, this, &PresenterView::follow);
    connect(show, &PresentationWindow::inkChanged, this, &PresenterView::followInk);
    // The keyboard stays with the presenter: the show, made active as it is shown (or when its
    // screen is clicked), hands it back. Keys given here reach the show all the same.
    show->installEventFilter(this);
    follow();
}

bool PresenterView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_show && event->type() == QEvent::WindowActivate && isVisible())
        QTimer::singleShot(0, this, [this] { activateWindow(); });
    return QWidget::eventFilter(watched, event);
}

QRect PresenterView::clockRect() const
{
    return QRect(kMargin, kMargin, width() - 2 * kMargin, std::max(32, height() / 14));
}

QRect PresenterView::currentRect() const
{
    const int top = clockRect().bottom() + 1 + kMargin + kCaptionHeight;
    const int w = (width() - 3 * kMargin) * 6 / 10;
    return QRect(kMargin, top, std::max(1, w), std::max(1, height() - top - kMargin));
}

QRect PresenterView::nextRect() const
{
    const QRect cur = currentRect();
    const int left = cur.right() + 1 + kMargin;
    const int w = std::max(1, width() - left - kMargin);
    return QRect(left, cur.top(), w, std::max(1, std::min(cur.height() / 2, w * 3 / 4)));
}

QRect PresenterView::textRect() const
{
    const QRect next = nextRect();
    const int top = next.bottom() + 1 + kMargin + kCaptionHeight;
    return QRect(next.left(), top, next.width(), std::max(1, currentRect().bottom() - top));
}

QString PresenterView::stepText() const
{
    return QStringLiteral("%1 / %2").arg(m_current.step()).arg(m_current.order().lastStep());
}

QString PresenterView::minimalText() const
{
    const int step = m_current.step();
    return step == 0 ? m_current.renderer().document().state.outlineName : m_current.order().step(step).subtitle;
}

QString PresenterView::clockText() const { return QTime::currentTime().toString(QStringLiteral("HH:mm")); }

QString PresenterView::elapsedText() const
{
    const qint64 s = m_started.elapsed() / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void PresenterView::follow()
{
    const int step = m_show->picture().step();
    m_current.setStep(step);
    m_next.setStep(step + 1);
    m_ink.sync(m_show->ink(), step);
    update();
}

void PresenterView::followInk()
{
    const QRect changed = m_ink.sync(m_show->ink(), m_current.step());
    update(changed.translated(currentRect().topLeft()) & currentRect());
}

void PresenterView::resizeEvent(QResizeEvent*)
{
    m_current.setScreenSize(currentRect().size());
    m_next.setScreenSize(nextRect().size());
    m_ink.setTarget(currentRect().size(), m_current.outlineToScreen());
    m_ink.sync(m_show->ink(), m_current.step());
    placeButtons();
    update();
}

void PresenterView::placeButtons()
{
    if (!m_setButton)
        return;  // sized before the buttons were made
    // In the caption line above the next step, at its right end.
    const QRect next = nextRect();
    int right = next.right();
    for (QPushButton* b : {m_resetButton, m_pauseButton, m_setButton}) {
        const QSize size(std::max(b->sizeHint().width(), 80), kCaptionHeight - 2);
        b->setGeometry(QRect(QPoint(right - size.width() + 1, next.top() - kCaptionHeight), size));
        right -= size.width() + 6;
    }
}

QRect PresenterView::countdownRect() const
{
    const QRect clock = clockRect();
    return QRect(clock.left() + clock.width() / 3, clock.top(), clock.width() / 4, clock.height());
}

qint64 PresenterView::countdownLeft() const
{
    const qint64 spent = m_countdownSpent + (m_countdownRunning ? m_countdownRun.elapsed() : 0);
    return m_countdownTotal - spent;
}

QString PresenterView::countdownText() const
{
    if (!countdownSet())
        return {};
    // Whole seconds left, rounded up, so that "0:00" shows the moment the time is up.
    const qint64 left = countdownLeft();
    const qint64 s = left > 0 ? (left + 999) / 1000 : -left / 1000;
    const QString time = QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    return left > 0 || s == 0 ? time : QStringLiteral("\u2212") + time;
}

void PresenterView::setCountdown(qint64 seconds)
{
    m_countdownTotal = std::max<qint64>(0, seconds) * 1000;
    m_countdownSpent = 0;
    m_countdownRunning = m_countdownTotal > 0;
    m_countdownRun.start();
    m_pauseButton->setEnabled(countdownSet());
    m_resetButton->setEnabled(countdownSet());
    m_pauseButton->setText(QCoreApplication::translate("PresenterView", "Пауза"));
    update(clockRect());
    reportIfAsked();
}

void PresenterView::toggleCountdownPause()
{
    if (!countdownSet())
        return;
    if (m_countdownRunning) {
        m_countdownSpent += m_countdownRun.elapsed();
        m_countdownRunning = false;
    } else {
        m_countdownRun.start();
        m_countdownRunning = true;
    }
    m_pauseButton->setText(m_countdownRunning ? QCoreApplication::translate("PresenterView", "Пауза")
                                              : QCoreApplication::translate("PresenterView", "Пуск"));
    update(clockRect());
    reportIfAsked();
}

void PresenterView::resetCountdown()
{
    if (!countdownSet())
        return;
    m_countdownSpent = 0;
    m_countdownRunning = false;
    m_pauseButton->setText(QCoreApplication::translate("PresenterView", "Пуск"));
    update(clockRect());
    reportIfAsked();
}

void PresenterView::askCountdown()
{
    const qint64 minutes = countdownSet() ? m_countdownTotal / 60000 : 10;
    const auto answer = dialogs().inputText(
        this, QCoreApplication::translate("PresenterView", "Таймер"),
        QCoreApplication::translate("PresenterView", "Сколько минут осталось (или мм:сс):"), QString::number(minutes));
    if (!answer)
        return;
    // "15" minutes, or "7:30" minutes and seconds.
    static const QRegularExpression time(QStringLiteral("^\\s*(\\d{1,3})(?::(\\d{1,2}))?\\s*$"));
    const QRegularExpressionMatch m = time.match(*answer);
    if (!m.hasMatch() || m.captured(2).toInt() >= 60) {
        dialogs().inform(this, QCoreApplication::translate("PresenterView", "Таймер"),
                         QCoreApplication::translate("PresenterView", "Введите минуты, например 15, или 7:30."),
                         QMessageBox::Warning);
        return;
    }
    setCountdown(m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong());
}

void PresenterView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, kBackground);

    // The top line: the step, the time of day and the time since the start.
    const QRect clock = clockRect();
    QFont big = font();
    big.setPixelSize(clock.height() * 7 / 10);
    painter.setFont(big);
    painter.setPen(Qt::white);
    painter.drawText(clock, Qt::AlignLeft | Qt::AlignVCenter,
                     QCoreApplication::translate("PresenterView", "Шаг %1").arg(stepText()));
    painter.drawText(clock, Qt::AlignRight | Qt::AlignVCenter,
                     QCoreApplication::translate("PresenterView", "%1    прошло %2").arg(clockText(), elapsedText()));
    if (countdownSet()) {
        // Red once the time is up, grey while paused.
        const qint64 left = countdownLeft();
        painter.setPen(left <= 0 ? QColor(255, 80, 80) : m_countdownRunning ? QColor(120, 220, 120) : kCaption);
        painter.drawText(countdownRect(), Qt::AlignCenter,
                         QCoreApplication::translate("PresenterView", "осталось %1").arg(countdownText()));
        painter.setPen(Qt::white);
    }

    QFont caption = font();
    caption.setPixelSize(kCaptionHeight * 6 / 10);
    painter.setFont(caption);
    painter.setPen(kCaption);
    const auto captionAbove = [&](const QRect& box, const QString& text) {
        painter.drawText(QRect(box.left(), box.top() - kCaptionHeight, box.width(), kCaptionHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    const PresentationWindow::Blank blank = m_show->blank();
    captionAbove(currentRect(), blank == PresentationWindow::Blank::Black
                                    ? QCoreApplication::translate("PresenterView", "Сейчас (экран зрителей чёрный)")
                                : blank == PresentationWindow::Blank::White
                                    ? QCoreApplication::translate("PresenterView", "Сейчас (экран зрителей белый)")
                                    : QCoreApplication::translate("PresenterView", "Сейчас"));
    captionAbove(nextRect(), QCoreApplication::translate("PresenterView", "Далее"));
    captionAbove(textRect(), QCoreApplication::translate("PresenterView", "Минимальный текст"));

    paintStep(painter, m_current, currentRect(), exposed);
    if (const QRect part = exposed & currentRect(); !part.isEmpty()) {
        // What the presenter drew on the show, over the step it belongs to.
        painter.save();
        painter.setClipRect(part);
        painter.translate(currentRect().topLeft());
        m_ink.paint(painter, part.translated(-currentRect().topLeft()));
        painter.restore();
    }
    if (m_current.step() < m_current.order().lastStep()) {
        paintStep(painter, m_next, nextRect(), exposed);
    } else {
        painter.setPen(kCaption);
        painter.drawRect(nextRect().adjusted(0, 0, -1, -1));
        painter.drawText(nextRect(), Qt::AlignCenter, QCoreApplication::translate("PresenterView", "Конец показа"));
    }

    // The minimal text with its own line breaks, wrapped to the column.
    QFont text = font();
    text.setPixelSize(std::max(14, textRect().width() / 22));
    painter.setFont(text);
    painter.setPen(Qt::white);
    painter.drawText(textRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, minimalText());
    painter.end();
    reportIfAsked();
}

void PresenterView::keyPressEvent(QKeyEvent* event)
{
    // The presenter's keyboard drives the show.
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat(),
                   ushort(event->count()));
    QCoreApplication::sendEvent(m_show, &copy);
    event->accept();
}

void PresenterView::wheelEvent(QWheelEvent* event)
{
    QWheelEvent copy(event->position(), event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                     event->buttons(), event->modifiers(), event->phase(), event->inverted());
    QCoreApplication::sendEvent(m_show, &copy);
    event->accept();
}

void PresenterView::closeEvent(QCloseEvent* event)
{
    // Closing the presenter's window ends the show.
    QWidget::closeEvent(event);
    if (m_show->isVisible())
        m_show->close();
}

void PresenterView::reportIfAsked()
{
    if (!showReportAsked())
        return;
    const auto global = [this](const QRect& r) {
        const QPoint p = mapToGlobal(r.topLeft());
        return QStringLiteral("%1 %2 %3 %4").arg(p.x()).arg(p.y()).arg(r.width()).arg(r.height());
    };
    const QRect outline = m_current.outlineRect().translated(currentRect().topLeft());
    const QString line =
        QStringLiteral("presenter step %1 of %2 window %3 current %4 next %5 text %6 screen %7 countdown %8 running %9 "
                       "strokes %10")
            .arg(m_current.step())
            .arg(m_current.order().lastStep())
            .arg(global(rect()), global(outline), global(nextRect()), global(textRect()))
            .arg(QGuiApplication::screens().indexOf(screen()))
            .arg(countdownSet() ? countdownText() : QStringLiteral("-"))
            .arg(m_countdownRunning ? 1 : 0)
            .arg(m_show->ink().strokes(m_current.step()).size());
    if (line != m_reported) {
        // Where the countdown's buttons are, for a driver that clicks them.
        for (const QPushButton* b : {m_setButton, m_pauseButton, m_resetButton})
            std::printf("presenter-button %s %s\n", qPrintable(b->objectName()), qPrintable(global(b->geometry())));
    }
    printReportLine(line, m_reported);
}

}  // namespace velmar
