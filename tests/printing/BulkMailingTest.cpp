#include "PdfWords.h"
#include "PrintFixtures.h"

#include "printing/BulkJob.h"
#include "printing/BulkMailing.h"
#include "printing/DeliveryList.h"
#include "printing/PostalStyle.h"
#include "printing/ProvinceRegions.h"
#include "support/CommandRun.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <tuple>

using namespace velomar;
using namespace velomar::printing;
using test::address;
using Level = Bundle::Level;

namespace {

// count addresses at one CAP, numbered from nr on.
struct Place {
    const char* cap;
    const char* city;
    const char* prov;
    int count;
    const char* naz = "";
};

std::vector<archive::AddressRecord> addressesAt(std::initializer_list<Place> places) {
    std::vector<archive::AddressRecord> list;
    int nr = 1;
    for (const Place& p : places)
        for (int i = 0; i < p.count; ++i, ++nr)
            list.push_back(address(QString::number(nr), "", QStringLiteral("ROSSI%1").arg(nr), "",
                                   "", QStringLiteral("VIA %1").arg(QChar(u'Z' - i % 26)), p.cap,
                                   p.city, p.prov, p.naz));
    // The archive's own order is not the bundles'.
    std::reverse(list.begin(), list.end());
    return list;
}

struct Expected {
    Level level;
    const char* key;
    qint64 pieces;
};

// The printed lines of a list, words of one baseline left to right, joined by blanks.
QStringList linesOf(const QString& pdf) {
    std::map<std::tuple<int, int, double>, QString> words;
    for (const test::Word& w : test::wordsOf(pdf))
        words[{w.page, int(std::lround(w.box.bottom() * 10)), w.box.left()}] = w.text;
    QStringList lines;
    std::pair<int, int> at{-1, -1};
    for (const auto& [key, word] : words) {
        if (std::pair(std::get<0>(key), std::get<1>(key)) != at)
            lines << QString();
        at = {std::get<0>(key), std::get<1>(key)};
        lines.last() += (lines.last().isEmpty() ? "" : " ") + word;
    }
    return lines;
}

struct Label {
    int page;
    int place; // 1-based on its sheet
    QString text;
};

// The printed labels in print order, each the words of one physical label.
std::vector<Label> labelsOf(const QString& pdf, const SheetFormat& sheet) {
    std::map<std::pair<int, int>, QString> cells;
    for (const test::Word& w : test::wordsOf(pdf)) {
        if (const auto at = test::labelAt(sheet, w.box.center())) {
            QString& t = cells[{w.page, sheet.sheetIndex(*at)}];
            t += (t.isEmpty() ? "" : " ") + w.text;
        }
    }
    std::vector<Label> labels;
    for (const auto& [at, text] : cells)
        labels.push_back({at.first, at.second, text});
    return labels;
}

// Checks the labels against the job: every address once in bundle order, each bundle after
// its header on the same sheet, the header's count equal to the addresses that follow.
void expectBundleOrder(const std::vector<Label>& labels, const BulkJob& job) {
    std::size_t next = 0;
    for (const Bundle& b : job.bundles()) {
        ASSERT_LT(next, labels.size());
        const Label& header = labels[next++];
        EXPECT_TRUE(header.text.startsWith(QStringLiteral("MAZZETTO %1 ").arg(b.number)))
            << header.text.toStdString();
        EXPECT_TRUE(header.text.endsWith(QStringLiteral(" %1 pezzi").arg(b.pieces)) ||
                    b.pieces == 1);
        ASSERT_LT(next, labels.size());
        EXPECT_EQ(labels[next].page, header.page)
            << "header of bundle " << b.number << " left alone";
        for (qint64 i = 0; i < b.pieces; ++i, ++next) {
            ASSERT_LT(next, labels.size());
            const auto& a = job.addresses()[std::size_t(b.first + i)];
            const QString& text = labels[next].text;
            EXPECT_FALSE(text.startsWith(QLatin1String("MAZZETTO")));
            for (int field : {2, 5, 6})
                EXPECT_TRUE(text.contains(PostalStyle::text(a[field]))) << text.toStdString();
        }
    }
    EXPECT_EQ(next, labels.size());
}

} // namespace

