#pragma once

#include "archive/ui/PropertiesLayout.h"

namespace velomar::common {
struct AppContext;
}

namespace velomar::archive::ui {

class ArchiveHost;

// Facts of the open address archive, and its compaction. Compaction is offered only
// while the address grid is not loaded (shown by the open command before the grid),
// so no connection of the program holds the file.
class frmProprieta : public PropertiesLayout {
    Q_OBJECT
public:
    frmProprieta(common::AppContext& context, ArchiveHost& host, QWidget* parent = nullptr);

    void cmdDefrag_Click();

    static QString ruleText() {
        return QStringLiteral("Per poter Compattare l'Archivio, è necessario aprirlo con"
                              " l'opzione 'Finestra Proprietà all'apertura Archivio' selezionata.");
    }

private:
    void fillLabels();

    common::AppContext& m_ctx;
    ArchiveHost& m_host;
    bool m_gridLoaded = false;
    QLabel* lblTITOLO;
    QLabel* lblCARTELLA;
    QLabel* lblNumFileMdb;
    QLabel* lblTOTREC;
    QLabel* lblBYTES;
    QLabel* lblDATAcre;
    QLabel* lblDATAacc;
    QLabel* lblDATAmod;
    QLabel* lblDefrag;
    QLabel* lblInfo;
};

} // namespace velomar::archive::ui
