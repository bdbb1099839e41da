#include "ArchiveFixture.h"
#include "MemoryTable.h"
#include "common/UsageError.h"
#include "exchange/ExchangeBatch.h"
#include "shell/BatchCommands.h"
#include "support/CommandRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include <iostream>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velomar;

namespace {

void fill(const QString& path, const QStringList& surnames, const QString& group) {
    archive::Database db(path, archive::Database::Mode::ReadWrite);
    db.exec("BEGIN");
    for (const QString& s : surnames) {
        archive::AddressRecord r;
        r[2] = s;
        r[14] = group;
        test::addTestAddress(db, r);
    }
    db.exec("COMMIT");
}

qint64 countIn(const QString& path, const QString& where = {}) {
    archive::Database db(path, archive::Database::Mode::ReadOnly);
    return test::countAddresses(db, where);
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// The immutable attribute: the one read-only state root cannot write through. Cleared on
// destruction so that the temporary folder can go.
class Immutable {
public:
    explicit Immutable(const QString& path) : m_path(path), m_set(apply(true)) {}
    ~Immutable() {
        if (m_set)
            apply(false);
    }
    bool isSet() const { return m_set; }

private:
    bool apply(bool on) const {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }
    QString m_path;
    bool m_set;
};

} // namespace

TEST(ExchangeBatch, ExportWholeArchiveBySurname) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("a.mdb");
    test::createTestArchive(mdb);
    fill(mdb, {"Verdi", "Bianchi", QStringLiteral("Ñandú")}, "AB");
    const QString txt = dir.filePath("out.txt");
    test::CommandRun r = test::runCommand("export", {mdb, txt, "--fields", "cognome,14", "--description", "Prova"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Esportati 3 indirizzi"));
    QFile f(txt);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3 + 3 * 3 + 1);
    EXPECT_EQ(lines[1], "Prova\r");
    EXPECT_EQ(lines[3], "Gruppo AB\r");
    EXPECT_EQ(lines[4], "Bianchi  \r");
    EXPECT_EQ(lines[7], "\xd1" "and\xfa  \r"); // Windows-1252, after Bianchi as N sorts
    EXPECT_EQ(lines[10], "Verdi  \r");

    EXPECT_EQ(test::runCommand("export", {mdb}).status, 2);
    EXPECT_EQ(test::runCommand("export", {mdb, txt, "--fields", "CAMPO"}).status, 2);
    QFile junk(dir.filePath("junk.mdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an archive");
    junk.close();
    r = test::runCommand("export", {junk.fileName(), txt});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.trimmed(), "Archivio non riconosciuto o corrotto !");
    r = test::runCommand("export", {mdb, dir.path()});
    EXPECT_EQ(r.status, 1);
}

TEST(ExchangeBatch, ImportGroupWithMoveAndRefusals) {
    QTemporaryDir dir;
    const QString src = dir.filePath("src.mdb");
    const QString dst = dir.filePath("dst.mdb");
    test::createTestArchive(src);
    test::createTestArchive(dst);
    fill(src, {"A1", "A2"}, "AB");
    fill(src, {"C1"}, "CD");
    test::CommandRun r = test::runCommand("import", {src, dst, "--group", "ab", "--move"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Importati 2 indirizzi."));
    EXPECT_TRUE(r.out.contains("Cancellati 2 indirizzi"));
    {
        archive::Database s(src, archive::Database::Mode::ReadOnly);
        archive::Database d(dst, archive::Database::Mode::ReadOnly);
        EXPECT_EQ(test::countAddresses(s), 1);
        EXPECT_EQ(test::countAddresses(d), 2);
    }
    r = test::runCommand("import", {src, dst, "--group", "Z'"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.trimmed(), "Nessun Indirizzo da Importare con Gruppo Z' !");
    r = test::runCommand("import", {dst, dir.path() + "/./dst.mdb", "--move"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.trimmed(), "Impossibile importare i Dati dall'Archivio attuale !");
    r = test::runCommand("import", {dir.filePath("missing.mdb"), dst});
    EXPECT_EQ(r.status, 1);
    archive::Database d(dst, archive::Database::Mode::ReadOnly);
    EXPECT_EQ(test::countAddresses(d), 2);
}

TEST(ExchangeBatch, ImportReadsAReadOnlySourceAndRefusesToMoveFromIt) {
    enum class How { FileMode, ImmutableFile, ImmutableFolder };
    for (const How how : {How::FileMode, How::ImmutableFile, How::ImmutableFolder}) {
        SCOPED_TRACE(int(how));
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
        const QString src = dir.filePath("ro/src.mdb");
        const QString dst = dir.filePath("dst.mdb");
        test::createTestArchive(src);
        test::createTestArchive(dst);
        fill(src, {"A1", "A2", "A3"}, "AB");
        const auto mode = QFile::permissions(src);
        if (how == How::FileMode) {
            ASSERT_TRUE(
                QFile::setPermissions(src, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        }
        const mode_t perms = modeOf(src);
        Immutable lock(how == How::ImmutableFolder ? dir.filePath("ro") : src);
        if (how == How::ImmutableFolder && !lock.isSet() && ::geteuid() != 0) {
            ASSERT_TRUE(QFile::setPermissions(dir.filePath("ro"),
                                              QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else if (how != How::FileMode && !lock.isSet()) {
            std::cout << "[   NOTE   ] no immutable attribute on this file system: case "
                      << int(how) << " not run\n";
            continue;
        }
        const QByteArray before = test::fileBytes(src);

        test::CommandRun r = test::runCommand("import", {src, dst, "--move"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.trimmed(),
                  "L'archivio di origine è in sola lettura (il file o la sua cartella): gli "
                  "indirizzi si possono importare, non spostare. Nessun indirizzo è stato "
                  "importato.");
        EXPECT_EQ(countIn(dst), 0);

        r = test::runCommand("import", {src, dst});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), "Importati 3 indirizzi.");
        EXPECT_EQ(countIn(dst), 3);
        EXPECT_EQ(test::fileBytes(src), before);
        EXPECT_EQ(modeOf(src), perms);
        EXPECT_FALSE(QFileInfo::exists(src + "-journal"));
        if (how == How::FileMode)
            QFile::setPermissions(src, mode);
        QFile::setPermissions(dir.filePath("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner);
    }
}

TEST(ExchangeBatch, ImportMoveFromATableWithRepeatedNumbersDeletesOnlyWhatItCopied) {
    QTemporaryDir dir;
    const QString src = dir.filePath("src.mdb");
    const QString dst = dir.filePath("dst.mdb");
    test::createTestArchive(src);
    test::createTestArchive(dst);
    QStringList names;
    for (int i = 0; i < 300; ++i)
        names << QStringLiteral("C%1").arg(i);
    fill(src, names.mid(0, 22), "AM");
    fill(src, names.mid(22), "ZZ");
    {
        // Another tool rebuilt the table: NR repeats, the archive still passes its checks.
        archive::Database db(src, archive::Database::Mode::ReadWrite);
        db.exec("ALTER TABLE TabMAIL RENAME TO Vecchia");
        db.exec("CREATE TABLE TabMAIL AS SELECT NR % 7 AS NR, TITOLO, COGNOME, NOME1, NOME2, "
                "INDIRIZZO, "
                "CAP, CITTA, PROV, NAZ, NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI, SERV "
                "FROM Vecchia");
        db.exec("DROP TABLE Vecchia");
        archive::ArchiveFormat::seal(
            db, archive::ArchiveFormat::password(archive::ArchiveKind::Addresses));
    }
    const test::CommandRun r = test::runCommand("import", {src, dst, "--group", "AM", "--move"});
    // Moved exactly the 22, or refused whole; never a row of another group deleted.
    if (r.status == 0) {
        EXPECT_TRUE(r.out.contains("Importati 22 indirizzi.")) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains("Cancellati 22 indirizzi")) << r.out.toStdString();
        EXPECT_EQ(countIn(src), 278);
        EXPECT_EQ(countIn(src, "WHERE GR = 'AM'"), 0);
        EXPECT_EQ(countIn(dst), 22);
    } else {
        EXPECT_EQ(r.status, 1);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_EQ(countIn(src), 300);
        EXPECT_EQ(countIn(dst), 0);
    }
}

TEST(ExchangeBatch, ListToPdf) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("a.mdb");
    test::createTestArchive(mdb);
    fill(mdb, {"Verdi", "Bianchi"}, "AB");
    const QString pdf = dir.filePath("lista.pdf");
    test::CommandRun r = test::runCommand("list", {mdb, "--pdf", pdf, "--formatted", "--fields", "NR,COGNOME,GR"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Stampati 2 indirizzi"));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    // Every field ticked passes the 214-character line.
    r = test::runCommand("list", {mdb, "--pdf", pdf, "--formatted", "--fields", "0,1,2,3,4,5,6,7"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(test::runCommand("list", {mdb, pdf}).status, 2);
}

TEST(ExchangeBatch, ExportFormatsCsvAndVCard) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("a.mdb");
    test::createTestArchive(mdb);
    fill(mdb, {"Verdi", "Bianchi"}, "AB");
    const QString csv = dir.filePath("out.csv");
    test::CommandRun r = test::runCommand("export", {mdb, csv, "--format", "CSV", "--fields", "COGNOME,GR"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "\xEF\xBB\xBF" "COGNOME,GR\r\nBianchi,AB\r\nVerdi,AB\r\n");
    const QString vcf = dir.filePath("out.vcf");
    r = test::runCommand("export", {mdb, vcf, "--format", "vcard"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile v(vcf);
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    EXPECT_EQ(v.readAll().count("BEGIN:VCARD\r\nVERSION:3.0\r\n"), 2);
    EXPECT_EQ(test::runCommand("export", {mdb, vcf, "--format", "xls"}).status, 2);
}

TEST(ExchangeBatch, ImportFileCountsMapsAndRefusesWithTargetUnchanged) {
    QTemporaryDir dir;
    const QString dst = dir.filePath("dst.mdb");
    test::createTestArchive(dst);
    fill(dst, {"Bianchi"}, "");
    const auto opener = [](const QString& path, const exchange::SourceOptions& options)
        -> std::unique_ptr<exchange::SourceTable> {
        EXPECT_EQ(options.delimiter, QChar(u';'));
        EXPECT_EQ(options.header, exchange::SourceOptions::Header::No);
        return std::make_unique<test::MemoryTable>(
            QStringList{"Colonna 1", "Colonna 2", "Colonna 3"},
            std::vector<QStringList>{{"Rossi", "Via Roma 1", "820"}, {"Bianchi", "", ""},
                                     {"Rossi", "via roma 1", "00820"}, {"", "", ""}});
    };
    const auto importFile = [&](const QStringList& args) {
        test::CommandRun r;
        QTextStream out(&r.out), err(&r.err);
        try {
            r.status = exchange::batchImportFileWith(shell::BatchCommands::parse("import-file", args), out, err, opener);
        } catch (const common::UsageError& e) {
            r.status = 2;
            err << e.description();
        }
        out.flush();
        err.flush();
        return r;
    };
    const QStringList common{"rubrica.csv", dst, "--delimiter", ";", "--no-header", "--map",
                             "COGNOME=Colonna 1", "--map", "indirizzo=colonna 2"};
    EXPECT_EQ(importFile(common + QStringList{"--map", "CAMPO=Colonna 1"}).status, 2);
    EXPECT_EQ(importFile(common + QStringList{"--group", "ABC"}).status, 2);
    EXPECT_EQ(importFile(common + QStringList{"--bad"}).status, 2);
    {
        archive::Database db(dst, archive::Database::Mode::ReadOnly);
        EXPECT_EQ(test::countAddresses(db), 1);
    }

    test::CommandRun r = importFile(common + QStringList{"--map", "CAP=Colonna 3", "--group", "x1",
                                                 "--skip-duplicates"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(), "Tabella di prova\nImportati 1 indirizzi.\nDoppioni saltati: 2.\n"
                                   "Indirizzi con CAP, comune e provincia che non concordano: 1 (Archivio, "
                                   "Verifica indirizzi).\n"
                                   "Righe scartate: 1.\n  riga 5: nessun valore nei campi associati\n");
    {
        archive::Database db(dst, archive::Database::Mode::ReadOnly);
        EXPECT_EQ(test::countAddresses(db, "WHERE GR = 'X1' AND CAP = '00820'"), 1);
    }

    // A file that breaks half way (a quote never closed): an Italian message, nothing written.
    QFile csv(dir.filePath("rubrica.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Cognome;Citta\nRossi;Roma\nBianchi;\"Milano\nVerdi;Como\n");
    csv.close();
    QFile before(dst);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();
    r = test::runCommand("import-file", {csv.fileName(), dst});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Importazione non riuscita")) << r.err.toStdString();
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    EXPECT_EQ(before.readAll(), bytes);
}
