#include "../archive/ArchiveTestFiles.h"
#include "ExchangeTest.h"
#include "archive/DataModel.h"
#include "exchange/FileImporter.h"
#include "exchange/ImportMapping.h"
#include "exchange/ImportValues.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;

using archive::DataModel;
using exchange::CountryNames;
using exchange::DuplicateChoice;
using exchange::FileImporter;
using exchange::ImportMapping;
using exchange::ImportOptions;
using exchange::ImportValues;

namespace {

struct Target {
    QTemporaryDir dir;
    QString path = test::createTestArchive(dir.filePath("dest.mdb"));
    archive::Database db{path, archive::Database::Mode::ReadWrite};
};

// Imports every row of source with the mapping its header gives.
exchange::ImportSummary importAll(exchange::SourceTable& source, archive::Database& db,
                                  const ImportOptions& options = {}) {
    return FileImporter::run(source, ImportMapping::fromHeader(source.columns()), options, db);
}

// Field name -> the column name that fills it ("" when none).
std::map<QString, QString> mapped(const QStringList& header) {
    const ImportMapping m = ImportMapping::fromHeader(header);
    std::map<QString, QString> out;
    std::map<int, int> fieldOfColumn; // a column fills one field at most
    for (int f = 1; f < DataModel::FieldCount; ++f)
        if (const int c = m.column(f); c >= 0 && !fieldOfColumn.try_emplace(c, f).second)
            ADD_FAILURE() << header[c].toStdString() << " fills fields " << fieldOfColumn[c]
                          << " and " << f;
    for (int f = 1; f < DataModel::FieldCount; ++f)
        out[DataModel::fieldName(f)] = m.column(f) == ImportMapping::FromGroups
                                           ? QStringLiteral("(gruppi)")
                                       : m.column(f) < 0 ? QString()
                                                         : header[m.column(f)];
    return out;
}

} // namespace

