#include "settings/Settings.h"
#include "support/CommandRun.h"

#include <QSettings>
#include <gtest/gtest.h>

using velomar::settings::Options;
using velomar::settings::Settings;

TEST(SettingsLayout, KeysAndValueNamesMatchTheRegistryLayout) {
    QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
    Options o;
    {
        Settings store;
        store.setProgramDir("/opt/Velomar/");
        store.setLastDirArch("/home/anna/Archivi");
        o.setValue(7, 1);
        o.setValue(24, 10);
        o.setLabelPostalStyle(true);
        store.writeOptions(o);
        store.setGridColumnWidth(3, 1500);
        store.setRepeatInput(16, 1);
        store.setFieldChoice(Settings::FieldSection::StampaNF, 0, 1);
        store.setRangeChoice(Settings::FieldSection::Esporta, 2);
        store.sync();
    }
    Settings store;
    EXPECT_TRUE(store.fileName().endsWith("/QZ/Velomar.conf"));
    EXPECT_EQ(store.readOptions(), o);
    // The raw store file: the layout other tools and older installs rely on.
    const QString text = QString::fromUtf8(velomar::test::fileBytes(store.fileName()));
    for (const char* entry :
         {"ProgramDir=/opt/Velomar/", "[Cartelle]\nLastDirArch=/home/anna/Archivi", "[Opzioni]\n",
          "OptApp_7=1\n", "OptApp_24=10\n", "OptApp_26=0\n", "[GrigliaEDIT]\nCol_W3=1500",
          "[Input]\nRip_16=1", "[StampaNF]\nCampo_0=1", "[Esporta]\nIntervallo=2",
          "StilePostale=1\n"})
        EXPECT_TRUE(text.contains(QLatin1String(entry))) << entry;
}

TEST(SettingsLayout, HandEditedAndOutOfRangeValuesReadAsDefaults) {
    QSettings raw(QStringLiteral("QZ"), QStringLiteral("Velomar"));
    raw.clear();
    raw.setValue("Opzioni/OptApp_1", "sì");
    raw.setValue("Opzioni/OptApp_23", 11); // above "10 mm"
    raw.setValue("Opzioni/OptApp_24", -3);
    raw.setValue("Opzioni/OptApp_25", 1);
    raw.sync();
    Options expected;
    expected.setValue(25, 1);
    EXPECT_EQ(Settings().readOptions(), expected);
    raw.clear();

    Options bad;
    bad.setValue(0, 1); // no such option
    EXPECT_EQ(bad, Options());
}
