#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QMdiArea;
class QWidget;

namespace velomar::common {
struct AppContext;
}

namespace velomar::addresses {

class frmEDIT;

// What the main window does for the address windows: shows the grid after an archive
// has been opened, runs its menu items (card view, default columns, close archive) and
// returns to the no-archive state when the grid goes.
class AddressWindows : public QObject {
    Q_OBJECT
public:
    struct MainWindow {
        QWidget* window = nullptr;
        QMdiArea* mdi = nullptr; // the grid's home; a top-level window when null
        std::function<void(int panel, const QString& text)> setPanelText;
        std::function<void(bool enabled)> setOpenCommandsEnabled; // mnuApri, mnuNuovo
        std::function<void()> noArchive; // panels cleared, mnuArchivio off
        std::function<void(frmEDIT& grid)> gridCreated; // links the grid's print buttons
    };

    AddressWindows(common::AppContext& context, MainWindow main, QObject* parent = nullptr);

    // After a successful open: the grid opens the archive again for editing. False when
    // that open failed (the message has been shown).
    bool showGrid();
    frmEDIT* grid() const;

    void mnuSchedario_Click();
    void mnuGrigliaDefault_Click();
    // "Cerca doppioni" on the open archive; the grid reads it again after each merge.
    void mnuDoppioni_Click();
    void mnuChiudiArchivio_Click();
    // "Verifica indirizzi": the check window on the open archive; the grid shows what it
    // corrected.
    void mnuVerifica_Click();
    // After an import into the open archive.
    void reloadAfterImport();

    // Country name of a code from the program folder's country table; "" when unknown
    // or when the table cannot be read.
    QString countryName(const QString& code) const;

private:
    common::AppContext& m_ctx;
    MainWindow m_main;
    QPointer<frmEDIT> m_grid;
};

} // namespace velomar::addresses
