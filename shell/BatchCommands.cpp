#include "shell/BatchCommands.h"

#include "addresses/AddressCheckBatch.h"
#include "addresses/DuplicatesBatch.h"
#include "archive/ArchiveBatch.h"
#include "common/CommandArgs.h"
#include "common/UsageError.h"
#include "exchange/AccessCopyBatch.h"
#include "exchange/ExchangeBatch.h"
#include "printing/BulkBatch.h"
#include "printing/CalibrationBatch.h"
#include "printing/FormatsBatch.h"
#include "printing/PrintingBatch.h"
#include "printing/SummaryBatch.h"
#include "shell/InstallBatch.h"

#include <QTextStream>

namespace velomar::shell {

using common::CommandArgs;
using common::CommandArgument;
using common::CommandOption;

namespace {

// Options and arguments several commands share, described once.
const CommandArgument kArchive{QStringLiteral("ARCHIVIO.mdb"), QStringLiteral("l'archivio degli indirizzi")};
const CommandOption kGroup{QStringLiteral("group"), QStringLiteral("GR"),
                           QStringLiteral("solo gli indirizzi del gruppo o del modello di gruppo GR")};
const CommandOption kSort{QStringLiteral("sort"), QStringLiteral("N"),
                          QStringLiteral("ordinamento delle etichette, da 0 a 16 (6: CAP, città, cognome)")};
const CommandOption kStart{QStringLiteral("start"), QStringLiteral("RIGA,COL"),
                           QStringLiteral("prima etichetta del foglio da usare, dalla riga 1 e colonna 1")};
const CommandOption kSheet{QStringLiteral("format"), QStringLiteral("NOME"),
                           QStringLiteral("formato del foglio di etichette, come li elenca velomar-batch formats "
                                          "(altrimenti quello scelto nelle opzioni)")};
const CommandOption kPrinter{QStringLiteral("printer"), QStringLiteral("NOME"),
                             QStringLiteral("stampante di cui usare la calibrazione: il PDF è disegnato come "
                                            "la riceverebbe (altrimenti quella di File PDF)")};
const CommandOption kFields{QStringLiteral("fields"), QStringLiteral("ELENCO"),
                            QStringLiteral("campi, per nome o numero, separati da virgole")};
const CommandOption kHousehold{QStringLiteral("household"), {},
                               QStringLiteral("una sola etichetta per indirizzo: il primo di ogni porta, o FAMIGLIA "
                                              "ROSSI quando i cognomi sono uguali")};
const CommandOption kDescription{QStringLiteral("description"), QStringLiteral("TESTO"),
                                 QStringLiteral("descrizione in testa al file")};

CommandOption required(CommandOption option) {
    option.required = true;
    return option;
}

CommandOption pdf() {
    return required({QStringLiteral("pdf"), QStringLiteral("OUT.pdf"), QStringLiteral("file PDF da scrivere")});
}

int printCompletion(const CommandArgs&, QTextStream& out, QTextStream&) {
    out << BatchCommands::bashCompletion();
    return 0;
}

std::vector<BatchCommands::Command> makeTable() {
    return {
        {{QStringLiteral("sample"), QStringLiteral("crea un archivio di esempio con N indirizzi italiani inventati"),
          {{QStringLiteral("OUT.mdb"), QStringLiteral("l'archivio da creare")}},
          {required({QStringLiteral("count"), QStringLiteral("N"), QStringLiteral("numero di indirizzi")}),
           {QStringLiteral("seed"), QStringLiteral("S"),
            QStringLiteral("seme dei valori inventati: lo stesso seme dà lo stesso file (1 se non indicato)")},
           {QStringLiteral("groups"), QStringLiteral("GRUPPI.grp"),
            QStringLiteral("scrive anche un archivio dei gruppi di esempio")}}},
         archive::batchSample},
        {{QStringLiteral("count"), QStringLiteral("conta gli indirizzi di un archivio"), {kArchive}},
         archive::batchCount},
        {{QStringLiteral("compact"),
          QStringLiteral("compatta un archivio di indirizzi o dei gruppi (riconosciuto dalle tabelle), come la "
                         "finestra delle proprietà; l'archivio è bloccato in scrittura fino alla sostituzione"),
          {{QStringLiteral("ARCHIVIO.mdb|GRUPPI.grp"), QStringLiteral("l'archivio da compattare")}}},
         archive::batchCompact},
        {{QStringLiteral("check"),
          QStringLiteral("verifica CAP, comune e provincia degli indirizzi italiani: una riga per indirizzo "
                         "sospetto, NR, motivo e correzione proposta, separati da tabulazioni"),
          {kArchive},
          {{QStringLiteral("fix"), {}, QStringLiteral("applica in un'unica transazione le correzioni senza dubbi")}}},
         addresses::batchCheck},
        {{QStringLiteral("duplicates"),
          QStringLiteral("elenca i gruppi di indirizzi che sono probabilmente lo stesso destinatario, i più certi "
                         "prima: gruppo, punteggio, NR, cognome e nome, indirizzo, CAP e città"),
          {kArchive},
          {{QStringLiteral("min-score"), QStringLiteral("S"),
            QStringLiteral("punteggio minimo, da 0 a 1 (0.92 se non indicato)")}}},
         addresses::batchDuplicates},
        {{QStringLiteral("labels"),
          QStringLiteral("stampa le etichette in un file PDF, sul formato di foglio indicato o su quello scelto "
                         "nelle opzioni"),
          {kArchive},
          {pdf(), kGroup, kSort, kStart, kSheet, kHousehold, kPrinter}},
         printing::batchLabels},
        {{QStringLiteral("preview"),
          QStringLiteral("anteprima di una pagina delle etichette in un file PNG, nulla stampato"),
          {kArchive},
          {required({QStringLiteral("page"), QStringLiteral("N"), QStringLiteral("pagina da disegnare, dalla prima")}),
           required({QStringLiteral("png"), QStringLiteral("OUT.png"), QStringLiteral("immagine PNG da scrivere")}),
           {QStringLiteral("dpi"), QStringLiteral("D"), QStringLiteral("risoluzione, da 30 a 300 (150 se non indicata)")},
           kGroup, kSort, kStart, kSheet}},
         printing::batchPreview},
        {{QStringLiteral("bundles"),
          QStringLiteral("spedizione in blocco: distinta dei mazzetti per CAP in un file PDF (e CSV accanto) e, "
                         "se chiesto, le etichette in ordine di mazzetto con le testate"),
          {kArchive},
          {required({QStringLiteral("pdf"), QStringLiteral("DISTINTA.pdf"), QStringLiteral("distinta da scrivere")}),
           {QStringLiteral("labels"), QStringLiteral("ETICHETTE.pdf"),
            QStringLiteral("scrive anche le etichette (e il promemoria accanto)")},
           {kGroup.name, kGroup.valueName, QStringLiteral("solo gli indirizzi del gruppo GR; si può ripetere"), false,
            true},
           {QStringLiteral("min"), QStringLiteral("N"), QStringLiteral("pezzi minimi di un mazzetto (10 se non indicato)")},
           {QStringLiteral("postal-style"), {}, QStringLiteral("indirizzi nello stile postale (maiuscole, senza "
                                                               "punteggiatura)")},
           {QStringLiteral("product"), QStringLiteral("TESTO"), QStringLiteral("nome del prodotto postale sulla distinta")},
           kSheet}},
         printing::batchBundles},
        {{QStringLiteral("formats"),
          QStringLiteral("elenca i formati dei fogli di etichette (predefiniti, modelli di glabels-data, "
                         "personalizzato), anche per marca o codice"),
          {},
          {{QStringLiteral("search"), QStringLiteral("TESTO"),
            QStringLiteral("solo i formati che contengono ogni parola del testo")},
           {QStringLiteral("set"), QStringLiteral("NOME"), QStringLiteral("sceglie il formato delle stampe di etichette")},
           {QStringLiteral("custom"), QStringLiteral("VALORI"),
            QStringLiteral("registra e sceglie un formato proprio; VALORI sono carta (A4, A5, Letter), colonne, "
                           "righe, larghezza, altezza, margine sinistro, margine alto, passo orizzontale, passo "
                           "verticale e, se si vuole, raggio degli angoli, separati da virgole (misure in mm)")}}},
         printing::batchFormats},
        {{QStringLiteral("calibrate"),
          QStringLiteral("mostra, imposta o toglie la calibrazione di una stampante (spostamento e scala delle "
                         "etichette)"),
          {{QStringLiteral("STAMPANTE"), QStringLiteral("il nome della stampante, come la elenca il sistema")}},
          {{QStringLiteral("offset"), QStringLiteral("X,Y"),
            QStringLiteral("spostamento orizzontale e verticale in mm, da -10.0 a 10.0 in decimi")},
           {QStringLiteral("scale"), QStringLiteral("SX,SY"),
            QStringLiteral("scala orizzontale e verticale in percento, da 98.00 a 102.00")},
           {QStringLiteral("reset"), {}, QStringLiteral("toglie la calibrazione della stampante")}}},
         printing::batchCalibrate},
        {{QStringLiteral("test-sheet"),
          QStringLiteral("stampa in un file PDF il foglio di prova di una stampante: contorni delle etichette, "
                         "croci all'inizio dei testi, righelli in mm"),
          {},
          {pdf(), kSheet,
           {QStringLiteral("printer"), QStringLiteral("NOME"),
            QStringLiteral("stampante di cui usare nome e calibrazione (altrimenti File PDF)")}}},
         printing::batchTestSheet},
        {{QStringLiteral("export"),
          QStringLiteral("esporta gli indirizzi in formato testo (predefinito), CSV (UTF-8, virgole) o vCard 3.0"),
          {kArchive, {QStringLiteral("OUT"), QStringLiteral("il file da scrivere")}},
          {{QStringLiteral("format"), {}, QStringLiteral("formato del file (text se non indicato)"), false, false,
            {QStringLiteral("text"), QStringLiteral("csv"), QStringLiteral("vcard")}},
           kFields, kDescription, kHousehold}},
         exchange::batchExport},
        {{QStringLiteral("import"), QStringLiteral("importa indirizzi da un altro archivio"),
          {{QStringLiteral("ORIGINE.mdb"), QStringLiteral("l'archivio da cui leggere")},
           {QStringLiteral("DESTINAZIONE.mdb"), QStringLiteral("l'archivio in cui scrivere")}},
          {kGroup,
           {QStringLiteral("move"), {}, QStringLiteral("cancella dall'origine gli indirizzi importati, dopo averli salvati")}}},
         exchange::batchImport},
        {{QStringLiteral("import-file"), QStringLiteral("importa indirizzi da un file CSV, vCard o Access"),
          {{QStringLiteral("ORIGINE"), QStringLiteral("il file da cui leggere")},
           {QStringLiteral("DESTINAZIONE.mdb"), QStringLiteral("l'archivio in cui scrivere")}},
          {{QStringLiteral("table"), QStringLiteral("NOME"), QStringLiteral("tabella da leggere in un file Access")},
           {QStringLiteral("encoding"), QStringLiteral("NOME"),
            QStringLiteral("codifica del file (UTF-8, windows-1252...); riconosciuta da sola se non indicata")},
           {QStringLiteral("delimiter"), QStringLiteral("C"), QStringLiteral("separatore delle colonne: un carattere o tab")},
           {QStringLiteral("no-header"), {}, QStringLiteral("la prima riga contiene già dati")},
           {QStringLiteral("map"), QStringLiteral("CAMPO=COLONNA"), QStringLiteral("associa una colonna a un campo"),
            false, true},
           {QStringLiteral("address"), QStringLiteral("N"),
            QStringLiteral("indirizzo di un contatto da usare (1, 2...), se il file ne ha più d'uno")},
           {QStringLiteral("group"), QStringLiteral("GR"), QStringLiteral("codice di gruppo di ogni indirizzo importato")},
           {QStringLiteral("skip-duplicates"), {},
            QStringLiteral("salta gli indirizzi con cognome, indirizzo e CAP già presenti (--duplicates exact)")},
           {QStringLiteral("duplicates"), {},
            QStringLiteral("gli indirizzi simili a uno già presente: saltati (skip, la ricerca di Cerca doppioni), "
                           "saltati solo se uguali in cognome, indirizzo e CAP (exact), importati lo stesso (import) "
                           "o importati ed elencati da controllare (review)"),
            false, false,
            {QStringLiteral("skip"), QStringLiteral("exact"), QStringLiteral("import"), QStringLiteral("review")}},
           {QStringLiteral("unmapped-to-note"), {}, QStringLiteral("scrive nelle note le colonne non associate")}}},
         exchange::batchImportFile},
        {{QStringLiteral("list"), QStringLiteral("stampa la lista degli indirizzi in un file PDF"),
          {kArchive},
          {pdf(), {QStringLiteral("formatted"), {}, QStringLiteral("lista formattata, a colonne")}, kFields,
           kDescription}},
         exchange::batchList},
        {{QStringLiteral("summary"), QStringLiteral("stampa il riepilogo degli indirizzi per un campo in un file PDF"),
          {kArchive},
          {required({QStringLiteral("field"), {}, QStringLiteral("campo del riepilogo"), false, false,
                     {QStringLiteral("GR"), QStringLiteral("CAP"), QStringLiteral("CITTA"), QStringLiteral("PROV"),
                      QStringLiteral("NAZ")}}),
           pdf(),
           {QStringLiteral("by-count"), {}, QStringLiteral("ordinato per numero di indirizzi invece che per valore")}}},
         printing::batchSummary},
        {{QStringLiteral("install-dir"),
          QStringLiteral("prepara la cartella del programma come al primo avvio (per l'installazione di un solo "
                         "utente)"),
          {{QStringLiteral("CARTELLA"), QStringLiteral("la cartella del programma")}},
          {{QStringLiteral("templates"), QStringLiteral("MODELLI"),
            QStringLiteral("cartella da cui copiare i modelli (altrimenti quella accanto al programma)")}}},
         batchInstallDir},
        {{QStringLiteral("access-copy"),
          QStringLiteral("copia le tabelle di un database Access (e le righe di una) in un nuovo file SQLite; il "
                         "programma legge così ogni file Access, in un processo a parte"),
          {{QStringLiteral("ORIGINE"), QStringLiteral("il database Access da leggere")},
           {QStringLiteral("COPIA"), QStringLiteral("il file SQLite nuovo da scrivere")}},
          {{QStringLiteral("table"), QStringLiteral("NOME"), QStringLiteral("tabella di cui copiare le righe")}}},
         exchange::batchAccessCopy},
        {{QStringLiteral("completion"), QStringLiteral("scrive lo script di completamento per bash"), {}, {}, true},
         printCompletion},
    };
}

} // namespace

const std::vector<BatchCommands::Command>& BatchCommands::all() {
    static const std::vector<Command> table = makeTable();
    return table;
}

const BatchCommands::Command* BatchCommands::find(const QString& name) {
    for (const Command& c : all())
        if (c.spec.name == name)
            return &c;
    return nullptr;
}

common::CommandArgs BatchCommands::parse(const QString& name, const QStringList& args) {
    const Command* command = find(name);
    if (!command)
        throw common::UsageError(QStringLiteral("Comando sconosciuto: %1").arg(name));
    return command->spec.parse(args);
}

int BatchCommands::run(const QString& name, const QStringList& args, QTextStream& out, QTextStream& err) {
    const Command* command = find(name);
    if (!command) {
        err << "Comando sconosciuto: " << name << "\n\n" << usage();
        return 2;
    }
    try {
        const CommandArgs parsed = command->spec.parse(args);
        if (parsed.helpAsked()) {
            out << command->spec.helpText();
            return 0;
        }
        return command->run(parsed, out, err);
    } catch (const common::UsageError& e) {
        err << e.description() << "\n"
            << QStringLiteral("Uso: ") + common::CommandSpec::wrapText(QStringLiteral("velomar-batch ") + command->spec.synopsis(), 5, 5)
            << "Aiuto: velomar-batch " << name << " --help\n";
        return 2;
    }
}

int BatchCommands::main(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) {
        err << usage();
        return 2;
    }
    const QString& first = args.first();
    if (first == QLatin1String("--version")) {
        out << "Velomar " << VELOMAR_VERSION << "\n";
        return 0;
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        out << usage();
        return 0;
    }
    return run(first, args.mid(1), out, err);
}

