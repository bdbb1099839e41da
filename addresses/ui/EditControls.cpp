#include "addresses/ui/EditControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace velomar::addresses {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 16); // whole caption
    return b;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption) {
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(QString::fromLatin1(name));
    return f;
}

QVBoxLayout* column(QGroupBox* f, std::initializer_list<QWidget*> widgets) {
    auto* layout = new QVBoxLayout(f);
    layout->setSpacing(3);
    layout->setContentsMargins(6, 4, 6, 6);
    for (QWidget* w : widgets)
        layout->addWidget(w);
    return layout;
}

} // namespace

void EditControls::build(QWidget* w) {
    GRIGLIA = new QTableView(w);
    GRIGLIA->setObjectName(QStringLiteral("GRIGLIA"));

    fraORDINAMENTO = frame(w, "fraORDINAMENTO", QStringLiteral("Ordinamento Lista"));
    cboORDINAMENTO = new QComboBox(fraORDINAMENTO);
    cboORDINAMENTO->setObjectName(QStringLiteral("cboORDINAMENTO"));
    cboORDINAMENTO->setMaxVisibleItems(17);
    cboORDINAMENTO->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboORDINAMENTO->setMinimumContentsLength(14);
    column(fraORDINAMENTO, {cboORDINAMENTO});

    fraCAMPOPRINC = frame(w, "fraCAMPOPRINC", QStringLiteral("Campo per le Ricerche"));
    cboRICERCHE = new QComboBox(fraCAMPOPRINC);
    cboRICERCHE->setObjectName(QStringLiteral("cboRICERCHE"));
    cboRICERCHE->setMaxVisibleItems(16);
    cboRICERCHE->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboRICERCHE->setMinimumContentsLength(14);
    column(fraCAMPOPRINC, {cboRICERCHE});

    fraINIZIALI = frame(w, "fraINIZIALI", QStringLiteral("Ricerca per Iniziale"));
    auto* letters = new QGridLayout(fraINIZIALI);
    letters->setSpacing(0);
    letters->setContentsMargins(4, 2, 4, 4);
    for (int i = 0; i < 26; ++i) {
        auto* opt = new QRadioButton(QString(QChar(u'A' + i)), fraINIZIALI);
        opt->setObjectName(QStringLiteral("optLett_%1").arg(65 + i));
        opt->setAutoExclusive(false);
        opt->setFocusPolicy(Qt::NoFocus);
        optLett[std::size_t(i)] = opt;
        letters->addWidget(opt, i / 6, i % 6);
    }
    optLettNUM = new QRadioButton(QStringLiteral("0-9"), fraINIZIALI);
    optLettNUM->setObjectName(QStringLiteral("optLettNUM"));
    optLettNUM->setAutoExclusive(false);
    optLettNUM->setFocusPolicy(Qt::NoFocus);
    letters->addWidget(optLettNUM, 4, 2, 1, 3);

    fraRICERCHE = frame(w, "fraRICERCHE", QStringLiteral("Ricerca"));
    cmdLettALL = button(fraRICERCHE, "cmdLettALL", QStringLiteral("Rimuovi Filtro"));
    cmdVai = button(fraRICERCHE, "cmdVai", QStringLiteral("Vai al Nr..."));
    cmdTROVA = button(fraRICERCHE, "cmdTROVA", QStringLiteral("Trova"));
    column(fraRICERCHE, {cmdTROVA, cmdVai, cmdLettALL});

    fraEDIT = frame(w, "fraEDIT", QStringLiteral("Modifica/Aggiungi/Cancella"));
    cmdAggiungi = button(fraEDIT, "cmdAggiungi", QStringLiteral("Nuovo Indirizzo"));
    cmdModifica = button(fraEDIT, "cmdModifica", QStringLiteral("Modifica Indirizzo Selezionato"));
    cmdRimuovi = button(fraEDIT, "cmdRimuovi", QStringLiteral("Elimina Indirizzo/i Selezionato/i"));
    column(fraEDIT, {cmdAggiungi, cmdModifica, cmdRimuovi});

    fraMOVIMENTO = frame(w, "fraMOVIMENTO", QStringLiteral("Movimento"));
    cmdPrimo = button(fraMOVIMENTO, "cmdPrimo", QStringLiteral("Primo"));
    cmdPrecedente = button(fraMOVIMENTO, "cmdPrecedente", QStringLiteral("Pagina Indietro"));
    cmdIndietro = button(fraMOVIMENTO, "cmdIndietro", QStringLiteral("Riga Indietro"));
    cmdAvanti = button(fraMOVIMENTO, "cmdAvanti", QStringLiteral("Riga Avanti"));
    cmdSuccessivo = button(fraMOVIMENTO, "cmdSuccessivo", QStringLiteral("Pagina Avanti"));
    cmdUltimo = button(fraMOVIMENTO, "cmdUltimo", QStringLiteral("Ultimo"));
    auto* moves = new QGridLayout(fraMOVIMENTO);
    moves->setSpacing(3);
    moves->setContentsMargins(6, 4, 6, 6);
    moves->addWidget(cmdPrimo, 0, 0);
    moves->addWidget(cmdUltimo, 0, 1);
    moves->addWidget(cmdPrecedente, 1, 0);
    moves->addWidget(cmdSuccessivo, 1, 1);
    moves->addWidget(cmdIndietro, 2, 0);
    moves->addWidget(cmdAvanti, 2, 1);

    fraSTAMPA = frame(w, "fraSTAMPA", QStringLiteral("Stampa Lista/Etichette"));
    cmdStEtiSingole = button(fraSTAMPA, "cmdStEtiSingole", QStringLiteral("Stampa Etichette Singole"));
    cmdStampaEtichette =
        button(fraSTAMPA, "cmdStampaEtichette", QStringLiteral("Stampa Etichette per Gruppo"));
    cmdStampaLista = button(fraSTAMPA, "cmdStampaLista", QStringLiteral("Stampa Lista Visualizzata"));
    cmdSpedizione = button(fraSTAMPA, "cmdSpedizione", QStringLiteral("Spedizione in blocco"));
    column(fraSTAMPA, {cmdStEtiSingole, cmdStampaEtichette, cmdSpedizione, cmdStampaLista});

    fraUscita = frame(w, "fraUscita", QStringLiteral("Uscita"));
    cmdChiudi = button(fraUscita, "cmdChiudi", QStringLiteral("Esci"));
    imgVelomar = new QLabel(w);
    imgVelomar->setObjectName(QStringLiteral("imgVelomar"));
    imgVelomar->setPixmap(QIcon(QStringLiteral(":/icons/velomar.svg")).pixmap(48, 48));
    imgVelomar->setAlignment(Qt::AlignCenter);
    auto* exit = new QHBoxLayout(fraUscita);
    exit->setContentsMargins(6, 4, 6, 6);
    exit->addWidget(cmdChiudi, 1);
    exit->addWidget(imgVelomar);

    // One column of frames beside the grid, scrolling when the window is short: the
    // grid gets the width.
    auto* panel = new QWidget(w);
    panel->setObjectName(QStringLiteral("panel"));
    auto* column = new QVBoxLayout(panel);
    column->setSpacing(4);
    column->setContentsMargins(0, 0, 0, 0);
    for (QWidget* f : {static_cast<QWidget*>(fraORDINAMENTO), static_cast<QWidget*>(fraCAMPOPRINC),
                       static_cast<QWidget*>(fraINIZIALI), static_cast<QWidget*>(fraRICERCHE),
                       static_cast<QWidget*>(fraEDIT), static_cast<QWidget*>(fraMOVIMENTO),
                       static_cast<QWidget*>(fraSTAMPA), static_cast<QWidget*>(fraUscita)}) {
        f->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
        column->addWidget(f);
    }
    column->addStretch();
    auto* scroll = new QScrollArea(w);
    scroll->setObjectName(QStringLiteral("panelScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(panel);
    scroll->setFixedWidth(panel->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width());
    GRIGLIA->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    GRIGLIA->setMinimumWidth(200);
    auto* outer = new QHBoxLayout(w);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(GRIGLIA, 1);
    outer->addWidget(scroll);
}

} // namespace velomar::addresses
