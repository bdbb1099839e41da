#include "MemorySource.h"
#include "support/CommandRun.h"

#include "printing/PdfPrinter.h"
#include "printing/RecordingPrinter.h"
#include "printing/StampaEtichette.h"

#include <QProcess>
#include <QRegularExpression>
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
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QString out;
    int page = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        out += QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                   .arg(page)
                   .arg(m.captured(1), m.captured(2), m.captured(3), m.captured(4), m.captured(5));
    }
    return out;
}

QString recorded(const RecordingPrinter& printer) {
    QString out;
    for (const auto& e : printer.events()) {
        out += QStringLiteral("%1 d%2 %3 %4").arg(int(e.kind)).arg(e.document).arg(e.x, 0, 'f', 4).arg(e.y, 0, 'f', 4);
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
        {
            auto source = referenceAddresses();
            PdfPrinter printer(pdf);
            StampaEtichette engine(printer, c.options);
            LabelPosition pos = c.start;
            engine.print(source, pos);
            printer.finishJob();
            actual += QStringLiteral("end %1,%2 cut %3\n")
                          .arg(pos.row)
                          .arg(pos.column)
                          .arg(engine.cutLabels().join(QLatin1Char(',')));
        }
        actual += rawWords(pdf);
        auto source = referenceAddresses();
        RecordingPrinter recorder;
        StampaEtichette engine(recorder, c.options);
        LabelPosition pos = c.start;
        engine.print(source, pos);
        recorder.finishJob();
        actual += recorded(recorder);
    }

    const QString path = QStringLiteral(VELOMAR_SOURCE_DIR "/tests/printing/data/labels-a4-3x8.ref");
    if (qEnvironmentVariableIsSet("VELOMAR_WRITE_REFERENCE"))
        ASSERT_TRUE(test::writeFile(path, actual.toUtf8()));
    const QStringList expected = QString::fromUtf8(test::fileBytes(path)).split(QLatin1Char('\n'));
    const QStringList got = actual.split(QLatin1Char('\n'));
    ASSERT_EQ(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
}
