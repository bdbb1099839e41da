#pragma once

#include "archive/AddressRecord.h"
#include "printing/Printer.h"
#include "printing/PrinterError.h"

#include <QPointF>
#include <QSizeF>
#include <ostream>
#include <vector>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) { *os << "\"" << text.toStdString() << "\""; }

namespace velomar::test {

class ListSource : public archive::AddressSource {
public:
    explicit ListSource(std::vector<archive::AddressRecord> rows) : m_rows(std::move(rows)) {}
    qint64 count() const { return qint64(m_rows.size()); }
    bool next(archive::AddressRecord& record) {
        if (m_pos >= m_rows.size())
            return false;
        record = m_rows[m_pos++];
        return true;
    }

private:
    std::vector<archive::AddressRecord> m_rows;
    std::size_t m_pos = 0;
};

// (Methods carry no "override": the fake compiles against the printer interface as
// it grows.) Records each printed line with its page, position and font; a character is
// 0.2 mm per point wide, a line 0.5 mm per point high.
class ListRecordingPrinter : public printing::Printer {
public:
    struct Line {
        int page;
        double x, y;
        QString text;
        printing::PrintFont font;
    };
    std::vector<Line> lines;
    printing::Orientation m_orientation = printing::Orientation::Portrait;
    int docs = 0;
    int aborts = 0;
    int failAtLine = -1; // throws 482 when this line is printed

    QString deviceName() const { return QStringLiteral("Prova"); }
    void setOrientation(printing::Orientation o) { m_orientation = o; }
    printing::Orientation orientation() const { return m_orientation; }
    void setFont(const printing::PrintFont& f) { m_font = f; }
    printing::PrintFont font() const { return m_font; }
    double currentX() const { return m_x; }
    double currentY() const { return m_y; }
    void setCurrentX(double mm) { m_x = mm; }
    void setCurrentY(double mm) { m_y = mm; }
    void printLine(const QString& text) {
        if (failAtLine == int(lines.size()))
            throw printing::PrinterError(printing::PrinterError::Problem, "carta inceppata");
        const double height = pageHeight();
        if (m_y + lineHeight() > height) {
            ++m_page;
            m_y = 0;
        }
        const double x = m_pending.isEmpty() ? m_x : m_lineX;
        lines.push_back({m_page, x, m_y, m_pending + text, m_font});
        m_pending.clear();
        m_x = m_lineX = 0;
        m_y += lineHeight();
    }
    void printText(const QString& text) {
        if (m_pending.isEmpty())
            m_lineX = m_x;
        m_pending += text;
        m_x += textWidth(text);
    }
    void moveToColumn(int column) {
        // Pad the pending text so the recorded line shows where the column starts.
        const int chars = int(m_pending.size());
        if (column - 1 > chars)
            m_pending += QString(column - 1 - chars, QLatin1Char(' '));
        m_x = (column - 1) * m_font.pointSize * 0.2;
    }
    double textWidth(const QString& text) const {
        return double(text.size()) * m_font.pointSize * 0.2;
    }
    double lineHeight() const { return m_font.pointSize * 0.5; }
    void setClip(double, double, double, double) {}
    void clearClip() {}
    // The printer layer grows: these keep the fake usable whichever of its versions.
    QPointF paperOrigin() const { return {}; }
    void newPage() { ++m_page; m_y = 0; }
    void setAutoPageBreak(bool) {}
    double pageHeight() const { return m_orientation == printing::Orientation::Portrait ? 287 : 200; }
    double pageWidth() const { return m_orientation == printing::Orientation::Portrait ? 200 : 287; }
    QSizeF printableSize() const { return {pageWidth(), pageHeight()}; }
    void endDoc() { ++docs; }
    void abortDoc() { ++aborts; }

    std::vector<QString> texts() const {
        std::vector<QString> out;
        for (const auto& l : lines)
            out.push_back(l.text);
        return out;
    }

private:
    printing::PrintFont m_font;
    double m_x = 0, m_y = 0, m_lineX = 0;
    int m_page = 1;
    QString m_pending;
};

} // namespace velomar::test
