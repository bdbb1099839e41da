#include "addresses/ui/frmINPUT.h"

#include "addresses/ArchiveGuard.h"
#include "addresses/ui/PlaceCompleter.h"
#include "addresses/EntryFieldRules.h"
#include "addresses/GridColumns.h"
#include "archive/FailureText.h"
#include "archive/Recordset.h"
#include "archive/Session.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "settings/Settings.h"
#include "common/AppContext.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace velomar::addresses {

namespace R = EntryFieldRules;

namespace {

// Placeholder of each box while it is empty.
const char* const kPlaceholders[frmINPUT::FieldCount] = {
    "",          "Titolo (35)",   "Cognome (35)",  "Nome1 (35)", "Nome2 (35)",
    "Indirizzo (35)", "CAP-8888", "Citta (24)",    "",           "NAZ (25)",
    "Telefono (16)", "Fax (16)",  "Cellulare (16)", "E-Mail (38)", "",
    "Note (170)", "Appunti (MEMO)"};

// Where each box sits: row, column, column span (six columns).
struct Cell {
    int row, column, span;
};
constexpr Cell kCells[frmINPUT::FieldCount] = {
    {3, 4, 2}, {0, 0, 3}, {0, 3, 3}, {1, 0, 3}, {1, 3, 3}, {2, 0, 3}, {2, 3, 1},
    {2, 4, 2}, {3, 0, 1}, {3, 1, 2}, {4, 0, 2}, {4, 2, 2}, {4, 4, 2}, {5, 0, 4},
    {3, 3, 1}, {6, 0, 6}, {7, 0, 6}};

// Tab order: the group code right after the name lines; NR last.
constexpr int kTabOrder[frmINPUT::FieldCount] = {1, 2, 3, 4, 14, 5, 6, 7, 8,
                                                 9, 10, 11, 12, 13, 15, 16, 0};

QString boxText(QWidget* box) {
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->text();
    return static_cast<QPlainTextEdit*>(box)->toPlainText();
}

} // namespace

frmINPUT::frmINPUT(common::AppContext& context, EntryBuffer& buffer, CountryLookup lookup,
                   QWidget* parent)
    : QDialog(parent), m_ctx(context), m_buffer(buffer), m_lookup(std::move(lookup)) {
    setObjectName(QStringLiteral("frmINPUT"));
    // Left only through its buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(m_buffer.mode);
    buildUi();
    for (int i = 1; i < FieldCount; ++i)
        m_repeat[std::size_t(i)]->setChecked(m_ctx.settings.repeatInput(i).value_or(0) == 1);
    applyMode();
    for (int i = 0; i < FieldCount; ++i)
        setFieldText(i, m_buffer.fields[i]);
    takeBaseline();
    m_boxes[R::Titolo]->setFocus();
}

void frmINPUT::takeBaseline() {
    for (int i = 0; i < FieldCount; ++i)
        m_baseline[std::size_t(i)] = fieldText(i);
}

bool frmINPUT::touched(int field) const { return fieldText(field) != m_baseline[std::size_t(field)]; }

void frmINPUT::settleTouched() {
    // Only what the user changed: a stored "A" or "milano" is left as it is.
    if (touched(R::Gr))
        setFieldText(R::Gr, R::groupOnLeave(fieldText(R::Gr)));
    if (touched(R::Citta))
        setFieldText(R::Citta, R::upperLetters(fieldText(R::Citta)));
    if (touched(R::EMail))
        setFieldText(R::EMail, fieldText(R::EMail).toLower());
    settleProvince();
}

void frmINPUT::provinceWrittenOut() {
    const QString prov = fieldText(R::Prov).trimmed();
    if (touched(R::Prov) && prov.size() > R::maxLength(R::Prov))
        if (const QString code = m_places->provinceCode(prov); !code.isEmpty())
            setFieldText(R::Prov, code);
}

void frmINPUT::settleProvince() {
    // What is still too long after that is cut as the box stores it.
    provinceWrittenOut();
    const QString prov = fieldText(R::Prov).trimmed();
    if (touched(R::Prov) && prov.size() > R::maxLength(R::Prov))
        setFieldText(R::Prov, prov.left(R::maxLength(R::Prov)));
}

frmINPUT::~frmINPUT() = default;

