#include "shell/ui/frmOPT.h"

#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "printing/SheetCatalog.h"
#include "printing/ui/SheetFormatPicker.h"
#include "printing/ui/TestSheetPrint.h"
#include "settings/SetupIni.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velomar::shell::ui {

namespace {
struct CheckText {
    int index;
    const char* caption;
    const char* tooltip; // nullptr: none
};

// Captions and tooltips of the check boxes 10 to 20.
const CheckText kChecks[] = {
    {10, "Stampa su Busta in Grassetto", "Se selezionata, la stampa su Busta è in Grassetto."},
    {11, "Stampa Mittente su Busta",
     "Se selezionata, viene stampato l'indirizzo del Mittente (1 o 2) sulla Busta."},
    {12, "Stampa Etichette Extra Compresse",
     "Se selezionata, utilizza il Font 'Abadi MT Condensed' anzichè 'Arial Narrow' per "
     "stampare le etichette in formato molto stretto."},
    {13, "Font \"Lucida\" in Stampa Formattata",
     "Se selezionata, nelle stampe riassuntive utilizza il Font 'Lucida Console' anzichè "
     "'Courier New'"},
    {14, "Crea File Promemoria in Scelta Singola",
     "Se selezionata, viene creato il File di Promemoria anche quando si stampano le "
     "'Etichette Singole'"},
    {15, "Avanz. Autom. con Scelta Singola",
     "Se selezionata, in modalità 'Scelta Singole Etichette', la barra di selezione avanza "
     "automaticamente alla sucessiva riga dopo la selezione."},
    {16, "Cancella Nome su Doppio-Click griglia", nullptr},
    {17, "Finestra Proprietà all'apertura Archivio",
     "Se selezionata, dopo l'apertura di un Archivio viene visualizzata automaticamente la "
     "Finestra delle Proprietà."},
    {18, "Apri Archivio dopo 'Crea Nuovo'",
     "Se selezionata, visualizza immediatamente la finestra 'Apri' dopo la Crazione di un "
     "Nuovo Archivio."},
    {19, "Stampa Etichette in Grassetto", "Se selezionata, le Etichette vengono stampate in Grassetto."},
    {20, "Stampa Lista Formattata (Foglio Orizz.)",
     "Se selezionata, le Stampe Riassuntive vengono formattate e la stampa avviene su fogli "
     "orientati Orizzontalmente."},
};

QComboBox* makeList(QWidget* parent, const char* name, const QStringList& entries) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->addItems(entries);
    return c;
}

QStringList millimetres() {
    QStringList out;
    for (int i = 0; i <= 10; ++i)
        out << QStringLiteral("%1 mm").arg(i);
    return out;
}
} // namespace

frmOPT::frmOPT(common::AppContext& context, QWidget* parent) : QDialog(parent), m_ctx(context) {
    setObjectName(QStringLiteral("frmOPT"));
    setWindowTitle(QStringLiteral("Opzioni Applicazione"));
    setModal(true);
    buildControls();
    loadValues();
    applySenderRule();
    setTooltips();
}

