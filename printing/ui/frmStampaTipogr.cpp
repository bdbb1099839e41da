#include "printing/ui/frmStampaTipogr.h"

#include "archive/DataModel.h"
#include "archive/Session.h"
#include "settings/AppState.h"
#include "printing/LabelJobs.h"
#include "printing/ui/PreviewWindow.h"
#include "common/ui/GroupCodeEdit.h"
#include "common/AppContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velomar::printing {

namespace {
constexpr int kDefaultSort = 6; // postal code, city, surname
}

frmStampaTipogr::frmStampaTipogr(common::AppContext& context, QWidget* parent)
    : QDialog(parent), m_ctx(context) {
    setObjectName(QStringLiteral("frmStampaTipogr"));
    setWindowTitle(QStringLiteral("Stampa Etichette per Tipografia"));
    setModal(true);

    fraDATI = new QGroupBox(this);
    fraDATI->setObjectName(QStringLiteral("fraDATI"));
    txtGRUPPO = new QLineEdit(fraDATI);
    txtGRUPPO->setObjectName(QStringLiteral("txtGRUPPO"));
    txtGRUPPO->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 12);
    common::ui::applyGroupCodeRules(txtGRUPPO);
    txtGRUPPO->installEventFilter(this);
    txtDESC = new QLineEdit(fraDATI);
    txtDESC->setObjectName(QStringLiteral("txtDESC"));
    cboORDINAMENTO = new QComboBox(fraDATI);
    cboORDINAMENTO->setObjectName(QStringLiteral("cboORDINAMENTO"));
    cboORDINAMENTO->addItems(archive::DataModel::columnHeadings());
    cboORDINAMENTO->setCurrentIndex(kDefaultSort);
    cmdStampa = new QPushButton(QStringLiteral("Stampa Etichette"), fraDATI);
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdAnteprima = new QPushButton(QStringLiteral("Anteprima"), fraDATI);
    cmdAnteprima->setObjectName(QStringLiteral("cmdAnteprima"));
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), fraDATI);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    BARRA = new QProgressBar(fraDATI);
    BARRA->setObjectName(QStringLiteral("BARRA"));
    BARRA->setVisible(false);

    auto* form = new QFormLayout;
    auto* lblGRUPPO_ = new QLabel(QStringLiteral("Gruppo da stampare:"), fraDATI);
    lblGRUPPO_->setObjectName(QStringLiteral("lblGRUPPO_"));
    form->addRow(lblGRUPPO_, txtGRUPPO);
    auto* lblDESC_ = new QLabel(QStringLiteral("Descrizione della Stampa nel File (facoltativa):"), fraDATI);
    lblDESC_->setObjectName(QStringLiteral("lblDESC_"));
    form->addRow(lblDESC_);
    form->addRow(txtDESC);
    auto* lblORDINAMENTO_ = new QLabel(QStringLiteral("Ordine di stampa:"), fraDATI);
    lblORDINAMENTO_->setObjectName(QStringLiteral("lblORDINAMENTO_"));
    form->addRow(lblORDINAMENTO_, cboORDINAMENTO);
    chkFamiglie = new QCheckBox(QStringLiteral("Una sola etichetta per indirizzo (il primo nell'ordine di stampa, o FAMIGLIA ROSSI se i "
                                 "cognomi sono uguali)"), fraDATI);
    chkFamiglie->setObjectName(QStringLiteral("chkFamiglie"));
    form->addRow(chkFamiglie);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdStampa);
    buttons->addWidget(cmdAnteprima);
    chkContorni = new QCheckBox(QStringLiteral("Stampa i &contorni"), fraDATI);
    chkContorni->setObjectName(QStringLiteral("chkContorni"));
    chkContorni->setToolTip(QStringLiteral("Stampa anche il contorno di ogni etichetta, per una prova su carta comune"));
    buttons->addWidget(chkContorni);
    buttons->addStretch();
    buttons->addWidget(cmdChiudi);
    auto* inner = new QVBoxLayout(fraDATI);
    inner->addLayout(form);
    inner->addLayout(buttons);
    inner->addWidget(BARRA);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(fraDATI);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdStampa, &QPushButton::clicked, this, &frmStampaTipogr::cmdStampa_Click);
    connect(cmdAnteprima, &QPushButton::clicked, this, &frmStampaTipogr::cmdAnteprima_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &frmStampaTipogr::cmdChiudi_Click);
}

bool frmStampaTipogr::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtGRUPPO) {
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, txtGRUPPO, [this] { txtGRUPPO->selectAll(); });
        else if (event->type() == QEvent::FocusOut)
            common::ui::completeGroupCode(txtGRUPPO);
    }
    return QDialog::eventFilter(watched, event);
}

void frmStampaTipogr::cmdStampa_Click() {
    common::ui::completeGroupCode(txtGRUPPO);
    LabelJobs jobs(m_ctx.state, m_ctx.dialogs, m_ctx.printers, m_ctx.session.mainDb);
    jobs.setOneLabelPerDoor(chkFamiglie->isChecked());
    BARRA->setValue(0);
    const auto progress = [this](qint64 max, qint64 value) {
        if (!BARRA->isVisible())
            BARRA->setVisible(true);
        BARRA->setMaximum(int(max));
        BARRA->setValue(int(value));
    };
    jobs.setOutlines(chkContorni->isChecked());
    jobs.printGroup(txtGRUPPO->text().trimmed(), txtDESC->text(), cboORDINAMENTO->currentIndex(), progress);
    BARRA->setVisible(false);
    txtGRUPPO->setFocus();
}

// The pages the job would print, from the first label as it does; no reminder file.
void frmStampaTipogr::cmdAnteprima_Click() {
    common::ui::completeGroupCode(txtGRUPPO);
    LabelJobs jobs(m_ctx.state, m_ctx.dialogs, m_ctx.printers, m_ctx.session.mainDb);
    auto rs = jobs.groupAddresses(txtGRUPPO->text().trimmed(), cboORDINAMENTO->currentIndex());
    if (!rs)
        return;
    LabelOptions options = LabelOptions::from(m_ctx.state.options);
    options.outlines = chkContorni->isChecked(); // the preview shows what the print will hold
    PreviewWindow::openLabels(this, m_ctx.printers, std::move(*rs), options, {1, 1},
                              jobs.sheet(), [this] { cmdStampa_Click(); }, chkFamiglie->isChecked());
}

} // namespace velomar::printing
