#pragma once

#include "addresses/ArchiveCheck.h"
#include "addresses/ItalianPlaces.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace velomar::common {
struct AppContext;
}

namespace velomar::addresses {

// "Verifica indirizzi": the Italian addresses of the open archive whose CAP, comune and
// province disagree, with the reason and the proposed correction. The ticked corrections
// are written in one transaction; an address can be opened in the entry form instead.
class frmVERIFICA : public QDialog {
    Q_OBJECT
public:
    // Opens the address NR in the entry form; true when it was shown.
    using EntryOpener = std::function<bool(qint64 nr)>;

    frmVERIFICA(common::AppContext& context, EntryOpener openEntry, QWidget* parent = nullptr);

    const QList<ArchiveCheck::Suspect>& suspects() const { return m_suspects; }
    // Corrections written since the window opened.
    int applied() const { return m_applied; }
    void setTicked(int row, bool ticked);

    QTableWidget* GRIGLIA = nullptr;
    QLabel* lblConteggio = nullptr;
    QPushButton* cmdSicure = nullptr;
    QPushButton* cmdApplica = nullptr;
    QPushButton* cmdScheda = nullptr;
    QPushButton* cmdChiudi = nullptr;

public slots:
    void scan();
    void cmdSicure_Click();
    void cmdApplica_Click();
    void cmdScheda_Click();

private:
    common::AppContext& m_ctx;
    EntryOpener m_openEntry;
    ItalianPlaces m_places;
    QList<ArchiveCheck::Suspect> m_suspects;
    int m_applied = 0;
};

} // namespace velomar::addresses
