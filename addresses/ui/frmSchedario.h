#pragma once

#include <QWidget>
#include <array>
#include <functional>

class QGroupBox;
class QPushButton;

namespace velomar::common {
struct AppContext;
}

namespace velomar::addresses {

class frmEDIT;

// The card-file view: one address at a time, in the grid's order and under its filter.
// It moves the main record set's current record and hands it back to the grid on close.
class frmSchedario : public QWidget {
    Q_OBJECT
public:
    using CountryLookup = std::function<QString(const QString&)>;

    frmSchedario(common::AppContext& context, frmEDIT& grid, CountryLookup lookup,
                 QWidget* parent = nullptr);
    ~frmSchedario() override;

    QString fieldText(int field) const;
    bool lettersShown() const;
    QString frameCaption() const;

    void cmdPrimo_Click();
    void cmdUltimo_Click();
    void cmdAvanti_Click();
    void cmdIndietro_Click();
    void cmdAVANTI10_Click();
    void cmdINDIETRO10_Click();
    void cmdLETT_Click(int code);
    void cmdChiudi_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildUi();
    void showCard();
    bool handleKey(int key);
    void tell(const QString& text);
    bool empty() const;

    common::AppContext& m_ctx;
    frmEDIT& m_grid;
    CountryLookup m_lookup;
    QGroupBox* m_frame = nullptr;
    std::array<QWidget*, 17> m_boxes{};
    std::array<QPushButton*, 27> m_letters{}; // "0-9", then A..Z
    bool m_telling = false;
    bool m_closed = false;
};

} // namespace velomar::addresses
