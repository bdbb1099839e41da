#include "exchange/ui/frmIMPORTAFILE.h"

#include "archive/CountryLookup.h"
#include "archive/DataModel.h"
#include "archive/Session.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "exchange/AccessReader.h"
#include "exchange/SourceTable.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace velomar::exchange::ui {

namespace {

using archive::DataModel;
constexpr int kFirstField = DataModel::TITOLO;
constexpr int kFields = DataModel::FieldCount;

QComboBox* combo(QWidget* parent, const char* name,
                 std::initializer_list<std::pair<const char*, QVariant>> items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (const auto& [text, data] : items)
        box->addItem(QString::fromUtf8(text), data);
    return box;
}

} // namespace

frmIMPORTAFILE::frmIMPORTAFILE(common::AppContext& context, SourceOpener opener, QWidget* parent)
    : QDialog(parent), m_ctx(context), m_opener(std::move(opener)) {
    setObjectName(QStringLiteral("frmIMPORTAFILE"));
    setWindowTitle(QStringLiteral("Importa da file"));
    setModal(true);

    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setReadOnly(true);
    cmdSfoglia = new QPushButton(QStringLiteral("Sfoglia..."), this);
    cmdSfoglia->setObjectName(QStringLiteral("cmdSfoglia"));

    auto* fraOrigine = new QGroupBox(QStringLiteral("Formato rilevato"), this);
    fraOrigine->setObjectName(QStringLiteral("fraOrigine"));
    lblFormato = new QLabel(QStringLiteral("Nessun file scelto."), fraOrigine);
    lblFormato->setObjectName(QStringLiteral("lblFormato"));
    lblFormato->setWordWrap(true);
    cboCodifica = combo(fraOrigine, "cboCodifica",
                        {{"Automatica", QString()},
                         {"UTF-8", QStringLiteral("UTF-8")},
                         {"UTF-16", QStringLiteral("UTF-16")},
                         {"Windows-1252", QStringLiteral("Windows-1252")}});
    cboSeparatore = combo(fraOrigine, "cboSeparatore",
                          {{"Automatico", QString()},
                           {"Virgola ( , )", QStringLiteral(",")},
                           {"Punto e virgola ( ; )", QStringLiteral(";")},
                           {"Tabulazione", QStringLiteral("\t")},
                           {"Barra verticale ( | )", QStringLiteral("|")}});
    cboIntestazione = combo(fraOrigine, "cboIntestazione",
                            {{"Automatica", int(SourceOptions::Header::Auto)},
                             {"Sì, nella prima riga", int(SourceOptions::Header::Yes)},
                             {"No", int(SourceOptions::Header::No)}});
    cboTabella = new QComboBox(fraOrigine);
    cboTabella->setObjectName(QStringLiteral("cboTabella"));
    cboTabella->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cboTabella->setPlaceholderText(QStringLiteral("(database Access)"));
    cboTabella->setEnabled(false);
    auto* origine = new QGridLayout(fraOrigine);
    origine->addWidget(lblFormato, 0, 0, 1, 8);
    int col = 0;
    for (auto [caption, widget] : {std::pair<const char*, QWidget*>{"Codifica:", cboCodifica},
                                   {"Separatore:", cboSeparatore},
                                   {"Intestazione:", cboIntestazione},
                                   {"Tabella:", cboTabella}}) {
        origine->addWidget(new QLabel(QString::fromUtf8(caption), fraOrigine), 1, col++);
        origine->addWidget(widget, 1, col++);
    }

    auto* fraCampi = new QGroupBox(QStringLiteral("Campi dell'archivio"), this);
    GRIDcampi = new QTableWidget(kFields - kFirstField, 2, fraCampi);
    GRIDcampi->setObjectName(QStringLiteral("GRIDcampi"));
    GRIDcampi->setHorizontalHeaderLabels(
        {QStringLiteral("Campo"), QStringLiteral("Colonna del file")});
    GRIDcampi->verticalHeader()->hide();
    GRIDcampi->horizontalHeader()->setStretchLastSection(true);
    for (int f = kFirstField; f < kFields; ++f) {
        auto* item = new QTableWidgetItem(DataModel::columnHeading(f));
        item->setFlags(Qt::ItemIsEnabled);
        GRIDcampi->setItem(f - kFirstField, 0, item);
        cboCampo[std::size_t(f)] = new QComboBox(GRIDcampi);
        cboCampo[std::size_t(f)]->setObjectName(QStringLiteral("cboCampo%1").arg(f));
        cboCampo[std::size_t(f)]->addItem(QStringLiteral("(nessuna)"));
        GRIDcampi->setCellWidget(f - kFirstField, 1, cboCampo[std::size_t(f)]);
        connect(cboCampo[std::size_t(f)], &QComboBox::currentIndexChanged, this, [this] {
            if (!m_filling)
                refreshPreview();
        });
    }
    cboIndirizzo = new QComboBox(fraCampi);
    cboIndirizzo->setObjectName(QStringLiteral("cboIndirizzo"));
    auto* campi = new QVBoxLayout(fraCampi);
    campi->addWidget(GRIDcampi);
    auto* indirizzo = new QHBoxLayout;
    indirizzo->addWidget(new QLabel(QStringLiteral("Indirizzo da usare:"), fraCampi));
    indirizzo->addWidget(cboIndirizzo, 1);
    campi->addLayout(indirizzo);
    cboIndirizzo->setEnabled(false);
    connect(cboIndirizzo, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            refreshPreview();
    });

    auto* fraAnteprima =
        new QGroupBox(QStringLiteral("Anteprima: le prime righe come saranno archiviate"), this);
    GRIDanteprima = new QTableWidget(0, kFields - kFirstField, fraAnteprima);
    GRIDanteprima->setObjectName(QStringLiteral("GRIDanteprima"));
    GRIDanteprima->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GRIDanteprima->setWordWrap(false);
    GRIDanteprima->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QStringList headings = DataModel::columnHeadings();
    GRIDanteprima->setHorizontalHeaderLabels(headings.mid(kFirstField));
    (new QVBoxLayout(fraAnteprima))->addWidget(GRIDanteprima);

    txtGruppo = new QLineEdit(this);
    txtGruppo->setObjectName(QStringLiteral("txtGruppo"));
    txtGruppo->setMaxLength(2);
    txtGruppo->setMaximumWidth(50);
    cboDoppioni = new QComboBox(this);
    cboDoppioni->setObjectName(QStringLiteral("cboDoppioni"));
    cboDoppioni->addItems({QStringLiteral("importati senza controllo"),
                           QStringLiteral("saltati se Cognome, Indirizzo e CAP sono uguali"),
                           QStringLiteral("saltati se sono probabili doppioni"),
                           QStringLiteral("importati lo stesso e contati"),
                           QStringLiteral("importati ed elencati da controllare")});
    chkNote = new QCheckBox(QStringLiteral("Colonne non associate nelle Note"), this);
    chkNote->setObjectName(QStringLiteral("chkNote"));

    BARRA = new QProgressBar(this);
    BARRA->setObjectName(QStringLiteral("BARRA"));
    BARRA->setVisible(false);
    lblRighe = new QLabel(this);
    lblRighe->setObjectName(QStringLiteral("lblRighe"));
    cmdImporta = new QPushButton(QStringLiteral("Importa"), this);
    cmdImporta->setObjectName(QStringLiteral("cmdImporta"));
    cmdImporta->setEnabled(false);
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    cmdAnnulla->setEnabled(false);
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));

    auto* layout = new QVBoxLayout(this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("File:"), this));
    fileRow->addWidget(txtFile, 1);
    fileRow->addWidget(cmdSfoglia);
    layout->addLayout(fileRow);
    layout->addWidget(fraOrigine);
    auto* middle = new QHBoxLayout;
    middle->addWidget(fraCampi, 2);
    middle->addWidget(fraAnteprima, 3);
    layout->addLayout(middle, 1);
    auto* optionsRow = new QHBoxLayout;
    optionsRow->addWidget(new QLabel(QStringLiteral("Gruppo per tutti gli indirizzi:"), this));
    optionsRow->addWidget(txtGruppo);
    optionsRow->addSpacing(12);
    optionsRow->addWidget(new QLabel(QStringLiteral("Indirizzi già presenti:"), this));
    optionsRow->addWidget(cboDoppioni);
    optionsRow->addWidget(chkNote);
    optionsRow->addStretch();
    layout->addLayout(optionsRow);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BARRA, 1);
    bottom->addWidget(lblRighe);
    bottom->addStretch();
    bottom->addWidget(cmdImporta);
    bottom->addWidget(cmdAnnulla);
    bottom->addWidget(cmdChiudi);
    layout->addLayout(bottom);
    resize(1000, 640);

    connect(cmdSfoglia, &QPushButton::clicked, this, &frmIMPORTAFILE::cmdSfoglia_Click);
    connect(cmdImporta, &QPushButton::clicked, this, &frmIMPORTAFILE::cmdImporta_Click);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmIMPORTAFILE::cmdAnnulla_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::close);
    const auto reload = [this] {
        if (!m_path.isEmpty() && !m_filling)
            loadSource(m_path);
    };
    for (QComboBox* box : {cboCodifica, cboSeparatore, cboIntestazione})
        connect(box, &QComboBox::currentIndexChanged, this, reload);
    connect(cboTabella, &QComboBox::currentIndexChanged, this, reload);
    connect(txtGruppo, &QLineEdit::textChanged, this, &frmIMPORTAFILE::refreshPreview);
    connect(chkNote, &QCheckBox::toggled, this, &frmIMPORTAFILE::refreshPreview);
}

