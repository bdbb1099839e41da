#include "shell/InstallBatch.h"

#include "settings/ProgramSetup.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace velomar::shell {

using settings::ProgramSetup;

int batchInstallDir(const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString usage = QStringLiteral("Uso: velomar-batch install-dir CARTELLA [--templates MODELLI]\n");
    QString folder;
    QString templates;
    bool templatesGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--templates") && i + 1 < args.size()) {
            templates = args[++i];
            templatesGiven = true;
        } else if (folder.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            folder = args[i];
        } else {
            err << usage;
            return 2;
        }
    }
    if (folder.isEmpty()) {
        err << usage;
        return 2;
    }
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
