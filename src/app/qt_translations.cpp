#include "app/qt_translations.h"

#include "app/application.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
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
    {"QAbstractFileIconProvider", "Folder", "Папка"}, {"QAbstractFileIconProvider", "File Folder", "Папка"},
    {"QAbstractFileIconProvider", "Drive", "Диск"},   {"QAbstractFileIconProvider", "Shortcut", "Ярлык"},
    {"QAbstractFileIconProvider", "Alias", "Ярлык"},  {"QAbstractFileIconProvider", "Unknown", "Неизвестно"},
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

void installMissingQtTexts(QCoreApplication& app) { QCoreApplication::installTranslator(new MissingQtTexts(&app)); }

QTranslator* englishCatalogue()
{
    static QTranslator* const catalogue = [] {
        auto* translator = new QTranslator;
        if (!translator->load(QStringLiteral(":/i18n/velmar_en.qm"))) {
            delete translator;
            return static_cast<QTranslator*>(nullptr);
        }
        return translator;
    }();
    return catalogue;
}

void installInterfaceTranslations(QCoreApplication& app, InterfaceLanguage language)
{
    useInterfaceLanguage(language);
    if (language == InterfaceLanguage::Russian) {
        installQtTranslations(app);
        return;
    }
    // English numbers and dates; the system's own English locale where it names one.
    const QLocale system = QLocale::system();
    QLocale::setDefault(system.language() == QLocale::English ? system
                                                              : QLocale(QLocale::English, QLocale::UnitedStates));
    // Qt's English catalogue holds only its plural forms; without it Qt's texts are English anyway.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QLocale::English), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
    if (QTranslator* ours = englishCatalogue())
        QCoreApplication::installTranslator(ours);
}

}  // namespace velmar
