#include "PdfWords.h"
#include "PrintFixtures.h"
#include "support/CommandRun.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;

namespace {

// Addresses that exercise every text rule: joined and split names, long streets and
// localities, foreign countries, missing titles.
test::MemorySource referenceAddresses() {
    test::MemorySource s;
    for (int i = 1; i <= 30; ++i) {
        auto r = test::sampleAddress(i);
        switch (i % 6) {
        case 1:
            r[1].clear();
            break;
        case 2:
            r[2] = QStringLiteral("DELLA GHERARDESCA MONTEFELTRO");
            r[3] = QStringLiteral("MARIA ANTONIETTA");
            r[4] = QStringLiteral("c/o STUDIO ASSOCIATO");
            break;
        case 3:
            r[7] = QStringLiteral("SAN GIOVANNI IN PERSICETO DI SOTTO");
            r[8] = QStringLiteral("BO");
            break;
        case 4:
            r[9] = QStringLiteral("FRANCIA");
            r[7] = QStringLiteral("PARIS CEDEX 07 ARRONDISSEMENT DU NORD");
            r[8].clear();
            break;
        case 5:
            r[5] = QStringLiteral("VIA DEI MILLE FRATELLI BANDIERA E GARIBALDINI 12/B SCALA C");
            break;
        default:
            break;
        }
        s.add(r);
    }
    return s;
}

// Words of a PDF exactly as pdftotext writes them: page, box, text.
QString rawWords(const QString& pdf) {
    QString out;
    for (const auto& [page, fields] : test::rawWordsOf(pdf))
        out += QString::number(page) + ' ' + fields.join(' ') + '\n';
    return out;
}

QString recorded(const RecordingPrinter& printer) {
    QString out;
    for (const auto& e : printer.events()) {
        out += QStringLiteral("%1 d%2 %3 %4")
                   .arg(int(e.kind))
                   .arg(e.document)
                   .arg(e.x, 0, 'f', 4)
                   .arg(e.y, 0, 'f', 4);
        if (e.clip)
            out += QStringLiteral(" [%1 %2 %3 %4]")
                       .arg(e.clip->x(), 0, 'f', 4)
                       .arg(e.clip->y(), 0, 'f', 4)
                       .arg(e.clip->width(), 0, 'f', 4)
                       .arg(e.clip->height(), 0, 'f', 4);
        out += QLatin1Char(' ') + e.text + QLatin1Char('\n');
    }
    return out;
}

} // namespace

// The A4 3 x 8 sheet of 70 x 36 mm prints exactly what it printed before sheet formats
// existed: the reference was written by that code (VELOMAR_WRITE_REFERENCE=1 rewrites it).
TEST(SheetReference, DefaultSheetPrintsAsBefore) {
    struct Case {
        const char* name;
        LabelOptions options;
        LabelPosition start;
    };
    const Case cases[] = {
        {"default", {}, {1, 1}},
        {"bold-condensed-offsets", {true, true, 7, 10}, {3, 2}},
        {"offsets-last-row", {false, false, 10, 4}, {8, 1}},
    };
    QTemporaryDir dir;
    QString actual;
    for (const Case& c : cases) {
        actual += QStringLiteral("== %1\n").arg(QLatin1String(c.name));
        const QString pdf = dir.filePath(QLatin1String(c.name) + QStringLiteral(".pdf"));
        auto source = referenceAddresses();
        const auto run = test::printLabelsPdf(pdf, source, c.options, c.start);
        actual += QStringLiteral("end %1,%2 cut %3\n")
                      .arg(run.end.row)
                      .arg(run.end.column)
                      .arg(run.cut.join(','));
        actual += rawWords(pdf);
        source = referenceAddresses();
        RecordingPrinter recorder;
        test::printLabels(recorder, source, c.options, c.start);
        recorder.finishJob();
        actual += recorded(recorder);
    }

    const QString path =
        QStringLiteral(VELOMAR_SOURCE_DIR "/tests/printing/data/labels-a4-3x8.ref");
    if (qEnvironmentVariableIsSet("VELOMAR_WRITE_REFERENCE"))
        ASSERT_TRUE(test::writeFile(path, actual.toUtf8()));
    const QStringList expected = QString::fromUtf8(test::fileBytes(path)).split(QLatin1Char('\n'));
    const QStringList got = actual.split(QLatin1Char('\n'));
    ASSERT_EQ(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
}
