#pragma once

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::printing {

// velomar-batch bundles: the delivery list (and the labels) of a bulk mailing.
int batchBundles(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::printing
