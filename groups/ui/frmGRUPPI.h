#pragma once

#include "printing/GroupListPrinter.h"
#include "printing/JobPreview.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QPushButton;
class QTableWidget;

namespace velomar::common {
struct AppContext;
}

namespace velomar::groups {

// "Gruppi (n)": the list of groups of the groups archive, with add, change, delete,
// order and print. Owns the groups connection and record set while open.
class frmGRUPPI : public QWidget {
    Q_OBJECT
public:
    struct Edited {
        QString code;
        QString description;
    };
    // Shows the group editor; nothing when the user closes it without storing.
    using Editor = std::function<std::optional<Edited>(const QString& title, const QString& code,
                                                       const QString& description, qint64 nr)>;

    explicit frmGRUPPI(common::AppContext& context, QWidget* parent = nullptr);
    ~frmGRUPPI() override;

    // Opens the groups archive (recreating a missing one from its template); false when
    // it cannot be opened, and the window must then not be shown.
    bool load();
    void setEditor(Editor editor) { m_editor = std::move(editor); }
    void setPropertiesAction(std::function<void()> action);
    // Opens the preview of a job over parent; print runs the real job. Given by whoever
    // opens this window, so that it needs no other subsystem's windows.
    using PreviewOpener = std::function<void(QWidget* parent, printing::JobPreview::Job job, std::function<void()> print)>;
    void setPreviewOpener(PreviewOpener opener) { m_openPreview = std::move(opener); }

    void cmdNuovo_Click();
    void cmdModifica_Click();
    void cmdElimina_Click();
    void cmdORD_Click();
    void cmdStampa_Click();
    void cmdAnteprima_Click();
    void cmdEsci_Click() { close(); }

    qint64 count() const { return m_count; }

    QTableWidget* GrdGRUPPI = nullptr;
    QPushButton* cmdNuovo = nullptr;
    QPushButton* cmdModifica = nullptr;
    QPushButton* cmdElimina = nullptr;
    QPushButton* cmdORD = nullptr;
    QPushButton* cmdStampa = nullptr;
    QPushButton* cmdAnteprima = nullptr;
    QPushButton* cmdProprieta = nullptr;
    QPushButton* cmdEsci = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void refill(qint64 selectNr);
    void updateCaption();
    qint64 selectedNr() const;
    bool emptyListMessage();
    std::vector<printing::GroupListPrinter::Group> listedGroups() const;
    std::optional<Edited> runEditor(const QString& title, const QString& code, const QString& description,
                                    qint64 nr);
    void reportError(const std::exception& error);

    common::AppContext& m_ctx;
    Editor m_editor;
    PreviewOpener m_openPreview;
    std::function<void()> m_properties;
    qint64 m_count = 0;
    bool m_open = false;
};

} // namespace velomar::groups
