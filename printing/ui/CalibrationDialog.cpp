#include "printing/ui/CalibrationDialog.h"

#include "common/AppError.h"
#include "common/DialogService.h"
#include "printing/PrinterSelection.h"
#include "printing/ui/CalibrationView.h"
#include "settings/Settings.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace velomar::printing::ui {

namespace {

QDoubleSpinBox* makeBox(QWidget* parent, const char* name, double min, double max, double step, int decimals,
                        const QString& suffix) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(min, max);
    box->setSingleStep(step);
    box->setDecimals(decimals);
    box->setSuffix(suffix);
    box->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    box->setAccelerated(true);
    return box;
}

} // namespace

CalibrationDialog::CalibrationDialog(common::DialogService& dialogs, const PrinterSelection& printers,
                                     QString printer, SheetFormat sheet, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_printers(printers), m_printer(std::move(printer)) {
    setObjectName(QStringLiteral("CalibrationDialog"));
    setWindowTitle(QStringLiteral("Calibrazione stampante"));
    setModal(true);

    lblStampante = new QLabel(QStringLiteral("Stampante: %1").arg(m_printer), this);
    lblStampante->setObjectName(QStringLiteral("lblStampante"));
    const double o = PrinterCalibration::MaxOffsetMm;
    txtSpostamentoX = makeBox(this, "txtSpostamentoX", -o, o, 0.1, 1, QStringLiteral(" mm"));
    txtSpostamentoX->setToolTip(QStringLiteral("Positivo: le etichette vanno a destra"));
    txtSpostamentoY = makeBox(this, "txtSpostamentoY", -o, o, 0.1, 1, QStringLiteral(" mm"));
    txtSpostamentoY->setToolTip(QStringLiteral("Positivo: le etichette vanno in basso"));
    txtScalaX = makeBox(this, "txtScalaX", PrinterCalibration::MinScalePercent, PrinterCalibration::MaxScalePercent,
                        0.05, 2, QStringLiteral(" %"));
    txtScalaY = makeBox(this, "txtScalaY", PrinterCalibration::MinScalePercent, PrinterCalibration::MaxScalePercent,
                        0.05, 2, QStringLiteral(" %"));
    for (QDoubleSpinBox* box : {txtScalaX, txtScalaY})
        box->setToolTip(QStringLiteral("Oltre 100 %: le etichette si allontanano dall'angolo in alto a sinistra"));
    picEtichette = new CalibrationView(this);
    picEtichette->setObjectName(QStringLiteral("picEtichette"));
    picEtichette->setFormat(sheet);
    auto* lblDisegno = new QLabel(QStringLiteral("Grigio: dove devono andare le etichette; blu: dove le porta la "
                                                 "calibrazione (spostamenti ingranditi %1 volte).")
                                      .arg(int(CalibrationView::Magnified)),
                                  this);
    lblDisegno->setWordWrap(true);
    auto* lblNota = new QLabel(QStringLiteral("Stampare il foglio di prova su carta comune e appoggiarlo a un foglio "
                                              "di etichette controluce: lo spostamento è quanto le croci e i contorni "
                                              "sono lontani dalle etichette vere, in alto a sinistra; la scala "
                                              "corregge ciò che cresce verso il fondo del foglio."),
                               this);
    lblNota->setWordWrap(true);

    cmdSalva = new QPushButton(QStringLiteral("&Salva"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdSalva->setDefault(true);
    cmdAzzera = new QPushButton(QStringLiteral("A&zzera"), this);
    cmdAzzera->setObjectName(QStringLiteral("cmdAzzera"));
    cmdAzzera->setAutoDefault(false);
    cmdAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    cmdAnnulla->setAutoDefault(false);

    auto* grid = new QGridLayout;
    const auto row = [&](int r, const QString& caption, QDoubleSpinBox* box) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        grid->addWidget(label, r, 0);
        grid->addWidget(box, r, 1);
    };
    row(0, QStringLiteral("Spostamento &orizzontale"), txtSpostamentoX);
    row(1, QStringLiteral("Spostamento &verticale"), txtSpostamentoY);
    row(2, QStringLiteral("Scala orizzontal&e"), txtScalaX);
    row(3, QStringLiteral("Scala ver&ticale"), txtScalaY);
    grid->setRowStretch(4, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(lblStampante);
    left->addLayout(grid);
    left->addWidget(lblNota);
    auto* right = new QVBoxLayout;
    right->addWidget(picEtichette, 1);
    right->addWidget(lblDisegno);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdAzzera);
    buttons->addStretch(1);
    buttons->addWidget(cmdSalva);
    buttons->addWidget(cmdAnnulla);
    auto* root = new QVBoxLayout(this);
    root->addLayout(top, 1);
    root->addLayout(buttons);
    lblNota->setMaximumWidth(320);
    lblDisegno->setMaximumWidth(220);

    QString note;
    setValues(PrinterCalibration::load(settings::Settings(), m_printer, &note));
    if (!note.isEmpty())
        m_dialogs.warn(note);
    for (QDoubleSpinBox* box : {txtSpostamentoX, txtSpostamentoY, txtScalaX, txtScalaY})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { picEtichette->setCalibration(values()); });
    connect(cmdSalva, &QPushButton::clicked, this, [this] {
        if (cmdSalva_Click())
            accept();
    });
    connect(cmdAzzera, &QPushButton::clicked, this, &CalibrationDialog::cmdAzzera_Click);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

PrinterCalibration CalibrationDialog::values() const {
    return {txtSpostamentoX->value(), txtSpostamentoY->value(), txtScalaX->value(), txtScalaY->value()};
}

void CalibrationDialog::setValues(const PrinterCalibration& c) {
    txtSpostamentoX->setValue(c.offsetXMm);
    txtSpostamentoY->setValue(c.offsetYMm);
    txtScalaX->setValue(c.scaleXPercent);
    txtScalaY->setValue(c.scaleYPercent);
    picEtichette->setCalibration(values());
}

void CalibrationDialog::cmdAzzera_Click() { setValues({}); }

bool CalibrationDialog::cmdSalva_Click() {
    if (!m_printers.isInstalled(m_printer)) {
        m_dialogs.warn(QStringLiteral("La stampante \"%1\" non è più disponibile: la calibrazione non è salvata.")
                           .arg(m_printer));
        return false;
    }
    settings::Settings store;
    const PrinterCalibration c = values();
    try {
        // No calibration is kept as none, so the printer reads as never calibrated.
        if (c.isIdentity())
            PrinterCalibration::reset(store, m_printer);
        else
            c.save(store, m_printer);
    } catch (const common::AppError& e) {
        m_dialogs.warn(e.description());
        return false;
    }
    if (const auto failure = store.save()) {
        m_dialogs.critical(*failure);
        return false;
    }
    return true;
}

} // namespace velomar::printing::ui
