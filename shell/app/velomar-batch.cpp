#include "archive/FailureText.h"
#include "common/OutputGuard.h"
#include "settings/ProgramSetup.h"
#include "settings/Settings.h"
#include "shell/BatchCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

// Qt's own notes ("XDG_RUNTIME_DIR not set", font warnings) are English and not about the
// command; stderr carries only the command's Italian messages.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// Fontconfig writes "No writable cache directories" itself, past any Qt handler, when a
// font folder has no up-to-date cache and no cache folder can be written (a read-only or
// missing home under cron). Then the cache of this run goes to a folder of its own.
std::unique_ptr<QTemporaryDir> fontCacheForUnwritableHome() {
    if (!qEnvironmentVariableIsEmpty("XDG_CACHE_HOME"))
        return {};
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty()) {
        const QFileInfo cache(home + QStringLiteral("/.cache"));
        const QFileInfo parent(home);
        if (cache.exists() ? cache.isDir() && cache.isWritable() : parent.isDir() && parent.isWritable())
            return {};
    }
    auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velomar-batch-XXXXXX"));
    if (!dir->isValid())
        return {};
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir->path()));
    return dir;
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(quietQt);
    const auto fontCache = fontCacheForUnwritableHome();
    // Fonts and PDF output need a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("QZ"));
    QGuiApplication::setApplicationName(QStringLiteral("Velomar"));

    // The groups archive and the templates of the program folder are never an output.
    if (const auto programDir = velomar::settings::Settings().programDir())
        velomar::common::OutputGuard::setProgramFolder(velomar::settings::ProgramSetup::programFolderFrom(*programDir));

    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        return velomar::shell::BatchCommands::main(QGuiApplication::arguments().mid(1), out, err);
    } catch (const std::exception& e) {
        // A command reports its own failures; this only keeps an unforeseen one from
        // ending the process with an English abort.
        err << velomar::archive::FailureText::cause(e) << "\n";
        return 1;
    }
}
