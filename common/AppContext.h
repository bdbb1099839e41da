#pragma once

namespace velomar::common {
struct AppState;
class DialogService;
} // namespace velomar::common
namespace velomar::settings {
class Settings;
}
namespace velomar::archive {
struct Session;
}
namespace velomar::printing {
class PrinterSelection;
}

namespace velomar::common {

// What every window and job is handed: the program-wide state, the dialog service, the
// settings store, the database slots and the current printer choice.
struct AppContext {
    common::AppState& state;
    common::DialogService& dialogs;
    settings::Settings& settings;
    archive::Session& session;
    printing::PrinterSelection& printers;
};

} // namespace velomar::common
