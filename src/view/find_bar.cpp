#include "view/find_bar.h"

#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "platform/command_guard.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace velmar {

namespace {

QString fieldName(SearchField field)
{
    switch (field) {
    case SearchField::Title: return QCoreApplication::translate("FindBar", "название");
    case SearchField::Text: return QCoreApplication::translate("FindBar", "текст");
    case SearchField::MinimalText: return QCoreApplication::translate("FindBar", "минимальный текст");
    case SearchField::FilmName: return QCoreApplication::translate("FindBar", "имя файла фильма");
    }
    return {};
}

// A place in a stored text (CR LF line breaks) as a place in the text box, which has one
// character per line break.
int widgetPlace(const QString& stored, int place)
{
    return place - int(stored.left(place).count(QLatin1String("\r\n")));
}

QPushButton* button(const char* name, const char* caption, QWidget* parent)
{
    auto* b = new QPushButton(QCoreApplication::translate("FindBar", caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);  // the keyboard stays in the words
    b->setAutoDefault(false);
    return b;
}

}  // namespace

FindBar::FindBar(CanvasHost& host, CanvasController* controller, OutlineView* view, CanvasWidget* canvas,
                 QWidget* window)
    : QFrame(window), m_host(host), m_controller(controller), m_view(view), m_canvas(canvas)
{
    setObjectName(QStringLiteral("findBar"));
    setAccessibleName(QCoreApplication::translate("FindBar", "Поиск"));
    // A press in the bar keeps the keyboard in the bar instead of giving it to the canvas.
    setProperty("keepsKeyboard", true);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    auto* findLabel = new QLabel(QCoreApplication::translate("FindBar", "Найти:"), this);
    m_words = new QLineEdit(this);
    m_words->setObjectName(QStringLiteral("findWords"));
    m_words->setAccessibleName(QCoreApplication::translate("FindBar", "Что найти"));
    m_words->setClearButtonEnabled(true);
    m_words->setMinimumWidth(180);
    findLabel->setBuddy(m_words);
    QPushButton* previous = button("findPreviousButton", QT_TRANSLATE_NOOP("FindBar", "Назад"), this);
    QPushButton* next = button("findNextButton", QT_TRANSLATE_NOOP("FindBar", "Далее"), this);
    QPushButton* shut = button("findCloseButton", QT_TRANSLATE_NOOP("FindBar", "Закрыть"), this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("findStatus"));
    m_status->setMinimumWidth(150);

    auto* replaceLabel = new QLabel(QCoreApplication::translate("FindBar", "Заменить на:"), this);
    m_replacement = new QLineEdit(this);
    m_replacement->setObjectName(QStringLiteral("replaceWords"));
    m_replacement->setAccessibleName(QCoreApplication::translate("FindBar", "Чем заменить"));
    replaceLabel->setBuddy(m_replacement);
    QPushButton* replace = button("replaceButton", QT_TRANSLATE_NOOP("FindBar", "Заменить"), this);
    QPushButton* replaceAll = button("replaceAllButton", QT_TRANSLATE_NOOP("FindBar", "Заменить все"), this);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(findLabel);
    findRow->addWidget(m_words, 1);
    findRow->addWidget(previous);
    findRow->addWidget(next);
    findRow->addWidget(m_status);
    findRow->addWidget(shut);
    m_replaceRow = new QWidget(this);
    auto* replaceRow = new QHBoxLayout(m_replaceRow);
    replaceRow->setContentsMargins(0, 0, 0, 0);
    replaceRow->addWidget(replaceLabel);
    replaceRow->addWidget(m_replacement, 1);
    replaceRow->addWidget(replace);
    replaceRow->addWidget(replaceAll);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->setSpacing(3);
    rows->addLayout(findRow);
    rows->addWidget(m_replaceRow);

    const auto guarded = [this](void (FindBar::*command)()) {
        return [this, command] { runGuarded(this, [&] { (this->*command)(); }); };
    };
    connect(previous, &QPushButton::clicked, this, guarded(&FindBar::findPrevious));
    connect(next, &QPushButton::clicked, this, guarded(&FindBar::findNext));
    connect(shut, &QPushButton::clicked, this, &FindBar::closeBar);
    connect(replace, &QPushButton::clicked, this, guarded(&FindBar::replaceCurrent));
    connect(replaceAll, &QPushButton::clicked, this, guarded(&FindBar::replaceAll));
    // Typing looks for the words from the place shown on, as they grow.
    connect(m_words, &QLineEdit::textEdited, this, [this] { runGuarded(this, [this] { step(+1, true); }); });
    m_words->installEventFilter(this);
    m_replacement->installEventFilter(this);
    connect(canvas, &CanvasWidget::resized, this, &FindBar::place);
    hide();
}

void FindBar::place()
{
    adjustSize();
    const QSize size = sizeHint().boundedTo(QSize(std::max(200, m_canvas->width() - 16), 200));
    // In the bottom right corner, where an outline's frames and titles are least often.
    const QPoint corner =
        m_canvas->mapTo(parentWidget(), QPoint(m_canvas->width() - size.width() - 8,
                                               std::max(kToolBarHeight + 4, m_canvas->height() - size.height() - 8)));
    setGeometry(QRect(corner, size));
    raise();
}

void FindBar::open(bool replacing)
{
    m_replaceRow->setVisible(replacing || (isVisible() && m_replaceRow->isVisible()));
    show();
    place();
    m_words->setFocus(Qt::ShortcutFocusReason);
    m_words->selectAll();
    emit changed();
}

void FindBar::unmark()
{
    if (!m_marked)
        return;
    QTextCursor cursor = m_marked->textCursor();
    cursor.clearSelection();
    m_marked->setTextCursor(cursor);
    m_marked = nullptr;
}

void FindBar::closeBar()
{
    unmark();
    hide();
    m_current.reset();
    m_status->clear();
    m_canvas->setFocus(Qt::OtherFocusReason);
    emit changed();
}

void FindBar::forgetPlace()
{
    unmark();
    m_current.reset();
    m_status->clear();
    emit changed();
}

void FindBar::findNext()
{
    if (!isVisible() || m_words->text().isEmpty()) {
        open(false);
        if (m_words->text().isEmpty())
            return;
    }
    step(+1, false);
}

void FindBar::findPrevious()
{
    if (!isVisible() || m_words->text().isEmpty()) {
        open(false);
        if (m_words->text().isEmpty())
            return;
    }
    step(-1, false);
}

void FindBar::step(int direction, bool fromCurrent)
{
    const std::vector<SearchHit> hits = findInOutline(m_host.document().outline, m_words->text());
    if (hits.empty()) {
        showNothingFound();
        return;
    }
    const int count = int(hits.size());
    int index = direction > 0 ? 0 : count - 1;  // from the start, or round the outline
    if (m_current) {
        const SearchHit& at = *m_current;
        if (direction > 0) {
            const auto it = std::find_if(hits.begin(), hits.end(), [&](const SearchHit& h) {
                return fromCurrent ? !comesBefore(h, at) : comesBefore(at, h);
            });
            if (it != hits.end())
                index = int(it - hits.begin());
        } else {
            const auto it =
                std::find_if(hits.rbegin(), hits.rend(), [&](const SearchHit& h) { return comesBefore(h, at); });
            if (it != hits.rend())
                index = count - 1 - int(it - hits.rbegin());
        }
    }
    showHit(hits[std::size_t(index)], index, count);
}

void FindBar::showHit(const SearchHit& hit, int index, int count)
{
    m_current = hit;
    m_words->setStyleSheet(QString());
    m_status->setText(
        QCoreApplication::translate("FindBar", "%1 из %2: %3").arg(index + 1).arg(count).arg(fieldName(hit.field)));
    m_controller->selectObject(hit.object);
    unmark();
    // In a text, the words themselves are marked and scrolled into sight.
    if (hit.field == SearchField::Text)
        if (auto* text = qobject_cast<TextFieldWidget*>(m_view->widget(hit.object))) {
            m_marked = text;
            const QString stored = textOfHit(m_host.document().outline, hit);
            const int from = widgetPlace(stored, hit.start), to = widgetPlace(stored, hit.start + hit.length);
            QTextCursor cursor(text->document());
            cursor.setPosition(from);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            text->setTextCursor(cursor);
            text->ensureCursorVisible();
        }
    // The keyboard stays in the bar for the next place.
    if (isVisible() && !m_replacement->hasFocus())
        m_words->setFocus(Qt::OtherFocusReason);
    emit changed();
}

void FindBar::showNothingFound()
{
    unmark();
    m_current.reset();
    m_status->setText(m_words->text().isEmpty() ? QString() : QCoreApplication::translate("FindBar", "Не найдено"));
    m_words->setStyleSheet(m_words->text().isEmpty() ? QString()
                                                     : QStringLiteral("QLineEdit { background: #FFD8D8; }"));
    emit changed();
}

void FindBar::replaceCurrent()
{
    if (!isVisible() || !m_replaceRow->isVisible()) {
        open(true);
        return;
    }
    const QString words = m_words->text(), replacement = m_replacement->text();
    if (m_current && replaceHit(m_host.document().outline, *m_current, words, replacement)) {
        m_host.documents().recordStep(StepKind::HeaderOnly);
        // Go on after what was put in, so that a replacement holding the words is not found again.
        m_current->start += int(replacement.size());
        step(+1, true);
        return;
    }
    step(+1, false);
}

void FindBar::replaceAll()
{
    if (!isVisible() || !m_replaceRow->isVisible()) {
        open(true);
        return;
    }
    const int replaced = replaceInTexts(m_host.document().outline, m_words->text(), m_replacement->text());
    if (replaced == 0) {
        showNothingFound();
        return;
    }
    m_host.documents().recordStep(StepKind::HeaderOnly);
    m_current.reset();
    m_status->setText(QCoreApplication::translate("FindBar", "Заменено: %1").arg(replaced));
    emit changed();
}

QString FindBar::status() const { return m_status->text(); }

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (key->key() != Qt::Key_Escape && !enter)
        return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // These keys belong to the bar, not to the window's shortcuts on the selection.
        event->accept();
        return true;
    }
    runGuarded(this, [&] {
        if (key->key() == Qt::Key_Escape)
            closeBar();
        else if (watched == m_replacement)
            replaceCurrent();
        else if (key->modifiers() & Qt::ShiftModifier)
            findPrevious();
        else
            findNext();
    });
    return true;
}

}  // namespace velmar
