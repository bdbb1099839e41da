// Saves PNG pictures of the program's windows, for looking at them without a desktop:
//   velomar-screenshots OUTPUT_FOLDER
// Runs on a temporary program folder and a temporary settings store; the user's own are
// never touched.
#include "addresses/EntryBuffer.h"
#include "addresses/ui/AddressWindows.h"
#include "addresses/ui/frmEDIT.h"
#include "addresses/ui/frmINPUT.h"
#include "addresses/ui/frmSchedario.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "archive/Session.h"
#include "settings/AppState.h"
#include "common/ImageList.h"
#include "printing/PrinterSelection.h"
#include "settings/ProgramSetup.h"
#include "settings/Settings.h"
#include "common/AppContext.h"
#include "shell/ShellCommands.h"
#include "printing/ui/CalibrationDialog.h"
#include "printing/ui/frmImpostaStampante.h"
#include "printing/ui/frmSpedizioneBlocco.h"
#include "printing/ui/frmStampaTipogr.h"
#include "archive/DataModel.h"
#include "printing/ListPrinter.h"
#include "printing/ListPrinterRange.h"
#include "printing/Printer.h"
#include "printing/SummaryPrinter.h"
#include "printing/SummaryQuery.h"
#include "printing/ui/PreviewWindow.h"
#include <QCheckBox>
#include "shell/ui/frmAbout.h"
#include "shell/ui/frmMAIN.h"
#include "shell/ui/frmOPT.h"
#include "printing/ui/CustomSheetDialog.h"
#include "printing/ui/SheetFormatPicker.h"
#include "printing/SheetCatalog.h"
#include <QDoubleSpinBox>
#include <QListWidget>
#include "common/ui/QtDialogService.h"
#include "exchange/SourceTable.h"
#include "shell/ui/ExchangeWindows.h"
#include "exchange/ui/frmESPORTA.h"
#include "exchange/ui/frmIMPORTAFILE.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QLocale>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

bool save(QWidget* w, const QString& folder, const QString& name) {
    settle();
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool ok = w->grab().save(path);
    QTextStream(stdout) << (ok ? "salvato " : "ERRORE ") << path << "\n";
    return ok;
}