void frmINPUT::buildUi() {
    m_fraInput = new QGroupBox(QStringLiteral("Dati Indirizzo"), this);
    m_fraInput->setObjectName(QStringLiteral("fraInput"));
    auto* grid = new QGridLayout(m_fraInput);
    grid->setVerticalSpacing(2);
    for (int c = 0; c < 6; ++c)
        grid->setColumnStretch(c, 1);
    for (int i = 0; i < FieldCount; ++i) {
        // Caption: the heading cut to the field's column width ("Pr", "Naz", "Gr").
        static constexpr int widths[FieldCount] = {5, 35, 35, 35, 35, 35, 5, 24, 2,
                                                   3, 16, 16, 16, 35, 2, 170, 170};
        auto* label = new QLabel(GridColumns::heading(i).left(widths[i]), m_fraInput);
        label->setObjectName(QStringLiteral("lblIND_%1").arg(i));
        QWidget* box;
        if (R::isMultiLine(i)) {
            auto* edit = new QPlainTextEdit(m_fraInput);
            edit->setTabChangesFocus(true);
            edit->setPlaceholderText(QString::fromUtf8(kPlaceholders[i]));
            edit->setFixedHeight(i == R::Note ? 64 : 96);
            connect(edit, &QPlainTextEdit::textChanged, this, [this, i] { boxEdited(i); });
            box = edit;
        } else {
            auto* edit = new QLineEdit(m_fraInput);
            edit->setPlaceholderText(QString::fromUtf8(kPlaceholders[i]));
            connect(edit, &QLineEdit::textEdited, this, [this, i] { boxEdited(i); });
            box = edit;
        }
        box->setObjectName(QStringLiteral("txtIND_%1").arg(i));
        box->installEventFilter(this);
        label->setBuddy(box);
        m_labels[std::size_t(i)] = label;
        m_boxes[std::size_t(i)] = box;
        const Cell cell = kCells[i];
        auto* column = new QVBoxLayout;
        column->setSpacing(1);
        if (i == R::Citta) {
            // The mark of the place check sits beside the comune's caption.
            auto* row = new QHBoxLayout;
            row->addWidget(label);
            row->addStretch(1);
            m_lblVerifica = new QLabel(m_fraInput);
            m_lblVerifica->setObjectName(QStringLiteral("lblVerifica"));
            m_lblVerifica->setStyleSheet(QStringLiteral("color: #b35900; font-weight: bold"));
            row->addWidget(m_lblVerifica);
            column->addLayout(row);
        } else {
            column->addWidget(label);
        }
        if (i == R::EMail) {
            auto* row = new QHBoxLayout;
            row->addWidget(box);
            auto* at = new QPushButton(QStringLiteral("@"), m_fraInput);
            at->setObjectName(QStringLiteral("Command1"));
            at->setFocusPolicy(Qt::NoFocus);
            at->setFixedWidth(32);
            connect(at, &QPushButton::clicked, this, &frmINPUT::Command1_Click);
            row->addWidget(at);
            column->addLayout(row);
        } else {
            column->addWidget(box);
        }
        grid->addLayout(column, cell.row * 2, cell.column, 1, cell.span);
    }
    m_places = new PlaceCompleter(
        m_ctx,
        {static_cast<QLineEdit*>(m_boxes[R::Cap]), static_cast<QLineEdit*>(m_boxes[R::Citta]),
         static_cast<QLineEdit*>(m_boxes[R::Prov]), [this] { return fieldText(R::Naz); },
         [this](int field, const QString& text) { setFieldText(field, text); }},
        m_lblVerifica, this);
    connect(static_cast<QLineEdit*>(m_boxes[R::Naz]), &QLineEdit::textChanged, m_places,
            &PlaceCompleter::refreshMark);
    auto* nr = static_cast<QLineEdit*>(m_boxes[R::Nr]);
    nr->setReadOnly(true);
    QFont bold = nr->font();
    bold.setBold(true);
    nr->setFont(bold);
    nr->setStyleSheet(QStringLiteral("background: #fffbe6"));
    m_boxes[R::Appunti]->setStyleSheet(QStringLiteral("QPlainTextEdit { background: #ececec }"));
    for (int k = 0; k + 1 < FieldCount; ++k)
        setTabOrder(m_boxes[std::size_t(kTabOrder[k])], m_boxes[std::size_t(kTabOrder[k + 1])]);

    // Repeat-input panel.
    m_fraOPT = new QGroupBox(QStringLiteral("Ripetizione Input"), this);
    m_fraOPT->setObjectName(QStringLiteral("fraOPT"));
    auto* opt = new QVBoxLayout(m_fraOPT);
    opt->setSpacing(2);
    for (int i = 0; i < FieldCount; ++i) {
        auto* check = new QCheckBox(i == 4 ? QStringLiteral("Ruolo Ist.") : GridColumns::heading(i),
                                    m_fraOPT);
        check->setObjectName(QStringLiteral("ctrOPT_%1").arg(i));
        check->setFocusPolicy(Qt::NoFocus);
        check->setVisible(i != R::Nr); // NR is never carried over
        connect(check, &QCheckBox::toggled, this, [this] {
            if (QWidget* last = m_boxes[std::size_t(m_lastBox)]; last->isEnabled())
                last->setFocus();
        });
        m_repeat[std::size_t(i)] = check;
        opt->addWidget(check);
    }
    opt->addStretch();
    auto* all = new QPushButton(QStringLiteral("&Tutti"), m_fraOPT);
    all->setObjectName(QStringLiteral("cmdTUTTI"));
    auto* none = new QPushButton(QStringLiteral("&Nessuno"), m_fraOPT);
    none->setObjectName(QStringLiteral("cmdNESSUNO"));
    connect(all, &QPushButton::clicked, this, &frmINPUT::cmdTUTTI_Click);
    connect(none, &QPushButton::clicked, this, &frmINPUT::cmdNESSUNO_Click);
    opt->addWidget(all);
    opt->addWidget(none);
    m_fraOPT->hide();

    m_cmdConferma = new QPushButton(this);
    m_cmdConferma->setObjectName(QStringLiteral("cmdConferma"));
    m_cmdEsci = new QPushButton(this);
    m_cmdEsci->setObjectName(QStringLiteral("cmdEsci"));
    m_cmdRip = new QPushButton(QStringLiteral("&Ripetizione"), this);
    m_cmdRip->setObjectName(QStringLiteral("cmdRip"));
    m_cmdRip->setToolTip(QStringLiteral("Reinserimento Automatico dei Dati"));
    for (QPushButton* b : {m_cmdConferma, m_cmdEsci, m_cmdRip}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(110);
    }
    connect(m_cmdConferma, &QPushButton::clicked, this, &frmINPUT::cmdConferma_Click);
    connect(m_cmdEsci, &QPushButton::clicked, this, &frmINPUT::cmdEsci_Click);
    connect(m_cmdRip, &QPushButton::clicked, this, &frmINPUT::cmdRip_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdRip);
    buttons->addStretch();
    buttons->addWidget(m_cmdConferma);
    buttons->addWidget(m_cmdEsci);
    auto* left = new QVBoxLayout;
    left->addWidget(m_fraInput);
    left->addLayout(buttons);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(left, 1);
    outer->addWidget(m_fraOPT);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    m_fraInput->setMinimumWidth(680);
}

