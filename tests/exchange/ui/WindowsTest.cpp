#include "../WindowFixture.h"
#include "addresses/ui/frmEDIT.h"
#include "exchange/ui/frmESPORTA.h"
#include "exchange/ui/frmIMPORTA.h"
#include "shell/ui/ExchangeWindows.h"
#include "support/CommandRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

using namespace velomar;

using exchange::ui::frmESPORTA;
using exchange::ui::frmIMPORTA;
using Section = settings::Settings::FieldSection;

namespace {

archive::ui::ListPrinterGrid grid(qint64 top, qint64 count) {
    return {[] { return QStringLiteral("Nr."); }, [top] { return top; }, [count] { return count; }};
}

// Scripted answers, and something done to the files when a given question is shown.
class HookedDialogs : public test::ScriptedDialogs {
public:
    void onQuestion(const QString& start, std::function<void()> hook) {
        m_start = start;
        m_hook = std::move(hook);
    }
    common::MsgResult message(const QString& text, common::MsgIcon icon, common::MsgButtons buttons,
                              const QString& title, common::MsgResult defaultButton) override {
        if (m_hook && text.startsWith(m_start))
            std::exchange(m_hook, {})();
        return ScriptedDialogs::message(text, icon, buttons, title, defaultButton);
    }

private:
    QString m_start;
    std::function<void()> m_hook;
};

} // namespace