void frmIMPORTAFILE::cmdSfoglia_Click() {
    common::FileDialogOptions options;
    options.title = QStringLiteral("Importa da file");
    options.folder = m_path.isEmpty() ? m_ctx.state.lastDirArch : QFileInfo(m_path).absolutePath();
    options.filter =
        QStringLiteral("Tutti i file (*.*)|*.*|Rubriche (*.csv;*.txt;*.tsv;*.vcf;*.vcard)|"
                       "*.csv;*.txt;*.tsv;*.vcf;*.vcard|Database Access (*.mdb;*.accdb)|"
                       "*.mdb;*.accdb|");
    options.filterIndex = 2;
    const auto chosen = m_ctx.dialogs.openFile(options);
    if (chosen && !chosen->trimmed().isEmpty())
        loadSource(chosen->trimmed());
}

SourceOptions frmIMPORTAFILE::sourceOptions() const {
    SourceOptions o;
    o.table = cboTabella->currentData().toString();
    o.encoding = cboCodifica->currentData().toString();
    const QString d = cboSeparatore->currentData().toString();
    o.delimiter = d.isEmpty() ? QChar() : d[0];
    o.header = SourceOptions::Header(cboIntestazione->currentData().toInt());
    return o;
}

bool frmIMPORTAFILE::listTables(const QString& path) {
    if (path == m_listed)
        return true;
    std::optional<AccessReader> reader;
    if (AccessReader::isAccessFile(path)) {
        try {
            reader.emplace(path);
        } catch (const common::AppError& e) {
            m_ctx.dialogs.critical(QStringLiteral("Impossibile leggere il file %1.\n%2")
                                       .arg(QFileInfo(path).fileName(), e.description()));
            return false;
        }
    }
    m_filling = true;
    cboTabella->clear();
    if (reader) {
        for (const AccessTableInfo& t : reader->tableInfo())
            cboTabella->addItem(t.rows == 1 ? QStringLiteral("%1 (1 riga)").arg(t.name)
                                            : QStringLiteral("%1 (%2 righe)").arg(t.name).arg(t.rows),
                                t.name);
        cboTabella->setCurrentIndex(cboTabella->findData(reader->addressTable()));
    }
    cboTabella->setEnabled(reader.has_value());
    m_filling = false;
    m_listed = path;
    return true;
}

