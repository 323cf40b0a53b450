#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstring>

namespace velmar {

namespace {

struct MissingText {
    const char* context;
    const char* source;
    const char* russian;
};

constexpr MissingText kMissingTexts[] = {
    {"QAbstractFileIconProvider", "Folder", "Папка"},
    {"QAbstractFileIconProvider", "File Folder", "Папка"},
    {"QAbstractFileIconProvider", "Drive", "Диск"},
    {"QAbstractFileIconProvider", "Shortcut", "Ярлык"},
    {"QAbstractFileIconProvider", "Alias", "Ярлык"},
    {"QAbstractFileIconProvider", "Unknown", "Неизвестно"},
};

class MissingQtTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (!context || !sourceText)
            return {};
        for (const MissingText& text : kMissingTexts)
            if (std::strcmp(context, text.context) == 0 && std::strcmp(sourceText, text.source) == 0)
                return QString::fromUtf8(text.russian);
        return {};  // not ours: the next catalogue answers
    }

    bool isEmpty() const override { return false; }
};

}  // namespace

void installMissingQtTexts(QCoreApplication& app)
{
    QCoreApplication::installTranslator(new MissingQtTexts(&app));
}

}  // namespace velmar
