#include "common/CommandArgs.h"
#include "common/UsageError.h"
#include "shell/BatchCommands.h"
#include "support/CommandRun.h"
#include "support/TestEnvironment.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

using velomar::common::CommandArgs;
using velomar::shell::BatchCommands;

namespace {

// The message a command line is refused with, "" when it parses.
QString refusal(const QString& command, const QStringList& args) {
    try {
        (void)BatchCommands::parse(command, args);
        return {};
    } catch (const velomar::common::UsageError& e) {
        return e.description();
    }
}

using Pairs = std::set<std::pair<QString, QString>>; // command, option

} // namespace

TEST(BatchCommands, CommandLinesAreRefusedInItalianOrParsedByTheTable) {
    const struct {
        const char* command;
        QStringList args;
        const char* refused; // start of the message; "" when accepted
    } cases[] = {
        {"labels", {"a.mdb", "--pdf"}, "--pdf richiede un valore (OUT.pdf)."},
        {"labels", {"a.mdb", "--pdf", "x.pdf", "--bogus", "-z"}, "Opzione sconosciuta: --bogus\nOpzione sconosciuta: -z"},
        {"import", {"a.mdb", "b.mdb", "--move=si"}, "--move non vuole un valore."},
        {"count", {}, "Manca ARCHIVIO.mdb."},
        {"count", {"a.mdb", "b.mdb"}, "Argomento in più: b.mdb"},
        {"labels", {"a.mdb"}, "Manca --pdf OUT.pdf."},
        {"summary", {"a.mdb", "--pdf", "x.pdf", "--field", "NOME"}, "Valore non valido per --field: \"NOME\""},
        {"bogus", {}, "Comando sconosciuto: bogus"},
        {"count", {"--", "-strano.mdb"}, ""},
        {"labels", {"a.mdb", "--pdf=x.pdf", "--group", "AB", "--sort", "3"}, ""},
        {"compact", {"--help", "--bogus"}, ""},
    };
    for (const auto& c : cases) {
        const QString why = refusal(QLatin1String(c.command), c.args);
        const QString want = QString::fromUtf8(c.refused);
        EXPECT_EQ(why.left(want.size()), want) << c.command << " " << c.args.join(u' ').toStdString();
        EXPECT_EQ(why.isEmpty(), want.isEmpty()) << c.command << ": " << why.toStdString();
    }

    // Choices come back spelled as in the table; a repeated option keeps every value.
    const CommandArgs e = BatchCommands::parse(QStringLiteral("export"), {"a.mdb", "o.csv", "--format", "CSV"});
    EXPECT_EQ(e.value(QStringLiteral("format")), QStringLiteral("csv"));
    const CommandArgs m = BatchCommands::parse(QStringLiteral("import-file"),
                                               {"a.csv", "--map", "CAP=Zip", "b.mdb", "--map", "CITTA=City"});
    EXPECT_EQ(m.values(QStringLiteral("map")), QStringList({"CAP=Zip", "CITTA=City"}));
    EXPECT_EQ(m.arguments(), QStringList({"a.csv", "b.mdb"}));
}

