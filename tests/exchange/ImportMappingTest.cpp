#include "exchange/ImportMapping.h"
#include "archive/DataModel.h"

#include <gtest/gtest.h>

using namespace velomar;
using archive::DataModel;
using exchange::ImportMapping;

namespace {

// Field name -> the column name that fills it ("" when none).
std::map<QString, QString> mapped(const QStringList& header) {
    const ImportMapping m = ImportMapping::fromHeader(header);
    std::map<QString, QString> out;
    std::map<int, int> fieldOfColumn; // a column fills one field at most
    for (int f = 1; f < DataModel::FieldCount; ++f)
        if (const int c = m.column(f); c >= 0 && !fieldOfColumn.try_emplace(c, f).second)
            ADD_FAILURE() << header[c].toStdString() << " fills fields " << fieldOfColumn[c] << " and " << f;
    for (int f = 1; f < DataModel::FieldCount; ++f)
        out[DataModel::fieldName(f)] = m.column(f) == ImportMapping::FromGroups ? QStringLiteral("(gruppi)")
                                       : m.column(f) < 0                      ? QString()
                                                                              : header[m.column(f)];
    return out;
}

} // namespace

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

TEST(ImportMapping, OurOwnHeaderMapsOneToOneAndUserChangesBreakIt) {
    const QStringList ours = archive::DataModel::tabMailColumns().mid(0, 17);
    ImportMapping m = ImportMapping::fromHeader(ours);
    for (int f = 1; f < DataModel::FieldCount; ++f)
        EXPECT_EQ(m.column(f), f);
    EXPECT_TRUE(m.isOneToOne());
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
    EXPECT_EQ(r[0], "");
    EXPECT_EQ(r[1], "Sig.");
    EXPECT_EQ(r[2], "Rossi");
    EXPECT_EQ(r[3], "");
}

TEST(ImportMapping, ContactsWithoutSurnameTakeTheCompanyOrTheDisplayName) {
    const QStringList header{"Given Name", "Family Name", "Name", "Organization 1 - Name", "Notes"};
    ImportMapping m = ImportMapping::fromHeader(header);
    EXPECT_EQ(m.fallbacks(DataModel::COGNOME), (QList<int>{3, 2}));
    EXPECT_EQ(m.unmappedColumns(), QList<int>{});
    archive::AddressRecord r;
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
}

TEST(ImportMapping, ContactGroupsRouteEachValueByItsType) {
    const QStringList header =
        QStringLiteral("Family Name,Phone 1 - Type,Phone 1 - Value,Phone 2 - Label,Phone 2 - Value,"
                       "E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,E-mail 2 - Value,"
                       "Address 1 - Type,Address 1 - Street,Address 1 - City,Address 2 - Type,"
                       "Address 2 - Street,Address 2 - City")
            .split(u',');
    struct Case {
        const char* what;
        QStringList row;
        const char *tel, *fax, *cel, *mail, *street, *taken;
        QStringList leftovers;
    } cases[] = {
        {"pager and mobile",
         {"Rossi", "Pager", "06 1", "Mobile", "333 1", "", "", "", "", "", "", "", "", "", ""},
         "", "", "333 1", "", "", "", {"Phone 1 (Pager): 06 1"}},
        {"work fax and two mobiles in one cell",
         {"Rossi", "Work Fax", "02 9", "* Mobile", "347 1 ::: 347 2", "", "", "", "", "", "", "", "", "", ""},
         "", "02 9", "347 1", "", "", "", {"Phone 2 (Mobile): 347 2"}},
        {"main then home: the second to the note",
         {"Rossi", "Main", "011 1", "Home", "011 2", "", "", "", "", "", "", "", "", "", ""},
         "011 1", "", "", "", "", "", {"Phone 2 (Home): 011 2"}},
        {"primary e-mail second; home address second",
         {"Rossi", "", "", "", "", "Work", "w@x.it", "* Home", "h@x.it", "Work", "Via Lavoro 1", "Milano", "Home",
          "Via Casa 2", "Roma"},
         "", "", "", "h@x.it", "Via Casa 2", "Address 2 (Home)",
         {"E-mail 1 (Work): w@x.it", "Address 1 (Work): Via Lavoro 1, Milano"}},
        {"no home: the first with a street",
         {"Rossi", "", "", "", "", "", "", "", "", "Other", "", "Bergamo", "Work", "Corso Como 10", "Milano"},
         "", "", "", "", "Corso Como 10", "Address 2 (Work)", {"Address 1 (Other): Bergamo"}},
    };
    ImportMapping m = ImportMapping::fromHeader(header);
    EXPECT_EQ(m.addressNames(), (QStringList{"Address 1", "Address 2"}));
    EXPECT_EQ(m.unmappedColumns(), QList<int>{});
    archive::AddressRecord r;
    for (const Case& c : cases) {
        m.apply(c.row, r);
        EXPECT_EQ(r[DataModel::NUM_TEL], c.tel) << c.what;
        EXPECT_EQ(r[DataModel::NUM_FAX], c.fax) << c.what;
        EXPECT_EQ(r[DataModel::NUM_CEL], c.cel) << c.what;
        EXPECT_EQ(r[DataModel::E_MAIL], c.mail) << c.what;
        EXPECT_EQ(r[DataModel::INDIRIZZO], c.street) << c.what;
        EXPECT_EQ(m.addressTakenName(c.row), c.taken) << c.what;
        EXPECT_EQ(m.groupLeftovers(c.row), c.leftovers) << c.what;
    }
    // The address chosen by the user, and a field set by hand, win over the groups.
    m.setAddressChoice(0);
    m.setColumn(DataModel::NUM_TEL, 4);
    m.apply(cases[3].row, r);
    EXPECT_EQ(r[DataModel::INDIRIZZO], "Via Lavoro 1");
    EXPECT_EQ(r[DataModel::CITTA], "Milano");
    m.apply(cases[0].row, r);
    EXPECT_EQ(r[DataModel::NUM_TEL], "333 1");
    EXPECT_EQ(r[DataModel::NUM_CEL], "");
}
