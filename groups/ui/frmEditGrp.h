#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace velomar::common {
class DialogService;
}

namespace velomar::groups {

// Edits one group: code and description come in and go out as separate values.
class frmEditGrp : public QDialog {
    Q_OBJECT
public:
    // taken(code) tells whether another group already has code.
    using CodeTaken = std::function<bool(const QString& code)>;

    frmEditGrp(common::DialogService& dialogs, const QString& title, const QString& code,
               const QString& description, CodeTaken taken, QWidget* parent = nullptr);

    QString code() const;
    QString description() const;

    void cmdOK_Click();
    void cmdChiudi_Click() { reject(); }
    // Leaving the code box: doubles a single character, refuses a code in use.
    bool txtGRP_LostFocus();

    QLineEdit* txtGRP = nullptr;
    QLineEdit* txtDESC = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdChiudi = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    common::DialogService& m_dialogs;
    QString m_startCode;
    CodeTaken m_taken;
};

} // namespace velomar::groups
