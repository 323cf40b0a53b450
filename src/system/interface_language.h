#pragma once

#include <QString>

namespace velmar {

// The language of the program's own texts. Russian is the language the texts are written in;
// English comes from the translation catalogue built with the program.
enum class InterfaceLanguage { Russian, English };

// What decides the language, gathered so that the rule can be checked without touching the
// process environment.
struct LanguageSources {
    QString override;  // VELMAR_LANGUAGE: "ru" or "en" (tests, a user's one-off choice)
    QString setting;   // the choice saved from the settings menu: "ru", "en" or empty (system)
    QString lcAll;     // LC_ALL, LC_MESSAGES and LANG, asked in that order as the C library does
    QString lcMessages;
    QString lang;
};

// The override wins, then the saved choice, then the first locale variable that is set: English
// for a locale whose language is English ("en", "en_GB.UTF-8"), Russian for any other, including
// C and POSIX. Values other than "ru"/"en" in the override or the setting are ignored.
InterfaceLanguage chooseInterfaceLanguage(const LanguageSources& sources);

// The sources read from this process's environment and the user's settings file.
LanguageSources languageSourcesOfProcess();

// The language this run uses: the one installed by useInterfaceLanguage, otherwise
// chooseInterfaceLanguage(languageSourcesOfProcess()), decided once.
InterfaceLanguage interfaceLanguage();
// Records the language whose catalogues the application has installed.
void useInterfaceLanguage(InterfaceLanguage language);

// The user's settings file: beside the working folders when VELMAR_HOME names them (portable use,
// tests), otherwise in the user's configuration folder.
QString userSettingsFile();

// The saved choice ("ru", "en" or empty for the system's language) and its writing. The choice
// takes effect at the next start.
QString savedInterfaceLanguage(const QString& settingsFile);
bool saveInterfaceLanguage(const QString& settingsFile, const QString& code);

// "ru" or "en".
QString languageCode(InterfaceLanguage language);

}  // namespace velmar