QString BatchCommands::usage() {
    QString text = QStringLiteral("Uso: velomar-batch COMANDO [ARGOMENTI]\n"
                                  "     velomar-batch COMANDO --help\n"
                                  "\n"
                                  "Comandi:\n"
                                  "  --version                      mostra la versione\n"
                                  "  --help                         mostra questo aiuto\n");
    for (const Command& c : all()) {
        if (c.spec.hidden)
            continue;
        text += QStringLiteral("  ") + common::CommandSpec::wrapText(c.spec.synopsis(), 9, 2);
        text += common::CommandSpec::wrapText(c.spec.description, 33);
    }
    return text + QStringLiteral("\n"
                                 "Stato d'uscita:\n"
                                 "  0  fatto\n"
                                 "  1  input rifiutato o operazione non riuscita (archivio danneggiato, disco\n"
                                 "     pieno…)\n"
                                 "  2  uso errato (comando o opzione sconosciuta, valore non valido, modello di\n"
                                 "     gruppo non valido)\n");
}

QString BatchCommands::bashCompletion() {
    QStringList commands{QStringLiteral("--help"), QStringLiteral("--version")};
    QString options;
    QString values;
    for (const Command& c : all()) {
        if (c.spec.hidden)
            continue;
        commands << c.spec.name;
        QStringList names{QStringLiteral("--help")};
        for (const CommandOption& o : c.spec.options) {
            names << QStringLiteral("--") + o.name;
            if (!o.choices.isEmpty())
                values += QStringLiteral("        %1:--%2) COMPREPLY=($(compgen -W \"%3\" -- \"$cur\")); return ;;\n")
                              .arg(c.spec.name, o.name, o.choices.join(u' '));
        }
        options += QStringLiteral("        %1) options=\"%2\" ;;\n").arg(c.spec.name, names.join(u' '));
    }
    return QStringLiteral("# bash completion for velomar-batch, made from its table of commands\n"
                          "_velomar_batch()\n"
                          "{\n"
                          "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} options=\n"
                          "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
                          "        COMPREPLY=($(compgen -W \"%1\" -- \"$cur\"))\n"
                          "        return\n"
                          "    fi\n"
                          "    case ${COMP_WORDS[1]}:$prev in\n"
                          "%2"
                          "    esac\n"
                          "    case ${COMP_WORDS[1]} in\n"
                          "%3"
                          "    esac\n"
                          "    if [[ $cur == -* ]]; then\n"
                          "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
                          "    elif declare -F _filedir >/dev/null; then\n"
                          "        _filedir\n"
                          "    else\n"
                          "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
                          "    fi\n"
                          "}\n"
                          "complete -o filenames -F _velomar_batch velomar-batch\n")
        .arg(commands.join(u' '), values, options);
}

} // namespace velomar::shell
