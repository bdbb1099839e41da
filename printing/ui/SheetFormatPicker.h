#pragma once

#include "printing/SheetCatalog.h"

#include <QWidget>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velomar::common {
class DialogService;
}

namespace velomar::printing::ui {

class SheetView;

// The choice of a label sheet: the catalogue filtered by a search on names, brands and
// parts, a drawing of the chosen sheet, and the user's own format. Nothing is stored
// here: the owner stores selected() when the user confirms.
class SheetFormatPicker : public QWidget {
    Q_OBJECT
public:
    SheetFormatPicker(common::DialogService& dialogs, SheetCatalog catalog, const SheetFormat& current,
                      QWidget* parent = nullptr);

    const SheetFormat& selected() const { return m_selected; }
    // False when the catalogue has no format of that name.
    bool select(const QString& name);
    // Opens "Foglio personalizzato" on the user's own format (or the chosen one).
    void cmdPersonalizzato_Click();

    QLabel* lblCerca = nullptr;
    QLineEdit* txtCerca = nullptr;
    QListWidget* lstFormati = nullptr;
    SheetView* picFoglio = nullptr;
    QLabel* lblFormato = nullptr;
    QPushButton* cmdPersonalizzato = nullptr;

private:
    void fill();
    void choose(const SheetFormat& format);

    common::DialogService& m_dialogs;
    SheetCatalog m_catalog;
    SheetFormat m_selected;
    std::vector<SheetFormat> m_shown; // the list's rows
};

} // namespace velomar::printing::ui
