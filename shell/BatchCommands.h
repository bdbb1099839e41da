#pragma once

#include "common/CommandArgs.h"
#include "common/CommandSpec.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QTextStream;

namespace velomar::shell {

// The velomar-batch commands: one entry each, what it takes and the routine that runs it.
// The parser, the help of each command, the program's help and the bash completion are
// all made from this table.
class BatchCommands {
public:
    using Handler = std::function<int(const common::CommandArgs&, QTextStream& out, QTextStream& err)>;
    struct Command {
        common::CommandSpec spec;
        Handler run;
    };

    static const std::vector<Command>& all();
    static const Command* find(const QString& name);

    // The whole command line less the program name: --version, --help, or a command and
    // its arguments. Returns the exit status: 0 done, 1 refused or failed, 2 wrong usage.
    static int main(const QStringList& args, QTextStream& out, QTextStream& err);
    // One command: parsed by its entry, then run; "COMMAND --help" prints its help.
    static int run(const QString& name, const QStringList& args, QTextStream& out, QTextStream& err);
    // The arguments parsed by the command's entry; throws common::UsageError.
    static common::CommandArgs parse(const QString& name, const QStringList& args);

    static QString usage();
    // A bash completion script for velomar-batch.
    static QString bashCompletion();
};

} // namespace velomar::shell
