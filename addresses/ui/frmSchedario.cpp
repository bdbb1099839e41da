#include "addresses/ui/frmSchedario.h"

#include "addresses/AddressTableModel.h"
#include "addresses/GridColumns.h"
#include "addresses/SearchFilter.h"
#include "addresses/ui/frmEDIT.h"
#include "archive/Recordset.h"
#include "archive/Session.h"
#include "common/AppError.h"
#include "common/DialogService.h"
#include "common/AppContext.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velomar::addresses {

using archive::Recordset;

namespace {

// Sort orders led by a field whose initials mean nothing: no letter buttons.
bool lettersFor(int sortIndex) {
    switch (sortIndex) {
    case 0: case 6: case 9: case 10: case 11: case 12: return false;
    default: return true;
    }
}

// Where each box sits on the card: row, column, span (four columns).
struct Cell {
    int row, column, span;
};
constexpr Cell kCells[17] = {{0, 0, 1}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {5, 0, 4},
                             {6, 0, 1}, {6, 1, 2}, {6, 3, 1}, {7, 0, 4}, {8, 0, 1}, {8, 1, 2},
                             {8, 3, 1}, {9, 0, 4}, {0, 3, 1}, {11, 0, 4}, {13, 0, 4}};

} // namespace

frmSchedario::frmSchedario(common::AppContext& context, frmEDIT& grid, CountryLookup lookup,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(context), m_grid(grid), m_lookup(std::move(lookup)) {
    setObjectName(QStringLiteral("frmSchedario"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Schedario"));
    setFocusPolicy(Qt::StrongFocus);
    buildUi();
    m_grid.hideForWindow();
    m_frame->setTitle(QStringLiteral("Schedario (") + m_grid.statusText(5) + u')');
    const bool letters = lettersFor(m_grid.sortIndex());
    for (QPushButton* b : m_letters)
        b->setVisible(letters);
    showCard();
}

frmSchedario::~frmSchedario() = default;

void frmSchedario::buildUi() {
    m_frame = new QGroupBox(QStringLiteral("Schedario"), this);
    m_frame->setObjectName(QStringLiteral("fraSCHEDARIO"));
    auto* card = new QGridLayout(m_frame);
    card->setVerticalSpacing(3);
    for (int i = 0; i < 17; ++i) {
        QWidget* box;
        if (i == 15 || i == 16) {
            auto* edit = new QPlainTextEdit(m_frame);
            edit->setReadOnly(true);
            edit->setFixedHeight(i == 15 ? 56 : 80);
            box = edit;
        } else {
            auto* edit = new QLineEdit(m_frame);
            edit->setReadOnly(true);
            edit->setPlaceholderText(GridColumns::heading(i));
            box = edit;
        }
        box->setObjectName(QStringLiteral("txtIND_%1").arg(i));
        box->setToolTip(GridColumns::heading(i));
        box->setFocusPolicy(Qt::ClickFocus);
        box->installEventFilter(this);
        m_boxes[std::size_t(i)] = box;
        const Cell c = kCells[i];
        card->addWidget(box, c.row, c.column, 1, c.span);
    }
    QFont bold = m_boxes[0]->font();
    bold.setBold(true);
    m_boxes[0]->setFont(bold);
    m_boxes[2]->setFont(bold);
    m_boxes[14]->setStyleSheet(QStringLiteral("background: #fffbe6"));
    auto* lblNOTE = new QLabel(QStringLiteral("Note:"), m_frame);
    lblNOTE->setObjectName(QStringLiteral("lblNOTE"));
    auto* label1 = new QLabel(QStringLiteral("Appunti:"), m_frame);
    label1->setObjectName(QStringLiteral("Label1"));
    card->addWidget(lblNOTE, 10, 0, 1, 4);
    card->addWidget(label1, 12, 0, 1, 4);

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    auto* moves = new QHBoxLayout;
    const std::pair<const char*, const char*> names[] = {
        {"cmdPrimo", "Primo"},         {"cmdINDIETRO10", "Indietro 10"},
        {"cmdIndietro", "Precedente"}, {"cmdAvanti", "Successivo"},
        {"cmdAVANTI10", "Avanti 10"},  {"cmdUltimo", "Ultimo"}};
    void (frmSchedario::*handlers[])() = {
        &frmSchedario::cmdPrimo_Click,   &frmSchedario::cmdINDIETRO10_Click,
        &frmSchedario::cmdIndietro_Click, &frmSchedario::cmdAvanti_Click,
        &frmSchedario::cmdAVANTI10_Click, &frmSchedario::cmdUltimo_Click};
    for (int k = 0; k < 6; ++k) {
        QPushButton* b = button(names[k].first, QString::fromLatin1(names[k].second));
        connect(b, &QPushButton::clicked, this, handlers[k]);
        moves->addWidget(b);
    }
    auto* letters = new QGridLayout;
    letters->setSpacing(2);
    for (int k = 0; k < 27; ++k) {
        const int code = k == 0 ? 48 : 64 + k;
        QPushButton* b = button("", k == 0 ? QStringLiteral("0-9") : QString(QChar(char16_t(code))));
        b->setObjectName(QStringLiteral("cmdLETT_%1").arg(code));
        b->setMinimumWidth(k == 0 ? 44 : 28);
        b->setMaximumWidth(k == 0 ? 60 : 36);
        connect(b, &QPushButton::clicked, this, [this, code] { cmdLETT_Click(code); });
        m_letters[std::size_t(k)] = b;
        letters->addWidget(b, k / 14, k % 14);
    }
    QPushButton* exit = button("cmdChiudi", QStringLiteral("Esci"));
    connect(exit, &QPushButton::clicked, this, &frmSchedario::cmdChiudi_Click);
    moves->addStretch();
    moves->addWidget(exit);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(m_frame);
    outer->addLayout(letters);
    outer->addLayout(moves);
    m_frame->setMinimumWidth(560);
}

QString frmSchedario::fieldText(int field) const {
    QWidget* box = m_boxes[std::size_t(field)];
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->text();
    return static_cast<QPlainTextEdit*>(box)->toPlainText();
}

bool frmSchedario::lettersShown() const { return !m_letters[1]->isHidden(); }
QString frmSchedario::frameCaption() const { return m_frame->title(); }

bool frmSchedario::empty() const {
    const Recordset& rs = m_ctx.session.mainRs;
    return !rs.isOpen() || rs.recordCount() == 0;
}

void frmSchedario::showCard() {
    const Recordset& rs = m_ctx.session.mainRs;
    const bool onRecord = !empty() && !rs.bof() && !rs.eof();
    for (int i = 0; i < 17; ++i) {
        QString text = onRecord ? rs.text(i) : QString();
        if (i == 9 && m_lookup && !text.trimmed().isEmpty()) {
            // The country's name when the table knows the code, else what is stored.
            const QString name = m_lookup(text.trimmed());
            if (!name.isEmpty())
                text = name;
        }
        QWidget* box = m_boxes[std::size_t(i)];
        if (auto* line = qobject_cast<QLineEdit*>(box)) {
            line->setText(text);
            line->setCursorPosition(0);
        } else {
            static_cast<QPlainTextEdit*>(box)->setPlainText(text);
        }
    }
}

void frmSchedario::tell(const QString& text) {
    // Our own message box must not count as another window taking over.
    m_telling = true;
    m_ctx.dialogs.message(text, common::MsgIcon::Information);
    m_telling = false;
    // Back to the card, so that the arrow keys reach it again.
    raise();
    activateWindow();
    setFocus();
}

void frmSchedario::cmdPrimo_Click() {
    if (empty())
        return;
    m_ctx.session.mainRs.moveFirst();
    showCard();
}

void frmSchedario::cmdUltimo_Click() {
    if (empty())
        return;
    m_ctx.session.mainRs.moveLast();
    showCard();
}

void frmSchedario::cmdAvanti_Click() {
    if (empty())
        return;
    Recordset& rs = m_ctx.session.mainRs;
    rs.moveNext();
    if (rs.eof()) {
        tell(QStringLiteral("Fine schedario !"));
        rs.moveLast();
        return;
    }
    showCard();
}

void frmSchedario::cmdAVANTI10_Click() {
    if (empty())
        return;
    Recordset& rs = m_ctx.session.mainRs;
    const qint64 pos = rs.absolutePosition();
    if (pos + 10 > rs.recordCount()) {
        tell(QStringLiteral("Fine schedario !"));
        rs.moveLast();
    } else {
        rs.move(10);
    }
    showCard();
}

void frmSchedario::cmdIndietro_Click() {
    if (empty())
        return;
    Recordset& rs = m_ctx.session.mainRs;
    rs.movePrevious();
    if (rs.bof()) {
        tell(QStringLiteral("Inizio schedario !"));
        rs.moveFirst();
    }
    showCard();
}

void frmSchedario::cmdINDIETRO10_Click() {
    if (empty())
        return;
    Recordset& rs = m_ctx.session.mainRs;
    const qint64 pos = rs.absolutePosition();
    if (pos - 10 < 1) {
        tell(QStringLiteral("Inizio schedario !"));
        rs.moveFirst();
    } else {
        rs.move(-10);
    }
    showCard();
}

void frmSchedario::cmdLETT_Click(int code) {
    if (code == 48)
        return cmdPrimo_Click();
    if (empty() || code < 65 || code > 90)
        return;
    Recordset& rs = m_ctx.session.mainRs;
    const QString field = rs.fieldName(m_grid.sortIndex());
    const QChar letter{char16_t(code)};
    const Recordset::Bookmark kept = rs.bookmark();
    bool found = false;
    try {
        rs.moveFirst();
        found = rs.find(SearchFilter::initial(field, letter));
    } catch (const common::AppError&) {
        found = false;
    }
    if (!found) {
        rs.setBookmark(kept);
        tell(QStringLiteral("Nessun indirizzo trovato con iniziale '") + letter +
             QStringLiteral("'\r\nnel campo ") + field);
        return;
    }
    showCard();
}

bool frmSchedario::handleKey(int key) {
    switch (key) {
    case Qt::Key_Right: case Qt::Key_Down: cmdAvanti_Click(); return true;
    case Qt::Key_Left: case Qt::Key_Up: cmdIndietro_Click(); return true;
    case Qt::Key_PageUp: cmdINDIETRO10_Click(); return true;
    case Qt::Key_PageDown: cmdAVANTI10_Click(); return true;
    case Qt::Key_Home: cmdPrimo_Click(); return true;
    case Qt::Key_End: cmdUltimo_Click(); return true;
    default: break;
    }
    if (!lettersShown())
        return false;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        cmdLETT_Click(key);
        return true;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        cmdPrimo_Click();
        return true;
    }
    return false;
}

bool frmSchedario::eventFilter(QObject* watched, QEvent* event) {
    // Keys reach the card before any box.
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && handleKey(key->key()))
            return true;
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key >= Qt::Key_Left && key <= Qt::Key_PageDown) || key == Qt::Key_Home ||
            key == Qt::Key_End)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmSchedario::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat() || !handleKey(event->key()))
        QWidget::keyReleaseEvent(event);
}

void frmSchedario::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Another window of the program taking over closes the card.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && !m_telling &&
        !m_closed && isVisible())
        close();
}

void frmSchedario::cmdChiudi_Click() { close(); }

void frmSchedario::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        m_grid.showAgain();
    }
    event->accept();
}

} // namespace velomar::addresses