// Our own header is stored as it is; every shortened value of every row is counted; cancel or
// a failing source leaves the target as it was.
TEST(FileImporter, EveryShortenedValueOfEveryRowIsCounted) {
    Target t;
    const QStringList header = DataModel::tabMailColumns().mid(0, 17);
    QStringList row{"77", "Dott.", "Rossi", "Mario", "Ruolo", "Via Roma 1", "820", "milano", "Roma", "I", "02",
                    "03", "333", "m@x.it", "abc", QString(200, u'n'), QStringLiteral("riga 1\r\n\"riga 2\", àè")};
    test::MemoryTable source(header, {row});
    const auto summary = importAll(source, t.db);
    EXPECT_TRUE(summary.oneToOne);
    EXPECT_EQ(summary.imported, 1);
    EXPECT_EQ(summary.cutValues, 0);
    row.removeFirst();
    EXPECT_EQ(test::storedRows(t.path), QStringList{"'" + row.join("'|'") + "'"});

    test::MemoryTable cut(
        {"Cognome", "Città"},
        {{QString(60, u'R'), "Roma"}, {QString(60, u'B'), QString(40, u'C')}, {"Verdi", "Como"}});
    const auto shortened = importAll(cut, t.db);
    EXPECT_EQ(shortened.imported, 3);
    EXPECT_EQ(shortened.cutValues, 3);

    // Cancel, or a failing source, leaves the target as it was.
    t.db.close();
    const QByteArray before = test::fileBytes(t.path);
    t.db = archive::Database(t.path, archive::Database::Mode::ReadWrite);

    std::vector<QStringList> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({QStringLiteral("Cognome%1").arg(i), QString(30, u'v')});
    test::MemoryTable many({"Cognome", "Indirizzo"}, rows);
    qint64 calls = 0;
    const auto cancelled =
        FileImporter::run(many, ImportMapping::fromHeader(many.columns()), {}, t.db,
                          [&](qint64 done) { return ++calls < 5 && done > 0; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.imported, 0); // nothing of it was kept
    EXPECT_EQ(cancelled.lines(),
              QStringList{"Importazione annullata: l'archivio non è stato modificato."});
    EXPECT_EQ(test::countAddresses(t.db), 4);
    t.db.close();
    EXPECT_EQ(test::fileBytes(t.path), before);

    // A reader that meets a broken row after two good ones: nothing of it is kept either.
    t.db = archive::Database(t.path, archive::Database::Mode::ReadWrite);
    test::MemoryTable broken({"Cognome"}, {{"Rossi"}, {"Verdi"}, {"Bianchi"}},
                             test::unreadableAt(3, "Riga 4: virgolette non chiuse"));
    EXPECT_THROW(importAll(broken, t.db), exchange::ExchangeError);
    EXPECT_EQ(test::countAddresses(t.db), 4);
    // The connection is usable again: no transaction was left open.
    test::MemoryTable good({"Cognome"}, {{"Rossi"}});
    EXPECT_EQ(importAll(good, t.db).imported, 1);
}

TEST(FileImporter, RowsLikeAnAddressAlreadyThereAreSkippedImportedOrListedAsChosen) {
    const struct {
        const char* name;
        DuplicateChoice choice;
        qint64 imported;
        qint64 duplicates;
        const char* lines;
    } cases[] = {
        {"no check", DuplicateChoice::NoCheck, 4, 0, "Importati 4 indirizzi."},
        {"exact", DuplicateChoice::Exact, 3, 1, "Importati 3 indirizzi.\nDoppioni saltati: 1."},
        {"skip", DuplicateChoice::Skip, 1, 3, "Importati 1 indirizzi.\nDoppioni saltati: 3."},
        {"import anyway", DuplicateChoice::ImportAnyway, 4, 3,
         "Importati 4 indirizzi.\nProbabili doppioni importati lo stesso: 3."},
        {"review", DuplicateChoice::Review, 4, 3,
         "Importati 4 indirizzi.\nProbabili doppioni importati lo stesso: 3.\n  riga 2: Nr. 2 come Nr. 1\n"
         "  riga 3: Nr. 3 come Nr. 1\n  riga 5: Nr. 5 come Nr. 4\n"
         "Da controllare con \"Cerca doppioni\" nel menu Archivio."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Target t;
        t.db.exec("INSERT INTO TabMAIL (COGNOME, NOME1, INDIRIZZO, CAP) VALUES ('Rossi', 'Mario', "
                  "'Via Giuseppe Verdi 3', '00100')");
        test::MemoryTable source({"Cognome", "Nome", "Indirizzo", "CAP"},
                                 {{"ROSSI", "MARIO", "V. G. Verdi, 3", "00100"},   // probably the one there
                                  {"Rossi", "Mario", "Via Giuseppe Verdi 3", "00100"}, // exactly the one there
                                  {"Bruno", "Anna", "Via Po 1", "10100"},
                                  {"BRUNO", "ANNA", "Via Po, 1", "10100"}}); // like the row before
        ImportOptions options;
        options.duplicates = c.choice;
        const auto summary = importAll(source, t.db, options);
        EXPECT_EQ(summary.imported, c.imported);
        EXPECT_EQ(summary.duplicates, c.duplicates);
        QStringList lines = summary.lines();
        lines.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("Indirizzi con CAP")); });
        EXPECT_EQ(lines.join(u'\n'), QString::fromUtf8(c.lines));
        EXPECT_EQ(test::countAddresses(t.db), c.imported + 1);
    }
}