TEST(BatchCommands, HelpOfTheProgramAndOfEachCommandIsItalianAndFitsTheTerminal) {
    const velomar::test::CommandRun labels = velomar::test::runCommand(QStringLiteral("labels"), {"-h"});
    EXPECT_EQ(labels.status, 0);
    EXPECT_TRUE(labels.out.startsWith(QStringLiteral("Uso: velomar-batch labels ARCHIVIO.mdb --pdf OUT.pdf [--group GR]")))
        << labels.out.toStdString();
    const velomar::test::CommandRun wrong = velomar::test::runCommand(QStringLiteral("count"), {"--x"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.err, QStringLiteral("Opzione sconosciuta: --x\nUso: velomar-batch count ARCHIVIO.mdb\n"
                                        "Aiuto: velomar-batch count --help\n"));

    QStringList texts{BatchCommands::usage()};
    for (const BatchCommands::Command& c : BatchCommands::all()) {
        texts << c.spec.helpText();
        EXPECT_EQ(BatchCommands::usage().contains(QStringLiteral("\n  ") + c.spec.name + u' '), !c.spec.hidden)
            << c.spec.name.toStdString();
    }
    static const QRegularExpression english(QStringLiteral(R"(\b(Usage|Options|Arguments|Displays)\b)"));
    for (const QString& text : texts) {
        EXPECT_FALSE(text.contains(english)) << text.toStdString();
        for (const QString& line : text.split(u'\n'))
            EXPECT_LE(line.size(), 79) << line.toStdString();
    }
}

TEST(BatchCommands, ManualPageDescribesEveryCommandAndOptionOfTheTable) {
    Pairs table;
    QSet<QString> commands;
    for (const BatchCommands::Command& c : BatchCommands::all()) {
        if (c.spec.hidden)
            continue;
        commands << c.spec.name;
        for (const auto& o : c.spec.options)
            table.insert({c.spec.name, o.name});
    }

    // COMANDI: each entry starts with its command; OPZIONI: each entry with its option and
    // ends with the commands that take it, in parentheses.
    Pairs manual;
    QSet<QString> manCommands;
    QString section, option;
    // The man page source with its escapes removed.
    QString page = QString::fromUtf8(velomar::test::fileBytes(
        velomar::test::sourcePath(QStringLiteral("data/man/velomar-batch.1"))));
    page.replace(QStringLiteral("\\-"), QStringLiteral("-"))
        .remove(QRegularExpression(QStringLiteral(R"(\\f[BIR])")));
    const QStringList lines = page.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QLatin1String(".SH")))
            section = line.mid(4);
        else if (line == QLatin1String(".TP") && i + 1 < lines.size()) {
            const QString head = lines[i + 1].section(u' ', lines[i + 1].startsWith(u'.') ? 1 : 0, -1);
            if (section == QLatin1String("COMANDI"))
                manCommands << head.section(u' ', 0, 0).section(u',', 0, 0);
            option = section == QLatin1String("OPZIONI") ? head.section(u' ', 0, 0).mid(2) : QString();
        } else if (!option.isEmpty() && line.startsWith(QLatin1String(".RB ("))) {
            for (const QString& word : line.mid(5).split(QRegularExpression(QStringLiteral(R"([^a-z-]+)")), Qt::SkipEmptyParts))
                manual.insert({word, option});
        }
    }
    manCommands -= {QStringLiteral("--version"), QStringLiteral("--help")};
    EXPECT_EQ(manCommands, commands);
    const auto text = [](const Pairs& pairs) {
        QStringList out;
        for (const auto& [command, name] : pairs)
            out << command + QStringLiteral(" --") + name;
        return out.join(u'\n').toStdString();
    };
    EXPECT_EQ(text(manual), text(table));
}

TEST(BatchCommands, BashCompletionOffersCommandsOptionsAndChoices) {
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("velomar-batch"));
    ASSERT_TRUE(velomar::test::writeFile(script, BatchCommands::bashCompletion().toUtf8()));
    const struct {
        QStringList words; // after the program name; the last is the one completed
        const char* offered;
    } cases[] = {
        {{"ex"}, "export"},
        {{"import"}, "import import-file"},
        {{"export", "a.mdb", "--f"}, "--format --fields"},
        {{"export", "a.mdb", "--format", ""}, "text csv vcard"},
        {{"summary", "a.mdb", "--field", "C"}, "CAP CITTA"},
        {{"count", "--"}, "--help"},
    };
    for (const auto& c : cases) {
        QProcess bash;
        bash.start(QStringLiteral("bash"),
                   QStringList{QStringLiteral("-c"),
                    QStringLiteral("source \"$0\"; COMP_WORDS=(velomar-batch \"$@\"); COMP_CWORD=$#; _velomar_batch; "
                                   "echo \"${COMPREPLY[*]}\""),
                    script} + c.words);
        ASSERT_TRUE(bash.waitForFinished());
        EXPECT_EQ(QString::fromUtf8(bash.readAllStandardOutput()).trimmed(), QLatin1String(c.offered))
            << c.words.join(u' ').toStdString() << QString::fromUtf8(bash.readAllStandardError()).toStdString();
    }
}
