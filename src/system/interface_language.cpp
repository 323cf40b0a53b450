#include "system/interface_language.h"

#include "system/working_folders.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <optional>

namespace velmar {

namespace {

const QString kLanguageKey = QStringLiteral("interface/language");

std::optional<InterfaceLanguage> fromCode(const QString& code)
{
    const QString c = code.trimmed().toLower();
    if (c == QLatin1String("ru"))
        return InterfaceLanguage::Russian;
    if (c == QLatin1String("en"))
        return InterfaceLanguage::English;
    return std::nullopt;
}

// "en", "en_US.UTF-8", "en@quot": the language part is what counts.
bool isEnglishLocale(const QString& locale)
{
    const QString language =
        locale.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    return language.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0;
}

}  // namespace

InterfaceLanguage chooseInterfaceLanguage(const LanguageSources& sources)
{
    if (const auto chosen = fromCode(sources.override))
        return *chosen;
    if (const auto chosen = fromCode(sources.setting))
        return *chosen;
    // An empty variable counts as unset, as it does for the C library.
    for (const QString* variable : {&sources.lcAll, &sources.lcMessages, &sources.lang})
        if (!variable->isEmpty())
            return isEnglishLocale(*variable) ? InterfaceLanguage::English : InterfaceLanguage::Russian;
    return InterfaceLanguage::Russian;
}

QString userSettingsFile()
{
    if (qEnvironmentVariableIsSet("VELMAR_HOME"))
        return QDir(programFolder()).filePath(QStringLiteral("velmar.conf"));
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Velmar/velmar.conf");
}

QString savedInterfaceLanguage(const QString& settingsFile)
{
    if (settingsFile.isEmpty() || !QFile::exists(settingsFile))
        return {};
    const QSettings settings(settingsFile, QSettings::IniFormat);
    return settings.value(kLanguageKey).toString();
}

bool saveInterfaceLanguage(const QString& settingsFile, const QString& code)
{
    if (settingsFile.isEmpty())
        return false;
    QSettings settings(settingsFile, QSettings::IniFormat);
    if (code.isEmpty())
        settings.remove(kLanguageKey);
    else
        settings.setValue(kLanguageKey, code);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

LanguageSources languageSourcesOfProcess()
{
    LanguageSources sources;
    sources.override = qEnvironmentVariable("VELMAR_LANGUAGE");
    sources.setting = savedInterfaceLanguage(userSettingsFile());
    sources.lcAll = qEnvironmentVariable("LC_ALL");
    sources.lcMessages = qEnvironmentVariable("LC_MESSAGES");
    sources.lang = qEnvironmentVariable("LANG");
    return sources;
}

namespace {
std::optional<InterfaceLanguage> g_installed;
}  // namespace

InterfaceLanguage interfaceLanguage()
{
    if (g_installed)
        return *g_installed;
    static const InterfaceLanguage language = chooseInterfaceLanguage(languageSourcesOfProcess());
    return language;
}

void useInterfaceLanguage(InterfaceLanguage language) { g_installed = language; }

QString languageCode(InterfaceLanguage language)
{
    return language == InterfaceLanguage::English ? QStringLiteral("en") : QStringLiteral("ru");
}

}  // namespace velmar