TEST(ImportMapping, HeadersOfTheUsualExports) {
    struct Case {
        const char* what;
        const char* header;   // column names, comma-separated
        const char* expected; // field=column, '|'-separated; "(gruppi)" for the numbered groups
    };
    const Case cases[] = {
        // The numbered groups fill phones, e-mail and address row by row.
        {"Google Contacts",
         "Name,Given Name,Additional Name,Family Name,Name Prefix,Notes,Group Membership,"
         "E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,Address 1 - Street,"
         "Address 1 - City,Address 1 - Region,Address 1 - Postal Code,Address 1 - Country,"
         "Organization 1 - Name,Organization 1 - Title",
         "TITOLO=Name Prefix|COGNOME=Family Name|NOME1=Given Name|NOME2=Organization 1 - Title|"
         "INDIRIZZO=(gruppi)|CAP=(gruppi)|CITTA=(gruppi)|PROV=(gruppi)|NAZ=(gruppi)|"
         "NUM_TEL=(gruppi)|NUM_FAX=(gruppi)|NUM_CEL=(gruppi)|E_MAIL=(gruppi)|"
         "GR=Group Membership|NOTE=Notes"},
        // Title is the prefix, Job Title the role; home address before business.
        {"Outlook",
         "Title,First Name,Middle Name,Last Name,Company,Job Title,Business Street,Business City,"
         "Business Postal Code,Home Street,Home City,Home State,Home Postal Code,"
         "Home Country/Region,Business Fax,Business Phone,Home Phone,Mobile Phone,Categories,"
         "E-mail Address,Notes",
         "TITOLO=Title|COGNOME=Last Name|NOME1=First Name|NOME2=Job Title|INDIRIZZO=Home Street|"
         "CAP=Home Postal Code|CITTA=Home City|PROV=Home State|NAZ=Home Country/Region|"
         "NUM_TEL=Home Phone|NUM_FAX=Business Fax|NUM_CEL=Mobile Phone|E_MAIL=E-mail Address|"
         "GR=Categories"},
        {"Thunderbird",
         "First Name,Last Name,Display Name,Nickname,Primary Email,Work Phone,Fax Number,"
         "Mobile Number,Home Address,Home City,Home State,Home ZipCode,Home Country,Job Title,"
         "Organization,Notes",
         "COGNOME=Last Name|INDIRIZZO=Home Address|CAP=Home ZipCode|NUM_TEL=Work Phone|"
         "NUM_FAX=Fax Number|NUM_CEL=Mobile Number|E_MAIL=Primary Email|NOME2=Job Title"},
        // The company is the surname line.
        {"Northwind's Customers",
         "CustomerID,CompanyName,ContactName,ContactTitle,Address,City,Region,PostalCode,Country,"
         "Phone,Fax",
         "COGNOME=CompanyName|NOME1=ContactName|NOME2=ContactTitle|INDIRIZZO=Address|"
         "PROV=Region|CAP=PostalCode|NUM_FAX=Fax|TITOLO="},
        // N's prefix is the title, TITLE the role.
        {"the vCard reader's columns",
         "N.cognome,N.nome,N.secondo,N.titolo,FN,ORG,TITLE,ADR.via,ADR.localita,ADR.provincia,"
         "ADR.cap,ADR.paese,TEL.voce,TEL.fax,TEL.cellulare,EMAIL,NOTE,CATEGORIES",
         "TITOLO=N.titolo|COGNOME=N.cognome|NOME1=N.nome|NOME2=TITLE|CITTA=ADR.localita|"
         "NUM_CEL=TEL.cellulare|GR=CATEGORIES"},
        // Case, accents and blanks do not matter.
        {"an Italian spreadsheet",
         "COGNOME ,nome,Via,c.a.p.,CITTA',Località,Prov.,Cellulare,e-mail,Ragione sociale",
         "COGNOME=COGNOME |CAP=c.a.p.|CITTA=CITTA'|PROV=Prov.|E_MAIL=e-mail"},
        // A name two fields answer to goes to the first of them only.
        {"a title", "Cognome,Title", "TITOLO=Title|NOME2="},
    };
    for (const Case& c : cases) {
        auto m = mapped(QString::fromUtf8(c.header).split(u','));
        for (const QString& pair : QString::fromUtf8(c.expected).split(u'|'))
            EXPECT_EQ(m[pair.section(u'=', 0, 0)], pair.section(u'=', 1))
                << c.what << ": " << pair.toStdString();
    }
    EXPECT_EQ(ImportMapping::fieldOfName(QStringLiteral("  Località ")), DataModel::CITTA);
    EXPECT_EQ(ImportMapping::fieldOfName(QStringLiteral("Compleanno")), -1);
}

