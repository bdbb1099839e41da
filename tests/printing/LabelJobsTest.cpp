#include "support/PrintContext.h"

#include "PrintFixtures.h"

#include "archive/RecordsetAddressSource.h"
#include "archive/Statement.h"
#include "common/AppError.h"
#include "printing/LabelJobs.h"
#include "printing/ReminderFile.h"
#include "settings/Settings.h"
#include "support/CommandRun.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace velomar;
using namespace velomar::printing;
using common::MsgResult;
using Outcome = LabelJobs::Outcome;

namespace {

struct Fixture : test::PrintContext {
    archive::Database& db = session.mainDb;

    Fixture() : PrintContext({QStringLiteral("Laser Ufficio")}) {
        const QString path = dir.filePath("prova.mdb");
        archive::ArchiveFormat::createEmpty(path, archive::ArchiveKind::Addresses);
        db = archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                        archive::ArchiveFile::Access::ReadWrite);
    }
    void add(const QString& cognome, const QString& nome, const QString& cap, const QString& gr,
             int serv = 0) {
        PrintContext::add(cognome, nome, cap, gr);
        if (serv)
            db.exec(QStringLiteral("UPDATE TabMAIL SET SERV = 1 WHERE NR = %1")
                        .arg(db.lastInsertRowId()));
    }
    QList<qint64> marked() {
        archive::Statement st(db, "SELECT NR FROM TabMAIL WHERE SERV = 1 ORDER BY NR");
        QList<qint64> nrs;
        while (st.step())
            nrs << st.integer(0);
        return nrs;
    }
    LabelJobs jobs() { return LabelJobs(state, dialogs, printers, db); }
};

} // namespace

TEST(LabelJobs, PrintShopGroupFlow) {
    Fixture f;
    f.add("VERDI", "ANNA", "30100", "AA");
    f.add("BIANCHI", "LUCA", "10100", "AA");
    f.add("ROSSI", "MARIO", "20100", "BB");
    for (int i = 0; i < 23; ++i)
        f.add(QStringLiteral("NERI%1").arg(i, 2, 10, QLatin1Char('0')), "", "90000", "AA");

    EXPECT_EQ(f.jobs().printGroup("", "", 6), Outcome::NothingToDo);
    EXPECT_EQ(f.dialogs.lastMessage(), "Selezionare un Gruppo !");
    EXPECT_EQ(f.jobs().printGroup("A'", "", 6), Outcome::NothingToDo);
    EXPECT_EQ(f.dialogs.lastMessage(), "Nessun indirizzo con Gruppo 'A'' !");

    // Cancel at the confirmation: nothing written, nothing printed.
    f.dialogs.answerMessage(MsgResult::Cancel);
    EXPECT_EQ(f.jobs().printGroup("AA", "", 6), Outcome::Cancelled);
    EXPECT_EQ(f.dialogs.lastMessage(),
              "Etichette in stampa: 25\r\nFogli A4 occorrenti: 2\r\n"
              "Premere 'OK' per avviare la stampa o 'Annulla' per rinunciare.");
    EXPECT_TRUE(QDir(f.state.stampeTipDir).isEmpty());
    EXPECT_TRUE(f.events.empty());

    // Printed: reminder by surname, labels by postal code.
    f.dialogs.answerMessage(MsgResult::Ok);
    f.dialogs.answerInput(QStringLiteral("natale"));
    EXPECT_EQ(f.jobs().printGroup("AA", "Auguri", 6), Outcome::Printed);
    EXPECT_EQ(f.dialogs.lastMessage(), "Stampa terminata.");
    const QList<QByteArray> lines =
        test::fileBytes(f.state.stampeTipDir + "/natale.txt").split('\n');
    ASSERT_GE(lines.size(), 6);
    EXPECT_TRUE(lines[0].startsWith("Stampa per TIPOGRAFIA del "));
    EXPECT_EQ(lines[1], "Descrizione: Auguri\r");
    EXPECT_EQ(lines[2], "25 indirizzi\r");
    EXPECT_EQ(lines[4], "2     - BIANCHI LUCA (ROMA)\r");
    const QStringList printed = test::RecordingProvider::texts(f.events);
    EXPECT_EQ(printed[1], "BIANCHI LUCA"); // 10100 first
    EXPECT_EQ(printed[4], "VERDI ANNA");   // then 30100
    EXPECT_EQ(printed.count(" "), 25);

    // A printer failure shows only its own message.
    f.provider->failAt = 3;
    f.dialogs.answerMessage(MsgResult::Ok);
    f.dialogs.answerInput(QStringLiteral("natale2"));
    EXPECT_EQ(f.jobs().printGroup("aa", "", 6), Outcome::Failed);
    EXPECT_EQ(f.dialogs.lastMessage(), "Stampa Annullata !");
}

