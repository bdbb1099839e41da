// The address grid's searches, initial-letter filters and add/modify/delete commands.
#include "addresses/AddressTableModel.h"
#include "addresses/ArchiveGuard.h"
#include "addresses/EntryFieldRules.h"
#include "addresses/GridColumns.h"
#include "addresses/SearchFilter.h"
#include "addresses/ui/frmEDIT.h"
#include "addresses/ui/frmINPUT.h"
#include "archive/Recordset.h"
#include "archive/Session.h"
#include "archive/Transaction.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QThread>

namespace velomar::addresses {

namespace G = GridColumns;
namespace F = SearchFilter;
using archive::Recordset;
using common::MsgIcon;

namespace {
const QString kFilterMark = QStringLiteral("F");

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

bool frmEDIT::archiveWritable() {
    const QString problem = ArchiveGuard::writeProblem(m_ctx.session.mainDb.path());
    if (problem.isEmpty())
        return true;
    m_ctx.dialogs.warn(problem);
    return false;
}

qint64 frmEDIT::rs_count() const { return m_ctx.session.mainRs.recordCount(); }

void frmEDIT::clearLetterButtons() {
    for (QRadioButton* b : m_ui.optLett)
        b->setChecked(false);
    m_ui.optLettNUM->setChecked(false);
}

void frmEDIT::setInitialsCaption(const QString& letter) {
    QFont font = m_ui.fraINIZIALI->font();
    font.setBold(!letter.isEmpty());
    m_ui.fraINIZIALI->setFont(font);
    m_ui.fraINIZIALI->setTitle(letter.isEmpty()
                                   ? QStringLiteral("Ricerca per Iniziale")
                                   : QStringLiteral("Ricerca per Iniziale '") + letter + u'\'');
    // Only the caption is bold, not the letters beneath it.
    QFont normal = font;
    normal.setBold(false);
    for (QRadioButton* b : m_ui.optLett)
        b->setFont(normal);
    m_ui.optLettNUM->setFont(normal);
}

void frmEDIT::RimuoviFiltro() {
    if (!m_ctx.session.mainRs.isOpen())
        return;
    clearLetterButtons();
    Recordset& rs = m_ctx.session.mainRs;
    try {
        m_model->clearFilter();
    } catch (const common::AppError& error) {
        reportError(error);
    }
    m_ctx.state.archiveCount = rs.recordCount();
    m_ctx.state.displayedCount = rs.recordCount();
    syncGridToRecordset();
    setStatus(4, QString());
    setInitialsCaption(QString());
    GRIGLIA_EnterCell();
}

void frmEDIT::cmdLettALL_Click() {
    if (m_ctx.state.archiveCount != 0 && statusText(4) == kFilterMark) {
        RimuoviFiltro();
        GRIGLIA_EnterCell();
    }
    focusGrid();
}

void frmEDIT::cmdTROVA_Click() {
    if (m_ctx.state.displayedCount == 0) {
        m_ctx.dialogs.message(QStringLiteral("Non ci sono Indirizzi."), MsgIcon::Exclamation);
        focusGrid();
        return;
    }
    const int field = searchField();
    const QString name = m_ctx.session.mainRs.fieldName(field);
    const QString heading = G::heading(field);
    const std::optional<QString> answer = m_ctx.dialogs.inputBox(
        QStringLiteral("Inserire la parola da ricercare in '") + heading + u'\'',
        QStringLiteral("Ricerca"), m_lastWord);
    if (!answer)
        return focusGrid();
    // Letter by letter, as stored texts are compared: "weiß" must not become "WEISS".
    m_lastWord = EntryFieldRules::upperLetters(answer->trimmed());
    if (m_lastWord.isEmpty())
        return focusGrid();
    const QString keptMark = statusText(4);
    bool found = false;
    try {
        found = m_model->tryFilter(F::wordSearch(name, m_lastWord));
    } catch (const common::AppError& error) {
        reportError(error);
    }
    m_ctx.state.displayedCount = rs_count();
    if (!found) {
        syncGridToRecordset();
        setStatus(4, keptMark);
        m_ctx.dialogs.message(QStringLiteral("Valore da cercare = ") + m_lastWord + QStringLiteral(" su '") +
                                  heading + QStringLiteral("'\r\nNessun Record trovato !"),
                              MsgIcon::Information);
    } else {
        clearLetterButtons();
        setInitialsCaption(QString());
        syncGridToRecordset();
        setStatus(4, kFilterMark);
    }
    focusGrid();
}

bool frmEDIT::runLetterFilter(const QString& filter, QAbstractButton* button,
                              const QString& notFound) {
    const QString keptMark = statusText(4);
    bool found = false;
    try {
        found = m_model->tryFilter(filter);
    } catch (const common::AppError& error) {
        reportError(error);
    }
    m_ctx.state.displayedCount = rs_count();
    if (!found) {
        button->setChecked(false);
        if (m_ctx.state.displayedCount > 0)
            syncGridToRecordset();
        setStatus(4, keptMark);
        m_ctx.dialogs.message(notFound, MsgIcon::Exclamation);
    } else {
        syncGridToRecordset();
        setStatus(4, kFilterMark);
    }
    focusGrid();
    return found;
}

void frmEDIT::optLett_Click(int letterCode) {
    if (letterCode < 65 || letterCode > 90 || !m_ctx.session.mainRs.isOpen())
        return;
    QRadioButton* button = m_ui.optLett[std::size_t(letterCode - 65)];
    if (m_ctx.state.archiveCount == 0) {
        cmdLettALL_Click();
        button->setChecked(false);
        return;
    }
    if (m_ctx.state.displayedCount == 0)
        RimuoviFiltro();
    clearLetterButtons();
    button->setChecked(true);
    const QString letter{QChar(char16_t(letterCode))};
    const int field = searchField();
    const QString name = m_ctx.session.mainRs.fieldName(field);
    if (runLetterFilter(F::initial(name, letter.at(0)), button,
                        QStringLiteral("Nessun Record con iniziale '") + letter +
                            QStringLiteral("' al campo ") + G::heading(field) + QStringLiteral(" !")))
        setInitialsCaption(letter);
}

void frmEDIT::optLettNUM_Click() {
    if (!m_ctx.session.mainRs.isOpen())
        return;
    if (m_ctx.state.archiveCount == 0) {
        cmdLettALL_Click();
        m_ui.optLettNUM->setChecked(false);
        return;
    }
    if (m_ctx.state.displayedCount == 0)
        RimuoviFiltro();
    clearLetterButtons();
    m_ui.optLettNUM->setChecked(true);
    const int field = searchField();
    const QString name = m_ctx.session.mainRs.fieldName(field);
    if (runLetterFilter(F::digitInitial(name), m_ui.optLettNUM,
                        QStringLiteral("Nessun Indirizzo con iniziale numerica  al campo ") +
                            G::heading(field) + QStringLiteral(" !")))
        setInitialsCaption(QStringLiteral("0...9"));
}

void frmEDIT::cboRICERCHE_Click() {
    m_ui.cmdTROVA->setToolTip(QStringLiteral("Trova ") + m_ui.cboRICERCHE->currentText());
    if (m_ui.cboRICERCHE->currentIndex() == 0) {
        // No letter filters on the title.
        m_ui.fraINIZIALI->setEnabled(false);
        return;
    }
    m_ui.fraINIZIALI->setEnabled(true);
    if (m_ctx.state.displayedCount == 0)
        return focusGrid();
    for (int i = 0; i < 26; ++i)
        if (m_ui.optLett[std::size_t(i)]->isChecked())
            return optLett_Click(65 + i);
    if (m_ui.optLettNUM->isChecked())
        return optLettNUM_Click();
    focusGrid();
}

void frmEDIT::cmdVai_Click() {
    if (m_ctx.state.displayedCount == 0) {
        m_ctx.dialogs.message(QStringLiteral("Non ci sono Indirizzi."), MsgIcon::Exclamation);
        return focusGrid();
    }
    const std::optional<QString> answer = m_ctx.dialogs.inputBox(
        QStringLiteral("Numero Cronologico dell'Indirizzo"), QStringLiteral("Vai a..."), QString());
    const qint64 nr = answer ? F::parseNumber(*answer) : 0;
    if (nr <= 0)
        return focusGrid();
    GRIGLIA_EnterCell();
    standOnNumber(nr);
    syncGridToRecordset();
    focusGrid();
}

bool frmEDIT::standOnNumber(qint64 nr) {
    Recordset& rs = m_ctx.session.mainRs;
    const Recordset::Bookmark kept = rs.bookmark();
    bool found = false;
    try {
        rs.moveFirst();
        found = rs.find(F::numberIs(nr));
    } catch (const common::AppError&) {
        found = false;
    }
    if (!found) {
        rs.setBookmark(kept);
        m_ctx.dialogs.message(QStringLiteral("Numero Indirizzo non trovato !"), MsgIcon::Exclamation);
    }
    return found;
}

// ---- Add, modify, delete ----------------------------------------------------------------

bool frmEDIT::showEntryForm() {
    frmINPUT form(m_ctx, m_buffer, m_lookup, this);
    connect(&form, &frmINPUT::addressSaved, this, [this](const QString& text) { setStatus(6, text); });
    form.exec();
    return !m_buffer.mode.isEmpty();
}

void frmEDIT::cmdAggiungi_Click() {
    if (!m_ctx.session.mainRs.isOpen())
        return;
    if (m_ctx.state.archiveCount > 0)
        RimuoviFiltro();
    for (int i = 1; i < archive::AddressRecord::FieldCount; ++i)
        m_buffer.fields[i].clear();
    m_buffer.fields[0].clear();
    m_buffer.mode = EntryBuffer::ModeNew;
    showEntryForm();
    if (m_ctx.state.archiveCount > 0) {
        m_model->rebind();
        syncGridToRecordset();
    }
    showPosition();
    focusGrid();
}

bool frmEDIT::modifyAddress(qint64 nr) {
    Recordset& rs = m_ctx.session.mainRs;
    if (!rs.isOpen())
        return false;
    const bool found = standOnNumber(nr);
    syncGridToRecordset();
    if (!found)
        return false;
    cmdModifica_Click();
    return true;
}

void frmEDIT::cmdModifica_Click() {
    if (m_ctx.state.displayedCount == 0) {
        m_ctx.dialogs.message(QStringLiteral("Non ci sono Indirizzi da modificare."), MsgIcon::Exclamation);
        return focusGrid();
    }
    Recordset& rs = m_ctx.session.mainRs;
    GRIGLIA_EnterCell();
    const qint64 row = currentRow();
    for (int i = 0; i < archive::AddressRecord::FieldCount; ++i)
        m_buffer.fields[i] = rs.text(i);
    const archive::AddressRecord shown = m_buffer.fields;
    m_buffer.mode = EntryBuffer::ModeModify;
    if (!showEntryForm())
        return focusGrid();

    if (!archiveWritable())
        return focusGrid();
    const Recordset::Bookmark mark = rs.bookmark();
    try {
        // Fields left as shown keep their stored value (a Null stays Null).
        for (int i = 1; i < archive::AddressRecord::FieldCount; ++i)
            if (m_buffer.fields[i] != shown[i])
                rs.setValue(i, m_buffer.fields[i]);
        if (rs.isEditing())
            rs.update();
    } catch (const common::AppError& error) {
        try {
            rs.cancelUpdate();
        } catch (const common::AppError&) {
        }
        reportError(error);
        m_model->rebind();
        syncGridToRecordset();
        return focusGrid();
    }

    if (statusText(4) == kFilterMark) {
        // The changed address may no longer match: filter again.
        try {
            const QString filter = rs.filter();
            rs.setFilter(filter);
        } catch (const common::AppError& error) {
            reportError(error);
        }
        m_ctx.state.displayedCount = rs.recordCount();
        if (m_ctx.state.displayedCount == 0) {
            // Nothing left under the filter: the whole archive, standing on the address.
            RimuoviFiltro();
            if (rs.rowOfBookmark(mark) >= 0)
                rs.setBookmark(mark);
            syncGridToRecordset();
            return focusGrid();
        }
    }
    m_model->rebind();
    if (rs.rowOfBookmark(mark) >= 0) {
        rs.setBookmark(mark);
    } else if (m_ctx.state.displayedCount > 0) {
        // It left the filter: stand on the row that took its place.
        rs.setAbsolutePosition(std::clamp<qint64>(row, 1, m_ctx.state.displayedCount));
    }
    const qint64 pos = rs.absolutePosition();
    if (pos == Recordset::PosUnknown) {
        if (m_ctx.state.displayedCount != 0)
            rs.moveFirst();
        else
            RimuoviFiltro();
    } else if ((pos == Recordset::PosEOF || pos == Recordset::PosBOF) &&
               m_ctx.state.displayedCount > 0) {
        rs.moveLast();
    }
    syncGridToRecordset();
    focusGrid();
}

void frmEDIT::cmdRimuovi_Click() {
    if (m_ctx.state.displayedCount == 0) {
        m_ctx.dialogs.message(QStringLiteral("Non ci sono Indirizzi da eliminare."), MsgIcon::Exclamation);
        return focusGrid();
    }
    Recordset& rs = m_ctx.session.mainRs;
    const qint64 count = selectionCount();
    qint64 deleted = 0;
    if (count < 2) {
        GRIGLIA_EnterCell();
        for (int i = 0; i < archive::AddressRecord::FieldCount; ++i)
            m_buffer.fields[i] = rs.text(i);
        m_buffer.mode = EntryBuffer::ModeDelete;
        if (!showEntryForm() || !archiveWritable())
            return focusGrid();
        try {
            rs.deleteCurrent();
            deleted = 1;
        } catch (const common::AppError& error) {
            reportError(error);
        }
    } else {
        if (!m_ctx.dialogs.askYesNo(QStringLiteral("Cancellare ") + QString::number(count) +
                                    QStringLiteral(" Indirizzi selezionati ?")) ||
            !archiveWritable())
            return focusGrid();
        const qint64 top = selectionTopRow();
        WaitCursor wait;
        QThread::msleep(100);
        try {
            // One transaction: all the rows go, or none and the record set is read again.
            archive::Transaction tx(m_ctx.session.mainDb);
            for (qint64 k = 0; k < count && top <= rs.recordCount(); ++k) {
                rs.setAbsolutePosition(top);
                rs.deleteCurrent();
                ++deleted;
            }
            tx.commit();
        } catch (const common::AppError& error) {
            if (deleted > 0)
                reloadRecordset();
            deleted = 0;
            reportError(error);
        }
    }
    afterDelete(deleted);
}

void frmEDIT::reloadRecordset() {
    Recordset& rs = m_ctx.session.mainRs;
    const QString filter = rs.filter();
    // Unbinding drops the columns; the user's widths come back with them.
    std::array<int, G::Count> widths{};
    for (int c = 0; c < G::Count; ++c)
        widths[std::size_t(c)] = m_ui.GRIGLIA->columnWidth(c);
    m_model->bind(nullptr);
    try {
        rs = Recordset::open(m_ctx.session.mainDb, QStringLiteral("TabMAIL"),
                             archive::LockType::Optimistic);
        rs.setSort(AddressTableModel::sortSpec(m_sortIndex));
        rs.setFilter(filter);
    } catch (const common::AppError& error) {
        reportError(error);
    }
    m_model->bind(&rs);
    for (int c = 0; c < G::Count; ++c)
        m_ui.GRIGLIA->setColumnWidth(c, widths[std::size_t(c)]);
    m_ui.GRIGLIA->setColumnHidden(G::Serv, true);
}

void frmEDIT::reloadArchive() {
    if (!m_ctx.session.mainRs.isOpen())
        return;
    reloadRecordset();
    RimuoviFiltro();
}

void frmEDIT::afterDelete(qint64 deleted) {
    Recordset& rs = m_ctx.session.mainRs;
    // Recount rather than trust the selection: what the view shows is what is left.
    m_ctx.state.archiveCount = std::max<qint64>(0, m_ctx.state.archiveCount - deleted);
    m_ctx.state.displayedCount = rs.recordCount();
    if (statusText(4).isEmpty())
        m_ctx.state.archiveCount = m_ctx.state.displayedCount;
    if (m_ctx.state.displayedCount == 0 && m_ctx.state.archiveCount > 0) {
        RimuoviFiltro();
        return focusGrid();
    }
    m_model->rebind();
    if (m_ctx.state.archiveCount == 0 || m_ctx.state.displayedCount == 0) {
        setStatus(3, QStringLiteral("0/0"));
        return focusGrid();
    }
    if (rs.eof() || rs.absolutePosition() < 1)
        rs.moveLast();
    syncGridToRecordset();
    focusGrid();
}

} // namespace velomar::addresses
