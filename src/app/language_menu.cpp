#include "app/language_menu.h"

#include "platform/dialogs.h"
#include "system/interface_language.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

namespace velmar {

QMenu* addLanguageMenu(QMenu* settings, QWidget* window)
{
    QMenu* menu = settings->addMenu(QCoreApplication::translate("LanguageMenu", "Язык интерфейса"));
    menu->setObjectName(QStringLiteral("languageMenu"));
    menu->menuAction()->setObjectName(QStringLiteral("languageMenu"));
    auto* group = new QActionGroup(menu);
    const QString saved = savedInterfaceLanguage(userSettingsFile());
    struct Choice {
        const char* name;
        QString caption;
        QString code;
    };
    // A language's name is given in that language, so that a user who cannot read the other can
    // still find their own.
    const Choice choices[] = {
        {"languageSystem", QCoreApplication::translate("LanguageMenu", "Как в системе"), QString()},
        {"languageRussian", QStringLiteral("Русский"), QStringLiteral("ru")},
        {"languageEnglish", QStringLiteral("English"), QStringLiteral("en")},
    };
    for (const Choice& choice : choices) {
        QAction* action = menu->addAction(choice.caption);
        action->setObjectName(QLatin1String(choice.name));
        action->setCheckable(true);
        action->setChecked(choice.code == saved
                           || (choice.code.isEmpty() && saved != QLatin1String("ru") && saved != QLatin1String("en")));
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, window, [window, code = choice.code] {
            if (!saveInterfaceLanguage(userSettingsFile(), code)) {
                dialogs().inform(window, QCoreApplication::translate("LanguageMenu", "Язык интерфейса"),
                                 QCoreApplication::translate("LanguageMenu",
                                                             "Не удалось сохранить выбор языка в файле настроек «%1».")
                                     .arg(userSettingsFile()),
                                 QMessageBox::Warning);
                return;
            }
            LanguageSources sources = languageSourcesOfProcess();
            sources.override.clear();  // what the next ordinary start will use
            if (chooseInterfaceLanguage(sources) != interfaceLanguage())
                dialogs().inform(window, QCoreApplication::translate("LanguageMenu", "Язык интерфейса"),
                                 QCoreApplication::translate(
                                     "LanguageMenu", "Язык интерфейса сменится при следующем запуске программы."),
                                 QMessageBox::Information);
        });
    }
    return menu;
}

}  // namespace velmar