TEST(ImportMapping, OurHeaderMapsOneToOneAndFieldsSetByHandWin) {
    // Our whole header: FileImporter.EveryShortenedValueOfEveryRowIsCounted.
    ImportMapping m = ImportMapping::fromHeader(DataModel::tabMailColumns().mid(0, 17));
    EXPECT_EQ(m.unmappedColumns(), QList<int>{0}); // NR: the target numbers the rows

    // A subset of our fields, as an export with some boxes ticked writes it.
    EXPECT_TRUE(ImportMapping::fromHeader({"COGNOME", "CAP", "NOTE"}).isOneToOne());
    EXPECT_FALSE(ImportMapping::fromHeader({"Cognome", "CAP"}).isOneToOne());
    EXPECT_FALSE(ImportMapping::fromHeader({"COGNOME", "Telefono"}).isOneToOne());

    EXPECT_TRUE(m.set("cap", "CITTA"));
    EXPECT_FALSE(m.isOneToOne());
    EXPECT_TRUE(m.set("CAP", "CAP"));
    EXPECT_TRUE(m.isOneToOne());
    EXPECT_FALSE(m.set("CAMPO", "CAP"));
    EXPECT_FALSE(m.set("CAP", "Colonna"));
    EXPECT_TRUE(m.set("NOTE", ""));
    EXPECT_EQ(m.column(DataModel::NOTE), ImportMapping::NoColumn);

    archive::AddressRecord r;
    m.apply({"9", "Sig.", "Rossi"}, r); // short row: the missing values are empty
    EXPECT_EQ(QStringList({r[0], r[1], r[2], r[3]}), QStringList({"", "Sig.", "Rossi", ""}));

    // Contacts without a surname; fields set by hand win over the contact groups.
    m = ImportMapping::fromHeader(
        {"Given Name", "Family Name", "Name", "Organization 1 - Name", "Notes"});
    EXPECT_EQ(m.fallbacks(DataModel::COGNOME), (QList<int>{3, 2}));
    EXPECT_EQ(m.unmappedColumns(), QList<int>{});
    m.apply({"Mario", "Rossi", "Mario Rossi", "ACME", ""}, r);
    EXPECT_EQ(r[DataModel::COGNOME], "Rossi");
    m.apply({"", "", "Mario Rossi", "ACME Srl", ""}, r);
    EXPECT_EQ(r[DataModel::COGNOME], "ACME Srl");
    m.apply({"", " ", "Mamma", "", ""}, r);
    EXPECT_EQ(r[DataModel::COGNOME], "Mamma");
    // A surname chosen by hand is the only one.
    m.setColumn(DataModel::COGNOME, 1);
    m.apply({"", "", "Mamma", "", ""}, r);
    EXPECT_EQ(r[DataModel::COGNOME], "");
    EXPECT_EQ(m.unmappedColumns(), (QList<int>{2, 3}));

    // How each value of a contact group is routed by its type, and which address is taken, is
    // checked on a whole Google export by FileImportEndToEnd and in the import window.
    const QStringList row{"Rossi", "Pager", "06 1", "Mobile", "333 1"};
    m = ImportMapping::fromHeader(
        {"Family Name", "Phone 1 - Type", "Phone 1 - Value", "Phone 2 - Label", "Phone 2 - Value"});
    EXPECT_EQ(m.unmappedColumns(), QList<int>{});
    r = {};
    m.apply(row, r);
    EXPECT_EQ(r[DataModel::NUM_TEL], "");
    EXPECT_EQ(r[DataModel::NUM_CEL], "333 1");
    EXPECT_EQ(m.groupLeftovers(row), QStringList{"Phone 1 (Pager): 06 1"});
    m.setColumn(DataModel::NUM_TEL, 4);
    m.apply(row, r);
    EXPECT_EQ(r[DataModel::NUM_TEL], "333 1");
    EXPECT_EQ(r[DataModel::NUM_CEL], "");
}

