#include "common/ui/FormsWalk.h"

#include <QApplication>
#include <QWidget>

namespace velomar::common::ui {

namespace {
bool matches(const QWidget* w, const QString& name) {
    return !name.isEmpty() && w->objectName().compare(name, Qt::CaseInsensitive) == 0;
}
} // namespace

int FormsWalk::count(const QString& name) {
    int n = 0;
    for (QWidget* w : QApplication::allWidgets())
        if (matches(w, name))
            ++n;
    return n;
}

QWidget* FormsWalk::find(const QString& name) {
    for (QWidget* w : QApplication::allWidgets())
        if (matches(w, name))
            return w;
    return nullptr;
}

} // namespace velomar::common::ui
