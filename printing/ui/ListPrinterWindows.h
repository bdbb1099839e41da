#pragma once

class QWidget;

namespace velomar::addresses {
class frmEDIT;
}
namespace velomar::common {
struct AppContext;
}

namespace velomar::printing::ui {

struct ListPrinterGrid;

// Entry points of the list and summary windows for the main window and the grid.
class ListPrinterWindows {
public:
    // What the list and export windows read from the grid; safe after the grid is gone.
    static ListPrinterGrid gridAccess(addresses::frmEDIT* grid);

    // Gives the grid's "Stampa Lista Visualizzata" button its window.
    static void installListButton(addresses::frmEDIT& grid, common::AppContext& context);
    static void openList(common::AppContext& context, addresses::frmEDIT* grid);

    // The five mnuRiepilogo* items, once the summary title and field are set: the summary
    // window, shown without blocking the main window.
    static void openSummary(common::AppContext& context, QWidget* parent);
};

} // namespace velomar::printing::ui
