#include "app/template_places_settings.h"

#include "app/settings_store.h"
#include "docs/template_locator.h"

void LoadTemplatePlacesFromSettings()
{
    TemplatePlaces places;
    if (OpenSettingsKey(QStringLiteral("Places"))) {
        SettingsKeyCloser closer;
        const TSettingsKey *key = SettingsKey();
        places.developerTemplateDir = key->ReadString(QStringLiteral("DeveloperTemplateDir")).trimmed();
        places.developerReportDir = key->ReadString(QStringLiteral("DeveloperReportDir")).trimmed();
        places.localReportDir = key->ReadString(QStringLiteral("LocalReportDir")).trimmed();
        places.networkReportDir = key->ReadString(QStringLiteral("NetworkReportDir")).trimmed();
        places.loginDir = key->ReadString(QStringLiteral("LoginDir")).trimmed();
    }
    SetTemplatePlaces(places);
}
