#pragma once

#include <QString>

class QWidget;

namespace velomar::common::ui {

// Finds the program's windows by name (each window's objectName is its class name,
// "frmEDIT"), compared without regard to case.
class FormsWalk {
public:
    // Number of loaded windows of that name.
    static int count(const QString& name);
    // The first loaded window of that name, or nullptr.
    static QWidget* find(const QString& name);
};

} // namespace velomar::common::ui