void frmINPUT::applyMode() {
    const QString& mode = m_buffer.mode;
    if (mode == EntryBuffer::ModeDelete) {
        m_cmdConferma->setText(QStringLiteral("Eli&mina"));
        m_cmdEsci->setText(QStringLiteral("Ann&ulla"));
        m_cmdRip->hide();
        for (QWidget* box : m_boxes) {
            box->setEnabled(false);
            // Shown to be read before deleting: full-strength text, not the pale greyed one.
            QPalette p = box->palette();
            for (auto role : {QPalette::Text, QPalette::WindowText})
                p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
            p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::Window));
            box->setPalette(p);
        }
        findChild<QPushButton*>(QStringLiteral("Command1"))->setEnabled(false);
        m_cmdConferma->setFocus();
    } else if (mode == EntryBuffer::ModeModify) {
        m_cmdConferma->setText(QStringLiteral("Confer&ma"));
        m_cmdEsci->setText(QStringLiteral("Ann&ulla"));
        m_cmdRip->hide();
    } else {
        m_cmdConferma->setText(QStringLiteral("Confer&ma"));
        m_cmdEsci->setText(QStringLiteral("Chi&udi"));
        m_boxes[R::Nr]->hide();
        m_labels[R::Nr]->hide();
    }
}

QString frmINPUT::fieldText(int field) const { return boxText(m_boxes[std::size_t(field)]); }

