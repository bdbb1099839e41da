#pragma once

#include "../AddressArchive.h"

#include "addresses/AddressTableModel.h"
#include "addresses/ui/frmEDIT.h"
#include "addresses/ui/frmINPUT.h"
#include "archive/Session.h"
#include "common/AppContext.h"
#include "printing/PrinterSelection.h"
#include "settings/AppState.h"
#include "settings/Settings.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace velomar::test {

// Runs f on the modal window of type Form once it is shown; closes it if f did not.
template <class Form> void onModal(std::function<void(Form&)> f) {
    QTimer::singleShot(0, [f] {
        Form* form = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* candidate = qobject_cast<Form*>(w); candidate && candidate->isVisible())
                form = candidate;
        ASSERT_NE(form, nullptr);
        f(*form);
        if (form->isVisible())
            form->reject();
    });
}

// An open address grid on a temporary archive, with scripted dialogs and clean settings.
class GridFixture : public ::testing::Test {
protected:
    GridFixture() {
        QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
        // The print windows are not involved here: a selection without printers will do.
        ctx = std::make_unique<common::AppContext>(
            common::AppContext{state, dialogs, settings, session, printers});
    }
    ~GridFixture() override { closeGrid(); }

    void openGrid(const std::vector<AddressValues>& rows) {
        path = dir.filePath(QStringLiteral("Indirizzi.mdb"));
        if (!QFile::exists(path))
            makeArchive(path, rows);
        reopen();
    }
    void reopen() {
        state.currentArchivePath = path;
        grid = new addresses::frmEDIT(*ctx);
        ASSERT_TRUE(grid->load());
        grid->resize(1300, 700);
        grid->show();
    }
    void closeGrid() {
        if (grid) {
            grid->cmdChiudi_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    QTableView* view() const { return grid->controls().GRIGLIA; }
    archive::Recordset& rs() { return session.mainRs; }
    // Makes rows first..last (1-based) the selection, first row current.
    void selectRows(int first, int last) {
        auto* model = view()->model();
        view()->selectionModel()->setCurrentIndex(model->index(first - 1, 0),
                                                  QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
        view()->selectionModel()->select(
            QItemSelection(model->index(first - 1, 0), model->index(last - 1, 17)),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString cell(int row, int column) const {
        return view()->model()->index(row - 1, column).data().toString();
    }
    // The texts of the form's boxes.
    static QStringList texts(const addresses::frmINPUT& form, std::initializer_list<int> fields) {
        QStringList out;
        for (int f : fields)
            out << form.fieldText(f);
        return out;
    }
    // The stored value of field (or of an expression) in address nr.
    QString stored(const char* field, int nr) const { return storedColumn(path, field).at(nr - 1); }
    // The position and filter panels of the status bar.
    QStringList status() const { return {grid->statusText(3), grid->statusText(4)}; }
    void search(const QString& word) {
        dialogs.answerInput(word);
        grid->cmdTROVA_Click();
    }
    void sortBy(int index) {
        grid->controls().cboORDINAMENTO->setCurrentIndex(index);
        grid->cboORDINAMENTO_Click();
    }
    void searchOn(int index) {
        grid->controls().cboRICERCHE->setCurrentIndex(index);
        grid->cboRICERCHE_Click();
    }
    // Types any text, accented letters included, key by key.
    static void typeText(QWidget* box, const QString& text) {
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // Replaces a one-line box's text as a user would: enter it, select all, type.
    static void retype(QWidget* box, const QString& text) {
        box->setFocus();
        static_cast<QLineEdit*>(box)->selectAll();
        typeText(box, text);
    }
    // Enters the form's box field and types text into it.
    static void typeInto(addresses::frmINPUT& form, int field, const QString& text) {
        form.box(field)->setFocus();
        QTest::keyClicks(form.box(field), text);
    }
    // Runs the grid's command, with f acting on the entry form it opens.
    void withForm(void (addresses::frmEDIT::*command)(),
                  std::function<void(addresses::frmINPUT&)> f) {
        onModal<addresses::frmINPUT>(std::move(f));
        (grid.data()->*command)();
    }
    // Modifies the current address: one field set and confirmed.
    void modify(int field, const QString& text) {
        withForm(&addresses::frmEDIT::cmdModifica_Click, [&](addresses::frmINPUT& form) {
            form.setFieldText(field, text);
            form.cmdConferma_Click();
        });
    }

    QTemporaryDir dir;
    QString path;
    settings::AppState state;
    ScriptedDialogs dialogs;
    settings::Settings settings;
    archive::Session session;
    printing::PrinterSelection printers;
    std::unique_ptr<common::AppContext> ctx;
    QPointer<addresses::frmEDIT> grid;
};

} // namespace velomar::test
