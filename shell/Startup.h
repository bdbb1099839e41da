#pragma once

#include <QString>
#include <QStringList>

namespace velomar::common {
class DialogService;
} // namespace velomar::common
namespace velomar::settings {
struct AppState;
}
namespace velomar::settings {
class Settings;
}

namespace velomar::shell {

// The start-up and shut-down steps of the main window that touch no widget: program
// folder, working folders, options, start-up files, senders, last archive folder.
class Startup {
public:
    enum class Outcome {
        Ready,          // the program may run
        NotInstalled,   // ProgramDir missing and no templates: "Applicazione NON TROVATA !"
        NoProgramFolder // ProgramDir names no usable folder
    };

    // Runs the steps in order; shows every message through the dialog service. On any
    // outcome but Ready the program must end at once. Without ProgramDir the user's program
    // folder is set up from the first of templateCandidates holding the templates
    // (by default those next to the executable); with none, NotInstalled.
    static Outcome run(settings::AppState& state, settings::Settings& settings,
                       common::DialogService& dialogs);
    static Outcome run(settings::AppState& state, settings::Settings& settings,
                       common::DialogService& dialogs, const QStringList& templateCandidates);

    // A groups file in Access format: asks, then converts it in place keeping the
    // original beside it. Failures are told; start-up goes on either way.
    static void offerGroupsConversion(const QString& groupsPath, common::DialogService& dialogs);

    // Exit step: keeps the last archive folder.
    static void saveOnExit(const settings::AppState& state, settings::Settings& settings);

    // Creates an empty file unless a file of that name exists; false when it cannot.
    static bool createEmptyFile(const QString& path);
};

} // namespace velomar::shell
