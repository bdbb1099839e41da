#include "archive/ArchiveBatch.h"
#include "archive/FailureText.h"
#include "common/OutputGuard.h"
#include "exchange/ExchangeBatch.h"
#include "printing/FormatsBatch.h"
#include "printing/PrintingBatch.h"
#include "printing/SummaryBatch.h"
#include "settings/ProgramSetup.h"
#include "settings/Settings.h"
#include "shell/InstallBatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {

const char* const kUsage =
    "Uso: velomar-batch COMANDO [ARGOMENTI]\n"
    "\n"
    "Comandi:\n"
    "  --version                      mostra la versione\n"
    "  --help                         mostra questo aiuto\n"
    "  sample --count N [--seed S] OUT.mdb\n"
    "                                 crea un archivio di esempio con N indirizzi\n"
    "  count ARCHIVIO.mdb             conta gli indirizzi di un archivio\n"
    "  compact ARCHIVIO.mdb|GRUPPI.grp\n"
    "                                 compatta un archivio di indirizzi o dei gruppi\n"
    "                                 (riconosciuto dalle tabelle), come la finestra\n"
    "                                 delle proprietà; l'archivio è bloccato in scrittura\n"
    "                                 fino alla sostituzione\n"
    "  labels ARCHIVIO.mdb --pdf OUT.pdf [--group GR] [--sort N] [--start RIGA,COL]\n"
    "         [--format NOME]\n"
    "                                 stampa le etichette in un file PDF, sul formato\n"
    "                                 di foglio indicato o su quello scelto nelle opzioni\n"
    "  preview ARCHIVIO.mdb --page N --png OUT.png [--dpi D] [--group GR] [--sort N]\n"
    "         [--start RIGA,COL] [--format NOME]\n"
    "                                 anteprima di una pagina delle etichette in un\n"
    "                                 file PNG (150 dpi se non indicato), nulla stampato\n"
    "  formats [--search TESTO] [--set NOME]\n"
    "         [--custom CARTA,COLONNE,RIGHE,LARGHEZZA,ALTEZZA,MARGINE_SX,MARGINE_ALTO,\n"
    "          PASSO_O,PASSO_V[,RAGGIO]]\n"
    "                                 elenca i formati dei fogli di etichette (predefiniti,\n"
    "                                 modelli di glabels-data, personalizzato), anche per\n"
    "                                 marca o codice; --set sceglie quello delle stampe,\n"
    "                                 --custom registra e sceglie un formato proprio (mm)\n"
    "  export ARCHIVIO.mdb OUT [--format text|csv|vcard] [--fields ELENCO]\n"
    "         [--description TESTO]\n"
    "                                 esporta gli indirizzi in formato testo (predefinito),\n"
    "                                 CSV (UTF-8, virgole) o vCard 3.0\n"
    "  import ORIGINE.mdb DESTINAZIONE.mdb [--group GR] [--move]\n"
    "                                 importa indirizzi da un altro archivio\n"
    "  import-file ORIGINE DESTINAZIONE.mdb [--table NOME] [--encoding NOME]\n"
    "         [--delimiter C] [--no-header] [--map CAMPO=COLONNA]... [--group GR]\n"
    "         [--skip-duplicates] [--unmapped-to-note]\n"
    "                                 importa indirizzi da un file CSV, vCard o Access\n"
    "  list ARCHIVIO.mdb --pdf OUT.pdf [--formatted]\n"
    "                                 stampa la lista degli indirizzi in un file PDF\n"
    "  summary ARCHIVIO.mdb --field GR|CAP|CITTA|PROV|NAZ --pdf OUT.pdf [--by-count]\n"
    "                                 stampa il riepilogo degli indirizzi per un campo\n"
    "                                 in un file PDF\n"
    "\n"
    "Stato d'uscita:\n"
    "  0  fatto\n"
    "  1  input rifiutato o operazione non riuscita (archivio danneggiato, disco pieno…)\n"
    "  2  uso errato (comando o opzione sconosciuta, valore non valido, modello di gruppo\n"
    "     non valido)\n";

// Qt's own notes ("XDG_RUNTIME_DIR not set", font warnings) are English and not about the
// command; stderr carries only the command's Italian messages.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// Fontconfig writes "No writable cache directories" itself, past any Qt handler, when a
// font folder has no up-to-date cache and no cache folder can be written (a read-only or
// missing home under cron). Then the cache of this run goes to a folder of its own.
std::unique_ptr<QTemporaryDir> fontCacheForUnwritableHome() {
    if (!qEnvironmentVariableIsEmpty("XDG_CACHE_HOME"))
        return {};
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty()) {
        const QFileInfo cache(home + QStringLiteral("/.cache"));
        const QFileInfo parent(home);
        if (cache.exists() ? cache.isDir() && cache.isWritable() : parent.isDir() && parent.isWritable())
            return {};
    }
    auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velomar-batch-XXXXXX"));
    if (!dir->isValid())
        return {};
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir->path()));
    return dir;
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(quietQt);
    const auto fontCache = fontCacheForUnwritableHome();
    // Fonts and PDF output need a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("QZ"));
    QGuiApplication::setApplicationName(QStringLiteral("Velomar"));

    // The groups archive and the templates of the program folder are never an output.
    if (const auto programDir = velomar::settings::Settings().programDir())
        velomar::common::OutputGuard::setProgramFolder(velomar::settings::ProgramSetup::programFolderFrom(*programDir));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QGuiApplication::arguments().mid(1);
    if (args.isEmpty()) {
        err << kUsage;
        return 2;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("--version")) {
        out << "Velomar " << VELOMAR_VERSION << "\n";
        return 0;
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << kUsage;
        return 0;
    }

    using Command = std::function<int(const QStringList&, QTextStream&, QTextStream&)>;
    const std::map<QString, Command> commands = {
        {QStringLiteral("sample"), velomar::archive::batchSample},
        {QStringLiteral("count"), velomar::archive::batchCount},
        {QStringLiteral("compact"), velomar::archive::batchCompact},
        {QStringLiteral("labels"), velomar::printing::batchLabels},
        {QStringLiteral("preview"), velomar::printing::batchPreview},
        {QStringLiteral("formats"), velomar::printing::batchFormats},
        {QStringLiteral("export"), velomar::exchange::batchExport},
        {QStringLiteral("import"), velomar::exchange::batchImport},
        {QStringLiteral("import-file"), velomar::exchange::batchImportFile},
        {QStringLiteral("list"), velomar::exchange::batchList},
        {QStringLiteral("summary"), velomar::printing::batchSummary},
        {QStringLiteral("install-dir"), velomar::shell::batchInstallDir}, // installer only
    };
    const auto it = commands.find(command);
    if (it == commands.end()) {
        err << "Comando sconosciuto: " << command << "\n\n" << kUsage;
        return 2;
    }
    try {
        return it->second(args, out, err);
    } catch (const std::exception& e) {
        // A command reports its own failures; this only keeps an unforeseen one from
        // ending the process with an English abort.
        err << velomar::archive::FailureText::cause(e) << "\n";
        return 1;
    }
}
