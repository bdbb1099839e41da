#include "exchange/VCardReader.h"
#include "ExchangeTest.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using exchange::ExchangeError;
using exchange::VCardReader;
using C = exchange::VCardReader;

namespace {

QString vcardData(const QString& name) {
    return test::exchangeData("vcard/" + name);
}

using Fields = std::vector<std::pair<int, QString>>;

void expectFields(const QStringList& card, const Fields& fields) {
    for (const auto& [column, value] : fields)
        EXPECT_EQ(card[column], value) << "column " << column << " of " << card.join(u'|').toStdString();
}

} // namespace

TEST(VCardReaderTest, Version21QuotedPrintableCharsetsAndFolding) {
    VCardReader reader(vcardData("outlook-2.1.vcf"));
    EXPECT_EQ(reader.columns().size(), C::ColumnCount);
    EXPECT_EQ(reader.columns()[C::Street], "ADR.via");
    EXPECT_EQ(reader.description(), "vCard 2.1, codifica UTF-8");
    QList<qint64> lines;
    const auto cards = test::readRows(reader, &lines);
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(lines, (QList<qint64>{1, 17}));

    expectFields(cards[0], {
        {C::Surname, "D'Agostino"}, {C::GivenName, QStringLiteral("Niccolò")}, {C::Prefix, "Dott."},
        {C::FormattedName, QStringLiteral("Dott. Niccolò D'Agostino")}, {C::Organization, "Studio D'Agostino"},
        {C::Department, "Amministrazione"}, {C::JobTitle, "Commercialista"},
        // HOME;PREF wins over the WORK address written first; CHARSET=ISO-8859-1 applied.
        {C::Street, "Via Po 5"}, {C::PostalCode, "00198"}, {C::AddressKind, "casa"},
        {C::WorkStreet, QStringLiteral("Via dell'Università 3")}, {C::WorkLocality, "Roma"},
        {C::WorkCountry, "Italia"}, {C::Phone, "06 1234567"}, {C::Mobile, "333 1234567"}, {C::Fax, "06 7654321"},
        {C::Email, "niccolo@example.it"}, {C::Categories, "Clienti, Roma"},
        // Soft line break, =0D=0A and =3D; no CHARSET but UTF-8 bytes.
        {C::Note, QStringLiteral("Prima riga\r\nseconda riga con caffè e un uguale = fine")}});
    expectFields(cards[1], {
        {C::Surname, "Gentile"}, {C::Phone, "075 2222222"}, // the PREF one, though second
        // A base64 photo block before it does not disturb; soft break inside the CAP.
        {C::Street, "Piazza IV Novembre 1"}, {C::PostalCode, "06121"}, {C::WorkStreet, ""},
        // 2.1 folding keeps the blank that starts the next line.
        {C::Note, "Nota lunga piegata su due righe"}});
}

TEST(VCardReaderTest, Versions30And40TypesEscapesAndGroups) {
    VCardReader three(vcardData("contacts-3.0.vcf"));
    auto cards = test::readRows(three);
    ASSERT_EQ(cards.size(), 2);
    expectFields(cards[0], {
        {C::Surname, QStringLiteral("Müller")}, {C::Prefix, "Dr."}, {C::JobTitle, QStringLiteral("Geschäftsführer")},
        // "item1." group prefix, type=pref, \n in the street.
        {C::Street, QStringLiteral("Hauptstraße 5, Hinterhaus")}, {C::Locality, "Berlin"}, {C::Region, ""},
        {C::Country, "Germany"}, {C::AddressKind, "lavoro"}, {C::WorkPostalCode, "10115"},
        {C::Phone, "+49 30 1234567"}, {C::Fax, "+49 30 7654321"}, {C::Mobile, "+49 170 1234567"},
        {C::Email, "j.mueller@example.de"}, {C::Categories, "Fornitori, Germania"},
        // Escapes and a 3.0 fold that drops its one blank.
        {C::Note, "Riga uno\nRiga due, con virgola; punto e virgola \\ barra e una riga piegata"}});
    expectFields(cards[1], {{C::Email, "lucia.bianchi@example.org"},
                            {C::Street, "Corso Vittorio Emanuele II, 45"}, {C::Phone, "011 5550000"}});

    VCardReader four(vcardData("card-4.0.vcf"));
    EXPECT_EQ(four.description(), "vCard 4.0, codifica UTF-8");
    cards = test::readRows(four);
    ASSERT_EQ(cards.size(), 1);
    expectFields(cards[0], {
        {C::AdditionalNames, "Maria"},
        // PREF=1 picks the work address; its extended part joins the street.
        {C::Street, "Corso Como 10, Piano 3"}, {C::PostalCode, "20154"},
        {C::Phone, "+39-02-1234567"}, // TYPE="voice,home" and the tel: URI
        {C::Mobile, "+39-333-7654321"}, {C::Email, "anna.bianchi@example.org"}});
}

