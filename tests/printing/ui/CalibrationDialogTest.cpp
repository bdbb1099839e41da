#include "support/RecordingProvider.h"
#include "support/ScriptedDialogs.h"

#include "printing/PrinterCalibration.h"
#include "printing/PrinterSelection.h"
#include "printing/ui/CalibrationDialog.h"
#include "printing/ui/CalibrationView.h"
#include "printing/ui/frmImpostaStampante.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;

TEST(CalibrationDialog, SavesOnlyItsPrinterRefusesOneGoneAndDrawsTheLabelsMoved) {
    test::ScriptedDialogs dialogs;
    std::vector<RecordingPrinter::Event> events;
    PrinterSelection printers;
    printers.addProvider(std::make_unique<test::RecordingProvider>("Laser", &events));
    printers.addProvider(std::make_unique<test::RecordingProvider>("Ufficio", &events, false));
    settings::Settings store;
    const PrinterCalibration office{0.5, 0.5, 100.5, 100.5};
    office.save(store, QStringLiteral("Ufficio"));

    {
        ui::CalibrationDialog w(dialogs, printers, QStringLiteral("Laser"), SheetFormat::standard());
        EXPECT_TRUE(w.values().isIdentity()); // never calibrated
        const QRectF before = w.picEtichette->movedLabelRect(24);
        w.txtSpostamentoX->setValue(2.3);
        w.txtSpostamentoY->setValue(-1.4);
        w.txtScalaY->setValue(99.25);
        // The last label moves right and up in the drawing.
        const QRectF after = w.picEtichette->movedLabelRect(24);
        EXPECT_GT(after.left(), before.left());
        EXPECT_LT(after.top(), before.top());
        EXPECT_TRUE(w.cmdSalva_Click());
    }
    EXPECT_EQ(PrinterCalibration::load(store, QStringLiteral("Laser")), (PrinterCalibration{2.3, -1.4, 100, 99.25}));
    EXPECT_EQ(PrinterCalibration::load(store, QStringLiteral("Ufficio")), office);
    {
        // Opens on the stored values; "Azzera" and "Salva" leave the printer without any.
        ui::CalibrationDialog w(dialogs, printers, QStringLiteral("Ufficio"), SheetFormat::standard());
        EXPECT_EQ(w.values(), office);
        w.cmdAzzera_Click();
        EXPECT_TRUE(w.cmdSalva_Click());
    }
    EXPECT_FALSE(PrinterCalibration::isStored(store, QStringLiteral("Ufficio")));
    {
        ui::CalibrationDialog w(dialogs, printers, QStringLiteral("Sparita"), SheetFormat::standard());
        w.txtSpostamentoX->setValue(1);
        EXPECT_FALSE(w.cmdSalva_Click());
        EXPECT_TRUE(dialogs.lastMessage().contains(QStringLiteral("\"Sparita\" non è più disponibile")));
    }
    EXPECT_FALSE(PrinterCalibration::isStored(store, QStringLiteral("Sparita")));

    // The printer window's test sheet goes to the chosen printer with its calibration.
    frmImpostaStampante window(printers, dialogs);
    ASSERT_FALSE(window.cmdProva->isHidden());
    window.cmdProva->click();
    const QStringList printed = test::RecordingProvider::texts(events);
    ASSERT_TRUE(printed.size() > 2);
    EXPECT_TRUE(printed[printed.size() - 2].startsWith(QStringLiteral("Foglio di prova - Laser - ")));
    EXPECT_TRUE(printed.last().contains(QStringLiteral("orizzontale +2,3 mm")));
    const double plainX = 8 + 4; // the heading's left edge in the layout
    const QPointF origin(25.4 / 6, 25.4 / 6);
    const PrinterCalibration laser = PrinterCalibration::load(store, QStringLiteral("Laser"));
    const auto heading = std::find_if(events.begin(), events.end(), [](const RecordingPrinter::Event& e) {
        return e.text.startsWith(QStringLiteral("Foglio di prova"));
    });
    ASSERT_NE(heading, events.end());
    EXPECT_NEAR(heading->x, laser.apply(QPointF(plainX, 0) + origin).x() - origin.x(), 1e-9);
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("Stampa terminata."));
    PrinterCalibration::reset(store, QStringLiteral("Laser"));
}
