#include "app/settings_store.h"
#include "app/template_places_settings.h"
#include "docs/template_locator.h"
#include "support/temp_workspace.h"

#include <gtest/gtest.h>

TEST(TemplatePlacesSettings, EmptyByDefaultAndReadFromTheStore)
{
    TempWorkspace ws;
    LoadTemplatePlacesFromSettings();
    EXPECT_TRUE(CurrentTemplatePlaces().developerTemplateDir.isEmpty());
    EXPECT_TRUE(CurrentTemplatePlaces().loginDir.isEmpty());

    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Places")));
    SettingsKey()->WriteString(QStringLiteral("DeveloperTemplateDir"), QStringLiteral(" /srv/Шаблоны "));
    SettingsKey()->WriteString(QStringLiteral("LoginDir"), QStringLiteral("/srv/login"));
    CloseSettingsKey();
    LoadTemplatePlacesFromSettings();
    EXPECT_EQ(CurrentTemplatePlaces().developerTemplateDir, QStringLiteral("/srv/Шаблоны"));
    EXPECT_EQ(CurrentTemplatePlaces().loginDir, QStringLiteral("/srv/login"));
    EXPECT_TRUE(CurrentTemplatePlaces().networkReportDir.isEmpty());
    SetTemplatePlaces({});
}
