#include "shell/InstallBatch.h"

#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace velomar::shell {

int batchInstallDir(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 1) {
        err << "Uso: velomar-batch install-dir CARTELLA\n";
        return 2;
    }
    const QFileInfo folder(args.first());
    if (!folder.isDir()) {
        err << "La cartella '" << args.first() << "' non esiste.\n";
        return 1;
    }
    // Stored with its final separator: the program folder is what precedes the last one.
    const QString value = QDir::cleanPath(folder.absoluteFilePath()) + QLatin1Char('/');
    settings::Settings store;
    if (!store.isUsable()) {
        err << "Impossibile leggere le impostazioni: " << store.fileName() << "\n";
        return 1;
    }
    if (store.programDir() != value) {
        store.setProgramDir(value);
        store.sync();
        if (!store.isUsable()) {
            err << "Impossibile salvare le impostazioni: " << store.fileName() << "\n";
            return 1;
        }
    }
    out << "ProgramDir=" << value << "\n";
    return 0;
}

} // namespace velomar::shell
