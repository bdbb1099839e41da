#pragma once

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::printing {

// velomar-batch commands, parsed by their entry of shell/BatchCommands; each returns the
// process exit status.
int batchLabels(const common::CommandArgs& args, QTextStream& out, QTextStream& err);
// One page of the label job as a PNG image, drawn as the print would draw it.
int batchPreview(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::printing
