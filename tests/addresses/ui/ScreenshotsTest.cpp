// Pictures of the address windows for a human to look at: run with VELOMAR_SCREENSHOTS
// set to a folder (scripts/screenshots does it); skipped otherwise.
#include "GridFixture.h"

#include "addresses/ui/frmSchedario.h"
#include "archive/SampleArchive.h"

#include <QDir>
#include <QPixmap>

using namespace velomar;

namespace {

class Screenshots : public test::GridFixture {
protected:
    void SetUp() override {
        out = qEnvironmentVariable("VELOMAR_SCREENSHOTS");
        if (out.isEmpty())
            GTEST_SKIP() << "VELOMAR_SCREENSHOTS not set";
        QDir().mkpath(out);
        path = dir.filePath(QStringLiteral("Indirizzi.mdb"));
        archive::SampleArchive::write(path, 2500, 7);
    }
    void save(QWidget* w, const QString& name) {
        QApplication::processEvents();
        ASSERT_TRUE(w->grab().save(out + u'/' + name));
    }
    QString out;
};

} // namespace

TEST_F(Screenshots, GridEntryFormAndCard) {
    reopen();
    for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
        const QString tag = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
        // The grid fills the main window's work area (menu and status bar take ~70 px).
        grid->resize(screen.width() - 16, screen.height() - 110);
        selectRows(3, 5);
        save(grid, QStringLiteral("grid-%1.png").arg(tag));
        grid->optLett_Click('M');
        save(grid, QStringLiteral("grid-filter-%1.png").arg(tag));
        grid->RimuoviFiltro();

        addresses::EntryBuffer buffer;
        buffer.mode = addresses::EntryBuffer::ModeModify;
        for (int i = 0; i < 17; ++i)
            buffer.fields[i] = rs().text(i);
        addresses::frmINPUT form(*ctx, buffer, {});
        form.show();
        save(&form, QStringLiteral("input-modify-%1.png").arg(tag));
        form.cmdEsci_Click();
        buffer.mode = addresses::EntryBuffer::ModeNew;
        addresses::frmINPUT fresh(*ctx, buffer, {});
        fresh.show();
        fresh.cmdRip_Click();
        save(&fresh, QStringLiteral("input-new-%1.png").arg(tag));
        fresh.cmdEsci_Click();

        auto* card = new addresses::frmSchedario(*ctx, *grid, {});
        card->show();
        save(card, QStringLiteral("card-%1.png").arg(tag));
        card->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