TEST(ImportValues, CountriesCapsCutsAndOneLineFields) {
    const CountryNames names = CountryNames::fromFile(test::templatePath("StatiEsteri.mdb"));
    for (const char* home : {"Italia", "ITALY", "it", "Ita", "i", " italia "})
        EXPECT_EQ(names.storedName(home), "") << home;
    for (const char* de : {"Germany", "DE", "deu", "D", "Germania", "germany"})
        EXPECT_EQ(names.storedName(de), "GERMANIA") << de;
    EXPECT_EQ(names.storedName("United States"), "STATI UNITI");
    EXPECT_EQ(names.storedName("Atlantide"), "ATLANTIDE");
    EXPECT_EQ(CountryNames().storedName("Germany"), "GERMANY"); // no table: capitals only

    const ImportValues values(names);
    // CAP, country as read and as stored; abroad a short code is a code of its own.
    const char* const adjusted[][4] = {{"820", "Italy", "00820", ""},
                                       {"1234", "", "01234", ""},
                                       {"1010", "AT", "1010", "AUSTRIA"},
                                       {"sw1a 1aa", "UK", "SW1A 1AA", "REGNO UNITO"}};
    for (const auto& [cap, naz, storedCap, storedNaz] : adjusted) {
        archive::AddressRecord r;
        r[DataModel::COGNOME] = QStringLiteral("Rossi");
        r[DataModel::CAP] = QString::fromLatin1(cap);
        r[DataModel::NAZ] = QString::fromLatin1(naz);
        EXPECT_EQ(values.adjust(r), 0) << cap;
        EXPECT_EQ(r[DataModel::CAP], storedCap);
        EXPECT_EQ(r[DataModel::NAZ], storedNaz);
    }
    for (const char* cap : {"12", "20100", "A123"})
        EXPECT_EQ(ImportValues::italianCap(cap), cap);

    // Cuts are counted; one-line fields lose their breaks.
    archive::AddressRecord r;
    r[DataModel::COGNOME] = QString(40, u'x');                         // 35
    r[DataModel::INDIRIZZO] = QStringLiteral("Via Roma 1\r\nScala B"); // one line
    r[DataModel::CITTA] = QStringLiteral("  milano ");
    r[DataModel::PROV] = QStringLiteral("(mi)");
    r[DataModel::NUM_TEL] = QStringLiteral("+39 02 1234 5678 int. 99"); // 16
    r[DataModel::GR] = QStringLiteral("* myContacts ::: ab");
    r[DataModel::NOTE] = QString(169, u'n') + QString::fromUtf8("\xF0\x9F\x98\x80"); // emoji at 170
    r[DataModel::APPUNTI] = QStringLiteral("riga 1\r\nriga 2  ") + QString(500, u'a');
    EXPECT_EQ(values.adjust(r), 3);
    EXPECT_EQ(r[DataModel::COGNOME].size(), 35);
    EXPECT_EQ(r[DataModel::INDIRIZZO], "Via Roma 1  Scala B");
    EXPECT_EQ(r[DataModel::CITTA], "MILANO");
    EXPECT_EQ(r[DataModel::PROV], "MI");
    EXPECT_EQ(r[DataModel::NUM_TEL], "+39 02 1234 5678");
    EXPECT_EQ(r[DataModel::GR], "AB");
    EXPECT_EQ(r[DataModel::NOTE], QString(169, u'n')); // never half a surrogate pair
    EXPECT_TRUE(r[DataModel::APPUNTI].startsWith("riga 1\nriga 2  a"));
    EXPECT_EQ(r[DataModel::APPUNTI].size(), 6 + 1 + 8 + 500);

    // A province written out becomes its code; one that is no province would be cut to
    // another one: dropped and counted.
    archive::AddressRecord p;
    p[DataModel::PROV] = QStringLiteral("Forli'-Cesena");
    EXPECT_EQ(values.adjust(p), 0);
    EXPECT_EQ(p[DataModel::PROV], "FC");
    p[DataModel::PROV] = QStringLiteral("Narnia");
    p[DataModel::GR] = QStringLiteral("Amici");
    EXPECT_EQ(values.adjust(p), 2);
    EXPECT_EQ(p[DataModel::PROV], "");
    EXPECT_EQ(p[DataModel::GR], "");
    EXPECT_EQ(ImportValues::groupCode("x"), "XX");
    EXPECT_EQ(ImportValues::groupCode("Amici, C1"), "C1");

    EXPECT_EQ(ImportValues::duplicateKey(" Città ", "VIA  roma 1", "00100"),
              ImportValues::duplicateKey("CITTA", "via Roma 1", "00100"));
    EXPECT_NE(ImportValues::duplicateKey("Rossi", "Via Roma 1", "00100"),
              ImportValues::duplicateKey("Rossi", "Via Roma 1", "00101"));
}
