#include "printing/TestSheet.h"

#include "printing/PrinterCalibration.h"
#include "printing/PrinterSelection.h"
#include "settings/Settings.h"

#include <cmath>

namespace velomar::printing {

namespace {
constexpr double kTickMm = 1.5;      // every millimetre
constexpr double kTickFiveMm = 2.5;  // every 5
constexpr double kTickTenMm = 4.0;   // every 10, numbered
const PrintFont kRulerFont{QStringLiteral("Arial"), 5, false, false};
const PrintFont kHeadingFont{QStringLiteral("Arial"), 9, true, false};

double tickLength(int mm) {
    return mm % 10 == 0 ? kTickTenMm : mm % 5 == 0 ? kTickFiveMm : kTickMm;
}
} // namespace

TestSheet::TestSheet(SheetFormat sheet, LabelOptions options)
    : m_sheet(std::move(sheet)), m_options(options) {}

QString TestSheet::heading(const QString& printerName, const QDate& date, const QString& sheetName) {
    return QStringLiteral("Foglio di prova - %1 - %2 - %3")
        .arg(printerName, date.toString(QStringLiteral("dd/MM/yyyy")), sheetName);
}

QPointF TestSheet::crossAt(LabelPosition p) const {
    return m_sheet.textOrigin(p) + QPointF(m_options.leftOffsetMm, m_options.topOffsetMm);
}

void TestSheet::rulers(Printer& printer, QSizeF paper, QPointF origin) const {
    const QSizeF printable = printer.printableSize();
    printer.setFont(kRulerFont);
    // Rulers count millimetres from the paper's edges; they start where the printer reaches.
    const double top = 0, left = 0;
    const double middleY = paper.height() / 2 - origin.y();
    const double middleX = paper.width() / 2 - origin.x();
    printer.drawLine(0, top, printable.width(), top, LineWidthMm);
    printer.drawLine(0, middleY, printable.width(), middleY, LineWidthMm);
    printer.drawLine(left, 0, left, printable.height(), LineWidthMm);
    printer.drawLine(middleX, 0, middleX, printable.height(), LineWidthMm);
    for (int mm = int(std::ceil(origin.x())); mm - origin.x() <= printable.width(); ++mm) {
        const double x = mm - origin.x();
        const double len = tickLength(mm);
        printer.drawLine(x, top, x, top + len, LineWidthMm);
        printer.drawLine(x, middleY - len / 2, x, middleY + len / 2, LineWidthMm);
        if (mm % 10 == 0 && x > 2) {
            printer.setCurrentY(top + kTickTenMm);
            printer.setCurrentX(x + 0.3);
            printer.printText(QString::number(mm));
        }
    }
    for (int mm = int(std::ceil(origin.y())); mm - origin.y() <= printable.height(); ++mm) {
        const double y = mm - origin.y();
        const double len = tickLength(mm);
        printer.drawLine(left, y, left + len, y, LineWidthMm);
        printer.drawLine(middleX - len / 2, y, middleX + len / 2, y, LineWidthMm);
        if (mm % 10 == 0 && y > kTickTenMm + printer.lineHeight()) {
            printer.setCurrentY(y + 0.2);
            printer.setCurrentX(left + kTickTenMm + 0.3);
            printer.printText(QString::number(mm));
        }
    }
}

void TestSheet::print(Printer& printer, const QString& printerName, const QString& calibrationText,
                      const QDate& date) const {
    printer.setPaperSize(m_sheet.paperSize());
    printer.setOrientation(Orientation::Portrait);
    printer.setAutoPageBreak(false);
    printer.clearClip();
    const QPointF origin = printer.paperOrigin();
    const QSizeF paper = m_sheet.paperSize();

    for (int row = 1; row <= m_sheet.rows; ++row) {
        for (int column = 1; column <= m_sheet.columns; ++column) {
            const QRectF r = m_sheet.physicalLabel({row, column}).translated(-origin);
            printer.drawLine(r.left(), r.top(), r.right(), r.top(), LineWidthMm);
            printer.drawLine(r.right(), r.top(), r.right(), r.bottom(), LineWidthMm);
            printer.drawLine(r.right(), r.bottom(), r.left(), r.bottom(), LineWidthMm);
            printer.drawLine(r.left(), r.bottom(), r.left(), r.top(), LineWidthMm);
            const QPointF c = crossAt({row, column});
            printer.drawLine(c.x() - CrossArmMm, c.y(), c.x() + CrossArmMm, c.y(), LineWidthMm);
            printer.drawLine(c.x(), c.y() - CrossArmMm, c.x(), c.y() + CrossArmMm, LineWidthMm);
        }
    }
    rulers(printer, paper, origin);

    // The heading just under the middle ruler, left of the middle one.
    printer.setFont(kHeadingFont);
    const double x = kTickTenMm + 8;
    printer.setCurrentY(paper.height() / 2 - origin.y() + kTickTenMm);
    printer.setCurrentX(x);
    printer.printLine(heading(printerName, date, m_sheet.name));
    printer.setCurrentX(x);
    printer.printLine(QStringLiteral("Calibrazione: ") + calibrationText);
    printer.endDoc();
}

void TestSheet::printJob(PrinterSelection& printers, common::DialogService& dialogs) const {
    auto printer = printers.createPrinter(dialogs, PrinterSelection::Calibration::Applied);
    const QString name = printer->deviceName();
    const PrinterCalibration calibration = PrinterCalibration::load(settings::Settings(), name);
    print(*printer, name, calibration.isIdentity() ? QStringLiteral("nessuna") : calibration.text(),
          QDate::currentDate());
    printer->finishJob();
}

} // namespace velomar::printing
