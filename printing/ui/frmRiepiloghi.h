#pragma once

#include "printing/SummaryQuery.h"

#include <QWidget>
#include <vector>

class QPushButton;
class QTableWidget;

namespace velomar::common {
struct AppContext;
}

namespace velomar::printing::ui {

// Address counts of the open archive by one field (the summary field of the program
// state), ordered by value or by count, printable. It closes itself when it stops being
// the active window.
class frmRiepiloghi : public QWidget {
    Q_OBJECT
public:
    frmRiepiloghi(common::AppContext& context, QWidget* parent = nullptr);

    QTableWidget* gGRID;
    QPushButton* cmdSORT; // property "tag": "1" by value, "2" by count
    QPushButton* cmdStampa;
    QPushButton* cmdAnteprima;
    QPushButton* cmdChiudi;

    QString tag() const;
    void cmdSORT_Click();
    void cmdStampa_Click();
    void cmdAnteprima_Click();

protected:
    void changeEvent(QEvent* event) override;

private:
    void fill(SummaryQuery::Order order);
    void takeBackActivation();

    common::AppContext& m_ctx;
    std::vector<SummaryRow> m_rows;
    bool m_busy = false; // our own message boxes take the activation without closing us
};

} // namespace velomar::printing::ui