TEST(frmESPORTA, ExportsTheSelectionAndNeverOverwritesWithoutAsking) {
    test::WindowFixture f(5);
    f.settings.setFieldChoice(Section::Esporta, 2, 1);
    f.settings.setRangeChoice(Section::Esporta, 3);
    auto* w = new frmESPORTA(f.ctx(), grid(2, 2));
    EXPECT_EQ(w->choices->lblTotInd->text(), "2");
    EXPECT_TRUE(w->optFormato[0]->isChecked()); // the program's own text format

    const QString out = f.dir.filePath("sel.txt");
    f.dialogs.answerFile(" " + out + " ");
    w->choices->txtDESC->setText("Selezione");
    w->cmdEsporta_Click();
    EXPECT_EQ(f.dialogs.lastMessage(), "Esportazione terminata.");
    const QByteArray text = test::fileBytes(out);
    EXPECT_TRUE(text.contains("\r\nSelezione\r\n"));
    // Rows 2 and 3 of the grid as it shows them (NR order): the 4th and 3rd surname.
    EXPECT_TRUE(text.endsWith("Cognome04  \r\n" + QByteArray(70, '-') + "\r\nCognome03  \r\n" +
                              QByteArray(70, '-') + "\r\n"));
    EXPECT_EQ(f.settings.rangeChoice(Section::Esporta), 3);

    // The file exists: No leaves it as it was, with no closing message.
    f.dialogs.clear();
    f.dialogs.answerFile(out);
    f.dialogs.answerMessage(common::MsgResult::No);
    w->choices->OptInt[1]->setChecked(true);
    w->cmdEsporta_Click();
    EXPECT_EQ(f.dialogs.messages(), std::vector<QString>{"Il file sel.txt esiste già.\nLo si vuole sovrascrivere ?"});
    EXPECT_EQ(test::fileBytes(out), text);

    // A folder as the name: the failure is told and nothing is left behind.
    f.dialogs.answerFile(f.dir.path());
    w->cmdEsporta_Click();
    EXPECT_TRUE(f.dialogs.lastMessage().startsWith("Impossibile scrivere su"));

    // The open archive itself (another spelling of it): refused before the overwrite
    // question, the archive untouched.
    const QByteArray archive = test::fileBytes(f.state.currentArchivePath);
    f.dialogs.clear();
    f.dialogs.answerFile(f.dir.path() + "/./attuale.mdb");
    w->cmdEsporta_Click();
    ASSERT_EQ(f.dialogs.messages().size(), 1u);
    EXPECT_TRUE(f.dialogs.lastMessage().contains("è l'archivio in uso.")) << f.dialogs.lastMessage().toStdString();
    EXPECT_EQ(test::fileBytes(f.state.currentArchivePath), archive);

    // Cancelling writes nothing; no field ticked is refused.
    f.dialogs.clear();
    w->cmdEsporta_Click();
    EXPECT_TRUE(f.dialogs.messages().empty());
    w->choices->ckCampo[2]->setChecked(false);
    w->cmdEsporta_Click();
    EXPECT_EQ(f.dialogs.lastMessage(), "Selezionare almeno un Campo !");

    // CSV and vCard, of the whole archive by surname: no description, their own file kinds.
    for (int i = 0; i < 17; ++i)
        w->choices->ckCampo[std::size_t(i)]->setChecked(i == 2 || i == 7);
    w->choices->OptInt[1]->setChecked(true);
    w->optFormato[1]->setChecked(true);
    EXPECT_FALSE(w->choices->txtDESC->isEnabled());
    const QString csv = f.dir.filePath("lista.csv");
    f.dialogs.answerFile(csv);
    w->cmdEsporta_Click();
    EXPECT_EQ(f.dialogs.lastMessage(), "Esportazione terminata.");
    EXPECT_EQ(test::fileBytes(csv), QByteArray("\xEF\xBB\xBF") +
                                        "COGNOME,CITTA\r\nCognome01,Roma\r\nCognome02,Milano\r\n"
                                        "Cognome03,Roma\r\nCognome04,Milano\r\nCognome05,Roma\r\n");
    w->optFormato[2]->setChecked(true);
    const QString vcf = f.dir.filePath("lista.vcf");
    f.dialogs.answerFile(vcf);
    w->cmdEsporta_Click();
    EXPECT_TRUE(
        test::fileBytes(vcf).startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Cognome01;;;;\r\n"));
    delete w;
}

// The delete asked after the copy is done only when the source is writable and the open
// archive is still in place.
TEST(frmIMPORTA, ChecksCopiesAndMovesAGroup) {
    test::WindowFixture f(2);
    HookedDialogs dialogs;
    common::AppContext ctx{f.state, dialogs, f.settings, f.session, f.printers};
    const auto makeSource = [&](const QString& name) {
        const QString path =
            test::createTestArchive(f.dir.filePath(name), {"Importato", "Importato"}, "AB");
        test::fillArchive(path, {"Importato", "Importato"}, "");
        return path;
    };
    const QString source = makeSource("origine.mdb");
    frmIMPORTA w(ctx);
    w.show();
    w.cmdImporta_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Selezionare il File da cui importare i Dati !");
    w.txtFILE->setText(f.dir.path() + "/./attuale.mdb");
    w.cmdImporta_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Impossibile importare i Dati dall'Archivio attuale !");
    w.txtFILE->setText(source);
    w.cmdImporta_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Selezionare un Gruppo !");

    // Typing: small letters become capitals, other keys are dropped, one character doubles.
    w.txtGRUPPO->setFocus();
    QTest::keyClicks(w.txtGRUPPO, "-a");
    EXPECT_EQ(w.txtGRUPPO->text(), "A");
    w.txtGRUPPO_LostFocus();
    EXPECT_EQ(w.txtGRUPPO->text(), "AA");
    w.cmdImporta_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Nessun Indirizzo da Importare con Gruppo AA !");

    w.txtGRUPPO->setText("AB");
    dialogs.clear();
    dialogs.answerMessage(common::MsgResult::Yes); // import 2
    dialogs.answerMessage(common::MsgResult::Yes); // delete them from the source
    w.cmdImporta_Click();
    EXPECT_EQ(
        dialogs.messages(),
        (std::vector<QString>{"Verranno importati 2 Indirizzi con Gruppo AB !\nContinuare ?",
                              "Importazione Dati terminata.\nCancellare gli Indirizzi importati\n"
                              "dall'Archivio di origine ?",
                              "Cancellazione terminata."}));
    w.cmdChiudi_Click();
    EXPECT_EQ(f.state.archiveCount, 4);
    EXPECT_EQ(test::countIn(source), 2);

    // A read-only source is read and copied; the delete asked afterwards is refused.
    const QString readOnly = makeSource("sola-lettura.mdb");
    w.txtFILE->setText(readOnly);
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    dialogs.answerMessage(common::MsgResult::Yes);
    dialogs.answerMessage(common::MsgResult::Yes);
    w.cmdImporta_Click();
    EXPECT_TRUE(dialogs.lastMessage().startsWith("L'archivio di origine è in sola lettura"));
    EXPECT_EQ(test::countAddresses(f.session.mainDb), 6);
    EXPECT_EQ(test::countIn(readOnly), 4);

    // The open archive replaced by another file before the delete: the source keeps all.
    const QString second = makeSource("seconda.mdb");
    w.txtFILE->setText(second);
    const QString other = test::createTestArchive(f.dir.filePath("altro.mdb"));
    dialogs.clear();
    dialogs.answerMessage(common::MsgResult::Yes);
    dialogs.answerMessage(common::MsgResult::Yes);
    dialogs.onQuestion("Importazione Dati terminata.", [&] {
        ASSERT_EQ(::rename(QFile::encodeName(other).constData(),
                           QFile::encodeName(f.state.currentArchivePath).constData()),
                  0);
    });
    w.cmdImporta_Click();
    EXPECT_TRUE(dialogs.lastMessage().startsWith("L'archivio di destinazione è stato spostato"));
    EXPECT_EQ(test::countIn(second), 4);
}

TEST(ExchangeWindows, ExportGoesWithTheGridAndImportReloadsIt) {
    test::WindowFixture f(3);
    auto* grid = new addresses::frmEDIT(f.ctx());
    grid->setArchiveOpener([](common::AppContext&) {}); // the fixture opened it already
    ASSERT_TRUE(grid->load());
    QPointer<addresses::frmEDIT> alive(grid);

    // Import 2 addresses: the grid then shows 5 rows.
    const QString source =
        test::createTestArchive(f.dir.filePath("origine.mdb"), {"Nuovo", "Nuovo"});
    f.dialogs.answerMessage(common::MsgResult::Yes); // import
    f.dialogs.answerMessage(common::MsgResult::No);  // keep the source
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<exchange::ui::frmIMPORTA*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        w->txtFILE->setText(source);
        w->txtGRUPPO->setText("*"); // everything, the addresses without a group included
        w->cmdImporta_Click();
        w->cmdChiudi_Click();
    });
    shell::ui::ExchangeWindows::openImport(f.ctx(), grid, nullptr);
    EXPECT_EQ(f.state.archiveCount, 5);
    EXPECT_EQ(f.state.displayedCount, 5);
    EXPECT_EQ(f.session.mainRs.recordCount(), 5);
    EXPECT_EQ(f.dialogs.messages().front(), "Verranno importati 2 Indirizzi !\nContinuare ?");
    EXPECT_EQ(test::countIn(source), 2); // No kept the source

    shell::ui::ExchangeWindows::openExport(f.ctx(), grid, nullptr);
    QPointer<QWidget> exportWindow;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<exchange::ui::frmESPORTA*>(w))
            exportWindow = w;
    ASSERT_FALSE(exportWindow.isNull());
    grid->cmdChiudi_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(exportWindow.isNull()); // no window left reading a closed record set
}
