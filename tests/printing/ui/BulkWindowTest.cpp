#include "support/RecordingProvider.h"
#include "support/ScriptedDialogs.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveFormat.h"
#include "archive/Session.h"
#include "archive/Statement.h"
#include "common/AppContext.h"
#include "printing/PrinterSelection.h"
#include "printing/RecordingPrinter.h"
#include "printing/ui/frmSpedizioneBlocco.h"
#include "settings/AppState.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;

TEST(frmSpedizioneBlocco, GroupsOrSelectionToLabelsListReminderAndCsv) {
    QTemporaryDir dir;
    settings::AppState state;
    test::ScriptedDialogs dialogs;
    settings::Settings store;
    archive::Session session;
    PrinterSelection printers;
    std::vector<RecordingPrinter::Event> events;
    common::AppContext ctx{state, dialogs, store, session, printers};
    state.stampeTipDir = dir.path();
    state.senders.sender1 = {"Circolo Velico", "Via Lago 1", "", "", "", ""};
    printers.addProvider(std::make_unique<test::RecordingProvider>("Laser", &events));
    const QString path = dir.filePath("prova.mdb");
    archive::ArchiveFormat::createEmpty(path, archive::ArchiveKind::Addresses);
    session.mainDb = archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                                archive::ArchiveFile::Access::ReadWrite);
    // 12 pieces at 20121 (group AA), 3 at 00100 (group BB).
    for (int i = 0; i < 15; ++i) {
        archive::Statement st(
            session.mainDb, "INSERT INTO TabMAIL (COGNOME, INDIRIZZO, CAP, CITTA, PROV, GR, SERV) "
                            "VALUES (?, 'Via Po, 3', ?, ?, ?, ?, 0)");
        st.bindText(1, QStringLiteral("Rossi%1").arg(i)).bindText(2, i < 12 ? "20121" : "00100");
        st.bindText(3, i < 12 ? "Milano" : "Roma")
            .bindText(4, i < 12 ? "MI" : "RM")
            .bindText(5, i < 12 ? "AA" : "BB");
        st.exec();
    }
    const auto lines = [&events] {
        QStringList t;
        for (const auto& e : events)
            if (e.kind == RecordingPrinter::Event::Kind::Line)
                t << e.text;
        return t;
    };

    frmSpedizioneBlocco w(ctx, {13, 14});
    EXPECT_TRUE(w.chkPOSTALE->isChecked());
    EXPECT_EQ(w.spnMINIMO->value(), 10);
    // The chosen sheet first; another sheet gives its own rows and columns to the start label.
    EXPECT_TRUE(w.cboFOGLIO->currentText().startsWith("A4 3x8 70x36 ")) << w.cboFOGLIO->currentText().toStdString();
    EXPECT_EQ(w.spnRIGA->maximum(), 8);
    w.cboFOGLIO->setCurrentIndex(w.cboFOGLIO->findText("A4 4x10", Qt::MatchStartsWith));
    EXPECT_EQ(w.spnRIGA->maximum(), 10);
    EXPECT_EQ(w.spnCOLONNA->maximum(), 4);
    w.cboFOGLIO->setCurrentIndex(w.cboFOGLIO->findText("A4 3x8 70x36", Qt::MatchStartsWith));
    w.cmdStampa_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Selezionare un Gruppo !");

    w.txtGRUPPI->setText("aa, bb");
    w.txtPRODOTTO->setText("Posta Target");
    dialogs.answerMessage(common::MsgResult::Ok);
    dialogs.answerInput(QStringLiteral("blocco"));
    w.cmdStampa_Click();
    EXPECT_TRUE(dialogs.lastMessage().startsWith("Stampa terminata.\r\nMazzetti: 2, pezzi: 15."))
        << dialogs.lastMessage().toStdString();
    const QStringList printed = lines();
    ASSERT_GE(printed.size(), 4);
    EXPECT_EQ(printed[0], "MAZZETTO 1");
    EXPECT_EQ(printed[1], "CAP 20121 MILANO");
    EXPECT_EQ(printed[2], "12 pezzi");
    EXPECT_TRUE(printed.contains("VIA PO 3"));
    EXPECT_TRUE(printed.contains("20121 MILANO MI"));
    EXPECT_TRUE(QFile::exists(dir.filePath("blocco.txt")));
    QFile csv(dir.filePath("blocco_distinta.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().contains("1;20121;MILANO;12\r\n2;RESTO D'ITALIA;;3\r\n"));

    // The grid's selection alone: two addresses, one bundle.
    events.clear();
    w.chkSELEZIONE->setChecked(true);
    EXPECT_FALSE(w.txtGRUPPI->isEnabled());
    dialogs.answerMessage(common::MsgResult::Ok);
    dialogs.answerInput(QStringLiteral("scelti"));
    w.cmdStampa_Click();
    EXPECT_TRUE(dialogs.lastMessage().startsWith("Stampa terminata.\r\nMazzetti: 1, pezzi: 2."));
}
