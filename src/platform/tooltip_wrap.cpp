#include "platform/tooltip_wrap.h"

#include "model/visible_text.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QStringList>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

namespace velmar {

namespace {

// Appends one line (without breaks) to lines, broken to fit.
void wrapLine(const QString& line, const QFontMetrics& metrics, int maxWidth, QStringList& lines)
{
    QString current;
    auto fits = [&](const QString& text) { return metrics.horizontalAdvance(text) <= maxWidth; };
    for (const QString& word : line.split(QLatin1Char(' '))) {
        const QString joined = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (fits(joined)) {
            current = joined;
            continue;
        }
        if (!current.isEmpty())
            lines << current;
        current = word;
        // A word wider than a line is cut where it has to be.
        while (!fits(current)) {
            qsizetype cut = 1;
            while (cut < current.size() && fits(current.left(cut + 1)))
                ++cut;
            lines << current.left(cut);
            current = current.mid(cut);
        }
    }
    lines << current;
}

}  // namespace

QString wrapToolTip(const QString& text, const QFontMetrics& metrics, int maxWidth)
{
    if (maxWidth <= 0)
        return text;
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    for (const QString& line : plain.split(QLatin1Char('\n')))
        wrapLine(line, metrics, maxWidth, lines);
    return lines.join(QLatin1Char('\n'));
}

QString plainToolTip(const QString& text)
{
    // Qt shows a tooltip as rich text when it looks like markup, so the text is given as markup
    // that says exactly this text: escaped, its lines kept as lines.
    QStringList lines = visibleText(text, LineBreaks::Keep).split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.toHtmlEscaped();
    return QStringLiteral("<p style='white-space:pre'>") + lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
}

namespace {

// The tooltip a widget would show at a point: an item view's items carry their own.
QString toolTipAt(QWidget* widget, QPoint pos)
{
    if (auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget()); view && view->viewport() == widget)
        return view->indexAt(pos).data(Qt::ToolTipRole).toString();
    return widget->toolTip();
}

}  // namespace

bool ToolTipWrapper::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    auto* help = static_cast<QHelpEvent*>(event);
    QString text = toolTipAt(widget, help->pos());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.isEmpty())
        return false;
    // Every tooltip is plain text: most of them (names, minimal texts, file names) come from
    // documents and files, and none of them may draw pictures or links.
    const QString wrapped = wrapToolTip(text, QFontMetrics(QToolTip::font()), kMaxWidth);
    QToolTip::showText(help->globalPos(), plainToolTip(wrapped), widget, QRect(), widget->toolTipDuration());
    return true;
}

}  // namespace velmar