TEST(BulkMailing, BundleRule) {
    struct Case {
        const char* name;
        std::vector<archive::AddressRecord> addresses;
        BulkRules rules;
        std::vector<Expected> bundles;
    } cases[] = {
        {"a full CAP, the rest of its province and of Italy",
         addressesAt({{"20121", "MILANO", "MI", 12},
                      {"20122", "MILANO", "MI", 4},
                      {"00100", "ROMA", "RM", 3}}),
         {},
         {{Level::Cap, "20121", 12}, {Level::Italy, "", 7}}},
        {"exactly the threshold makes a bundle, one less does not",
         addressesAt({{"20121", "MILANO", "MI", 10}, {"00100", "ROMA", "RM", 9}}),
         {},
         {{Level::Cap, "20121", 10}, {Level::Italy, "", 9}}},
        {"small CAPs of one province gather in its bundle",
         addressesAt({{"20121", "MILANO", "MI", 6},
                      {"20900", "MONZA", "MB", 2},
                      {"20010", "ARLUNO", "MI", 5}}),
         {},
         {{Level::Province, "MI", 11}, {Level::Italy, "", 2}}},
        {"provinces too small gather by region",
         addressesAt({{"20121", "MILANO", "MI", 6},
                      {"20900", "MONZA", "MB", 5},
                      {"00100", "ROMA", "RM", 1}}),
         {},
         {{Level::Region, "LOMBARDIA", 11}, {Level::Italy, "", 1}}},
        {"the province level switched off goes straight to the region",
         addressesAt({{"20121", "MILANO", "MI", 6}, {"20010", "ARLUNO", "MI", 5}}),
         {10, false, true, true},
         {{Level::Region, "LOMBARDIA", 11}}},
        {"a lower threshold, foreign addresses last by country",
         addressesAt({{"75001", "PARIS", "", 2, "FRANCIA"},
                      {"20121", "MILANO", "MI", 3},
                      {"1010", "WIEN", "", 1, "AUSTRIA"},
                      {"00100", "ROMA", "RM", 2, "Italia"}}),
         {3, true, true, true},
         {{Level::Cap, "20121", 3},
          {Level::Italy, "", 2},
          {Level::Foreign, "AUSTRIA", 1},
          {Level::Foreign, "FRANCIA", 2}}},
        {"a CAP that is not five digits, an unknown province",
         addressesAt({{"2012", "MILANO", "XX", 12}, {"", "ROMA", "", 2}}),
         {},
         {{Level::Italy, "", 14}}},
        {"nothing to bundle", {}, {}, {}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto addresses = c.addresses;
        const auto bundles = BulkMailing::arrange(addresses, c.rules);
        ASSERT_EQ(bundles.size(), c.bundles.size());
        ASSERT_EQ(addresses.size(), c.addresses.size());
        std::set<QString> seen;
        qint64 next = 0;
        for (std::size_t b = 0; b < bundles.size(); ++b) {
            const Bundle& bundle = bundles[b];
            EXPECT_EQ(bundle.number, int(b) + 1);
            EXPECT_EQ(bundle.level, c.bundles[b].level);
            EXPECT_EQ(bundle.key, QString::fromLatin1(c.bundles[b].key));
            EXPECT_EQ(bundle.pieces, c.bundles[b].pieces);
            EXPECT_EQ(bundle.first, next);
            next += bundle.pieces;
            for (qint64 i = bundle.first; i < bundle.first + bundle.pieces; ++i) {
                const auto& a = addresses[std::size_t(i)];
                seen.insert(a[0]);
                if (bundle.level == Level::Cap) {
                    EXPECT_EQ(a[6], bundle.key);
                } else if (bundle.level == Level::Province) {
                    EXPECT_EQ(a[8], bundle.key);
                } else if (bundle.level == Level::Region) {
                    EXPECT_EQ(ProvinceRegions::regionOf(a[8]), bundle.key);
                }
                // Within a bundle: by CAP, then street.
                if (i > bundle.first) {
                    const auto& p = addresses[std::size_t(i - 1)];
                    EXPECT_TRUE(p[6] < a[6] || (p[6] == a[6] && p[5] <= a[5]))
                        << a[0].toStdString();
                }
            }
        }
        EXPECT_EQ(next, qint64(addresses.size()));
        EXPECT_EQ(seen.size(), addresses.size());
    }
}

TEST(BulkMailing, HeaderTexts) {
    // (A CAP bundle's texts: frmSpedizioneBlocco.)
    const Bundle b{
        .number = 12, .level = Level::Province, .key = "MI", .destination = "LOMBARDIA", .pieces = 1};
    EXPECT_EQ(b.headerText(), QStringLiteral("MAZZETTO 12 – PROVINCIA MI (LOMBARDIA) – 1 pezzo"));

    // A narrow label: the area wraps at its blanks instead of running off the label.
    const StampaEtichette::Measure chars = test::mmPerChar;
    EXPECT_EQ(StampaEtichette::wrapped(b.headerTexts(), chars, 14),
              (QStringList{"MAZZETTO 12", "PROVINCIA MI", "(LOMBARDIA)", "1 pezzo"}));
    EXPECT_EQ(StampaEtichette::wrapped({"PRECIPITEVOLISSIMEVOLMENTE"}, chars, 10),
              QStringList{"PRECIPITEV"});
}

TEST(ProvinceRegions, EveryProvinceHasItsRegion) {
    const QStringList all = ProvinceRegions::provinces();
    EXPECT_EQ(all.size(), 107);
    EXPECT_EQ(std::set<QString>(all.begin(), all.end()).size(), 107u);
    EXPECT_EQ(ProvinceRegions::regionOf(" rm "), "LAZIO");
    EXPECT_EQ(ProvinceRegions::regionOf("FC"), "EMILIA-ROMAGNA");
    EXPECT_EQ(ProvinceRegions::regionOf("SU"), "SARDEGNA");
    EXPECT_EQ(ProvinceRegions::regionOf("CI"), "SARDEGNA");
    EXPECT_EQ(ProvinceRegions::regionOf("BT"), "PUGLIA");
    EXPECT_EQ(ProvinceRegions::regionOf("XX"), "");
}

TEST(PostalStyle, Lines) {
    // Texts: upper case, no dashes or number marks, dots only inside words.
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"Via Roma, 12", "VIA ROMA 12"},
        {"via Roma n. 12", "VIA ROMA 12"},
        {"Corso Italia, N°3/B", "CORSO ITALIA 3/B"},
        {"P.zza Duomo nr.1", "P.ZZA DUOMO 1"},
        {"V. Garibaldi 7", "V GARIBALDI 7"},
        {"Rossi S.p.A.", "ROSSI SPA"},
        {"Gent.ma Sig.ra", "GENT.MA SIG.RA"},
        {"Egr. Sig.", "EGR SIG"},
        {"Dott.  Mario  (ufficio)", "DOTT MARIO UFFICIO"},
        {"Via Nazionale 3", "VIA NAZIONALE 3"},
        {"Sant'Angelo", "SANT'ANGELO"},
        {"Forlì", "FORLÌ"},
        {"   ", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(PostalStyle::text(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
    }

    const StampaEtichette::Measure chars = test::mmPerChar;
    auto l = PostalStyle::lines(address("1", "Spett.le", "Rossi", "Mario", "Ufficio acquisti",
                                        "Via Roma, 1", " 00100 ", "Roma", "rm", "Francia"),
                                chars, 60, nullptr, SheetFormat::standard());
    // The province without brackets; no dashes; a dot inside a word stays.
    EXPECT_EQ(l[1], "SPETT.LE");
    EXPECT_EQ(l[2], "ROSSI MARIO");
    EXPECT_EQ(l[4], "UFFICIO ACQUISTI");
    EXPECT_EQ(l[5], "VIA ROMA 1");
    EXPECT_EQ(l[6], "00100 ROMA RM");
    EXPECT_EQ(l[7], "FRANCIA");

    // Surname and name on two lines make 7: the title gives way.
    l = PostalStyle::lines(address("1", "Spett.le", QString(40, u'R'), QString(25, u'M'), "Ufficio",
                                   "Via Roma 1", "00100", "Roma", "RM", "Francia"),
                           chars, 60, nullptr, SheetFormat::standard());
    EXPECT_EQ(l[1], "");
    EXPECT_EQ(l[3], QString(25, u'M'));
    EXPECT_EQ(l[4], "UFFICIO");
    l = PostalStyle::lines(address("1", "", "ROSSI", "", "", "", "00100", "ROMA", "RM", "I"), chars,
                           60, nullptr, SheetFormat::standard());
    EXPECT_EQ(l[7], "");

    // Nothing but blanks prints no blank line; a long locality keeps its province.
    bool cut = false;
    l = PostalStyle::lines(address("2", " ", "", "", "", "", "00100", QString(40, u'X'), "RM"),
                           chars, 20, &cut, SheetFormat::standard());
    for (int i = 1; i < StampaEtichette::LineCount; ++i)
        EXPECT_NE(l[std::size_t(i)], " ") << i;
    EXPECT_EQ(l[2], "");
    EXPECT_EQ(l[6], "00100 XXXXXXXXXXX RM");
    EXPECT_TRUE(cut);
}

TEST(BulkPdf, LabelsAndDeliveryListReadBack) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("esempio.mdb");
    archive::Database db = test::sampleArchive(mdb, 300, 7);
    const QString list = dir.filePath("distinta.pdf"), labels = dir.filePath("etichette.pdf");
    const auto run =
        test::runCommand("bundles", {mdb, "--pdf", list, "--labels", labels, "--postal-style",
                                     "--product", "Posta massiva", "--format", "A4 3x8 70x36"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(test::runCommand("bundles", {mdb, "--pdf", list, "--labels", list}).status, 2);
    EXPECT_EQ(test::runCommand("bundles", {mdb, "--pdf", list, "--min", "0"}).status, 2);
    const QRegularExpression counts(QStringLiteral("Mazzetti: (\\d+)\nPezzi: 300\n"));
    const auto m = counts.match(run.out);
    ASSERT_TRUE(m.hasMatch()) << run.out.toStdString();

    const BulkJob job = BulkJob::ofGroups(db, {}, {});
    EXPECT_EQ(int(job.bundles().size()), m.captured(1).toInt());
    expectBundleOrder(labelsOf(labels, SheetFormat::standard()), job);

    // The list: one row per bundle with its pieces, adding up to the total it prints.
    qint64 sum = 0, total = -1;
    int rows = 0;
    const QStringList lines = linesOf(list);
    const QString text = lines.join(u'\n');
    for (const Bundle& b : job.bundles())
        EXPECT_TRUE(
            lines.contains(QStringLiteral("%1 %2 %3 %4")
                               .arg(b.number)
                               .arg(DeliveryList::areaColumn(b), DeliveryList::destinationColumn(b))
                               .arg(b.pieces)
                               .simplified()))
            << b.number << text.toStdString();
    static const QRegularExpression row(QStringLiteral(R"(^(\d+);[^;]*;[^;]*;(\d+)$)"));
    for (const QString& line :
         QString::fromUtf8(test::fileBytes(dir.filePath("distinta.csv"))).split("\r\n")) {
        if (const auto r = row.match(line); r.hasMatch()) {
            ++rows;
            sum += r.captured(2).toLongLong();
        } else if (line.startsWith("Totale;")) {
            total = line.section(u';', -1).toLongLong();
        }
    }
    EXPECT_EQ(rows, int(job.bundles().size()));
    EXPECT_EQ(sum, 300);
    EXPECT_EQ(total, 300);
    EXPECT_TRUE(text.contains("TOTALE PEZZI 300")) << text.toStdString();
    EXPECT_TRUE(text.contains("Prodotto: Posta massiva"));
    // Only provinces with pieces are listed.
    const auto su = std::count_if(job.addresses().begin(), job.addresses().end(),
                                  [](const auto& a) { return a[8].trimmed() == "SU"; });
    EXPECT_EQ(lines.contains("SU SARDEGNA " + QString::number(su)), su > 0);
    EXPECT_EQ(test::fileBytes(dir.filePath("etichette.txt")).count("\r\n"), 300 + 4);
}

TEST(BulkPdf, HeaderNeverEndsASheetAlone) {
    // 1 header + 22 addresses fill 23 places: the second header would take the 24th.
    std::vector<archive::AddressRecord> list;
    for (int i = 0; i < 32; ++i)
        list.push_back(test::address(QString::number(i + 1), "", QStringLiteral("ROSSI%1").arg(i),
                                     "", "", QStringLiteral("VIA ROMA %1").arg(i),
                                     i < 22 ? "00100" : "20121", i < 22 ? "ROMA" : "MILANO",
                                     i < 22 ? "RM" : "MI"));
    const BulkJob job(list, {});
    ASSERT_EQ(job.bundles().size(), 2u);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("e.pdf");
    LabelOptions options;
    options.postalStyle = true;
    {
        PdfPrinter printer(pdf);
        const auto printed = job.printLabels(printer, options, SheetFormat::standard(), {1, 1});
        EXPECT_EQ(printed.labels, 32);
        EXPECT_EQ(printed.headers, 2);
        printer.finishJob();
    }
    EXPECT_EQ(job.sheetsFor(SheetFormat::standard(), {1, 1}), 2);
    const auto labels = labelsOf(pdf, SheetFormat::standard());
    expectBundleOrder(labels, job);
    ASSERT_EQ(labels.size(), 34u);
    EXPECT_EQ(labels[22].place, 23);
    EXPECT_EQ(labels[23].page, 2);
    EXPECT_EQ(labels[23].place, 1);
}