bool frmIMPORTAFILE::loadSource(const QString& path) {
    if (!listTables(path))
        return false;
    std::unique_ptr<SourceTable> source;
    std::vector<QStringList> rows;
    try {
        source = m_opener(path, sourceOptions());
        QStringList row;
        while (int(rows.size()) < PreviewRows && source->next(row))
            rows.push_back(row);
    } catch (const common::AppError& e) {
        if (path != m_path)
            m_listed.clear(); // the tables of the file still shown are listed again
        m_ctx.dialogs.critical(QStringLiteral("Impossibile leggere il file %1.\n%2")
                                   .arg(QFileInfo(path).fileName(), e.description()));
        return false;
    }
    m_path = path;
    m_columns = source->columns();
    m_preview = std::move(rows);
    txtFile->setText(QDir::toNativeSeparators(path));
    lblFormato->setText(source->description());

    m_automatic = ImportMapping::fromHeader(m_columns);
    const ImportMapping& automatic = m_automatic;
    m_filling = true;
    for (int f = kFirstField; f < kFields; ++f) {
        QComboBox* box = cboCampo[std::size_t(f)];
        box->clear();
        box->addItem(QStringLiteral("(nessuna)"));
        box->addItems(m_columns);
        if (const QString groups = automatic.groupCaption(f); !groups.isEmpty())
            box->addItem(QStringLiteral("(%1)").arg(groups));
        const int c = automatic.column(f);
        box->setCurrentIndex(c == ImportMapping::FromGroups ? int(m_columns.size()) + 1 : c + 1);
    }
    cboIndirizzo->clear();
    const QStringList addresses = automatic.addressNames();
    cboIndirizzo->addItem(addresses.isEmpty()
                              ? QStringLiteral("(una sola colonna per parte)")
                              : QStringLiteral("Automatico: Home, altrimenti il primo con la via"));
    cboIndirizzo->addItems(addresses);
    cboIndirizzo->setEnabled(!addresses.isEmpty());
    m_filling = false;
    cmdImporta->setEnabled(true);
    refreshPreview();
    return true;
}

