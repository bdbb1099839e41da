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
    for (int f = 1; f < DataModel::FieldCount; ++f)
        out[DataModel::fieldName(f)] = m.column(f) < 0 ? QString() : header[m.column(f)];
    return out;
}

} // namespace

TEST(ImportMapping, HeadersOfTheUsualExports) {
    // Google Contacts (the older export, which newer ones share for these columns).
    auto m = mapped({"Name", "Given Name", "Additional Name", "Family Name", "Name Prefix", "Notes",
                     "Group Membership", "E-mail 1 - Type", "E-mail 1 - Value", "Phone 1 - Type",
                     "Phone 1 - Value", "Address 1 - Street", "Address 1 - City",
                     "Address 1 - Region", "Address 1 - Postal Code", "Address 1 - Country",
                     "Organization 1 - Name", "Organization 1 - Title"});
    EXPECT_EQ(m["TITOLO"], "Name Prefix");
    EXPECT_EQ(m["COGNOME"], "Family Name");
    EXPECT_EQ(m["NOME1"], "Given Name");
    EXPECT_EQ(m["NOME2"], "Organization 1 - Title");
    EXPECT_EQ(m["INDIRIZZO"], "Address 1 - Street");
    EXPECT_EQ(m["CAP"], "Address 1 - Postal Code");
    EXPECT_EQ(m["CITTA"], "Address 1 - City");
    EXPECT_EQ(m["PROV"], "Address 1 - Region");
    EXPECT_EQ(m["NAZ"], "Address 1 - Country");
    EXPECT_EQ(m["NUM_TEL"], "Phone 1 - Value");
    EXPECT_EQ(m["E_MAIL"], "E-mail 1 - Value");
    EXPECT_EQ(m["GR"], "Group Membership");
    EXPECT_EQ(m["NOTE"], "Notes");

    // Outlook: Title is the prefix, Job Title the role; home address before business.
    m = mapped({"Title",
                "First Name",
                "Middle Name",
                "Last Name",
                "Company",
                "Job Title",
                "Business Street",
                "Business City",
                "Business Postal Code",
                "Home Street",
                "Home City",
                "Home State",
                "Home Postal Code",
                "Home Country/Region",
                "Business Fax",
                "Business Phone",
                "Home Phone",
                "Mobile Phone",
                "Categories",
                "E-mail Address",
                "Notes"});
    EXPECT_EQ(m["TITOLO"], "Title");
    EXPECT_EQ(m["COGNOME"], "Last Name");
    EXPECT_EQ(m["NOME1"], "First Name");
    EXPECT_EQ(m["NOME2"], "Job Title");
    EXPECT_EQ(m["INDIRIZZO"], "Home Street");
    EXPECT_EQ(m["CAP"], "Home Postal Code");
    EXPECT_EQ(m["CITTA"], "Home City");
    EXPECT_EQ(m["PROV"], "Home State");
    EXPECT_EQ(m["NAZ"], "Home Country/Region");
    EXPECT_EQ(m["NUM_TEL"], "Home Phone");
    EXPECT_EQ(m["NUM_FAX"], "Business Fax");
    EXPECT_EQ(m["NUM_CEL"], "Mobile Phone");
    EXPECT_EQ(m["E_MAIL"], "E-mail Address");
    EXPECT_EQ(m["GR"], "Categories");

    // Thunderbird.
    m = mapped({"First Name", "Last Name", "Display Name", "Nickname", "Primary Email",
                "Work Phone", "Fax Number", "Mobile Number", "Home Address", "Home City",
                "Home State", "Home ZipCode", "Home Country", "Job Title", "Organization",
                "Notes"});
    EXPECT_EQ(m["COGNOME"], "Last Name");
    EXPECT_EQ(m["INDIRIZZO"], "Home Address");
    EXPECT_EQ(m["CAP"], "Home ZipCode");
    EXPECT_EQ(m["NUM_TEL"], "Work Phone");
    EXPECT_EQ(m["NUM_FAX"], "Fax Number");
    EXPECT_EQ(m["NUM_CEL"], "Mobile Number");
    EXPECT_EQ(m["E_MAIL"], "Primary Email");
    EXPECT_EQ(m["NOME2"], "Job Title");

    // Access, Northwind's Customers: the company is the surname line.
    m = mapped({"CustomerID", "CompanyName", "ContactName", "ContactTitle", "Address", "City",
                "Region", "PostalCode", "Country", "Phone", "Fax"});
    EXPECT_EQ(m["COGNOME"], "CompanyName");
    EXPECT_EQ(m["NOME1"], "ContactName");
    EXPECT_EQ(m["NOME2"], "ContactTitle");
    EXPECT_EQ(m["INDIRIZZO"], "Address");
    EXPECT_EQ(m["PROV"], "Region");
    EXPECT_EQ(m["CAP"], "PostalCode");
    EXPECT_EQ(m["NUM_FAX"], "Fax");
    EXPECT_EQ(m["TITOLO"], "");

    // The vCard reader's columns: N's prefix is the title, TITLE the role.
    m = mapped({"N.cognome", "N.nome", "N.secondo", "N.titolo", "FN", "ORG", "TITLE", "ADR.via",
                "ADR.localita", "ADR.provincia", "ADR.cap", "ADR.paese", "TEL.voce", "TEL.fax",
                "TEL.cellulare", "EMAIL", "NOTE", "CATEGORIES"});
    EXPECT_EQ(m["TITOLO"], "N.titolo");
    EXPECT_EQ(m["COGNOME"], "N.cognome");
    EXPECT_EQ(m["NOME1"], "N.nome");
    EXPECT_EQ(m["NOME2"], "TITLE");
    EXPECT_EQ(m["CITTA"], "ADR.localita");
    EXPECT_EQ(m["NUM_CEL"], "TEL.cellulare");
    EXPECT_EQ(m["GR"], "CATEGORIES");

    // An Italian spreadsheet: case, accents and blanks do not matter.
    m = mapped({"COGNOME ", "nome", "Via", "c.a.p.", "CITTA'", "Località", "Prov.", "Cellulare",
                "e-mail", "Ragione sociale"});
    EXPECT_EQ(m["COGNOME"], "COGNOME ");
    EXPECT_EQ(m["CAP"], "c.a.p.");
    EXPECT_EQ(m["CITTA"], "CITTA'");
    EXPECT_EQ(m["PROV"], "Prov.");
    EXPECT_EQ(m["E_MAIL"], "e-mail");
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
