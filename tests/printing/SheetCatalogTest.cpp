#include "PrintFixtures.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include "common/AppError.h"
#include "printing/LabelJobs.h"
#include "printing/PrinterSelection.h"
#include "settings/AppState.h"
#include "settings/Settings.h"

#include <QBuffer>
#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;
namespace {

const auto custom = [](auto... values) { return test::customSheet(values...); };

} // namespace

TEST(SheetFormat, ChecksAndTextRulesFollowTheLabel) {
    // (The standard sheet's rules: StampaEtichette tests; its check: SheetCatalog.)
    // Wider labels join and keep more, lower ones get smaller type, never below 7 points.
    const SheetFormat wide = custom(2, 8, 105, 37, 0, 0.5, 105, 37);
    EXPECT_EQ(wide.joinWidth(), 95);
    EXPECT_EQ(wide.localityChars(true), 44);
    EXPECT_EQ(wide.fontPointSize(), 10.5);
    EXPECT_EQ(custom(4, 10, 52.5, 29.7, 0, 0, 52.5, 29.7).fontPointSize(), 8.5);
    // Narrower labels keep whole characters only: 28 x 42.5 / 60 = 19.8 gives 19.
    EXPECT_EQ(custom(4, 10, 52.5, 29.7, 0, 0, 52.5, 29.7).localityChars(true), 19);
    EXPECT_EQ(custom(3, 20, 70, 12, 0, 0, 70, 12).fontPointSize(), 7);
    // Text keeps its place in each label: a margin of 15.15 mm moves it 10.65 mm down.
    const SheetFormat l7160 = *SheetCatalog().find(QStringLiteral("A4 3x7 63,5x38,1"));
    EXPECT_NEAR(l7160.textOrigin({1, 1}).y(), 15.15 - 4.5, 1e-9);
    EXPECT_NEAR(l7160.textOrigin({1, 2}).x(), 7.2 + 66.04, 1e-9);

    // Sheets that cannot be printed, with the reason's words ("" when any reason will do).
    for (const auto& [sheet, why] : {std::pair{custom(3, 8, 80, 36, 0, 0, 70, 36), "sovrappongono"},
                                     {custom(3, 8, 70, 36, 0, 0, 70, 35), "sovrappongono"},
                                     {custom(3, 8, 70, 36, 1, 0, 70, 36), "a destra"},
                                     {custom(3, 8, 70, 36, 0, 10, 70, 36), "in basso"},
                                     {custom(2, 4, 70, 50, 0, 0, 74, 55, PaperSize::A5), "A5"},
                                     {custom(0, 8, 70, 36, 0, 0, 70, 36), ""},
                                     {custom(3, 8, 70, 36, -1, 0, 70, 36), ""},
                                     {custom(3, 8, 70, 36, 0, -1, 70, 36), ""},
                                     {custom(3, 8, 10, 36, 0, 0, 70, 36), ""},
                                     {custom(3, 8, 70, qQNaN(), 0, 0, 70, 36), ""}})
        EXPECT_TRUE(sheet.problem() && sheet.problem()->contains(why))
            << why << ": " << sheet.problem().value_or("accepted").toStdString();
    EXPECT_FALSE(custom(2, 4, 70, 50, 0, 0, 74, 52, PaperSize::Letter).problem());
    // One column needs no pitch.
    EXPECT_FALSE(custom(1, 8, 100, 36, 0, 0, 0, 36).problem());
}