ImportMapping frmIMPORTAFILE::mapping() const {
    ImportMapping m = m_automatic;
    for (int f = kFirstField; f < kFields; ++f) {
        int c = cboCampo[std::size_t(f)]->currentIndex() - 1;
        if (c == m_columns.size())
            c = ImportMapping::FromGroups; // the item after the columns
        if (c != m.column(f))
            m.setColumn(f, c);
    }
    m.setAddressChoice(cboIndirizzo->currentIndex() - 1);
    return m;
}

ImportOptions frmIMPORTAFILE::importOptions() {
    if (!m_countries) {
        try {
            m_countries = CountryNames::fromFile(m_ctx.state.programDir + u'/' +
                                                 archive::CountryLookup::fileName());
        } catch (const common::AppError&) {
            m_countries = CountryNames(); // foreign countries stay as written
        }
    }
    ImportOptions o;
    o.group = FileImporter::checkedGroup(txtGruppo->text());
    o.duplicates = DuplicateChoice(cboDoppioni->currentIndex());
    o.unmappedToNote = chkNote->isChecked();
    o.countries = *m_countries;
    return o;
}

void frmIMPORTAFILE::refreshPreview() {
    const ImportMapping m = mapping();
    const ImportOptions o = importOptions();
    GRIDanteprima->setRowCount(int(m_preview.size()));
    // With address groups, a last column says which one each row's address came from.
    const bool groups = !m.addressNames().isEmpty();
    GRIDanteprima->setColumnCount(kFields - kFirstField + (groups ? 1 : 0));
    if (groups)
        GRIDanteprima->setHorizontalHeaderItem(kFields - kFirstField,
                                               new QTableWidgetItem(QStringLiteral("Indirizzo usato")));
    archive::AddressRecord record;
    for (int r = 0; r < int(m_preview.size()); ++r) {
        FileImporter::prepare(m_preview[std::size_t(r)], m, o, record);
        for (int f = kFirstField; f < kFields; ++f) {
            auto* item = new QTableWidgetItem(record[f]);
            GRIDanteprima->setItem(r, f - kFirstField, item);
        }
        if (groups)
            GRIDanteprima->setItem(r, kFields - kFirstField,
                                   new QTableWidgetItem(m.addressTakenName(m_preview[std::size_t(r)])));
    }
    GRIDanteprima->resizeColumnsToContents();
}

