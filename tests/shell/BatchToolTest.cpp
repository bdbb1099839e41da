#include "support/BatchProcess.h"
#include "support/CommandRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using velomar::test::BatchRun;

// A home that cannot be written or even made, by root too.
const QString kNoHome = QStringLiteral("/proc/velomar-no-home");

// velomar-batch as cron or ssh starts it: a bare environment, no terminal, no input.
BatchRun runBare(const QStringList& args, const QStringList& extraEnv = {}) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), kNoHome);
    for (const QString& pair : extraEnv)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    return velomar::test::runBatch(args, 120000, [&](QProcess& p) {
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.setChildProcessModifier([] { ::setsid(); });
    });
}

// What Qt, fontconfig or the C++ runtime print on their own, never the program.
bool hasForeignText(const QString& err) {
    static const QRegularExpression foreign(QStringLiteral(
        R"((^|\n)(Q[A-Z]\w+(::\w+)?[:(]|qt\.|Fontconfig|terminate called|This application|Warning|Error))"));
    return err.contains(foreign);
}

// A command line, '%' standing for the test's folder.
QStringList line(const QTemporaryDir& dir, const char* text) {
    return QString::fromUtf8(text).replace(u'%', dir.path()).split(u' ', Qt::SkipEmptyParts);
}

// The command line and what it said, for a failed expectation.
std::string said(const QStringList& args, const BatchRun& r) {
    return args.join(u' ').toStdString() + "\n" + r.err.toStdString();
}

// Runs args and then output; refused with exit 1, the cause in Italian and nothing foreign.
void expectRefused(const QStringList& args, const QString& output, const QString& cause) {
    const QStringList line = QStringList(args) << output;
    const BatchRun r = velomar::test::runBatch(line);
    EXPECT_EQ(r.exitCode, 1) << said(line, r);
    EXPECT_TRUE(r.err.contains(cause)) << said(line, r);
    EXPECT_FALSE(hasForeignText(r.err) || r.err.contains(QStringLiteral("libpng")))
        << said(line, r);
}

} // namespace

TEST(BatchTool, BareEnvironmentStderrIsEmptyOnSuccessAndItalianWithTheRightCodeOnFailure) {
    QTemporaryDir dir;
    for (const char* command :
         {"--version", "--help", "sample --count 60 --seed 5 %/a.mdb", "sample --count 3 %/b.mdb",
          "sample --count 3 %/c.mdb", "count %/a.mdb", "compact %/c.mdb",
          "labels %/a.mdb --pdf %/l.pdf", "preview %/a.mdb --page 1 --png %/p.png",
          "export %/a.mdb %/a.txt", "export %/a.mdb %/a.csv --format csv",
          "export %/a.mdb %/a.vcf --format vcard", "import %/a.mdb %/b.mdb",
          "import-file %/a.csv %/b.mdb", "list %/a.mdb --pdf %/li.pdf",
          "summary %/a.mdb --field CITTA --pdf %/s.pdf"}) {
        const QStringList args = line(dir, command);
        const BatchRun r = runBare(args);
        EXPECT_EQ(r.exitCode, 0) << said(args, r);
        EXPECT_EQ(r.err, QString()) << said(args, r);
        if (args[0] == QLatin1String("--help"))
            EXPECT_TRUE(r.out.endsWith(u'\n') &&
                        r.out.contains(
                            QStringLiteral("Stato d'uscita:\n  0  fatto\n  1  input rifiutato")));
    }

    ASSERT_TRUE(velomar::test::writeFile(dir.filePath("note.mdb"), "solo testo\n"));
    // The exit code first.
    for (const char* command :
         {"2", "2 count --x", "2 export %/a.mdb %/x.txt --fields NESSUNO",
          "2 labels %/a.mdb --pdf %/x.pdf --group [a",
          "2 import-file %/a.csv %/b.mdb --encoding EBCDIC",
          "2 summary %/a.mdb --field NOME --pdf %/x.pdf", "1 count %/manca.mdb",
          "1 export %/note.mdb %/x.txt", "1 export %/a.mdb /proc/velomar-no-dir/x.txt",
          "1 summary %/manca.mdb --field GR --pdf %/x.pdf",
          "1 summary %/a.mdb --field GR --pdf /proc/velomar-no-dir/x.pdf",
          "1 sample --count 3 %/a.mdb"}) {
        QStringList args = line(dir, command);
        const int code = args.takeFirst().toInt();
        const BatchRun r = runBare(args);
        const std::string what = said(args, r);
        EXPECT_EQ(r.exitCode, code) << what;
        EXPECT_FALSE(r.err.isEmpty()) << what;
        EXPECT_FALSE(hasForeignText(r.err)) << what;
        // Each line of the cause said once.
        const QStringList lines = r.err.split(u'\n', Qt::SkipEmptyParts);
        if (code == 1)
            EXPECT_EQ(QSet<QString>(lines.begin(), lines.end()).size(), lines.size()) << what;
    }
    EXPECT_TRUE(runBare(line(dir, "summary %/manca.mdb --field GR --pdf %/x.pdf"))
                    .err.contains(QStringLiteral("File non trovato")));
}