TEST(GlabelsTemplates, ReadsRectangularTemplatesInEveryUnitAndSkipsTheRest) {
    for (const auto& [text, mm] : {std::pair{u"1in", 25.4},
                                   {u"72", 25.4},
                                   {u"72pt", 25.4},
                                   {u"2.5cm", 25.0},
                                   {u"1pc", 25.4 / 6}})
        EXPECT_NEAR(GlabelsTemplates::toMillimetres(text).value_or(0), mm, 1e-9) << mm;
    EXPECT_FALSE(GlabelsTemplates::toMillimetres(u"abc"));

    // Two files from glabels-data: points without a unit, CD labels with an equiv, two
    // layouts, inches on US Letter, a round label.
    const GlabelsTemplates::Result result = test::testTemplates();
    QStringList names;
    for (const auto& f : result.formats) {
        names << f.name;
        EXPECT_FALSE(f.problem()) << f.name.toStdString();
        EXPECT_EQ(f.source, SheetFormat::Source::Glabels);
    }
    EXPECT_EQ(names, (QStringList{"DataBecker BC?", "DataBecker 0491", "DataBecker 0526",
                                  "DataBecker 0598", "DataBecker 0599", "Maco LL5805"}));
    EXPECT_EQ(result.skipped, 4); // 0335, its equiv 0368, 0562 (CD labels), ML-1225 (round)
    const auto& maco = result.formats.back();
    EXPECT_EQ(maco.paper, PaperSize::Letter);
    EXPECT_EQ(maco.columns, 3);
    EXPECT_EQ(maco.rows, 10);
    EXPECT_NEAR(maco.labelWidth, 66.675, 1e-9);
    EXPECT_NEAR(maco.sheetLeft, 4.7625, 1e-9);
    EXPECT_NEAR(maco.columnPitch, 69.85, 1e-9);
    EXPECT_NEAR(maco.cornerRadius, 1.5875, 1e-9);
    const auto& db0598 = result.formats[3];
    EXPECT_NEAR(db0598.labelWidth, 97, 0.01);
    EXPECT_NEAR(db0598.sheetTop, 23, 0.01);

    // Broken XML and equivs are counted, not reported; a missing folder reads nothing.
    QBuffer broken;
    broken.setData("<Glabels-templates><Template brand=\"X\" part=\"1\" "
                   "size=\"A4\"><Label-rectangle width=\"70mm\"");
    broken.open(QIODevice::ReadOnly);
    GlabelsTemplates::Result bad;
    GlabelsTemplates::read(broken, bad);
    EXPECT_TRUE(bad.formats.empty());
    EXPECT_EQ(bad.skipped, 1);
    EXPECT_EQ(GlabelsTemplates::readFolder(QStringLiteral("/nonexistent/templates")).files, 0);

    // Every installed template is read or skipped.
    if (!QDir(SheetCatalog::glabelsFolder()).exists())
        GTEST_SKIP() << "glabels-data missing";
    const auto installed = GlabelsTemplates::readFolder(SheetCatalog::glabelsFolder());
    EXPECT_GT(installed.files, 20);
    EXPECT_GT(installed.formats.size(), 1000u);
    EXPECT_GT(installed.skipped, 100);
    for (const SheetFormat& f : installed.formats)
        ASSERT_FALSE(f.problem()) << f.name.toStdString();
    SheetCatalog catalog;
    catalog.addGlabels();
    const auto l7163 = catalog.find(QStringLiteral("Avery L7163"));
    ASSERT_TRUE(l7163);
    EXPECT_EQ(l7163->columns, 2);
    EXPECT_EQ(l7163->rows, 7);
    EXPECT_NEAR(l7163->labelWidth, 99.1, 0.01);
}

