#include "printing/ui/CustomSheetDialog.h"

#include "common/DialogService.h"
#include "printing/SheetCatalog.h"
#include "printing/ui/SheetView.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace velomar::printing::ui {

namespace {
constexpr PaperSize kPapers[] = {PaperSize::A4, PaperSize::A5, PaperSize::Letter};

// Wide ranges on purpose: the sheet's own check says what is wrong, in words.
QDoubleSpinBox* millimetres(QWidget* parent, const char* name) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(0, 999.99);
    box->setDecimals(2);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" mm"));
    box->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    return box;
}

QSpinBox* count(QWidget* parent, const char* name) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(1, 99);
    return box;
}
} // namespace

CustomSheetDialog::CustomSheetDialog(common::DialogService& dialogs, const SheetFormat& start, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmFoglioPersonalizzato"));
    setWindowTitle(QStringLiteral("Foglio personalizzato"));
    setModal(true);

    cboCarta = new QComboBox(this);
    cboCarta->setObjectName(QStringLiteral("cboCarta"));
    for (PaperSize paper : kPapers) {
        const QSizeF mm = SheetFormat::paperSizeOf(paper);
        cboCarta->addItem(QStringLiteral("%1 (%2 × %3 mm)")
                              .arg(SheetFormat::paperName(paper))
                              .arg(QLocale(QLocale::Italian).toString(mm.width(), 'g', 4))
                              .arg(QLocale(QLocale::Italian).toString(mm.height(), 'g', 4)));
    }
    txtColonne = count(this, "txtColonne");
    txtRighe = count(this, "txtRighe");
    txtLarghezza = millimetres(this, "txtLarghezza");
    txtAltezza = millimetres(this, "txtAltezza");
    txtSinistro = millimetres(this, "txtSinistro");
    txtAlto = millimetres(this, "txtAlto");
    txtPassoOrizz = millimetres(this, "txtPassoOrizz");
    txtPassoVert = millimetres(this, "txtPassoVert");
    txtRaggio = millimetres(this, "txtRaggio");

    auto* form = new QFormLayout;
    const auto row = [&](const QString& caption, QWidget* field, const QString& tip) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        field->setToolTip(tip);
        form->addRow(label, field);
    };
    row(QStringLiteral("&Foglio"), cboCarta, QStringLiteral("Formato della carta, in verticale"));
    row(QStringLiteral("C&olonne"), txtColonne, QStringLiteral("Etichette in ogni riga"));
    row(QStringLiteral("&Righe"), txtRighe, QStringLiteral("Etichette in ogni colonna"));
    row(QStringLiteral("&Larghezza etichetta"), txtLarghezza, QString());
    row(QStringLiteral("Al&tezza etichetta"), txtAltezza, QString());
    row(QStringLiteral("Margine &sinistro"), txtSinistro,
        QStringLiteral("Dal bordo sinistro del foglio alla prima colonna"));
    row(QStringLiteral("Margine sup&eriore"), txtAlto,
        QStringLiteral("Dal bordo alto del foglio alla prima riga"));
    row(QStringLiteral("Passo ori&zzontale"), txtPassoOrizz,
        QStringLiteral("Dal bordo sinistro di un'etichetta a quello della successiva"));
    row(QStringLiteral("Passo &verticale"), txtPassoVert,
        QStringLiteral("Dal bordo alto di un'etichetta a quello della riga successiva"));
    row(QStringLiteral("Raggio degli a&ngoli"), txtRaggio, QStringLiteral("Solo per il disegno"));

    picFoglio = new SheetView(this);
    picFoglio->setObjectName(QStringLiteral("picFoglio"));
    picFoglio->setMinimumSize(picFoglio->sizeHint());
    lblProblema = new QLabel(this);
    lblProblema->setObjectName(QStringLiteral("lblProblema"));
    lblProblema->setWordWrap(true);
    lblProblema->setStyleSheet(QStringLiteral("color: #a00000"));

    cmdOK = new QPushButton(QStringLiteral("&Conferma"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* top = new QHBoxLayout;
    top->addLayout(form);
    top->addWidget(picFoglio, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* root = new QVBoxLayout(this);
    root->addLayout(top);
    root->addWidget(lblProblema);
    root->addLayout(buttons);

    setFormat(start);
    connect(cboCarta, &QComboBox::currentIndexChanged, this, &CustomSheetDialog::redraw);
    for (QSpinBox* box : {txtColonne, txtRighe})
        connect(box, &QSpinBox::valueChanged, this, &CustomSheetDialog::redraw);
    for (QDoubleSpinBox* box :
         {txtLarghezza, txtAltezza, txtSinistro, txtAlto, txtPassoOrizz, txtPassoVert, txtRaggio})
        connect(box, &QDoubleSpinBox::valueChanged, this, &CustomSheetDialog::redraw);
    connect(cmdOK, &QPushButton::clicked, this, &CustomSheetDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CustomSheetDialog::setFormat(const SheetFormat& f) {
    for (int i = 0; i < int(std::size(kPapers)); ++i)
        if (kPapers[i] == f.paper)
            cboCarta->setCurrentIndex(i);
    txtColonne->setValue(f.columns);
    txtRighe->setValue(f.rows);
    txtLarghezza->setValue(f.labelWidth);
    txtAltezza->setValue(f.labelHeight);
    txtSinistro->setValue(f.sheetLeft);
    txtAlto->setValue(f.sheetTop);
    txtPassoOrizz->setValue(f.columnPitch);
    txtPassoVert->setValue(f.rowPitch);
    txtRaggio->setValue(f.cornerRadius);
    redraw();
}

SheetFormat CustomSheetDialog::format() const {
    SheetFormat f;
    f.name = SheetCatalog::customName();
    f.source = SheetFormat::Source::Custom;
    f.paper = kPapers[std::max(0, cboCarta->currentIndex())];
    f.columns = txtColonne->value();
    f.rows = txtRighe->value();
    f.labelWidth = txtLarghezza->value();
    f.labelHeight = txtAltezza->value();
    f.sheetLeft = txtSinistro->value();
    f.sheetTop = txtAlto->value();
    f.columnPitch = txtPassoOrizz->value();
    f.rowPitch = txtPassoVert->value();
    f.cornerRadius = txtRaggio->value();
    f.description = f.shapeText();
    return f;
}

void CustomSheetDialog::redraw() {
    const SheetFormat f = format();
    picFoglio->setFormat(f);
    lblProblema->setText(f.problem().value_or(QString()));
}

void CustomSheetDialog::cmdOK_Click() {
    if (const auto problem = format().problem()) {
        m_dialogs.warn(*problem);
        return;
    }
    accept();
}

} // namespace velomar::printing::ui
