#pragma once

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::shell {

// velomar-batch install-dir FOLDER [--templates DIR]: creates the program folder, copies
// the templates it lacks (from DIR, else from next to the program) and records it in the
// settings store (used by the installation script only).
int batchInstallDir(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::shell
