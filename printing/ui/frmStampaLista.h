#pragma once

#include "printing/ListPrinter.h"
#include "archive/ui/ListPrinterChoices.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;

namespace velomar::common {
struct AppContext;
}

namespace velomar::printing::ui {

// Prints the addresses as a list: formatted (landscape, columns) or running text
// (portrait), as the application option chooses when the window opens.
class frmStampaLista : public QDialog {
    Q_OBJECT
public:
    frmStampaLista(common::AppContext& context, archive::ui::ListPrinterGrid grid, QWidget* parent = nullptr);

    bool formatted() const { return m_formatted; }
    int characterTotal() const;
    // Longest formatted line the chosen printer holds in the list font (characters).
    int maxLine() const { return m_maxLine; }

    archive::ui::ListPrinterChoices* choices;
    QLabel* lblCar;
    QLabel* imgFOGLIO;
    QPushButton* cmdStampa;
    QPushButton* cmdAnteprima;
    QPushButton* cmdChiudi;

    void cmdStampa_Click();
    void cmdAnteprima_Click();

private:
    void refreshTotal();
    void printJob();
    ListPrintRequest request() const;
    std::unique_ptr<archive::AddressSource> source() const;

    common::AppContext& m_ctx;
    archive::ui::ListPrinterGrid m_grid;
    bool m_formatted;
    int m_maxLine = ListPrinterLayout::MaxLine;
    settings::Settings::FieldSection m_section;
};

} // namespace velomar::printing::ui
