#include "exchange/VCardReader.h"
#include "exchange/ExchangeError.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using exchange::ExchangeError;
using exchange::VCardReader;
using C = exchange::VCardReader;

namespace {

QString vcardData(const QString& name) {
    return test::sourcePath("tests/exchange/data/vcard/" + name);
}

QList<QStringList> readAll(VCardReader& reader, QList<qint64>* lines = nullptr) {
    QList<QStringList> rows;
    QStringList values;
    while (reader.next(values)) {
        EXPECT_EQ(values.size(), reader.columns().size());
        rows.append(values);
        if (lines)
            lines->append(reader.position());
    }
    return rows;
}

} // namespace

TEST(VCardReaderTest, Version21QuotedPrintableCharsetsAndFolding) {
    VCardReader reader(vcardData("outlook-2.1.vcf"));
    EXPECT_EQ(reader.columns().size(), C::ColumnCount);
    EXPECT_EQ(reader.columns()[C::Street], "ADR.via");
    EXPECT_EQ(reader.description(), "vCard 2.1, codifica UTF-8");
    QList<qint64> lines;
    const auto cards = readAll(reader, &lines);
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(lines, (QList<qint64>{1, 17}));

    const QStringList& a = cards[0];
    EXPECT_EQ(a[C::Surname], "D'Agostino");
    EXPECT_EQ(a[C::GivenName], QStringLiteral("Niccolò"));
    EXPECT_EQ(a[C::Prefix], "Dott.");
    EXPECT_EQ(a[C::FormattedName], QStringLiteral("Dott. Niccolò D'Agostino"));
    EXPECT_EQ(a[C::Organization], "Studio D'Agostino");
    EXPECT_EQ(a[C::Department], "Amministrazione");
    EXPECT_EQ(a[C::JobTitle], "Commercialista");
    // HOME;PREF wins over the WORK address written first; CHARSET=ISO-8859-1 applied.
    EXPECT_EQ(a[C::Street], "Via Po 5");
    EXPECT_EQ(a[C::PostalCode], "00198");
    EXPECT_EQ(a[C::AddressKind], "casa");
    EXPECT_EQ(a[C::WorkStreet], QStringLiteral("Via dell'Università 3"));
    EXPECT_EQ(a[C::WorkLocality], "Roma");
    EXPECT_EQ(a[C::WorkCountry], "Italia");
    EXPECT_EQ(a[C::Phone], "06 1234567");
    EXPECT_EQ(a[C::Mobile], "333 1234567");
    EXPECT_EQ(a[C::Fax], "06 7654321");
    EXPECT_EQ(a[C::Email], "niccolo@example.it");
    // Soft line break, =0D=0A and =3D; no CHARSET but UTF-8 bytes.
    EXPECT_EQ(a[C::Note],
              QStringLiteral("Prima riga\r\nseconda riga con caffè e un uguale = fine"));
    EXPECT_EQ(a[C::Categories], "Clienti, Roma");

    const QStringList& b = cards[1];
    EXPECT_EQ(b[C::Surname], "Gentile");
    EXPECT_EQ(b[C::Phone], "075 2222222"); // the PREF one, though second
    // A base64 photo block before it does not disturb; soft break inside the CAP.
    EXPECT_EQ(b[C::Street], "Piazza IV Novembre 1");
    EXPECT_EQ(b[C::PostalCode], "06121");
    EXPECT_EQ(b[C::WorkStreet], "");
    // 2.1 folding keeps the blank that starts the next line.
    EXPECT_EQ(b[C::Note], "Nota lunga piegata su due righe");
}