void frmINPUT::setFieldText(int field, const QString& text) {
    QWidget* box = m_boxes[std::size_t(field)];
    m_adjusting = true;
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setText(text);
        line->setCursorPosition(0);
    } else {
        static_cast<QPlainTextEdit*>(box)->setPlainText(text);
    }
    m_adjusting = false;
    m_shownText[std::size_t(field)] = text;
}

bool frmINPUT::repeatPanelShown() const { return m_fraOPT->isVisible(); }

int frmINPUT::fieldOf(QObject* box) const {
    for (int i = 0; i < FieldCount; ++i)
        if (m_boxes[std::size_t(i)] == box)
            return i;
    return -1;
}

void frmINPUT::boxEdited(int field) {
    if (m_adjusting)
        return;
    QWidget* box = m_boxes[std::size_t(field)];
    const QString now = boxText(box);
    int cursor = 0;
    if (auto* line = qobject_cast<QLineEdit*>(box))
        cursor = line->cursorPosition();
    else
        cursor = static_cast<QPlainTextEdit*>(box)->textCursor().position();
    const R::Edit edit = R::applyEdit(field, m_shownText[std::size_t(field)], now, cursor);
    m_shownText[std::size_t(field)] = edit.text;
    if (edit.text == now)
        return;
    m_adjusting = true;
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setText(edit.text);
        line->setCursorPosition(edit.cursor);
    } else {
        auto* plain = static_cast<QPlainTextEdit*>(box);
        plain->setPlainText(edit.text);
        QTextCursor c = plain->textCursor();
        c.setPosition(edit.cursor);
        plain->setTextCursor(c);
    }
    m_adjusting = false;
}

void frmINPUT::boxEntered(int field) {
    QWidget* box = m_boxes[std::size_t(field)];
    auto* line = qobject_cast<QLineEdit*>(box);
    const QString text = boxText(box);
    const int trimmedLength = int(text.trimmed().size());
    if (line) {
        if (field == R::EMail && text.trimmed().endsWith(u'@')) {
            line->deselect();
            line->setCursorPosition(int(text.size()));
        } else {
            line->setSelection(0, trimmedLength);
        }
    } else {
        auto* plain = static_cast<QPlainTextEdit*>(box);
        QTextCursor c = plain->textCursor();
        c.setPosition(0);
        c.setPosition(trimmedLength, QTextCursor::KeepAnchor);
        plain->setTextCursor(c);
    }
}

void frmINPUT::boxLeft(int field) {
    if (field == R::Gr && touched(R::Gr)) {
        const QString doubled = R::groupOnLeave(fieldText(R::Gr));
        if (doubled != fieldText(R::Gr))
            setFieldText(R::Gr, doubled);
    }
    if (field == R::Naz && m_lookup && touched(R::Naz)) {
        const QString code = fieldText(R::Naz).trimmed();
        if (!code.isEmpty() && code.size() < 4) {
            const QString name = m_lookup(code);
            if (!name.isEmpty())
                setFieldText(R::Naz, name);
        }
    }
    if (field == R::Prov)
        provinceWrittenOut();
    const QString city = fieldText(R::Citta);
    if (touched(R::Citta) && R::upperLetters(city) != city)
        setFieldText(R::Citta, R::upperLetters(city));
    const QString mail = fieldText(R::EMail);
    if (touched(R::EMail) && mail.toLower() != mail)
        setFieldText(R::EMail, mail.toLower());
    m_lastBox = field;
}

bool frmINPUT::eventFilter(QObject* watched, QEvent* event) {
    const int field = fieldOf(watched);
    if (field >= 0) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && !R::isMultiLine(field) && key->modifiers() == Qt::NoModifier) {
                focusNextChild();
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
            // A completer list opening or closing is no entering of the box.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason)
                break;
            // A box left while its completer list was open had no focus-out of its own.
            if (m_enteredBox >= 0 && m_enteredBox != field)
                boxLeft(m_enteredBox);
            m_enteredBox = field;
            // After the box's own focus handling, which selects everything.
            QTimer::singleShot(0, this, [this, field] {
                if (m_boxes[std::size_t(field)]->hasFocus())
                    boxEntered(field);
            });
            break;
        case QEvent::FocusOut:
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason)
                break;
            boxLeft(field);
            m_enteredBox = -1;
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmINPUT::Command1_Click() {
    auto* mail = static_cast<QLineEdit*>(m_boxes[R::EMail]);
    const R::Edit edit =
        R::applyEdit(R::EMail, mail->text(), mail->text() + u'@', int(mail->text().size()) + 1);
    setFieldText(R::EMail, edit.text);
    mail->setFocus();
    mail->deselect();
    mail->setCursorPosition(int(edit.text.size()));
}

