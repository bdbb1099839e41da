#include "settings/Settings.h"
#include "support/CommandRun.h"

#include <QSettings>
#include <gtest/gtest.h>

using velomar::settings::Options;
using velomar::settings::Settings;


TEST(SettingsLayout, KeysAndValueNamesMatchTheRegistryLayout) {
    QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
    {
        Settings store;
        EXPECT_FALSE(store.programDir().has_value());
        EXPECT_EQ(store.lastDirArch(), "");
        EXPECT_EQ(store.readOptions(), Options());
        store.setProgramDir("/opt/Velomar/");
        store.setLastDirArch("/home/anna/Archivi");
        Options o;
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
    // The raw store file: the layout other tools and older installs rely on.
    const QString text = QString::fromUtf8(velomar::test::fileBytes(store.fileName()));
    EXPECT_TRUE(text.contains("ProgramDir=/opt/Velomar/"));
    EXPECT_TRUE(text.contains("[Cartelle]\nLastDirArch=/home/anna/Archivi"));
    EXPECT_TRUE(text.contains("[Opzioni]\n"));
    EXPECT_TRUE(text.contains("OptApp_7=1\n"));
    EXPECT_TRUE(text.contains("OptApp_24=10\n"));
    EXPECT_TRUE(text.contains("OptApp_26=0\n"));
    EXPECT_TRUE(text.contains("[GrigliaEDIT]\nCol_W3=1500"));
    EXPECT_TRUE(text.contains("[Input]\nRip_16=1"));
    EXPECT_TRUE(text.contains("[StampaNF]\nCampo_0=1"));
    EXPECT_TRUE(text.contains("[Esporta]\nIntervallo=2"));
    EXPECT_TRUE(text.contains("StilePostale=1\n"));
    EXPECT_EQ(store.readOptions().value(24), 10);
    EXPECT_TRUE(store.readOptions().labelPostalStyle());
}

TEST(SettingsLayout, HandEditedValuesOfTheWrongKindReadAsDefaults) {
    QSettings raw(QStringLiteral("QZ"), QStringLiteral("Velomar"));
    raw.clear();
    raw.setValue("Opzioni/OptApp_1", "sì");
    raw.setValue("Opzioni/OptApp_23", 99);
    raw.setValue("Opzioni/OptApp_24", -3);
    raw.setValue("Opzioni/OptApp_25", 1);
    raw.sync();
    Settings store;
    const Options o = store.readOptions();
    EXPECT_EQ(o.value(1), 0);
    EXPECT_EQ(o.value(23), 0);
    EXPECT_EQ(o.value(24), 0);
    EXPECT_EQ(o.value(25), 1);
    raw.clear();
}