TEST(BatchTool, FontsWithoutCacheNeedNoWritableHome) {
    // A font folder fontconfig has no cache for, and a configuration like the system's:
    // a cache folder the user cannot write and one in the user's cache home.
    QString font;
    for (QDirIterator it(QStringLiteral("/usr/share/fonts"), {QStringLiteral("*.ttf")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext() && font.isEmpty();)
        font = it.next();
    if (font.isEmpty())
        GTEST_SKIP() << "no TrueType font installed";
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("fonts/x")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("tmp")));
    ASSERT_TRUE(QFile::copy(font, dir.filePath(QStringLiteral("fonts/x/font.ttf"))));
    const QString conf = dir.filePath(QStringLiteral("fonts.conf"));
    ASSERT_TRUE(velomar::test::writeFile(
        conf, QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig><dir>%1</dir>"
                             "<cachedir>/proc/velomar-no-cache</cachedir>"
                             "<cachedir prefix=\"xdg\">fontconfig</cachedir></fontconfig>\n")
                  .arg(dir.filePath(QStringLiteral("fonts")))
                  .toUtf8()));
    const QString a = dir.filePath(QStringLiteral("a.mdb"));
    ASSERT_EQ(runBare({"sample", "--count", "20", a}).exitCode, 0);

    const BatchRun r =
        runBare({"summary", a, "--field", "GR", "--pdf", dir.filePath(QStringLiteral("s.pdf"))},
                {QStringLiteral("FONTCONFIG_FILE=") + conf,
                 QStringLiteral("TMPDIR=") + dir.filePath(QStringLiteral("tmp"))});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());
    // The run's cache folder is gone with it.
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("tmp")))
                  .entryList({QStringLiteral("velomar-batch-*")},
                             QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList());
}

// Every command that writes a file, aimed at the archive it reads, by its name or through
// a symbolic link: refused with exit 1 and an Italian reason, the archive byte for byte as it was.
TEST(BatchTool, NoCommandWritesItsOutputOverTheArchive) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.mdb"));
    const QString link = dir.filePath(QStringLiteral("collegamento.mdb"));
    ASSERT_EQ(velomar::test::runBatch({"sample", "--count", "30", "--seed", "3", a}).exitCode, 0);
    ASSERT_TRUE(QFile::link(a, link));
    const QByteArray before = velomar::test::fileBytes(a);

    const auto refused = [&](const QStringList& args, const QString& output, const char* reason) {
        expectRefused(args, output, QString::fromUtf8(reason));
        EXPECT_TRUE(velomar::test::fileBytes(a) == before) << args.join(u' ').toStdString();
    };
    for (const QString& output : {a, link}) {
        for (const char* command :
             {"labels %/a.mdb --pdf", "preview %/a.mdb --page 1 --png",
              "export %/a.mdb --format text", "export %/a.mdb --format csv",
              "export %/a.mdb --format vcard", "list %/a.mdb --pdf",
              "list %/a.mdb --formatted --pdf", "summary %/a.mdb --field GR --pdf"})
            refused(line(dir, command), output, "è l'archivio in uso.");
        refused({"import", a}, output, "Impossibile importare i Dati dall'Archivio attuale !");
        refused({"sample", "--count", "2"}, output, "esiste già.");
    }
}

// Every writer aimed at a folder says it is one; on a full volume it names the cause, and
// nothing English (libpng's own "Write Error") reaches stderr.
TEST(BatchTool, EveryWriterNamesAFolderAndAFullDisk) {
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("pieno"));
    ASSERT_TRUE(QDir().mkpath(full));
    if (QProcess::execute(QStringLiteral("mount"),
                          {"-t", "tmpfs", "-o", "size=64k", "tmpfs", full}) != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
    const QString a = dir.filePath(QStringLiteral("a.mdb"));
    ASSERT_EQ(velomar::test::runBatch({"sample", "--count", "3000", "--seed", "4", a}).exitCode, 0);
    const QString folder = dir.filePath(QStringLiteral("cartella"));
    ASSERT_TRUE(QDir().mkpath(folder));
    {
        // The volume filled up to its last block, so that even a small PDF does not fit.
        QFile filler(full + QStringLiteral("/riempitivo"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size()) {
        }
    }

    // The last word names the file on the full volume.
    for (const char* command :
         {"export %/a.mdb --format text out.txt", "export %/a.mdb --format csv out.csv",
          "export %/a.mdb --format vcard out.vcf", "labels %/a.mdb --pdf l.pdf",
          "list %/a.mdb --pdf li.pdf", "summary %/a.mdb --field CITTA --pdf s.pdf",
          "preview %/a.mdb --page 1 --dpi 300 --png p.png"}) {
        QStringList args = line(dir, command);
        const QString name = args.takeLast();
        expectRefused(args, folder, QStringLiteral("è una cartella."));
        expectRefused(args, full + u'/' + name, QStringLiteral("Disco pieno"));
    }
    EXPECT_EQ(QDir(full).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{"riempitivo"});
    QProcess::execute(QStringLiteral("umount"), {full});
}
