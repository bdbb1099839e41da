#include "printing/ui/ListPrinterWindows.h"

#include "settings/ui/WindowPlacement.h"
#include "common/AppContext.h"
#include "printing/ui/frmRiepiloghi.h"

#include <QApplication>

namespace velomar::printing::ui {

void ListPrinterWindows::openSummary(common::AppContext& context, QWidget* parent) {
    // One summary at a time: a new one replaces the one still open.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* old = qobject_cast<frmRiepiloghi*>(w); old && old->isVisible())
            old->close();
    auto* window = new frmRiepiloghi(context, parent);
    settings::ui::WindowPlacement::apply(window, context.settings);
    window->show();
    window->activateWindow();
}

} // namespace velomar::printing::ui