void frmIMPORTAFILE::setRunning(bool running) {
    m_running = running;
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmdSfoglia, cboCodifica, cboSeparatore, cboIntestazione, cboTabella, GRIDcampi, cboIndirizzo,
             txtGruppo, cboDoppioni, chkNote, cmdImporta, cmdChiudi})
        w->setEnabled(!running);
    cboIndirizzo->setEnabled(!running && cboIndirizzo->count() > 1);
    cboTabella->setEnabled(!running && cboTabella->count() > 0);
    cmdAnnulla->setEnabled(running);
    BARRA->setVisible(running);
    BARRA->setRange(0, 0); // the number of rows is known only at the end
    if (running)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmIMPORTAFILE::closeEvent(QCloseEvent* event) {
    if (m_running) {
        m_cancel = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmIMPORTAFILE::reject() {
    if (m_running) {
        m_cancel = true;
        return;
    }
    QDialog::reject();
}

void frmIMPORTAFILE::cmdAnnulla_Click() {
    if (m_running)
        m_cancel = true;
}

void frmIMPORTAFILE::cmdImporta_Click() {
    if (m_path.isEmpty() || m_running)
        return;
    if (!txtGruppo->text().trimmed().isEmpty() &&
        FileImporter::checkedGroup(txtGruppo->text()).isEmpty()) {
        m_ctx.dialogs.warn(QStringLiteral("Il Gruppo è fatto di una o due lettere o cifre."));
        return;
    }
    const ImportMapping m = mapping();
    bool any = false;
    for (int f = kFirstField; f < kFields; ++f)
        any = any || m.column(f) != ImportMapping::NoColumn;
    if (!any) {
        m_ctx.dialogs.warn(QStringLiteral("Associare almeno un Campo a una colonna del file !"));
        return;
    }
    const ImportOptions options = importOptions();
    m_cancel = false;
    m_summary.reset();
    setRunning(true);
    try {
        std::unique_ptr<SourceTable> source = m_opener(m_path, sourceOptions());
        m_summary =
            FileImporter::run(*source, m, options, m_ctx.session.mainDb, [this](qint64 rows) {
                lblRighe->setText(QStringLiteral("Righe lette: %1").arg(rows));
                QApplication::processEvents(); // Annulla must be able to answer
                return !m_cancel;
            });
    } catch (const common::AppError& e) {
        setRunning(false);
        m_ctx.dialogs.critical(
            QStringLiteral("Importazione non riuscita: l'archivio non è stato modificato.\n") +
            e.description());
        return;
    }
    setRunning(false);
    lblRighe->clear();
    m_ctx.state.archiveCount += m_summary->imported;
    if (m_summary->cancelled)
        m_ctx.dialogs.warn(m_summary->lines().join(u'\n'));
    else
        m_ctx.dialogs.info(m_summary->lines().join(u'\n'));
}

} // namespace velomar::exchange::ui
