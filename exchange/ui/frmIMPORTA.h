#pragma once

#include "exchange/Importer.h"

#include <QDialog>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QLabel;
class QGroupBox;

namespace velomar::common {
struct AppContext;
}

namespace velomar::exchange::ui {

// Copies the addresses of another archive (all, or one group) into the open archive and
// on request deletes them from the source afterwards.
class frmIMPORTA : public QDialog {
    Q_OBJECT
public:
    frmIMPORTA(common::AppContext& context, QWidget* parent = nullptr);

    // The routine that opens and checks the source archive: read-only for the copy,
    // read/write only when the copied addresses are to be deleted from it.
    void setOpener(Importer::Opener opener) { m_opener = std::move(opener); }

    QGroupBox* fraDATI;
    QLabel* lblARCH_;
    QLineEdit* txtFILE;
    QPushButton* cmdTROVA;
    QLabel* lblGRUPPO_;
    QLineEdit* txtGRUPPO;
    QPushButton* cmdImporta;
    QPushButton* cmdChiudi;
    QProgressBar* BARRA;

    void cmdTROVA_Click();
    void cmdImporta_Click();
    void cmdChiudi_Click();
    // The group box lost the focus: one character becomes two ("*" -> "**").
    void txtGRUPPO_LostFocus();

    // Addresses copied by the imports run in this window.
    qint64 importedCount() const { return m_imported; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runImport(const QString& path, const QString& group);

    common::AppContext& m_ctx;
    Importer::Opener m_opener;
    qint64 m_imported = 0;
};

} // namespace velomar::exchange::ui