TEST(VCardReaderTest, Versions30And40TypesEscapesAndGroups) {
    VCardReader three(vcardData("contacts-3.0.vcf"));
    auto cards = readAll(three);
    ASSERT_EQ(cards.size(), 2);
    const QStringList& m = cards[0];
    EXPECT_EQ(m[C::Surname], QStringLiteral("Müller"));
    EXPECT_EQ(m[C::Prefix], "Dr.");
    EXPECT_EQ(m[C::JobTitle], QStringLiteral("Geschäftsführer"));
    // "item1." group prefix, type=pref, \n in the street.
    EXPECT_EQ(m[C::Street], QStringLiteral("Hauptstraße 5, Hinterhaus"));
    EXPECT_EQ(m[C::Locality], "Berlin");
    EXPECT_EQ(m[C::Region], "");
    EXPECT_EQ(m[C::Country], "Germany");
    EXPECT_EQ(m[C::AddressKind], "lavoro");
    EXPECT_EQ(m[C::WorkPostalCode], "10115");
    EXPECT_EQ(m[C::Phone], "+49 30 1234567");
    EXPECT_EQ(m[C::Fax], "+49 30 7654321");
    EXPECT_EQ(m[C::Mobile], "+49 170 1234567");
    EXPECT_EQ(m[C::Email], "j.mueller@example.de");
    // Escapes and a 3.0 fold that drops its one blank.
    EXPECT_EQ(m[C::Note],
              "Riga uno\nRiga due, con virgola; punto e virgola \\ barra e una riga piegata");
    EXPECT_EQ(m[C::Categories], "Fornitori, Germania");
    const QStringList& l = cards[1];
    EXPECT_EQ(l[C::Email], "lucia.bianchi@example.org");
    EXPECT_EQ(l[C::Street], "Corso Vittorio Emanuele II, 45");
    EXPECT_EQ(l[C::Phone], "011 5550000");

    VCardReader four(vcardData("card-4.0.vcf"));
    EXPECT_EQ(four.description(), "vCard 4.0, codifica UTF-8");
    cards = readAll(four);
    ASSERT_EQ(cards.size(), 1);
    const QStringList& a = cards[0];
    EXPECT_EQ(a[C::AdditionalNames], "Maria");
    // PREF=1 picks the work address; its extended part joins the street.
    EXPECT_EQ(a[C::Street], "Corso Como 10, Piano 3");
    EXPECT_EQ(a[C::PostalCode], "20154");
    EXPECT_EQ(a[C::Phone], "+39-02-1234567"); // TYPE="voice,home" and the tel: URI
    EXPECT_EQ(a[C::Mobile], "+39-333-7654321");
    EXPECT_EQ(a[C::Email], "anna.bianchi@example.org");
}

