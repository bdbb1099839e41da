#include "shell/ui/GridWindows.h"

#include "addresses/ui/frmEDIT.h"
#include "archive/ui/ListPrinterChoices.h"
#include "archive/ui/frmProprietaGr.h"
#include "common/AppContext.h"
#include "groups/ui/frmGRUPPI.h"
#include "printing/ui/PreviewWindow.h"
#include "printing/ui/PrintWindows.h"
#include "printing/ui/frmStampaLista.h"
#include "printing/ui/frmStampaSingola.h"
#include "settings/ui/WindowPlacement.h"

#include <QPointer>

namespace velomar::shell::ui {

using addresses::frmEDIT;

namespace {
// The grid steps aside while window is open and comes back on its current record.
void takeGridPlace(QWidget* window, frmEDIT* grid) {
    if (!grid || !grid->isVisible())
        return;
    grid->hideForWindow();
    QPointer<frmEDIT> guard(grid);
    QObject::connect(window, &QObject::destroyed, grid, [guard] {
        if (guard)
            guard->showAgain();
    });
}
} // namespace

archive::ui::ListPrinterGrid GridWindows::gridAccess(frmEDIT* grid) {
    QPointer<frmEDIT> g(grid);
    return {[g] { return g ? g->sortText() : QString(); },
            [g] { return g ? g->selectionTopRow() : qint64(0); },
            [g] { return g ? g->selectionCount() : qint64(0); }};
}

void GridWindows::installPrintButtons(frmEDIT& grid, common::AppContext& context) {
    frmEDIT* g = &grid;
    grid.setPrintAction(frmEDIT::PrintButton::EtichetteSingole, [&context, g] { openSingleLabels(context, g); });
    grid.setPrintAction(frmEDIT::PrintButton::EtichettePerGruppo,
                        [&context, g] { printing::PrintWindows::openPrintShop(context, g); });
    grid.setPrintAction(frmEDIT::PrintButton::SpedizioneInBlocco, [&context, g] {
        printing::PrintWindows::openBulkMailing(context, g->selectedNumbers(), g);
    });
    grid.setPrintAction(frmEDIT::PrintButton::Lista, [&context, g] { openList(context, g); });
}

namespace {

// A window that deletes itself on close, or nullptr when its load() refused (already told).
template <class Window>
Window* loadedWindow(common::AppContext& context) {
    auto* window = new Window(context);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->load()) {
        delete window;
        return nullptr;
    }
    return window;
}

} // namespace

void GridWindows::openSingleLabels(common::AppContext& context, frmEDIT* grid) {
    auto* window = loadedWindow<printing::frmStampaSingola>(context);
    if (!window)
        return;
    takeGridPlace(window, grid);
    settings::ui::WindowPlacement::apply(window, context.settings);
    window->show();
}

void GridWindows::openGroups(common::AppContext& context, frmEDIT* grid) {
    auto* window = loadedWindow<groups::frmGRUPPI>(context);
    if (!window)
        return;
    // "Proprietà / Defrag": a compaction that leaves the groups archive closed ends the window.
    window->setPropertiesAction([&context, window] {
        if (!archive::ui::frmProprietaGr::showModal(context, window->count(), window))
            window->close();
    });
    window->setPreviewOpener([&context](QWidget* parent, printing::JobPreview::Job job, std::function<void()> print) {
        printing::PreviewWindow::openJob(parent, context.printers, std::move(job), std::move(print));
    });
    takeGridPlace(window, grid);
    settings::ui::WindowPlacement::apply(window, context.settings);
    window->show();
}

void GridWindows::openList(common::AppContext& context, frmEDIT* grid) {
    printing::ui::frmStampaLista window(context, gridAccess(grid), grid);
    window.exec();
}

} // namespace velomar::shell::ui
