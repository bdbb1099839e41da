#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace velomar::archive::ui {

// The shared look of the two properties windows: a column of fact labels above the
// compact and close buttons.
class PropertiesLayout : public QDialog {
    Q_OBJECT
public:
    explicit PropertiesLayout(QWidget* parent);

protected:
    QLabel* addLabel(const char* name, bool bold = false);
    void finishLayout();

    QPushButton* cmdDefrag = nullptr;
    QPushButton* cmdChiudi = nullptr;

private:
    class QVBoxLayout* m_facts = nullptr;
};

} // namespace velomar::archive::ui