TEST(VCardReaderTest, RefusesOtherFilesAndKeepsACardWithoutEnd) {
    QTemporaryDir dir;
    QFile text(dir.filePath("testo.vcf"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Cognome;Nome\nRossi;Mario\n");
    text.close();
    try {
        VCardReader reader(text.fileName());
        FAIL() << "a file without cards must be refused";
    } catch (const ExchangeError& e) {
        EXPECT_EQ(e.code(), ExchangeError::BadInput);
    }
    EXPECT_THROW(VCardReader(dir.filePath("manca.vcf")), ExchangeError);

    // UTF-16 with BOM (some Windows exports), a nested AGENT card, no END at the end.
    QFile wide(dir.filePath("wide.vcf"));
    ASSERT_TRUE(wide.open(QIODevice::WriteOnly));
    const QString body = QStringLiteral(
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Rossi;Mario\r\nAGENT:\r\nBEGIN:VCARD\r\nN:Segretaria;"
        "Anna\r\n"
        "END:VCARD\r\nEMAIL:mario@example.it\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:Città;Nè\r\n");
    wide.write("\xFF\xFE");
    wide.write(reinterpret_cast<const char*>(body.utf16()), body.size() * 2);
    wide.close();
    // An 8-bit 2.1 export (Windows-1252 throughout, no CHARSET) beside a QP value in UTF-8.
    QFile ansi(dir.filePath("ansi.vcf"));
    ASSERT_TRUE(ansi.open(QIODevice::WriteOnly));
    ansi.write("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Forl\xEC;Niccol\xF2\r\n"
               "ORG;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Caff=C3=A8 S.p.A.\r\nEND:VCARD\r\n");
    ansi.close();
    VCardReader eightBit(ansi.fileName());
    EXPECT_EQ(eightBit.description(), "vCard 2.1, codifica Windows-1252");
    QStringList values;
    ASSERT_TRUE(eightBit.next(values));
    EXPECT_EQ(values[C::Surname], QStringLiteral("Forlì"));
    EXPECT_EQ(values[C::GivenName], QStringLiteral("Niccolò"));
    EXPECT_EQ(values[C::Organization], QStringLiteral("Caffè S.p.A."));

    VCardReader reader(wide.fileName());
    const auto cards = readAll(reader);
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards[0][C::GivenName], "Mario");
    EXPECT_EQ(cards[0][C::Email], "mario@example.it");
    EXPECT_EQ(cards[1][C::Surname], QStringLiteral("Città"));
}

TEST(VCardReaderTest, EveryBeginStartsACardAndLostEndsAreCounted) {
    QByteArray thousand = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Primo;\r\n"; // no END
    for (int i = 2; i <= 1000; ++i)
        thousand += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:C" + QByteArray::number(i) + ";\r\nEND:VCARD\r\n";
    struct Case {
        const char* what;
        QByteArray text;
        QStringList surnames; // of the first cards, in order
        qsizetype cards;
        int unclosed;
    } cases[] = {
        {"first of 1000 without END", thousand, {"Primo", "C2", "C3"}, 1000, 1},
        {"stray BEGIN inside a card",
         "BEGIN:VCARD\nN:Uno;\nBEGIN:VCARD\nN:Due;\nEND:VCARD\nBEGIN:VCARD\nN:Tre;\nEND:VCARD\n",
         {"Uno", "Due", "Tre"}, 3, 1},
        {"quoted-printable '=' before END",
         "BEGIN:VCARD\nVERSION:2.1\nN:Uno;\nNOTE;ENCODING=QUOTED-PRINTABLE:caff=C3=A8=\nEND:VCARD\n"
         "BEGIN:VCARD\nVERSION:2.1\nN:Due;\nEND:VCARD\n",
         {"Uno", "Due"}, 2, 0},
        {"quoted-printable '=' before BEGIN",
         "BEGIN:VCARD\nVERSION:2.1\nN:Uno;\nNOTE;QUOTED-PRINTABLE:x=\nbegin:vcard\nN:Due;\nEND:VCARD\n",
         {"Uno", "Due"}, 2, 1},
        {"AGENT card inside its owner",
         "BEGIN:VCARD\nVERSION:2.1\nN:Uno;\nAGENT:\nBEGIN:VCARD\nN:Agente;\nEND:VCARD\n"
         "EMAIL:uno@example.it\nEND:VCARD\nBEGIN:VCARD\nN:Due;\nEND:VCARD\n",
         {"Uno", "Due"}, 2, 0},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        QFile file(dir.filePath("schede.vcf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.text);
        file.close();
        VCardReader reader(file.fileName());
        const auto cards = readAll(reader);
        ASSERT_EQ(cards.size(), c.cards) << c.what;
        for (qsizetype i = 0; i < c.surnames.size(); ++i)
            EXPECT_EQ(cards[i][C::Surname], c.surnames[i]) << c.what;
        const QString notes = reader.readNotes().join(u'\n');
        EXPECT_EQ(notes.contains(QStringLiteral(": %1.").arg(c.unclosed)), c.unclosed > 0) << c.what;
        if (c.surnames.size() == 2 && QByteArray(c.what).startsWith("quoted"))
            EXPECT_FALSE(cards[0][C::Note].contains("END", Qt::CaseInsensitive)) << c.what;
        if (QByteArray(c.what).startsWith("AGENT"))
            EXPECT_EQ(cards[0][C::Email], "uno@example.it");
    }
}

TEST(VCardReaderTest, TheFirstValueStaysUnlessALaterOneIsPreferred) {
    QTemporaryDir dir;
    QFile file(dir.filePath("preferiti.vcf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCARD\nVERSION:3.0\nN:Rossi;Mario\nEMAIL:primo@example.it\nEMAIL:secondo@example.it\n"
               "TEL;TYPE=CELL:333 1\nTEL;TYPE=CELL,PREF:333 2\nTEL;TYPE=CELL:333 3\nEND:VCARD\n");
    file.close();
    VCardReader reader(file.fileName());
    const auto cards = readAll(reader);
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0][C::Email], "primo@example.it");
    EXPECT_EQ(cards[0][C::Mobile], "333 2");
}
