#pragma once

class QWidget;

namespace velomar::addresses {
class frmEDIT;
}
namespace velomar::archive::ui {
struct ListPrinterGrid;
}
namespace velomar::common {
struct AppContext;
}

namespace velomar::shell::ui {

// The windows of other subsystems that the address grid opens, linked here so that the
// subsystems' windows need not know one another.
class GridWindows {
public:
    // What the list and export windows read from the grid; safe after the grid is gone.
    static archive::ui::ListPrinterGrid gridAccess(addresses::frmEDIT* grid);

    // Gives the grid's print buttons their windows: single labels, labels by group, list.
    static void installPrintButtons(addresses::frmEDIT& grid, common::AppContext& context);

    // Windows that take the grid's place hide it while they are open.
    static void openSingleLabels(common::AppContext& context, addresses::frmEDIT* grid);
    // mnuGruppi: the groups window; grid is the loaded address grid, if any.
    static void openGroups(common::AppContext& context, addresses::frmEDIT* grid);
    static void openList(common::AppContext& context, addresses::frmEDIT* grid);
};

} // namespace velomar::shell::ui
