#pragma once

#include "common/SystemInfo.h"
#include "common/AppContext.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace velomar::shell {
class ShellCommands;
}

namespace velomar::shell::ui {

// "Informazioni su Velomar": version, operating system and screen.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(common::AppContext& context, ShellCommands& shell, QWidget* parent = nullptr);

    // The lines of lblDatiWin, joined by CR LF.
    static QString systemText(const common::SystemInfo& info);

    QLabel* lblTitle = nullptr;
    QLabel* lblTitleBis = nullptr;
    QLabel* lblREV = nullptr;
    QLabel* lblDatiWin = nullptr;
    QLabel* lblDati = nullptr; // credit for the comuni data
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

private:
    common::AppContext& m_ctx;
    ShellCommands& m_shell;
};

} // namespace velomar::shell::ui
