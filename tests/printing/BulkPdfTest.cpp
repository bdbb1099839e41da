#include "PdfWords.h"
#include "PrintFixtures.h"

#include "printing/BulkJob.h"
#include "printing/DeliveryList.h"
#include "printing/PostalStyle.h"
#include "support/CommandRun.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

using namespace velomar;
using namespace velomar::printing;

namespace {

QString unescaped(QString word) {
    return word.replace("&apos;", "'")
        .replace("&quot;", "\"")
        .replace("&lt;", "<")
        .replace("&gt;", ">")
        .replace("&amp;", "&");
}

// The printed lines of a list, words of one baseline left to right, joined by blanks.
QStringList linesOf(const QString& pdf) {
    std::map<std::tuple<int, int, double>, QString> words;
    for (const test::Word& w : test::wordsOf(pdf))
        words[{w.page, int(std::lround(w.box.bottom() * 10)), w.box.left()}] = unescaped(w.text);
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
            t += (t.isEmpty() ? "" : " ") + unescaped(w.text);
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