TEST(LabelJobs, SinglesMarkExactlyTheListAndStartPartWay) {
    Fixture f;
    for (int i = 1; i <= 30; ++i)
        f.add(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')), "", "00100", "", i == 30 ? 1 : 0);
    f.state.options.setValue(14, 1);

    EXPECT_EQ(f.jobs().printSingles({}, {1, 1}, 2), Outcome::NothingToDo);
    EXPECT_EQ(f.dialogs.lastMessage(), "Nessuna etichetta da stampare !");

    std::vector<qint64> list;
    for (qint64 nr = 24; nr >= 1; --nr)
        list.push_back(nr);
    list.push_back(999); // no longer in the archive: marks nothing
    f.dialogs.answerMessage(MsgResult::Ok);
    f.dialogs.answerInput(QStringLiteral("singole"));
    EXPECT_EQ(f.jobs().printSingles(list, {1, 2}, 2), Outcome::Printed);
    EXPECT_EQ(f.marked(), QList<qint64>(list.rbegin() + 1, list.rend()));
    const auto shown = f.dialogs.messages();
    EXPECT_EQ(shown[shown.size() - 2],
              "Stampante: Laser Ufficio\r\nEtichette da Stampare: 25\r\nFogli A4 occorrenti: 2\r\n"
              "Premere 'OK' per avviare la stampa o 'Annulla' per rinunciare.");
    EXPECT_TRUE(test::fileBytes(f.state.stampeSngDir + "/singole.txt")
                    .startsWith("Stampa Etichette SINGOLE del "));
    // 24 labels from the second place: the last one opens a second sheet.
    EXPECT_EQ(std::count_if(
                  f.events.begin(), f.events.end(),
                  [](const auto& e) { return e.kind == RecordingPrinter::Event::Kind::EndDoc; }),
              2);
    EXPECT_DOUBLE_EQ(f.events.front().x, 70);

    // Cancel at the confirmation keeps the marks but prints nothing.
    f.events.clear();
    f.dialogs.answerMessage(MsgResult::Cancel);
    EXPECT_EQ(f.jobs().printSingles({5}, {1, 1}, 2), Outcome::Cancelled);
    EXPECT_EQ(f.marked(), QList<qint64>{5});
    EXPECT_TRUE(f.events.empty());

    // A label whose text did not fit is named in the closing message.
    f.db.exec("UPDATE TabMAIL SET COGNOME = '" + QString(40, QLatin1Char('W')) + "' WHERE NR = 7");
    f.dialogs.answerMessage(MsgResult::Ok);
    f.dialogs.answerInput(QStringLiteral("singole2"));
    EXPECT_EQ(f.jobs().printSingles({6, 7}, {1, 1}, 2), Outcome::Printed);
    EXPECT_EQ(f.dialogs.lastMessage(),
              "Stampa terminata.\r\nEtichette con testo tagliato: 1 (NR 7)");

    // The sheet chosen in the settings: row 8 is on the standard sheet, not on this one,
    // so it is refused before anything is marked.
    f.state.options.setValue(14, 0);
    list.clear();
    for (qint64 nr = 1; nr <= 20; ++nr)
        list.push_back(nr);
    settings::Settings store;
    SheetCatalog::setCurrent(store, *SheetCatalog().find(QStringLiteral("A4 2x7 99,1x38,1")));
    EXPECT_EQ(f.jobs().printSingles(list, {8, 1}, 2), Outcome::NothingToDo);
    EXPECT_TRUE(f.dialogs.lastMessage().contains("non è sul foglio"))
        << f.dialogs.lastMessage().toStdString();
    EXPECT_EQ(f.marked(), (QList<qint64>{6, 7}));

    // 20 labels from the last place of a 14-label sheet: three sheets, the first label
    // in the second column of the seventh row.
    f.dialogs.answerMessage(MsgResult::Ok);
    EXPECT_EQ(f.jobs().printSingles(list, {7, 2}, 2), Outcome::Printed);
    const auto asked = f.dialogs.messages();
    EXPECT_TRUE(asked[asked.size() - 2].contains("Fogli A4 occorrenti: 3"));
    const auto& first = f.events.front();
    const SheetFormat sheet = SheetCatalog::current(store);
    EXPECT_NEAR(first.x, sheet.physicalLabel({7, 2}).left(), 1e-9);
    ASSERT_TRUE(first.clip);
    EXPECT_NEAR(first.clip->top(), sheet.physicalLabel({7, 2}).top() - 25.4 / 6, 1e-9);
    test::forgetSheets();
}

// Labels read each field only as far as a print needs it; the lines they make from what
// is read are those the stored values make: a province of 3, blanks around CAP and
// CITTA, a long locality, names joined or not, empty fields.
TEST(LabelJobs, LinesFromTheArchiveAreThoseOfTheStoredValues) {
    struct Case {
        QString cognome, nome, nome2, cap, citta, prov;
        QString line2, line6;
    };
    const QString blanks(40, QLatin1Char(' '));
    const QString city(40, QLatin1Char('C'));
    const std::vector<Case> cases = {
        {"ROSSI", "MARIO", "", "00100", "ROMA", "RM", "ROSSI MARIO", "00100 ROMA (RM)"},
        {"ROSSI", "MARIO", "", "00100", "ROMA", "RM ", "ROSSI MARIO", "00100 ROMA"},
        {"ROSSI", "MARIO", "", "00100", "ROMA", "R", "ROSSI MARIO", "00100 ROMA"},
        {"ROSSI", "", "", "     00100", "ROMA", "RM", "ROSSI ", "00100 ROMA (RM)"},
        {"ROSSI", "", "", "00100" + blanks, blanks + "ROMA" + blanks, "RM", "ROSSI ",
         "00100 ROMA (RM)"},
        {"", "ANNA", "   ", "", city, "", " ANNA", " " + city.left(32)},
        {"", "", "", "", city, "MI", " ", " " + city.left(27) + " (MI)"},
        {QString(30, 'S'), QString(30, 'N'), "", "", "", "", QString(30, 'S') + " ", " "},
    };
    const auto stored = [](const Case& c) {
        return test::address("", "", c.cognome, c.nome, c.nome2, "", c.cap, c.citta, c.prov);
    };
    Fixture f;
    for (const Case& c : cases) {
        archive::AddressRecord r = stored(c);
        r[14] = QStringLiteral("AA");
        test::addTestAddress(f.db, r);
    }
    auto rs = f.jobs().groupAddresses(QStringLiteral("AA"), 0);
    ASSERT_TRUE(rs);
    archive::RecordsetAddressSource source(*rs);
    const StampaEtichette::Measure width = test::mmPerChar;
    for (const Case& c : cases) {
        SCOPED_TRACE(("«" + c.cognome + "» «" + c.cap + "» «" + c.citta + "» «" + c.prov + "»")
                         .toStdString());
        archive::AddressRecord read;
        ASSERT_TRUE(source.next(read));
        const auto lines = StampaEtichette::labelLines(read, width);
        EXPECT_EQ(lines, StampaEtichette::labelLines(stored(c), width));
        EXPECT_EQ(lines[2], c.line2);
        EXPECT_EQ(lines[6], c.line6);
        EXPECT_EQ(lines[4], c.nome2); // blanks are a line, an empty field none
    }

    // One label per door counts and prints a family once.
    for (const auto& [cognome, nome, via] : {std::tuple{"ROSSI", "MARIO", "Via Verdi 3"},
                                             {"Rossi", "Giulia", "V. Verdi, 3"},
                                             {"BIANCHI", "LUCA", "Via Po 1"},
                                             {"NERI", "ANNA", "Via Po 1"},
                                             {"VERDI", "UGO", "Via Po 2"}}) {
        archive::Statement st(f.db,
                              "INSERT INTO TabMAIL (COGNOME, NOME1, INDIRIZZO, CAP, CITTA, GR) "
                              "VALUES (?, ?, ?, '00100', 'ROMA', 'FF')");
        st.bindText(1, cognome).bindText(2, nome).bindText(3, via).exec();
    }
    LabelJobs jobs = f.jobs();
    jobs.setOneLabelPerDoor(true);
    f.dialogs.answerMessage(MsgResult::Ok);
    f.dialogs.answerInput(QStringLiteral("famiglie"));
    EXPECT_EQ(jobs.printGroup("FF", "", 2), Outcome::Printed);
    EXPECT_TRUE(f.dialogs.messages()[0].startsWith("Etichette in stampa: 3\r\n"));
    QStringList printed;
    for (const QString& text : test::RecordingProvider::texts(f.events))
        printed << text.trimmed();
    EXPECT_TRUE(printed.contains("BIANCHI LUCA")); // first by surname at Via Po 1
    EXPECT_FALSE(printed.contains("NERI ANNA"));
    EXPECT_EQ(printed.indexOf("FAMIGLIA ROSSI") + 1,
              printed.indexOf("V. Verdi, 3")); // Giulia's, first by name
    EXPECT_FALSE(printed.contains("ROSSI MARIO"));
    EXPECT_TRUE(printed.contains("VERDI UGO"));
    // The reminder file still names everyone.
    EXPECT_TRUE(test::fileBytes(f.state.stampeTipDir + "/famiglie.txt").contains("5 indirizzi"));
}

// Exact bytes in Windows-1252 with CR LF; names that stay inside the folder, and an
// existing file overwritten only when the user says so.
TEST(ReminderFile, NamesStayInsideTheFolderAndOverwriteAsksFirst) {
    test::MemorySource source({test::address("1234567", "", "NICOLÒ", "ANDREA", "", "", "", "FORLÌ", ""),
                               test::address("12", "", "ROSSI", "", "", "", "", "", "")});
    const QByteArray bytes = ReminderFile::compose(ReminderFile::shopHeader(), QDate(2024, 3, 5),
                                                   QStringLiteral("Auguri"), source);
    const QByteArray expected = "Stampa per TIPOGRAFIA del 05/03/2024\r\n"
                                "Descrizione: Auguri\r\n"
                                "2 indirizzi\r\n" +
                                QByteArray(70, '=') + "\r\n"
                                "12345 - NICOL\xD2 ANDREA (FORL\xCC)\r\n"
                                "12    - ROSSI  ()\r\n";
    EXPECT_EQ(bytes, expected);
    test::MemorySource empty;
    EXPECT_EQ(ReminderFile::compose(ReminderFile::singleHeader(), QDate(2024, 3, 5), {}, empty),
              "Stampa Etichette SINGOLE del 05/03/2024\r\n0 indirizzi\r\n" + QByteArray(70, '=') + "\r\n");

    for (const QString bad : {"../fuori", "a/b", "a\\b", "..", "CON", "nul", "a?b", "  ", "."})
        EXPECT_TRUE(ReminderFile::nameProblem(bad)) << bad.toStdString();
    EXPECT_FALSE(ReminderFile::nameProblem("2024-03-05_14-07-09"));
    EXPECT_FALSE(ReminderFile::nameProblem("Natale 2024"));

    QTemporaryDir dir;
    ASSERT_TRUE(test::writeFile(dir.filePath("vecchio.txt"), "un contenuto più lungo di quello nuovo, da sostituire per intero"));

    int tick = 0;
    const auto clock = [&tick] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, tick++)); };
    test::ScriptedDialogs dialogs;
    dialogs.answerInput(QStringLiteral("../fuori")); // refused, asked again
    dialogs.answerMessage(MsgResult::Ok);
    dialogs.answerInput(QStringLiteral("vecchio"));  // exists: No, asked again
    dialogs.answerMessage(MsgResult::No);
    dialogs.answerInput(QStringLiteral("vecchio"));  // exists: Yes
    dialogs.answerMessage(MsgResult::Yes);
    const auto path = ReminderFile::askPath(dialogs, dir.path(), ReminderFile::shopTitle(), clock);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, dir.filePath("vecchio.txt"));
    std::vector<QString> proposals;
    for (const auto& s : dialogs.shown())
        if (s.kind == test::ScriptedDialogs::Shown::Kind::Input) {
            proposals.push_back(s.defaultText);
            EXPECT_EQ(s.title, "Stampe per Tipografia - Promemoria");
        }
    EXPECT_EQ(proposals, (std::vector<QString>{"2024-03-05_14-07-00", "2024-03-05_14-07-01", "2024-03-05_14-07-02"}));
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Nome del File non valido !"));
    EXPECT_EQ(dialogs.messages()[1], "File esistente. Sovrascriverlo ?");

    ReminderFile::write(*path, "nuovo\r\n");
    EXPECT_EQ(test::fileBytes(*path), "nuovo\r\n");

    dialogs.answerInput(QStringLiteral("   "));
    EXPECT_FALSE(ReminderFile::askPath(dialogs, dir.path(), ReminderFile::singleTitle(), clock));
    dialogs.answerInput(std::nullopt);
    EXPECT_FALSE(ReminderFile::askPath(dialogs, dir.path(), ReminderFile::singleTitle(), clock));

    EXPECT_THROW(ReminderFile::write(dir.filePath("manca/x.txt"), "x"), common::AppError);
    EXPECT_FALSE(QFile::exists(dir.filePath("manca/x.txt")));
}
