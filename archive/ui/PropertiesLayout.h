#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velomar::archive::ui {

// The shared look of the two properties windows: a column of fact labels above the
// compact and close buttons.
class PropertiesLayout : public QDialog {
    Q_OBJECT
public:
    explicit PropertiesLayout(QWidget* parent);

protected:
    // caption: a fixed text shown before the label, for facts that are bare numbers.
    QLabel* addLabel(const char* name, bool bold = false, const QString& caption = {});
    void finishLayout();

    QPushButton* cmdDefrag = nullptr;
    QPushButton* cmdChiudi = nullptr;

private:
    QVBoxLayout* m_facts = nullptr;
};

} // namespace velomar::archive::ui
