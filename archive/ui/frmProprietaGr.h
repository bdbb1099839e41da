#pragma once

#include "archive/ui/PropertiesLayout.h"

namespace velomar::common {
struct AppContext;
}

namespace velomar::archive::ui {

// Facts of the groups archive "Gruppi.grp", shown from the groups window while it holds
// the groups connection, and its compaction. After a compaction the groups connection
// and record set are open again (groupsReopened), in table order.
class frmProprietaGr : public PropertiesLayout {
    Q_OBJECT
public:
    frmProprietaGr(common::AppContext& context, qint64 groupCount, QWidget* parent = nullptr);

    // Shows the window modal (the groups window's cmdProprieta). False when a compaction
    // left the groups archive closed: the groups window must then close too.
    static bool showModal(common::AppContext& context, qint64 groupCount, QWidget* parent);

    void cmdDefrag_Click();
    QString groupsPath() const;

signals:
    void groupsReopened(bool reopened);

private:
    void fillLabels();

    common::AppContext& m_ctx;
    qint64 m_groupCount;
    QLabel* lblTOTREC;
    QLabel* lblBYTES;
    QLabel* lblDATAcre;
    QLabel* lblDATAacc;
    QLabel* lblDATAmod;
    QLabel* lblDefrag;
};

} // namespace velomar::archive::ui
