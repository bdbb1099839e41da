#pragma once

namespace velomar::common {
class DialogService;
} // namespace velomar::common
namespace velomar::settings {
struct AppState;
class Settings;
} // namespace velomar::settings
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
    settings::AppState& state;
    common::DialogService& dialogs;
    settings::Settings& settings;
    archive::Session& session;
    printing::PrinterSelection& printers;
};

} // namespace velomar::common
