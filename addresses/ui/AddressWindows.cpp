#include "addresses/ui/AddressWindows.h"

#include "addresses/ui/frmEDIT.h"
#include "addresses/ui/frmDOPPIONI.h"
#include "archive/Session.h"
#include "addresses/ui/frmSchedario.h"
#include "addresses/ui/frmVERIFICA.h"
#include "archive/Session.h"
#include "common/DialogService.h"
#include "archive/CountryLookup.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "settings/ui/WindowPlacement.h"
#include "common/AppContext.h"

#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace velomar::addresses {

AddressWindows::AddressWindows(common::AppContext& context, MainWindow main, QObject* parent)
    : QObject(parent), m_ctx(context), m_main(std::move(main)) {}

frmEDIT* AddressWindows::grid() const { return m_grid; }

QString AddressWindows::countryName(const QString& code) const {
    try {
        return archive::CountryLookup(m_ctx.state.programDir + u'/' +
                                      archive::CountryLookup::fileName())
            .nameOf(code);
    } catch (const common::AppError&) {
        return {}; // the stored code is shown instead
    }
}

bool AddressWindows::showGrid() {
    if (m_grid)
        m_grid->cmdChiudi_Click();
    auto* grid = new frmEDIT(m_ctx);
    grid->setCountryLookup([this](const QString& code) { return countryName(code); });
    connect(grid, &frmEDIT::statusPanelChanged, this, [this](int panel, const QString& text) {
        if (m_main.setPanelText)
            m_main.setPanelText(panel, text);
    });
    connect(grid, &frmEDIT::archiveOpened, this, [this] {
        if (m_main.setOpenCommandsEnabled)
            m_main.setOpenCommandsEnabled(false);
    });
    connect(grid, &frmEDIT::archiveClosed, this, [this] {
        m_ctx.state.currentArchivePath.clear();
        if (m_main.setOpenCommandsEnabled)
            m_main.setOpenCommandsEnabled(true);
        if (m_main.noArchive)
            m_main.noArchive();
    });
    if (m_main.gridCreated)
        m_main.gridCreated(*grid);

    QMdiSubWindow* sub = nullptr;
    if (m_main.mdi) {
        sub = m_main.mdi->addSubWindow(grid);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(m_main.window ? m_main.window->windowIcon() : QIcon());
    } else {
        grid->setParent(m_main.window, Qt::Window);
    }
    if (!grid->load()) {
        if (sub)
            sub->deleteLater();
        else
            grid->deleteLater();
        return false;
    }
    m_grid = grid;
    if (sub) {
        // Restored, it keeps nearly the whole area (190 x 1180 twips less), not Qt's small default.
        const QSize area = m_main.mdi->viewport()->size();
        sub->setGeometry(0, 0, std::max(480, area.width() - 13), std::max(320, area.height() - 79));
        sub->showMaximized();
    } else {
        grid->show();
    }
    return true;
}

void AddressWindows::mnuSchedario_Click() {
    if (!m_grid)
        return;
    auto* card = new frmSchedario(m_ctx, *m_grid,
                                  [this](const QString& code) { return countryName(code); },
                                  m_main.window);
    settings::ui::WindowPlacement::apply(card, m_ctx.settings);
    card->show();
    card->activateWindow();
}

void AddressWindows::mnuDoppioni_Click() {
    if (!m_grid || !m_ctx.session.mainDb.isOpen())
        return;
    frmDOPPIONI window(m_ctx.dialogs, m_ctx.session.mainDb, [this] {
        if (m_grid)
            m_grid->reloadArchive();
    }, m_main.window);
    window.exec();
}

void AddressWindows::mnuGrigliaDefault_Click() {
    if (m_grid)
        m_grid->DefaultGriglia();
}

void AddressWindows::mnuChiudiArchivio_Click() {
    if (m_grid)
        m_grid->cmdChiudi_Click();
}

void AddressWindows::mnuVerifica_Click() {
    if (!m_grid || !m_ctx.session.mainDb.isOpen()) {
        m_ctx.dialogs.warn(QStringLiteral("Non ci sono Indirizzi."));
        return;
    }
    QPointer<frmEDIT> grid = m_grid;
    frmVERIFICA window(m_ctx, [grid](qint64 nr) { return grid && grid->modifyAddress(nr); }, m_main.window);
    window.exec();
    if (window.applied() > 0 && grid) {
        grid->reloadArchive();
        grid->cboORDINAMENTO_Click();
    }
}

void AddressWindows::reloadAfterImport() {
    if (m_grid)
        m_grid->reloadArchive();
}

} // namespace velomar::addresses
