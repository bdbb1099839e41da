#include "exchange/ExchangeBatch.h"
#include "ExchangeTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iostream>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velomar;

namespace {

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

TEST(ExchangeBatch, ExportInEveryFormatAndListWholeArchiveBySurname) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("a.mdb");
    test::createTestArchive(mdb);
    test::fillArchive(mdb, {"Verdi", "Bianchi", QStringLiteral("Ñandú")}, "AB");
    const QString txt = dir.filePath("out.txt");
    test::CommandRun r = test::runCommand("export", {mdb, txt, "--fields", "cognome,14", "--description", "Prova"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Esportati 3 indirizzi"));
    const QList<QByteArray> lines = test::fileBytes(txt).split('\n');
    ASSERT_EQ(lines.size(), 3 + 3 * 3 + 1);
    EXPECT_EQ(lines[1], "Prova\r");
    EXPECT_EQ(lines[3], "Gruppo AB\r");
    EXPECT_EQ(lines[4], "Bianchi  \r");
    EXPECT_EQ(lines[7], "\xd1" "and\xfa  \r"); // Windows-1252, after Bianchi as N sorts
    EXPECT_EQ(lines[10], "Verdi  \r");

    const QString csv = dir.filePath("out.csv");
    r = test::runCommand("export", {mdb, csv, "--format", "CSV", "--fields", "COGNOME,GR"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(test::fileBytes(csv), "\xEF\xBB\xBF" "COGNOME,GR\r\nBianchi,AB\r\n\xC3\x91" "and\xC3\xBA,AB\r\nVerdi,AB\r\n");
    const QString vcf = dir.filePath("out.vcf");
    ASSERT_EQ(test::runCommand("export", {mdb, vcf, "--format", "vcard"}).status, 0);
    EXPECT_EQ(test::fileBytes(vcf).count("BEGIN:VCARD\r\nVERSION:3.0\r\n"), 3);

    EXPECT_EQ(test::runCommand("export", {mdb, vcf, "--format", "xls"}).status, 2);
    EXPECT_EQ(test::runCommand("export", {mdb}).status, 2);

    const QString pdf = dir.filePath("lista.pdf");
    r = test::runCommand("list", {mdb, "--pdf", pdf, "--formatted", "--fields", "NR,COGNOME,GR"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Stampati 3 indirizzi"));
    EXPECT_TRUE(test::fileBytes(pdf).startsWith("%PDF-"));
    // Every field ticked passes the 214-character line.
    r = test::runCommand("list", {mdb, "--pdf", pdf, "--formatted", "--fields", "0,1,2,3,4,5,6,7"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(test::runCommand("list", {mdb, pdf}).status, 2);
}

TEST(ExchangeBatch, ImportGroupWithMoveAndRefusals) {
    QTemporaryDir dir;
    const QString src = dir.filePath("src.mdb");
    const QString dst = dir.filePath("dst.mdb");
    test::createTestArchive(src);
    test::createTestArchive(dst);
    test::fillArchive(src, {"A1", "A2"}, "AB");
    test::fillArchive(src, {"C1"}, "CD");
    test::CommandRun r = test::runCommand("import", {src, dst, "--group", "ab", "--move"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Importati 2 indirizzi."));
    EXPECT_TRUE(r.out.contains("Cancellati 2 indirizzi"));
    EXPECT_EQ(test::countIn(src), 1);
    EXPECT_EQ(test::countIn(dst), 2);
    r = test::runCommand("import", {src, dst, "--group", "Z'"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.trimmed(), "Nessun Indirizzo da Importare con Gruppo Z' !");
    EXPECT_EQ(test::countIn(dst), 2);
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
        test::fillArchive(src, {"A1", "A2", "A3"}, "AB");
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
        EXPECT_EQ(test::countIn(dst), 0);

        r = test::runCommand("import", {src, dst});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), "Importati 3 indirizzi.");
        EXPECT_EQ(test::countIn(dst), 3);
        EXPECT_EQ(test::fileBytes(src), before);
        EXPECT_EQ(modeOf(src), perms);
        EXPECT_FALSE(QFileInfo::exists(src + "-journal"));
        if (how == How::FileMode)
            QFile::setPermissions(src, mode);
        QFile::setPermissions(dir.filePath("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner);
    }
}

TEST(ExchangeBatch, ImportFileCountsMapsAndRefusesWithTargetUnchanged) {
    QTemporaryDir dir;
    const QString dst = dir.filePath("dst.mdb");
    test::createTestArchive(dst);
    test::fillArchive(dst, {"Bianchi"}, "");
    // More commas than semicolons: only the delimiter given splits the columns right.
    const QString csv = dir.filePath("rubrica.csv");
    ASSERT_TRUE(test::writeFile(csv, "Rossi;Via Roma 1;820;a,b,c\nBianchi;;;a,b,c\n"
                                     "Rossi;via roma 1;00820;a,b,c\n;;;a,b,c\n"));
    const QStringList common{csv,
                             dst,
                             "--delimiter",
                             ";",
                             "--no-header",
                             "--map",
                             "COGNOME=Colonna 1",
                             "--map",
                             "indirizzo=colonna 2"};
    const QStringList refused[] = {
        {"--map", "CAMPO=Colonna 1"}, {"--group", "ABC"}, {"--bad"}, {"--duplicates", "forse"}};
    for (const QStringList& args : refused)
        EXPECT_EQ(test::runCommand("import-file", common + args).status, 2)
            << args[0].toStdString();
    EXPECT_EQ(test::countIn(dst), 1);

    test::CommandRun r =
        test::runCommand("import-file", common + QStringList{"--map", "CAP=Colonna 3", "--group",
                                                             "x1", "--skip-duplicates"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(
        r.out.section(u'\n', 1),
        "Importati 1 indirizzi.\nDoppioni saltati: 2.\nIndirizzi con CAP, comune e provincia che "
        "non concordano: 1 (Archivio, Verifica indirizzi).\nRighe scartate: 1.\n"
        "  riga 4: nessun valore nei campi associati\n");
    EXPECT_EQ(test::countIn(dst, "WHERE GR = 'X1' AND CAP = '00820'"), 1);
    // The same rows again, imported and listed beside the addresses they are like.
    r = test::runCommand("import-file",
                         common + QStringList{"--map", "CAP=Colonna 3", "--duplicates", "review"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(test::has(r.out,
                          "Importati 3 indirizzi.\nProbabili doppioni importati lo stesso: 3.\n"
                          "  riga 1: Nr. 3 come Nr. 2\n  riga 2: Nr. 4 come Nr. 1\n"));

    // A file that breaks half way (a quote never closed): an Italian message, nothing written.
    ASSERT_TRUE(test::writeFile(csv, "Cognome;Citta\nRossi;Roma\nBianchi;\"Milano\nVerdi;Como\n"));
    const QByteArray bytes = test::fileBytes(dst);
    r = test::runCommand("import-file", {csv, dst});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(test::has(r.err, "Importazione non riuscita"));
    EXPECT_EQ(test::fileBytes(dst), bytes);
}

TEST(ExchangeBatch, ExportOneAddressPerDoor) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("a.mdb");
    test::createTestArchive(mdb);
    {
        archive::Database db(mdb, archive::Database::Mode::ReadWrite);
        db.exec("INSERT INTO TabMAIL (COGNOME, NOME1, INDIRIZZO, CAP) VALUES ('Rossi', 'Mario', 'Via Po 1', '10100'),"
                "('ROSSI', 'Anna', 'V. Po, 1', '10100'), ('Verdi', 'Ugo', 'Via Po 3', '10100')");
    }
    const QString csv = dir.filePath("out.csv");
    test::CommandRun r = test::runCommand("export", {mdb, csv, "--format", "csv", "--fields", "COGNOME,NOME1",
                                                     "--household"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Esportati 2 indirizzi"));
    const QByteArray text = test::fileBytes(csv);
    EXPECT_TRUE(text.contains("FAMIGLIA ROSSI")) << text.toStdString();
    EXPECT_FALSE(text.contains("Anna"));
    EXPECT_TRUE(text.contains("Verdi"));
}
