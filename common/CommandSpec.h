#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace velomar::common {

class CommandArgs;

// One option of a command: "--name VALUE" or a switch when valueName is empty.
struct CommandOption {
    QString name;         // without the leading "--"
    QString valueName;    // "N", "OUT.pdf"; "" for a switch
    QString description;  // Italian, for the help
    bool required = false;
    bool repeatable = false;
    QStringList choices = {}; // the only values allowed (any case), offered by the completion
};

// A positional argument, in the order given.
struct CommandArgument {
    QString name;        // "ARCHIVIO.mdb"
    QString description; // Italian, for the help
};

// What a command takes and says about itself: the one description its parser, its help,
// the program's help and the shell completion are all made from.
struct CommandSpec {
    QString name;
    QString description; // Italian, one sentence
    std::vector<CommandArgument> arguments = {};
    std::vector<CommandOption> options = {};
    bool hidden = false; // left out of the program's help (build tools)

    // "sample --count N [--seed S] OUT.mdb": arguments, then required options, then the others.
    QString synopsis() const;
    // "Uso: velomar-batch ...", the description, the arguments and the options.
    QString helpText() const;

    // Parses args (the words after the command name) with QCommandLineParser; throws
    // UsageError with an Italian message. "--help"/"-h" is accepted by every command.
    CommandArgs parse(const QStringList& args) const;

    const CommandOption* option(const QString& name) const;

    // text in lines of at most 79 characters, each after indent spaces; the first goes on
    // a line already holding used characters (none: it is indented too). Ends with a line break.
    static QString wrapText(const QString& text, qsizetype indent, qsizetype used = 0);
};

} // namespace velomar::common