void frmINPUT::cmdRip_Click() {
    m_fraOPT->setVisible(!m_fraOPT->isVisible());
    m_boxes[std::size_t(m_lastBox)]->setFocus();
}

void frmINPUT::cmdTUTTI_Click() {
    for (int i = 1; i < FieldCount; ++i)
        m_repeat[std::size_t(i)]->setChecked(true);
}

void frmINPUT::cmdNESSUNO_Click() {
    for (int i = 1; i < FieldCount; ++i)
        m_repeat[std::size_t(i)]->setChecked(false);
}

void frmINPUT::cmdConferma_Click() {
    // The box being left has not had its focus-out rules yet; the others are settled
    // again in case a text arrived without passing through its box's focus.
    if (const int field = fieldOf(focusWidget()); field >= 0)
        boxLeft(field);
    settleTouched();
    for (int i = 1; i < FieldCount; ++i)
        m_buffer.fields[i] = fieldText(i);
    if (m_buffer.mode != EntryBuffer::ModeNew) {
        accept();
        return;
    }
    if (m_buffer.fields[R::Cognome].trimmed().isEmpty()) {
        // A blank surname ends a run of entries; typing in other boxes is not thrown
        // away without asking.
        bool typed = false;
        for (int i = 1; i < FieldCount; ++i)
            if (i != R::Cognome && fieldText(i).trimmed() != m_baseline[std::size_t(i)].trimmed())
                typed = true;
        if (typed && m_ctx.dialogs.message(QStringLiteral("Il Cognome è vuoto: l'indirizzo non può essere "
                                                          "salvato.\r\nScartare i dati digitati?"),
                                           common::MsgIcon::Question, common::MsgButtons::YesNo, {},
                                           common::MsgResult::No) != common::MsgResult::Yes) {
            m_boxes[R::Cognome]->setFocus();
            return;
        }
        m_buffer.mode.clear();
        accept();
        return;
    }
    if (!saveNew())
        return;
    for (int i = 1; i < FieldCount; ++i)
        if (!m_repeat[std::size_t(i)]->isChecked())
            setFieldText(i, QString());
    takeBaseline();
    m_boxes[R::Titolo]->setFocus();
}

bool frmINPUT::saveNew() {
    archive::Recordset& rs = m_ctx.session.mainRs;
    if (const QString problem = ArchiveGuard::writeProblem(m_ctx.session.mainDb.path());
        !problem.isEmpty()) {
        m_ctx.dialogs.warn(problem);
        return false;
    }
    try {
        rs.addNew();
        for (int i = 1; i < FieldCount; ++i)
            rs.setValue(i, m_buffer.fields[i]);
        rs.update();
    } catch (const common::AppError& error) {
        // The typed address stays in the form; nothing half-written remains.
        try {
            if (rs.isEditing())
                rs.cancelUpdate();
        } catch (const common::AppError&) {
        }
        m_ctx.dialogs.critical(archive::FailureText::of(error));
        return false;
    }
    ++m_written;
    emit addressSaved(QStringLiteral("Indirizzo n. %1 salvato: %2")
                          .arg(rs.text(0), m_buffer.fields[R::Cognome].trimmed()));
    m_ctx.state.archiveCount = rs.recordCount();
    m_ctx.state.displayedCount = rs.recordCount();
    return true;
}

void frmINPUT::cmdEsci_Click() {
    m_buffer.mode.clear();
    reject();
}

void frmINPUT::reject() {
    m_buffer.mode.clear();
    QDialog::reject();
}

void frmINPUT::done(int result) {
    writeRepeatFlags();
    QDialog::done(result);
}

void frmINPUT::writeRepeatFlags() {
    if (m_flagsWritten)
        return;
    m_flagsWritten = true;
    for (int i = 1; i < FieldCount; ++i)
        m_ctx.settings.setRepeatInput(i, m_repeat[std::size_t(i)]->isChecked() ? 1 : 0);
}

} // namespace velomar::addresses
