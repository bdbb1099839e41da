#include "printing/ui/frmImpostaStampante.h"

#include "printing/PrinterSelection.h"
#include "printing/SheetCatalog.h"
#include "printing/ui/CalibrationDialog.h"
#include "printing/ui/TestSheetPrint.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace velomar::printing {

frmImpostaStampante::frmImpostaStampante(PrinterSelection& printers, common::DialogService& dialogs,
                                         QWidget* parent)
    : frmImpostaStampante(printers, parent) {
    m_dialogs = &dialogs;
    cmdProva->setVisible(true);
    cmdCalibra->setVisible(true);
}

frmImpostaStampante::frmImpostaStampante(PrinterSelection& printers, QWidget* parent)
    : QDialog(parent), m_printers(printers) {
    setObjectName(QStringLiteral("frmImpostaStampante"));
    setWindowTitle(QStringLiteral("Imposta Stampante"));
    setModal(true);

    cboPRN = new QComboBox(this);
    cboPRN->setObjectName(QStringLiteral("cboPRN"));
    cboPRN->setMinimumWidth(280);
    lblPredef = new QLabel(this);
    lblPredef->setObjectName(QStringLiteral("lblPredef"));
    lblPredef->setFrameShape(QFrame::Panel);
    lblPredef->setFrameShadow(QFrame::Sunken);
    cmdOK = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));

    auto* lblPRN_ = new QLabel(QStringLiteral("Stampanti disponibili"), this);
    lblPRN_->setObjectName(QStringLiteral("lblPRN_"));
    auto* lblPREDEFINITA_ = new QLabel(QStringLiteral("Stampante predefinita attuale"), this);
    lblPREDEFINITA_->setObjectName(QStringLiteral("lblPREDEFINITA_"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(lblPRN_, 0, 0);
    grid->addWidget(cboPRN, 1, 0);
    grid->addWidget(lblPREDEFINITA_, 2, 0);
    grid->addWidget(lblPredef, 3, 0);
    cmdProva = new QPushButton(QStringLiteral("&Foglio di prova"), this);
    cmdProva->setObjectName(QStringLiteral("cmdProva"));
    cmdProva->setToolTip(QStringLiteral("Stampa su carta comune i contorni delle etichette, le croci dove inizia "
                                        "il testo e i righelli in mm, da confrontare controluce con un foglio di "
                                        "etichette"));
    cmdProva->setAutoDefault(false);
    cmdCalibra = new QPushButton(QStringLiteral("&Calibrazione..."), this);
    cmdCalibra->setObjectName(QStringLiteral("cmdCalibra"));
    cmdCalibra->setToolTip(QStringLiteral("Spostamento e scala delle etichette per questa stampante"));
    cmdCalibra->setAutoDefault(false);
    cmdProva->setVisible(false);
    cmdCalibra->setVisible(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdProva);
    buttons->addWidget(cmdCalibra);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    grid->addLayout(buttons, 4, 0);

    // Fill: the current printer's place in the platform's list (0 when absent).
    const QString current = m_printers.currentName();
    int position = -1;
    const auto list = m_printers.printers();
    for (int i = 0; i < int(list.size()); ++i) {
        cboPRN->addItem(list[std::size_t(i)].deviceName);
        if (position < 0 && list[std::size_t(i)].deviceName == current)
            position = i;
    }
    position = std::max(position, 0);
    connect(cboPRN, &QComboBox::currentIndexChanged, this, &frmImpostaStampante::cboPRN_Click);
    if (cboPRN->count() > 0)
        cboPRN->setCurrentIndex(position);
    m_filled = true; // the selection made while opening chooses nothing
    lblPredef->setText(current);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdProva, &QPushButton::clicked, this, &frmImpostaStampante::cmdProva_Click);
    connect(cmdCalibra, &QPushButton::clicked, this, &frmImpostaStampante::cmdCalibra_Click);
}

void frmImpostaStampante::cmdProva_Click() {
    if (m_dialogs)
        ui::TestSheetPrint::run(m_printers, *m_dialogs, SheetCatalog::current(settings::Settings()));
}

void frmImpostaStampante::cmdCalibra_Click() {
    if (!m_dialogs || cboPRN->currentText().isEmpty())
        return;
    ui::CalibrationDialog dialog(*m_dialogs, m_printers, cboPRN->currentText(),
                                 SheetCatalog::current(settings::Settings()), this);
    dialog.exec();
}

void frmImpostaStampante::cboPRN_Click() {
    if (!m_filled)
        return;
    m_printers.selectByName(cboPRN->currentText());
}

} // namespace velomar::printing
