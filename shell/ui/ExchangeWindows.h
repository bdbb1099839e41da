#pragma once

#include <QtGlobal>

#include <QString>

class QWidget;

namespace velomar::addresses {
class frmEDIT;
}
namespace velomar::common {
struct AppContext;
}

namespace velomar::shell::ui {

// Entry points of the export and import windows for the main window's menu.
class ExchangeWindows {
public:
    // mnuEsporta: the export window, shown without blocking; it goes when the grid unloads.
    static void openExport(common::AppContext& context, addresses::frmEDIT* grid, QWidget* parent);
    // mnuImporta: the import window, modal; afterwards the grid shows the new addresses
    // when the count changed, or goes back to its current row.
    static void openImport(common::AppContext& context, addresses::frmEDIT* grid, QWidget* parent);
    // "Importa da file...": the same, reading a CSV, vCard or Access file; with path, that
    // file is read as the window opens. Returns how many imported addresses disagree.
    static qint64 openFileImport(common::AppContext& context, addresses::frmEDIT* grid, QWidget* parent,
                               const QString& path = QString());
};

} // namespace velomar::shell::ui
