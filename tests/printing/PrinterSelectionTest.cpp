#include "support/ScriptedDialogs.h"

#include "printing/PdfPrinter.h"
#include "printing/PrinterError.h"
#include "printing/PrinterSelection.h"
#include "printing/RecordingPrinter.h"

#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;

namespace {

// System printers as a test wants them; the list can change under the selection.
class FakeProvider : public PrinterProvider {
public:
    explicit FakeProvider(std::vector<PrinterEntry>* list) : m_list(list) {}
    QString id() const override { return QStringLiteral("system"); }
    std::vector<PrinterEntry> printers() const override { return *m_list; }
    std::unique_ptr<Printer> create(const PrinterEntry& e, common::DialogService&) override {
        return std::make_unique<RecordingPrinter>(e.deviceName);
    }

private:
    std::vector<PrinterEntry>* m_list;
};

// The code the selection refuses to create a printer with, -1 when it creates one.
int refusalCode(PrinterSelection& selection, common::DialogService& dialogs) {
    try {
        selection.createPrinter(dialogs);
    } catch (const PrinterError& e) {
        return e.code();
    }
    return -1;
}

} // namespace

TEST(PrinterSelection, DefaultFirstChoiceKeptAndVanishedPrinterIsCodeFive) {
    test::ScriptedDialogs dialogs;
    EXPECT_EQ(PrinterSelection().currentName(), "");
    std::vector<PrinterEntry> system{{"Ufficio", "system", false},
                                     {"Laser", "system", true},
                                     {"Ufficio", "system", false}};
    PrinterSelection selection;
    selection.addProvider(std::make_unique<FakeProvider>(&system));
    selection.addProvider(std::make_unique<PdfPrinterProvider>());
    ASSERT_EQ(selection.printers().size(), 4u);
    EXPECT_EQ(selection.printers().back().deviceName, PdfPrinter::defaultName());
    EXPECT_EQ(selection.currentName(), "Laser");

    EXPECT_TRUE(selection.selectByName("Ufficio"));
    EXPECT_EQ(*selection.current(), system[0]); // the first of the same name
    EXPECT_FALSE(selection.selectByName("Nessuna"));
    EXPECT_EQ(selection.currentName(), "Ufficio");
    EXPECT_EQ(selection.createPrinter(dialogs)->deviceName(), "Ufficio");

    system.clear(); // unplugged
    EXPECT_EQ(refusalCode(selection, dialogs), PrinterError::NoPrinter);
}
