#pragma once

#include "../FakeDesktop.h"
#include "archive/Session.h"
#include "common/AppContext.h"
#include "printing/PrinterSelection.h"
#include "settings/AppState.h"
#include "settings/Settings.h"
#include "shell/ui/frmMAIN.h"
#include "support/ScriptedDialogs.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

// A main window over a fresh program folder, with scripted dialogs and a recording desktop.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
        settings = std::make_unique<velomar::settings::Settings>();
        settings->setProgramDir(program.path() + QStringLiteral("/"));
        context = std::make_unique<velomar::common::AppContext>(
            velomar::common::AppContext{state, dialogs, *settings, session, printers});
        window = std::make_unique<velomar::shell::ui::frmMAIN>(*context);
        window->setShellLauncher(desk.launcher());
    }
    void TearDown() override {
        window.reset();
        QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
    }

    template <typename T> T* child(const char* name) {
        return window->findChild<T*>(QLatin1String(name));
    }

    QTemporaryDir program;
    velomar::settings::AppState state;
    velomar::test::ScriptedDialogs dialogs;
    std::unique_ptr<velomar::settings::Settings> settings;
    velomar::archive::Session session;
    velomar::printing::PrinterSelection printers;
    std::unique_ptr<velomar::common::AppContext> context;
    std::unique_ptr<velomar::shell::ui::frmMAIN> window;
    velomar::test::FakeDesktop desk;
};
