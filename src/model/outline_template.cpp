#include "model/outline_template.h"

#include "model/outline.h"

#include <QCoreApplication>

namespace velmar {

namespace {

struct DefaultFrame {
    const char* title;
    const char* minimalText;     // nullptr: the title
    int l[2], t[2], w[2], h[2];  // value = a·(W or Q) + b, as {a, b}
};

// The ten frames of a new outline, laid out on a W × Q grid of the canvas below the tool bar.
const DefaultFrame kDefaultFrames[] = {
    {QT_TRANSLATE_NOOP("NewOutline", "Наблюдения"), nullptr, {0, 2}, {0, 34}, {1, -2}, {2, -2}},
    {QT_TRANSLATE_NOOP("NewOutline", "Опыты"), nullptr, {1, 2}, {0, 34}, {1, -2}, {2, -2}},
    {QT_TRANSLATE_NOOP("NewOutline", "Величины"), nullptr, {2, 2}, {0, 34}, {2, -4}, {1, -2}},
    {QT_TRANSLATE_NOOP("NewOutline", "Связи величин"),
     QT_TRANSLATE_NOOP("NewOutline", "Связи"),
     {2, 2},
     {1, 34},
     {2, -4},
     {1, 0}},
    {QT_TRANSLATE_NOOP("NewOutline", "Факты"), nullptr, {2, 2}, {2, 34}, {1, -2}, {1, -2}},
    {QT_TRANSLATE_NOOP("NewOutline", "Модель-гипотеза"), nullptr, {3, 2}, {2, 34}, {1, -4}, {1, -2}},
    {QT_TRANSLATE_NOOP("NewOutline", "Следствия"), nullptr, {3, 2}, {3, 34}, {1, -4}, {1, -2}},
    {QT_TRANSLATE_NOOP("NewOutline", "Эксперимент"), nullptr, {2, 2}, {3, 34}, {1, -2}, {1, -2}},
    {QT_TRANSLATE_NOOP("NewOutline", "Приборы"), nullptr, {0, 2}, {2, 34}, {1, -2}, {2, -4}},
    {QT_TRANSLATE_NOOP("NewOutline", "Технологические процессы"), nullptr, {1, 2}, {2, 34}, {1, -2}, {2, -4}},
};

QString translated(const char* text) { return QCoreApplication::translate("NewOutline", text); }

}  // namespace

std::vector<TemplateFrame> newOutlineFrames(QSize canvas, int toolBarHeight)
{
    const int W = canvas.width() / 4;
    const int Q = (canvas.height() - toolBarHeight) / 4;
    std::vector<TemplateFrame> frames;
    for (const DefaultFrame& f : kDefaultFrames) {
        const QRect bounds(f.l[0] * W + f.l[1], f.t[0] * Q + f.t[1], f.w[0] * W + f.w[1], f.h[0] * Q + f.h[1]);
        frames.push_back({translated(f.title), translated(f.minimalText ? f.minimalText : f.title), bounds});
    }
    return frames;
}

QString newOutlineName() { return QCoreApplication::translate("NewOutline", "Новый"); }

bool isPlaceholderMinimalText(const QString& text)
{
    if (text == kUndefinedText)
        return true;
    for (const DefaultFrame& f : kDefaultFrames) {
        const char* minimal = f.minimalText ? f.minimalText : f.title;
        if (text == QString::fromUtf8(minimal) || text == translated(minimal))
            return true;
    }
    return false;
}

}  // namespace velmar