// A spreadsheet as Google Contacts exports it, for the import window's picture.
class ExampleContacts : public velomar::exchange::SourceTable {
public:
    QStringList columns() const override {
        return {"Given Name", "Family Name", "Address 1 - Street", "Address 1 - City",
                "Address 1 - Postal Code", "Address 1 - Region", "Address 1 - Country",
                "Phone 1 - Value", "E-mail 1 - Value", "Notes", "Group Membership"};
    }
    bool next(QStringList& v) override {
        static const QList<QStringList> rows{
            {"Mario", "Rossi", "Via Roma 1", "Ardea", "4011", "RM", "Italy", "06 1234567",
             "mario.rossi@example.it", "Socio dal 2019", "* myContacts ::: SO"},
            {"Anna", "Bianchi", "Corso Garibaldi 12", "Aosta", "11100", "AO", "Italia", "", "", "", ""},
            {"Hans", "Müller", "Hauptstraße 5", "Berlin", "10115", "", "Germany", "+49 30 123456", "", "", ""},
            {"Giulia", "De Santis-Ferrante Villanova di Castenaso", "Piazza Maggiore 3", "Bologna", "40121",
             "Bologna", "IT", "", "", "", ""}};
        if (m_next >= rows.size())
            return false;
        v = rows[m_next++];
        return true;
    }
    qint64 position() const override { return m_next + 1; }
    QString description() const override {
        return QStringLiteral("CSV, codifica UTF-8, separatore virgola, intestazione nella prima riga");
    }

private:
    qsizetype m_next = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir root;
    // Settings and program folder are private to this run.
    qputenv("XDG_CONFIG_HOME", (root.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (root.path() + QStringLiteral("/data")).toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root.path() + "/config");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("QZ"));
    QApplication::setApplicationName(QStringLiteral("Velomar"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "Uso: velomar-screenshots CARTELLA\n";
        return 2;
    }
    const QString out = args.at(1);
    QDir().mkpath(out);
    const QString programDir = root.path() + QStringLiteral("/data/Velomar");
    QDir().mkpath(programDir);
    // The archive templates of the build, found as the first start finds them.
    const QString templates =
        velomar::settings::ProgramSetup::findTemplates(velomar::settings::ProgramSetup::templateCandidates());
    for (const QString& name : velomar::settings::ProgramSetup::templateNames())
        QFile::copy(templates + QLatin1Char('/') + name, programDir + QLatin1Char('/') + name);
    QFile::copy(programDir + QStringLiteral("/NewGruppi.sys"), programDir + QStringLiteral("/Gruppi.grp"));
    // A message box would wait for a click that never comes: answer it and say so.
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                QTextStream(stderr) << "messaggio: " << box->text() << "\n";
                box->accept();
            }
    });
    boxes.start(200);

    velomar::settings::AppState state;
    velomar::common::ui::QtDialogService dialogs;
    velomar::settings::Settings settings;
    settings.setProgramDir(programDir + QLatin1Char('/'));
    velomar::archive::Session session;
    velomar::printing::PrinterSelection printers;
    velomar::common::AppContext context{state, dialogs, settings, session, printers};

    velomar::shell::ui::frmMAIN main(context);
    if (!main.load())
        return 1;
    main.resize(1024, 700);
    main.show();
    bool ok = save(&main, out, QStringLiteral("main"));

    if (auto* file = main.findChild<QMenu*>(QStringLiteral("mnuFile"))) {
        file->popup(main.mapToGlobal(QPoint(8, main.menuBar()->height())));
        ok = save(file, out, QStringLiteral("menu-file")) && ok;
        file->hide();
    }
    if (auto* opzioni = main.findChild<QMenu*>(QStringLiteral("mnuOpzioni"))) {
        opzioni->popup(main.mapToGlobal(QPoint(120, main.menuBar()->height())));
        ok = save(opzioni, out, QStringLiteral("menu-opzioni")) && ok;
        opzioni->hide();
    }

    state.options.setValue(11, 1);
    state.senders.sender1 = {QStringLiteral("Associazione Amici del Libro"),
                             QStringLiteral("Via Garibaldi, 12"), QStringLiteral("40121 Bologna BO"),
                             {}, {}, {}};
    velomar::shell::ui::frmOPT options(context, &main);
    options.show();
    ok = save(&options, out, QStringLiteral("options")) && ok;
    // The sheet format found by a maker's part number.
    options.sheetPicker->txtCerca->setText(QStringLiteral("L7160"));
    if (options.sheetPicker->lstFormati->count() > 0)
        options.sheetPicker->lstFormati->setCurrentRow(0);
    ok = save(&options, out, QStringLiteral("options-sheet")) && ok;
    options.cmdOK->click(); // the single labels and the label preview follow this sheet
    {
        velomar::printing::ui::CustomSheetDialog custom(dialogs, options.sheetPicker->selected(), &main);
        custom.txtPassoOrizz->setValue(60); // overlapping: the reason shows under the drawing
        custom.show();
        ok = save(&custom, out, QStringLiteral("options-custom-sheet")) && ok;
    }

    velomar::shell::ShellCommands shell(dialogs);
    velomar::shell::ui::frmAbout about(context, shell, &main);
    about.show();
    ok = save(&about, out, QStringLiteral("about")) && ok;
    about.hide();

    // Print windows that need no open archive.
    printers.addProvider(std::make_unique<velomar::printing::PdfPrinterProvider>());
    velomar::printing::frmImpostaStampante printerChoice(printers, dialogs, &main);
    printerChoice.show();
    ok = save(&printerChoice, out, QStringLiteral("imposta-stampante")) && ok;
    printerChoice.hide();
    velomar::printing::ui::CalibrationDialog calibration(dialogs, printers, printers.currentName(),
                                                         velomar::printing::SheetFormat::standard(), &main);
    calibration.setValues({1.5, -0.8, 100.4, 99.5}); // shown, not saved
    calibration.show();
    ok = save(&calibration, out, QStringLiteral("calibrazione-stampante")) && ok;
    calibration.hide();
    velomar::printing::frmStampaTipogr printShop(context, &main);
    printShop.txtGRUPPO->setText(QStringLiteral("AA"));
    printShop.show();
    ok = save(&printShop, out, QStringLiteral("stampa-tipografia")) && ok;
    printShop.hide();
    velomar::printing::frmSpedizioneBlocco bulk(context, {}, &main);
    bulk.txtGRUPPI->setText(QStringLiteral("AA BB"));
    bulk.show();
    ok = save(&bulk, out, QStringLiteral("spedizione-in-blocco")) && ok;
    bulk.hide();

    // The address windows on a sample archive, at the two common screen sizes.
    const QString archivePath = programDir + QStringLiteral("/Indirizzi.mdb");
    velomar::archive::SampleArchive::write(archivePath, 2500, 7);
    state.currentArchivePath = archivePath;
    main.setArchiveMenuEnabled(true);
    if (!main.showAddressGrid())
        return 1;
    velomar::addresses::frmEDIT* grid = main.addressWindows().grid();
    for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
        const QString tag = QStringLiteral("-%1x%2").arg(screen.width()).arg(screen.height());
        main.resize(screen.width(), screen.height() - 40); // less the desktop's panel
        ok = save(&main, out, QStringLiteral("grid") + tag) && ok;
        grid->optLett_Click('M');
        ok = save(&main, out, QStringLiteral("grid-filter") + tag) && ok;
        grid->RimuoviFiltro();

        velomar::addresses::EntryBuffer buffer;
        buffer.mode = velomar::addresses::EntryBuffer::ModeModify;
        for (int i = 0; i < velomar::addresses::frmINPUT::FieldCount; ++i)
            buffer.fields[i] = session.mainRs.text(i);
        {
            velomar::addresses::frmINPUT form(context, buffer, {}, grid);
            form.show();
            ok = save(&form, out, QStringLiteral("input-modify") + tag) && ok;
        }
        buffer.mode = velomar::addresses::EntryBuffer::ModeNew;
        {
            velomar::addresses::frmINPUT form(context, buffer, {}, grid);
            form.show();
            form.cmdRip_Click();
            ok = save(&form, out, QStringLiteral("input-new") + tag) && ok;
        }
        main.addressWindows().mnuSchedario_Click();
        if (auto* card = main.findChild<velomar::addresses::frmSchedario*>()) {
            ok = save(card, out, QStringLiteral("card") + tag) && ok;
            card->close();
        }
        settle();
    }

    // The windows opened from the grid and the menus, each saved and closed again.
    const auto saveWindow = [&](const char* className, const QString& name) {
        settle();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == QLatin1String(className)) {
                const bool saved = save(w, out, name);
                w->close();
                settle();
                return saved;
            }
        QTextStream(stderr) << "finestra non aperta: " << className << "\n";
        return false;
    };
    const auto trigger = [&](const char* action) {
        if (auto* a = main.findChild<QAction*>(QLatin1String(action)))
            a->trigger();
    };
    grid->controls().cmdStEtiSingole->click();
    ok = saveWindow("frmStampaSingola", QStringLiteral("single-labels")) && ok;
    trigger("mnuGruppi");
    ok = saveWindow("frmGRUPPI", QStringLiteral("groups")) && ok;
    trigger("mnuRiepilogoCAP");
    ok = saveWindow("frmRiepiloghi", QStringLiteral("summary")) && ok;
    // The print preview of labels (outlines shown), a formatted list and a summary.
    {
        using namespace velomar::printing;
        const auto shot = [&](PreviewWindow* w, const QString& name) {
            w->resize(900, 740);
            ok = save(w, out, name) && ok;
            w->close();
            settle();
        };
        auto rs = velomar::archive::Recordset::open(
            session.mainDb,
            QStringLiteral("SELECT %1 FROM TabMAIL")
                .arg(velomar::archive::DataModel::printColumns().join(QStringLiteral(", "))),
            velomar::archive::LockType::ReadOnly);
        velomar::archive::DataModel::applySortOrder(rs, 6);
        PreviewWindow* labels = PreviewWindow::openLabels(&main, printers, std::move(rs),
                                                          LabelOptions::from(state.options), {1, 1},
                                                          SheetCatalog::current(settings), {});
        labels->chkContorni->setChecked(true);
        shot(labels, QStringLiteral("preview-labels"));
        ListPrintRequest request;
        for (int field : {0, 1, 2, 4, 5, 6})
            request.fields[std::size_t(field)] = true;
        request.heading = QStringLiteral("Indirizzi");
        shot(PreviewWindow::openJob(&main, printers,
                                    [source = std::shared_ptr(ListPrinterRange::wholeArchive(
                                         session.mainDb, ListPrinterRange::Values::Printable)),
                                     request](Printer& p, PrintSpan& span) {
                                        source->restart();
                                        ListPrinter::print(p, *source, request, span);
                                    },
                                    {}),
             QStringLiteral("preview-list"));
        const auto rows = SummaryQuery::run(session.mainDb, QStringLiteral("PROV"), SummaryQuery::Order::ByValue);
        shot(PreviewWindow::openJob(&main, printers,
                                    [&rows](Printer& p, PrintSpan& span) {
                                        SummaryPrinter::print(p, QStringLiteral("Provincia"), rows,
                                                              QDate::currentDate(), span);
                                    },
                                    {}),
             QStringLiteral("preview-summary"));
    }
    // Exchange windows: the export's format choice and the file import with its preview.
    main.resize(1366, 728);
    velomar::shell::ui::ExchangeWindows::openExport(context, grid, &main);
    if (auto* exportWindow = main.findChild<velomar::exchange::ui::frmESPORTA*>()) {
        ok = save(exportWindow, out, QStringLiteral("esporta")) && ok;
        exportWindow->close();
    }
    {
        velomar::exchange::ui::frmIMPORTAFILE importWindow(
            context,
            [](const QString&, const velomar::exchange::SourceOptions&) {
                return std::make_unique<ExampleContacts>();
            },
            &main);
        importWindow.loadSource(programDir + QStringLiteral("/contatti.csv"));
        importWindow.txtGruppo->setText(QStringLiteral("CL"));
        importWindow.show();
        ok = save(&importWindow, out, QStringLiteral("importa-file")) && ok;
    }
    return ok ? 0 : 1;
}
