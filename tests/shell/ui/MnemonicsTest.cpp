#include "MainWindowFixture.h"

#include "addresses/EntryBuffer.h"
#include "addresses/ui/frmDOPPIONI.h"
#include "addresses/ui/frmEDIT.h"
#include "addresses/ui/frmINPUT.h"
#include "addresses/ui/frmSchedario.h"
#include "addresses/ui/frmVERIFICA.h"
#include "archive/SampleArchive.h"
#include "archive/ui/MainWindowHost.h"
#include "archive/ui/frmProprieta.h"
#include "archive/ui/frmProprietaGr.h"
#include "exchange/ui/frmESPORTA.h"
#include "exchange/ui/frmIMPORTA.h"
#include "groups/ui/frmEditGrp.h"
#include "groups/ui/frmGRUPPI.h"
#include "printing/ui/CalibrationDialog.h"
#include "printing/ui/CustomSheetDialog.h"
#include "printing/ui/frmImpostaStampante.h"
#include "printing/ui/frmRiepiloghi.h"
#include "printing/ui/frmSpedizioneBlocco.h"
#include "printing/ui/frmStampaLista.h"
#include "printing/ui/frmStampaSingola.h"
#include "printing/ui/frmStampaTipogr.h"
#include "shell/ui/frmAbout.h"
#include "shell/ui/frmOPT.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <map>

using namespace velomar;

namespace {

// "where Alt+C: &Compatta,&Chiudi" for each key that two of the texts claim ("&&" is a
// plain ampersand).
QStringList clashesAmong(const QString& where, const QStringList& texts) {
    std::map<QString, QStringList> owners;
    for (const QString& text : texts)
        if (const QKeySequence key = QKeySequence::mnemonic(text); !key.isEmpty())
            owners[key.toString()] << text;
    QStringList out;
    for (const auto& [key, claimed] : owners)
        if (claimed.size() > 1)
            out << where + u' ' + key + QStringLiteral(": ") + claimed.join(u',');
    return out;
}

// The controls of a window shown together (the main window's menus: frmMAINTest pins each
// caption).
QStringList clashes(QWidget* window) {
    QStringList texts;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            texts << b->text();
        else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
            texts << l->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            texts << g->title();
    }
    return clashesAmong(window->objectName(), texts);
}

class Mnemonics : public MainWindowFixture {};

} // namespace

TEST_F(Mnemonics, EveryWindowGivesEachAltKeyToOneControl) {
    ASSERT_TRUE(window->load());
    QStringList found;

    archive::ui::MainWindowHost host(*window);
    shell::ShellCommands shell(dialogs);
    auto* grid = new addresses::frmEDIT(*context);
    grid->setAttribute(Qt::WA_DeleteOnClose, false);
    std::vector<std::unique_ptr<QWidget>> windows;
    const auto add = [&](QWidget* w) { windows.emplace_back(w); };
    add(grid);
    addresses::EntryBuffer buffer;
    for (const QString& mode : {addresses::EntryBuffer::ModeNew, addresses::EntryBuffer::ModeModify,
                                addresses::EntryBuffer::ModeDelete}) {
        buffer.mode = mode;
        auto form = std::make_unique<addresses::frmINPUT>(*context, buffer, nullptr);
        form->cmdRip_Click(); // the repeat panel shows too
        windows.push_back(std::move(form));
    }
    add(new addresses::frmSchedario(*context, *grid, nullptr));
    QTemporaryDir sampleDir;
    const QString sample = sampleDir.filePath(QStringLiteral("Doppioni.mdb"));
    archive::SampleArchive::write(sample, 20, 1);
    archive::Database sampleDb(sample, archive::Database::Mode::ReadWrite);
    add(new addresses::frmDOPPIONI(dialogs, sampleDb, nullptr));
    add(new addresses::frmVERIFICA(*context, [](qint64) { return false; }));
    add(new archive::ui::frmProprieta(*context, host));
    add(new archive::ui::frmProprietaGr(*context, 3));
    add(new groups::frmGRUPPI(*context));
    add(new groups::frmEditGrp(dialogs, QStringLiteral("Nuovo Gruppo"), QString(), QString(),
                               nullptr));
    archive::ui::ListPrinterGrid access{[] { return QStringLiteral("Cognome"); },
                                        [] { return qint64(1); }, [] { return qint64(1); }};
    add(new printing::frmStampaSingola(*context));
    add(new printing::frmStampaTipogr(*context));
    add(new printing::frmSpedizioneBlocco(*context, std::vector<qint64>{1, 2}));
    add(new printing::frmImpostaStampante(printers, dialogs));
    add(new printing::ui::CalibrationDialog(dialogs, printers, QStringLiteral("File PDF"),
                                            printing::SheetFormat::standard()));
    add(new printing::ui::frmStampaLista(*context, access));
    add(new printing::ui::frmRiepiloghi(*context));
    add(new exchange::ui::frmESPORTA(*context, access));
    add(new exchange::ui::frmIMPORTA(*context));
    add(new shell::ui::frmOPT(*context));
    add(new printing::ui::CustomSheetDialog(dialogs, printing::SheetFormat::standard()));
    add(new shell::ui::frmAbout(*context, shell));
    for (const auto& w : windows)
        found << clashes(w.get());
    EXPECT_TRUE(found.isEmpty()) << found.join(u'\n').toStdString();
}

TEST_F(Mnemonics, AboutBoxClosesOnEnter) {
    shell::ShellCommands shell(dialogs);
    shell::ui::frmAbout about(*context, shell);
    about.show();
    QApplication::setActiveWindow(&about);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    EXPECT_EQ(QApplication::focusWidget(), about.findChild<QPushButton*>(QStringLiteral("cmdOK")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(dialogs.shown().empty()); // no system information box
}
