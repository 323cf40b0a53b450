#include "app/menu_mnemonics.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

namespace velmar {

namespace {

// The letter an action's mnemonic was given on, kept so that a new caption gets it back.
constexpr char kLetterProperty[] = "velmarMnemonicLetter";

// Candidate positions for a mnemonic: first letters of words, then every other letter.
QList<int> candidates(const QString& caption)
{
    QList<int> firsts, others;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            ++i;  // "&&": a literal ampersand, neither letter nor mark
            continue;
        }
        if (!caption[i].isLetter())
            continue;
        const bool wordStart = i == 0 || !caption[i - 1].isLetterOrNumber();
        (wordStart ? firsts : others).append(i);
    }
    return firsts + others;
}

void keepMnemonic(QAction* action)
{
    if (action->property(kLetterProperty).isValid())
        return;  // kept already
    QObject::connect(action, &QAction::changed, action, [action] {
        const QString text = action->text();
        if (mnemonicPosition(text) >= 0)
            return;
        const QChar letter = action->property(kLetterProperty).toChar();
        for (int i : candidates(text))
            if (text[i].toLower() == letter) {
                action->setText(text.left(i) + QLatin1Char('&') + text.mid(i));  // changed again: has one now
                return;
            }
    });
}

void assign(const QList<QAction*>& actions)
{
    QString taken;
    for (QAction* action : actions) {
        const int at = mnemonicPosition(action->text());
        if (at >= 0)
            taken += action->text()[at].toLower();
    }
    for (QAction* action : actions) {
        if (action->isSeparator() || action->text().isEmpty() || mnemonicPosition(action->text()) >= 0)
            continue;
        const QString marked = withMnemonic(action->text(), taken);
        if (marked == action->text())
            continue;
        action->setText(marked);
        keepMnemonic(action);
        action->setProperty(kLetterProperty, taken.back());
    }
}

class MnemonicPolisher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Polish && (qobject_cast<QMenu*>(watched) || qobject_cast<QMenuBar*>(watched)))
            assignMnemonics(static_cast<QWidget*>(watched));
        return false;
    }
};

}  // namespace

int mnemonicPosition(const QString& caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] != QLatin1Char('&'))
            return i + 1;
        ++i;
    }
    return -1;
}

QString withoutMnemonic(const QString& caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

QString withMnemonic(const QString& caption, QString& taken)
{
    if (mnemonicPosition(caption) >= 0)
        return caption;
    for (int i : candidates(caption)) {
        const QChar letter = caption[i].toLower();
        if (taken.contains(letter))
            continue;
        taken += letter;
        return caption.left(i) + QLatin1Char('&') + caption.mid(i);
    }
    return caption;
}

void assignMnemonics(QWidget* menuOrBar)
{
    if (!menuOrBar)
        return;
    assign(menuOrBar->actions());
    // A menu bar's menus are given theirs now as well, so that a command is reachable with the
    // keys before its menu was ever opened.
    if (qobject_cast<QMenuBar*>(menuOrBar))
        for (QAction* action : menuOrBar->actions())
            if (QMenu* menu = action->menu())
                assignMnemonics(menu);
    if (qobject_cast<QMenu*>(menuOrBar))
        for (QAction* action : menuOrBar->actions())
            if (QMenu* sub = action->menu())
                assignMnemonics(sub);
}

void installMenuMnemonics(QApplication& app) { app.installEventFilter(new MnemonicPolisher(&app)); }

}  // namespace velmar
