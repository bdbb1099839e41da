#include "support/CommandRun.h"
#include "support/PrintContext.h"
#include "support/TestEnvironment.h"

#include "groups/ui/frmEditGrp.h"
#include "groups/ui/frmGRUPPI.h"
#include "printing/ui/PreviewWindow.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <QLineEdit>
#include <QTableWidget>
#include <QPushButton>

using namespace velomar;
using groups::frmGRUPPI;

namespace {

struct Context : test::PrintContext {
    Context() { QFile::copy(test::binaryPath("data/NewGruppi.sys"), dir.filePath("NewGruppi.sys")); }
};

QStringList codes(const frmGRUPPI& w) {
    QStringList list;
    for (int r = 0; r < w.GrdGRUPPI->rowCount(); ++r)
        list << w.GrdGRUPPI->item(r, 0)->text();
    return list;
}

} // namespace

TEST(frmGRUPPI, MissingArchiveCreatedThenAddChangeOrderDeletePrint) {
    Context c;
    std::deque<std::optional<frmGRUPPI::Edited>> answers;
    frmGRUPPI w(c.ctx);
    w.setPreviewOpener([&c](QWidget* parent, printing::JobPreview::Job job, std::function<void()> print) {
        printing::PreviewWindow::openJob(parent, c.ctx.printers, std::move(job), std::move(print));
    });
    w.setEditor([&answers](const QString&, const QString&, const QString&, qint64) {
        auto a = answers.front();
        answers.pop_front();
        return a;
    });
    ASSERT_TRUE(w.load());
    EXPECT_EQ(c.dialogs.messages().front(), "Archivio Gruppi non trovato !");
    EXPECT_TRUE(QFile::exists(c.dir.filePath("Gruppi.grp")));
    EXPECT_EQ(w.windowTitle(), "Gruppi (0)");

    w.cmdModifica_Click();
    EXPECT_EQ(c.dialogs.lastMessage(), "La lista dei Gruppi è vuota !");

    answers = {frmGRUPPI::Edited{"ZZ", "Zeta"}, frmGRUPPI::Edited{"AA", "Amici"},
               frmGRUPPI::Edited{"AA", "Doppione"}, frmGRUPPI::Edited{"B", "Corto"},
               std::nullopt};
    for (int i = 0; i < 5; ++i)
        w.cmdNuovo_Click();
    EXPECT_EQ(codes(w), (QStringList{"AA", "ZZ"}));
    EXPECT_EQ(w.windowTitle(), "Gruppi (2)");
    const auto msgs = c.dialogs.messages();
    EXPECT_EQ(msgs[msgs.size() - 2], "Gruppo esistente !");
    EXPECT_TRUE(msgs.back().startsWith("Il codice del Gruppo deve essere di 2 caratteri"));

    // Keeping a group's own code is allowed; taking another's is not.
    w.GrdGRUPPI->selectRow(0);
    answers = {frmGRUPPI::Edited{"AA", "Amici di famiglia"}, frmGRUPPI::Edited{"ZZ", "Furto"}};
    w.cmdModifica_Click();
    w.GrdGRUPPI->selectRow(0);
    w.cmdModifica_Click();
    EXPECT_EQ(w.GrdGRUPPI->item(0, 1)->text(), "Amici di famiglia");
    EXPECT_EQ(c.dialogs.lastMessage(), "Gruppo esistente !");

    w.cmdORD_Click();
    EXPECT_EQ(w.cmdORD->text(), "&Ordina per Gruppo");
    EXPECT_EQ(codes(w), (QStringList{"AA", "ZZ"})); // Amici < Zeta
    w.cmdORD_Click();
    EXPECT_EQ(w.cmdORD->text(), "&Ordina per Descrizione");

    // The preview shows the list's one page and closes without printing.
    const auto before = c.dialogs.messages().size();
    w.cmdAnteprima_Click();
    auto* preview = w.findChild<printing::PreviewWindow*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->pageCount(), 1);
    preview->cmdChiudi->click();
    EXPECT_TRUE(test::RecordingProvider::texts(c.events).isEmpty());
    EXPECT_EQ(c.dialogs.messages().size(), before);

    w.cmdStampa_Click();
    EXPECT_EQ(c.dialogs.lastMessage(), "Stampa completata.");
    EXPECT_TRUE(test::RecordingProvider::texts(c.events).contains("Totale 2"));
    EXPECT_TRUE(test::RecordingProvider::texts(c.events).contains("Amici di famiglia"));

    for (int i = 0; i < 2; ++i) {
        w.GrdGRUPPI->selectRow(0);
        w.cmdElimina_Click(); // scripted Yes
    }
    EXPECT_EQ(c.dialogs.messages()[c.dialogs.messages().size() - 1], "Eliminare il Gruppo\r\nZZ: Zeta ?");
    EXPECT_EQ(w.windowTitle(), "Gruppi (0)");
    EXPECT_EQ(w.GrdGRUPPI->rowCount(), 0);
    w.close();
    EXPECT_FALSE(c.session.groupsDb.isOpen());
}

TEST(frmGRUPPI, DamagedArchiveIsRefusedAndLeftAlone) {
    Context c;
    ASSERT_TRUE(test::writeFile(c.dir.filePath("Gruppi.grp"), "non sono un archivio"));
    frmGRUPPI w(c.ctx);
    EXPECT_FALSE(w.load());
    EXPECT_EQ(c.dialogs.lastMessage(), "Archivio non riconosciuto o corrotto !");
    EXPECT_EQ(test::fileBytes(c.dir.filePath("Gruppi.grp")), "non sono un archivio");
}

TEST(frmEditGrp, SingleLetterDoubledAndTakenCodeRefused) {
    test::ScriptedDialogs dialogs;
    groups::frmEditGrp edit(dialogs, "Nuovo Gruppo", "", "", [](const QString& c) { return c == "AA"; });
    QTest::keyClicks(edit.txtGRP, "b-");
    EXPECT_TRUE(edit.txtGRP_LostFocus());
    EXPECT_EQ(edit.code(), "BB");
    edit.txtGRP->setText("AA");
    EXPECT_FALSE(edit.txtGRP_LostFocus());
    EXPECT_EQ(dialogs.lastMessage(), "Gruppo esistente !");
    EXPECT_EQ(edit.code(), "");
    edit.cmdOK_Click(); // empty code refused
    EXPECT_TRUE(dialogs.lastMessage().startsWith("Il codice del Gruppo deve essere di 2 caratteri"));
    EXPECT_EQ(edit.result(), 0);
}
