#include "shell/InstallBatch.h"

#include "common/CommandArgs.h"
#include "settings/ProgramSetup.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace velomar::shell {

using settings::ProgramSetup;

int batchInstallDir(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    const QString folder = args.argument(0);
    const bool templatesGiven = args.isSet(QStringLiteral("templates"));
    QString templates = args.value(QStringLiteral("templates"), {});
    if (templatesGiven) {
        if (ProgramSetup::findTemplates({templates}).isEmpty()) {
            err << "La cartella '" << templates << "' non contiene i modelli "
                << ProgramSetup::templateNames().join(QStringLiteral(", ")) << ".\n";
            return 1;
        }
    } else {
        // Templates next to the program; a folder without them is still recorded.
        templates = ProgramSetup::findTemplates(ProgramSetup::templateCandidates());
    }
    settings::Settings store;
    const ProgramSetup::Result result = ProgramSetup::setUp(folder, templates, store);
    if (!result.ok) {
        err << result.error << "\n";
        return 1;
    }
    out << "ProgramDir=" << result.programDir << "\n";
    return 0;
}

} // namespace velomar::shell