TEST(VCardReaderTest, RefusesOtherFilesAndKeepsACardWithoutEnd) {
    QTemporaryDir dir;
    ASSERT_TRUE(test::writeFile(dir.filePath("testo.vcf"), "Cognome;Nome\nRossi;Mario\n"));
    EXPECT_THROW(VCardReader(dir.filePath("testo.vcf")), ExchangeError);
    EXPECT_THROW(VCardReader(dir.filePath("manca.vcf")), ExchangeError);

    // An 8-bit 2.1 export (Windows-1252 throughout, no CHARSET) beside a QP value in UTF-8.
    ASSERT_TRUE(test::writeFile(dir.filePath("ansi.vcf"), "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Forl\xEC;Niccol\xF2\r\n"
               "ORG;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Caff=C3=A8 S.p.A.\r\nEND:VCARD\r\n"));
    VCardReader eightBit(dir.filePath("ansi.vcf"));
    EXPECT_EQ(eightBit.description(), "vCard 2.1, codifica Windows-1252");
    QStringList values;
    ASSERT_TRUE(eightBit.next(values));
    expectFields(values, {{C::Surname, QStringLiteral("Forlì")}, {C::GivenName, QStringLiteral("Niccolò")},
                          {C::Organization, QStringLiteral("Caffè S.p.A.")}});
}

TEST(VCardReaderTest, EveryBeginStartsACardAndLostEndsAreCounted) {
    // UTF-16 with BOM (some Windows exports), a nested AGENT card, no END at the end.
    const QString body = QStringLiteral(
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Rossi;Mario\r\nAGENT:\r\nBEGIN:VCARD\r\nN:Segretaria;"
        "Anna\r\nEND:VCARD\r\nEMAIL:uno@example.it\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:Città;Nè\r\n");
    const QByteArray wide = test::utf16(body);
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
         {"Uno", "Due", "Tre"},
         3,
         1},
        {"quoted-printable '=' before END",
         "BEGIN:VCARD\nVERSION:2.1\nN:Uno;\nNOTE;ENCODING=QUOTED-PRINTABLE:caff=C3=A8=\nEND:VCARD\n"
         "BEGIN:VCARD\nVERSION:2.1\nN:Due;\nEND:VCARD\n",
         {"Uno", "Due"},
         2,
         0},
        {"quoted-printable '=' before BEGIN",
         "BEGIN:VCARD\nVERSION:2.1\nN:Uno;\nNOTE;QUOTED-PRINTABLE:x=\nbegin:vcard\nN:Due;\nEND:"
         "VCARD\n",
         {"Uno", "Due"},
         2,
         1},
        {"AGENT card inside its owner",
         "BEGIN:VCARD\nVERSION:2.1\nN:Uno;\nAGENT:\nBEGIN:VCARD\nN:Agente;\nEND:VCARD\n"
         "EMAIL:uno@example.it\nEND:VCARD\nBEGIN:VCARD\nN:Due;\nEND:VCARD\n",
         {"Uno", "Due"},
         2,
         0},
        {"AGENT card in UTF-16", wide, {"Rossi", QStringLiteral("Città")}, 2, 0},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        ASSERT_TRUE(test::writeFile(dir.filePath("schede.vcf"), c.text));
        VCardReader reader(dir.filePath("schede.vcf"));
        const auto cards = test::readRows(reader);
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
    ASSERT_TRUE(test::writeFile(dir.filePath("preferiti.vcf"),
                                "BEGIN:VCARD\nVERSION:3.0\nN:Rossi;Mario\nEMAIL:primo@example.it\nEMAIL:secondo@example.it\n"
                                "TEL;TYPE=CELL:333 1\nTEL;TYPE=CELL,PREF:333 2\nTEL;TYPE=CELL:333 3\nEND:VCARD\n"));
    VCardReader reader(dir.filePath("preferiti.vcf"));
    const auto cards = test::readRows(reader);
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0][C::Email], "primo@example.it");
    EXPECT_EQ(cards[0][C::Mobile], "333 2");
}
