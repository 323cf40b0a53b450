#include "platform/tooltip_wrap.h"

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

bool ToolTipWrapper::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->toolTip().isEmpty() || Qt::mightBeRichText(widget->toolTip()))
        return false;
    const QString text = widget->toolTip();
    const QString wrapped = wrapToolTip(text, QFontMetrics(QToolTip::font()), kMaxWidth);
    if (wrapped == text)
        return false;
    auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), wrapped, widget, QRect(), widget->toolTipDuration());
    return true;
}

}  // namespace velmar