TEST(SheetCatalog, SourcesSearchAndTheStoredChoice) {
    test::forgetSheets();
    SheetCatalog catalog;
    ASSERT_FALSE(catalog.formats().empty());
    EXPECT_EQ(catalog.formats().front(), SheetFormat::standard());
    QSet<QString> seen;
    for (const SheetFormat& f : SheetCatalog::builtIn()) {
        EXPECT_FALSE(f.problem()) << f.name.toStdString();
        EXPECT_FALSE(seen.contains(f.name.toLower()));
        seen.insert(f.name.toLower());
    }
    // Names match however the size is written; search finds parts in the descriptions.
    EXPECT_EQ(catalog.find(QStringLiteral("a4 3×8 70X36"))->name, "A4 3x8 70x36");
    EXPECT_EQ(catalog.find(QStringLiteral("A4 2x7 99.1x38.1"))->labelWidth, 99.1);
    EXPECT_FALSE(catalog.find(QStringLiteral("A4 9x9")));
    ASSERT_EQ(catalog.search(QStringLiteral("l7160")).size(), 1u);
    EXPECT_EQ(catalog.search(QStringLiteral("zweckform 3475")).front().name, "A4 3x8 70x36");

    // glabels templates join the list after the built-ins, from a folder holding the test copies.
    QTemporaryDir dir;
    for (const QString& name : test::kTemplateFiles)
        QFile::copy(test::dataFile(name), dir.filePath(name));
    QFile::copy(test::dataFile(test::kTemplateFiles[1]),
                dir.filePath(QStringLiteral("paper-sizes.xml"))); // not a templates file
    const auto summary = catalog.addGlabels(dir.path());
    EXPECT_EQ(summary.files, 2);
    EXPECT_EQ(summary.read, 6);
    EXPECT_EQ(catalog.search(QStringLiteral("maco")).front().paper, PaperSize::Letter);

    // The user's own format: refused when it cannot be printed, kept last otherwise.
    EXPECT_THROW(catalog.setCustom(custom(3, 8, 80, 36, 0, 0, 70, 36)), common::AppError);
    catalog.setCustom(custom(2, 4, 70, 50, 2, 3, 74, 52, PaperSize::A5));
    EXPECT_EQ(catalog.formats().back().name, SheetCatalog::customName());
    EXPECT_EQ(catalog.find(QStringLiteral("personalizzato"))->paper, PaperSize::A5);

    settings::Settings store;
    EXPECT_EQ(SheetCatalog::current(store), SheetFormat::standard());
    // A glabels choice is stored with its values: it outlives the package.
    const SheetFormat maco = *catalog.find(QStringLiteral("Maco LL5805"));
    SheetCatalog::setCurrent(store, maco);
    EXPECT_TRUE(SheetCatalog::current(store).sameGeometry(maco));
    EXPECT_EQ(SheetCatalog::current(store).name, "Maco LL5805");
    // The user's own format comes back with all its values, and stays when another is chosen.
    const SheetFormat own = custom(2, 4, 70, 50, 2, 2, 74, 52.5, PaperSize::A5);
    SheetCatalog::setCurrent(store, own);
    EXPECT_EQ(SheetCatalog::current(store).source, SheetFormat::Source::Custom);
    EXPECT_TRUE(SheetCatalog::current(store).sameGeometry(own));
    SheetCatalog::setCurrent(store, *catalog.find(QStringLiteral("A4 2x8 105x37")));
    EXPECT_EQ(SheetCatalog::current(store).name, "A4 2x8 105x37");
    ASSERT_TRUE(SheetCatalog::custom(store));
    EXPECT_TRUE(SheetCatalog::custom(store)->sameGeometry(own));
    EXPECT_THROW(SheetCatalog::setCurrent(store, custom(3, 8, 70, 36, 0, 10, 70, 36)),
                 common::AppError);
    EXPECT_EQ(SheetCatalog::current(store).name, "A4 2x8 105x37");

    // A damaged store falls back to the standard sheet rather than printing nonsense.
    {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, "QZ", "Velomar");
        raw.setValue(QStringLiteral("Etichette/Foglio"), QStringLiteral("Qualcosa"));
        raw.setValue(QStringLiteral("Etichette/Larghezza"), QStringLiteral("500"));
    }
    EXPECT_EQ(SheetCatalog::current(settings::Settings()), SheetFormat::standard());

    // A stored choice whose values are damaged falls back to the standard sheet and says so,
    // on the batch's stderr and through the windows' dialogs; a choice the settings cannot
    // keep is an error, never "Formato in uso".
    struct Damage {
        const char* key;
        const char* value;
        const char* why;
    };
    const std::vector<Damage> damages = {
        {"Larghezza", "nan", "Le misure devono essere numeri."},
        {"Righe", "0", "Colonne e righe devono essere"},
        {"Carta", "B9", "carta «B9» sconosciuta."},
        {"Altezza", "", "misure mancanti o non numeriche."},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.key);
        test::forgetSheets();
        {
            settings::Settings kept;
            SheetCatalog::setCurrent(kept, own);
            ASSERT_FALSE(kept.save());
            QString note;
            EXPECT_TRUE(SheetCatalog::current(kept, &note).sameGeometry(own));
            EXPECT_EQ(note, QString());
        }
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "QZ", "Velomar")
            .setValue(QStringLiteral("Etichette/") + d.key, QString::fromUtf8(d.value));
        QString note;
        EXPECT_EQ(SheetCatalog::current(settings::Settings(), &note), SheetFormat::standard());
        EXPECT_TRUE(note.contains("«Personalizzato»") && note.contains(QString::fromUtf8(d.why)) &&
                    note.endsWith("Si usa il foglio standard «A4 3x8 70x36»."))
            << note.toStdString();

        EXPECT_TRUE(test::runCommand("formats", {}).err.contains(note));
        settings::AppState state;
        test::ScriptedDialogs dialogs;
        PrinterSelection printers;
        archive::Database db;
        EXPECT_EQ(LabelJobs(state, dialogs, printers, db).sheet(), SheetFormat::standard());
        EXPECT_EQ(dialogs.messages(), std::vector<QString>{note});
    }
    test::forgetSheets();

    // Settings in a folder nobody can create, root included.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, "/proc/velomar-no-settings");
    for (const QStringList& args : {QStringList{"--set", "A4 2x8 105x37"},
                                    QStringList{"--custom", "A4,3,8,70,36,0,4.5,70,36"}}) {
        const test::CommandRun r = test::runCommand("formats", args);
        EXPECT_EQ(r.status, 1) << r.out.toStdString();
        EXPECT_TRUE(r.err.startsWith(
            QStringLiteral("Impossibile salvare le impostazioni in /proc/velomar-no-settings/")))
            << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("Formato in uso"))) << r.out.toStdString();
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, test::testRoot() + "/config");
}