void frmOPT::buildControls() {
    auto* root = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    root->addLayout(columns);

    // Left: reserved check boxes and "Altre".
    auto* left = new QVBoxLayout;
    columns->addLayout(left);
    auto* reserved = new QHBoxLayout;
    for (int i = 1; i <= 9; ++i) {
        auto* box = new QCheckBox(QString::number(i), this);
        box->setObjectName(QStringLiteral("ctrOPT(%1)").arg(i));
        ctrOPT[size_t(i)] = box;
        reserved->addWidget(box);
    }
    auto* freeLabel = new QLabel(QStringLiteral("<---- Liberi (For Future Use)"), this);
    freeLabel->setObjectName(QStringLiteral("lblLiberi"));
    freeLabel->setEnabled(false);
    reserved->addWidget(freeLabel);
    reserved->addStretch(1);
    left->addLayout(reserved);

    auto* altre = new QGroupBox(QStringLiteral("Altre"), this);
    altre->setObjectName(QStringLiteral("fraAltre"));
    auto* altreLayout = new QVBoxLayout(altre);
    for (const CheckText& c : kChecks) {
        auto* box = new QCheckBox(QString::fromUtf8(c.caption), altre);
        box->setObjectName(QStringLiteral("ctrOPT(%1)").arg(c.index));
        ctrOPT[size_t(c.index)] = box;
        altreLayout->addWidget(box);
        connect(box, &QCheckBox::clicked, this, &frmOPT::applySenderRule);
    }
    chkSTILEPOSTALE = new QCheckBox(QStringLiteral("Etichette in Stile Postale"), altre);
    chkSTILEPOSTALE->setObjectName(QStringLiteral("chkSTILEPOSTALE"));
    chkSTILEPOSTALE->setToolTip(QStringLiteral("Se selezionata, gli indirizzi di tutte le etichette sono stampati come "
                                               "li legge meglio la posta: maiuscole, senza virgola o \"N.\" prima "
                                               "del numero civico, provincia senza parentesi, al più 6 righe."));
    altreLayout->addWidget(chkSTILEPOSTALE);
    for (int i = 1; i <= 9; ++i)
        connect(ctrOPT[size_t(i)], &QCheckBox::clicked, this, &frmOPT::applySenderRule);
    left->addWidget(altre);

    auto* lower = new QHBoxLayout;
    auto* offset = new QGroupBox(QStringLiteral("Offset Stampa Etichette"), this);
    offset->setObjectName(QStringLiteral("fraOffset"));
    auto* offsetLayout = new QGridLayout(offset);
    cboAlto = makeList(offset, "cboAlto", millimetres());
    cboSinistro = makeList(offset, "cboSinistro", millimetres());
    offsetLayout->addWidget(new QLabel(QStringLiteral("Margine Alto"), offset), 0, 0);
    offsetLayout->addWidget(cboAlto, 0, 1);
    offsetLayout->addWidget(new QLabel(QStringLiteral("Margine Sinistro"), offset), 1, 0);
    offsetLayout->addWidget(cboSinistro, 1, 1);
    lower->addWidget(offset);

    auto* floppy = new QGroupBox(QStringLiteral("Floppy-Disk"), this);
    floppy->setObjectName(QStringLiteral("fraFloppy"));
    auto* floppyLayout = new QGridLayout(floppy);
    cboDrive = makeList(floppy, "cboDrive", {QStringLiteral("a:"), QStringLiteral("b:")});
    cboFloppy = makeList(floppy, "cboFloppy", {QStringLiteral("1,44 Mb"), QStringLiteral("720 Kb")});
    floppyLayout->addWidget(new QLabel(QStringLiteral("Drive"), floppy), 0, 0);
    floppyLayout->addWidget(cboDrive, 0, 1);
    floppyLayout->addWidget(new QLabel(QStringLiteral("Formato"), floppy), 1, 0);
    floppyLayout->addWidget(cboFloppy, 1, 1);
    lower->addWidget(floppy);
    left->addLayout(lower);
    left->addStretch(1);

    // Right: senders and envelope feed.
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    fraMittente = new QGroupBox(QStringLiteral("Mittente "), this);
    fraMittente->setObjectName(QStringLiteral("fraMittente"));
    auto* senders = new QGridLayout(fraMittente);
    for (int s = 0; s < 2; ++s) {
        auto* button = new QRadioButton(QStringLiteral("Mittente %1").arg(s + 1), fraMittente);
        button->setObjectName(QStringLiteral("optMITTENTE(%1)").arg(s));
        optMITTENTE[size_t(s)] = button;
        senders->addWidget(button, 0, s);
        auto& boxes = s == 0 ? txtMIT1 : txtMIT2;
        for (int i = 0; i < 6; ++i) {
            auto* edit = new QLineEdit(fraMittente);
            edit->setObjectName(QStringLiteral("txtMIT%1(%2)").arg(s + 1).arg(i));
            edit->setMaxLength(settings::SetupIni::MaxLineLength);
            edit->setMinimumWidth(220);
            edit->installEventFilter(this);
            boxes[size_t(i)] = edit;
            senders->addWidget(edit, i + 1, s);
        }
    }
    right->addWidget(fraMittente);

    auto* buste = new QGroupBox(QStringLiteral("Stampa su Buste"), this);
    buste->setObjectName(QStringLiteral("fraBuste"));
    auto* busteLayout = new QVBoxLayout(buste);
    optBUSTA[0] = new QRadioButton(QStringLiteral("Tipo LaserJet o Manuale"), buste);
    optBUSTA[0]->setObjectName(QStringLiteral("optBUSTA(0)"));
    optBUSTA[1] = new QRadioButton(QStringLiteral("Tipo DeskJet o Cassetto 1"), buste);
    optBUSTA[1]->setObjectName(QStringLiteral("optBUSTA(1)"));
    busteLayout->addWidget(optBUSTA[0]);
    busteLayout->addWidget(optBUSTA[1]);
    right->addWidget(buste);

    fraFoglio = new QGroupBox(QStringLiteral("Formato del &foglio"), this);
    fraFoglio->setObjectName(QStringLiteral("fraFoglio"));
    sheetPicker = new printing::ui::SheetFormatPicker(m_ctx.dialogs, printing::SheetCatalog::load(m_ctx.settings),
                                                      printing::SheetCatalog::current(m_ctx.settings), fraFoglio);
    cmdProva = new QPushButton(QStringLiteral("Foglio di pro&va"), fraFoglio);
    cmdProva->setObjectName(QStringLiteral("cmdProva"));
    cmdProva->setAutoDefault(false);
    cmdProva->setToolTip(QStringLiteral("Stampa su carta comune, sulla stampante scelta, i contorni delle etichette "
                                        "di questo formato, le croci dove inizia il testo e i righelli in mm"));
    connect(cmdProva, &QPushButton::clicked, this, &frmOPT::cmdProva_Click);
    auto* foglioLayout = new QVBoxLayout(fraFoglio);
    foglioLayout->addWidget(sheetPicker);
    foglioLayout->addWidget(cmdProva, 0, Qt::AlignRight);
    right->addWidget(fraFoglio, 1);

    // The comuni's own CAPs: a table the user has, never shipped with the program.
    auto* verifica = new QGroupBox(QStringLiteral("Verifica indirizzi"), this);
    verifica->setObjectName(QStringLiteral("fraVerifica"));
    auto* verificaLayout = new QHBoxLayout(verifica);
    auto* capLabel = new QLabel(QStringLiteral("Tabella dei CAP dei comuni:"), verifica);
    txtTabellaCAP = new QLineEdit(verifica);
    txtTabellaCAP->setObjectName(QStringLiteral("txtTabellaCAP"));
    txtTabellaCAP->setToolTip(QStringLiteral("File CSV \"comune;provincia;cap\" o comuni.json; vuoto: CAP.csv o "
                                             "comuni.json della cartella del programma, se c'è"));
    cmdSfogliaCAP = new QPushButton(QStringLiteral("Sfoglia…"), verifica);
    cmdSfogliaCAP->setObjectName(QStringLiteral("cmdSfogliaCAP"));
    cmdNessunaCAP = new QPushButton(QStringLiteral("Nessuna"), verifica);
    cmdNessunaCAP->setObjectName(QStringLiteral("cmdNessunaCAP"));
    verificaLayout->addWidget(capLabel);
    verificaLayout->addWidget(txtTabellaCAP, 1);
    verificaLayout->addWidget(cmdSfogliaCAP);
    verificaLayout->addWidget(cmdNessunaCAP);
    root->addWidget(verifica);
    connect(cmdSfogliaCAP, &QPushButton::clicked, this, &frmOPT::cmdSfogliaCAP_Click);
    connect(cmdNessunaCAP, &QPushButton::clicked, this, &frmOPT::cmdNessunaCAP_Click);
    connect(txtTabellaCAP, &QLineEdit::textEdited, this, [this] { m_noCapTable = false; showCapTableHint(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOK = new QPushButton(QStringLiteral("&Conferma"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    root->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmOPT::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOPT::cmdCancel_Click);
}

void frmOPT::cmdProva_Click() {
    printing::ui::TestSheetPrint::run(m_ctx.printers, m_ctx.dialogs, sheetPicker->selected());
}

void frmOPT::loadValues() {
    const settings::Options& o = m_ctx.state.options;
    for (int i = 1; i <= 20; ++i)
        ctrOPT[size_t(i)]->setChecked(o.flag(i));
    chkSTILEPOSTALE->setChecked(o.labelPostalStyle());
    cboFloppy->setCurrentIndex(o.value(21));
    cboDrive->setCurrentIndex(o.value(22));
    cboAlto->setCurrentIndex(o.value(23));
    cboSinistro->setCurrentIndex(o.value(24));
    optBUSTA[o.value(25) != 0 ? 1 : 0]->setChecked(true);
    optMITTENTE[o.value(26) != 0 ? 1 : 0]->setChecked(true);
    for (size_t i = 0; i < 6; ++i) {
        txtMIT1[i]->setText(m_ctx.state.senders.sender1[i]);
        txtMIT2[i]->setText(m_ctx.state.senders.sender2[i]);
    }
    const auto table = m_ctx.settings.capTable();
    m_noCapTable = table && table->isEmpty();
    txtTabellaCAP->setText(table.value_or(QString()));
    showCapTableHint();
}

void frmOPT::showCapTableHint() {
    txtTabellaCAP->setPlaceholderText(m_noCapTable ? QStringLiteral("Nessuna: solo comune ↔ provincia e CAP ↔ provincia")
                                                   : QStringLiteral("Quella della cartella del programma, se c'è"));
}

void frmOPT::cmdSfogliaCAP_Click() {
    common::FileDialogOptions o;
    o.title = QStringLiteral("Tabella dei CAP dei comuni");
    o.fileName = txtTabellaCAP->text();
    o.filter = QStringLiteral("Tabelle dei CAP (*.csv;*.json)|*.csv;*.json|Tutti i file (*.*)|*.*|");
    if (const auto path = m_ctx.dialogs.openFile(o)) {
        txtTabellaCAP->setText(*path);
        m_noCapTable = false;
        showCapTableHint();
    }
}

void frmOPT::cmdNessunaCAP_Click() {
    txtTabellaCAP->clear();
    m_noCapTable = true;
    showCapTableHint();
}

void frmOPT::applySenderRule() {
    const bool on = ctrOPT[11]->isChecked();
    fraMittente->setEnabled(on);
    for (QRadioButton* b : optMITTENTE)
        b->setEnabled(on);
    for (size_t i = 0; i < 6; ++i) {
        txtMIT1[i]->setEnabled(on);
        txtMIT2[i]->setEnabled(on);
    }
}

void frmOPT::setTooltips() {
    for (const CheckText& c : kChecks)
        if (c.tooltip)
            ctrOPT[size_t(c.index)]->setToolTip(QString::fromUtf8(c.tooltip));
}

bool frmOPT::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            // After the click that gave the focus has placed the cursor.
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

bool frmOPT::sendersStorable() {
    for (const auto* boxes : {&txtMIT1, &txtMIT2}) {
        for (QLineEdit* edit : *boxes) {
            const QString text = edit->text();
            if (settings::SetupIni::isStorable(text))
                continue;
            QString why;
            if (text.contains(QLatin1Char('"')))
                why = QStringLiteral("Le virgolette (\") non possono essere usate nell'indirizzo "
                                     "del Mittente.\r\nUsare al loro posto l'apostrofo (').");
            else
                why = QStringLiteral("L'indirizzo del Mittente contiene caratteri che non "
                                     "possono essere salvati:\r\n") +
                      text;
            m_ctx.dialogs.warn(why);
            if (edit->isEnabled()) {
                edit->setFocus();
                edit->selectAll();
            }
            return false;
        }
    }
    return true;
}

void frmOPT::cmdOK_Click() {
    if (!sendersStorable())
        return;
    if (const QString table = txtTabellaCAP->text().trimmed(); !table.isEmpty() && !QFileInfo(table).isFile()) {
        m_ctx.dialogs.warn(QStringLiteral("La tabella dei CAP %1 non esiste.").arg(table));
        return;
    }
    if (const auto problem = sheetPicker->selected().problem()) {
        m_ctx.dialogs.warn(*problem);
        return;
    }
    settings::Options& o = m_ctx.state.options;
    for (int i = 1; i <= 20; ++i)
        o.setValue(i, ctrOPT[size_t(i)]->isChecked() ? 1 : 0);
    o.setLabelPostalStyle(chkSTILEPOSTALE->isChecked());
    o.setValue(21, cboFloppy->currentIndex());
    o.setValue(22, cboDrive->currentIndex());
    o.setValue(23, cboAlto->currentIndex());
    o.setValue(24, cboSinistro->currentIndex());
    o.setValue(25, optBUSTA[0]->isChecked() ? 0 : 1);
    o.setValue(26, optMITTENTE[0]->isChecked() ? 0 : 1);
    for (size_t i = 0; i < 6; ++i) {
        m_ctx.state.senders.sender1[i] = txtMIT1[i]->text();
        m_ctx.state.senders.sender2[i] = txtMIT2[i]->text();
    }

    m_ctx.settings.writeOptions(o);
    const QString table = txtTabellaCAP->text().trimmed();
    m_ctx.settings.setCapTable(!table.isEmpty() ? std::optional<QString>(table)
                                                : m_noCapTable ? std::optional<QString>(QString()) : std::nullopt);
    try {
        printing::SheetCatalog::setCurrent(m_ctx.settings, sheetPicker->selected());
    } catch (const common::AppError& e) {
        m_ctx.dialogs.warn(e.description()); // checked above: only a changed rule gets here
    }
    m_ctx.settings.sync();
    if (!m_ctx.settings.isUsable())
        m_ctx.dialogs.critical(QStringLiteral("Impossibile salvare le opzioni in\r\n") +
                               m_ctx.settings.fileName());
    const settings::SetupIni::WriteResult written =
        settings::SetupIni::write(m_ctx.state.setupIniPath, m_ctx.state.senders);
    if (!written.ok)
        m_ctx.dialogs.critical(written.errorText());
    accept();
}

void frmOPT::cmdCancel_Click() { reject(); }

} // namespace velomar::shell::ui
