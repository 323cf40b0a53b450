#include "model/file_name_proposal.h"

#include <algorithm>

namespace velmar {

namespace {

bool replacedInFileNames(QChar c)
{
    switch (c.unicode()) {
    case '"':
    case '\'':
    case '/':
    case '\\':
    case '*':
    case '?': return true;
    default:
        return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format || c == QChar::LineSeparator
               || c == QChar::ParagraphSeparator;
    }
}

bool trimmedAway(QChar c) { return c.isSpace() || c == QLatin1Char('.') || c == QLatin1Char('_'); }

}  // namespace

QString proposedFileName(const QString& outlineName)
{
    QString name = outlineName;
    for (const QLatin1String own : {QLatin1String(".vmd"), QLatin1String(".vmc")})
        if (name.endsWith(own, Qt::CaseInsensitive)) {
            name.chop(own.size());
            break;
        }
    for (QChar& c : name)
        if (replacedInFileNames(c))
            c = QLatin1Char('_');
    // A name of nothing but spaces, dots and replaced characters names no file (".", "..").
    qsizetype start = 0, end = name.size();
    while (start < end && (name[start].isSpace() || name[start] == QLatin1Char('.')))
        ++start;
    while (end > start && (name[end - 1].isSpace() || name[end - 1] == QLatin1Char('.')))
        --end;
    name = name.mid(start, end - start);
    if (std::all_of(name.cbegin(), name.cend(), trimmedAway))
        return QString();
    return name;
}

}  // namespace velmar
