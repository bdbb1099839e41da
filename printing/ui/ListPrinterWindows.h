#pragma once

class QWidget;

namespace velomar::common {
struct AppContext;
}

namespace velomar::printing::ui {

// Entry points of the summary windows for the main window.
class ListPrinterWindows {
public:
    // The five mnuRiepilogo* items, once the summary title and field are set: the summary
    // window, shown without blocking the main window.
    static void openSummary(common::AppContext& context, QWidget* parent);
};

} // namespace velomar::printing::ui
