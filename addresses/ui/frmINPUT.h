#pragma once

#include "addresses/EntryBuffer.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace velomar::common {
struct AppContext;
}

namespace velomar::addresses {

class PlaceCompleter;

// The modal form in which one address is typed in ("Nuovo Indirizzo"), changed
// ("Modifica Indirizzo") or shown before deletion ("Elimina Indirizzo"). New addresses are
// written here, one per confirmation; changes and deletions are written by the grid.
class frmINPUT : public QDialog {
    Q_OBJECT
public:
    static constexpr int FieldCount = archive::AddressRecord::FieldCount;
    using CountryLookup = std::function<QString(const QString&)>;

    frmINPUT(common::AppContext& context, EntryBuffer& buffer, CountryLookup lookup,
             QWidget* parent = nullptr);
    ~frmINPUT() override;

    QString fieldText(int field) const;
    void setFieldText(int field, const QString& text);
    QWidget* box(int field) const { return m_boxes[std::size_t(field)]; }
    QCheckBox* repeatBox(int field) const { return m_repeat[std::size_t(field)]; }
    bool repeatPanelShown() const;
    PlaceCompleter* places() const { return m_places; }
    QLabel* placeMark() const { return m_lblVerifica; }
    // Addresses written by this form since it opened.
    int written() const { return m_written; }

public slots:
    void cmdConferma_Click();
    void cmdEsci_Click();
    void cmdRip_Click();
    void cmdTUTTI_Click();
    void cmdNESSUNO_Click();
    void Command1_Click();
    void reject() override;

signals:
    // A new address was written; text confirms it for the status bar.
    void addressSaved(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildUi();
    void applyMode();
    int fieldOf(QObject* box) const;
    void boxEdited(int field);
    void boxEntered(int field);
    void boxLeft(int field);
    bool saveNew();
    void writeRepeatFlags();
    // The user changed the box from what it held when the address was put in the form.
    bool touched(int field) const;
    void settleTouched();
    void settleProvince();
    // A province written out in PROV becomes its code.
    void provinceWrittenOut();
    void takeBaseline();

    common::AppContext& m_ctx;
    EntryBuffer& m_buffer;
    CountryLookup m_lookup;
    std::array<QWidget*, FieldCount> m_boxes{};
    std::array<QLabel*, FieldCount> m_labels{};
    std::array<QCheckBox*, FieldCount> m_repeat{};
    std::array<QString, FieldCount> m_shownText; // text before the current edit
    std::array<QString, FieldCount> m_baseline;  // texts the current address started from
    QGroupBox* m_fraInput = nullptr;
    QGroupBox* m_fraOPT = nullptr;
    QPushButton* m_cmdConferma = nullptr;
    QPushButton* m_cmdEsci = nullptr;
    QPushButton* m_cmdRip = nullptr;
    QLabel* m_lblVerifica = nullptr;
    PlaceCompleter* m_places = nullptr;
    int m_lastBox = 1;
    int m_enteredBox = -1; // the box with the focus, until its focus-out is handled
    int m_written = 0;
    bool m_adjusting = false;
    bool m_flagsWritten = false;
};

} // namespace velomar::addresses
