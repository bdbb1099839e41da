#pragma once

#include "printing/PrinterError.h"
#include "printing/PrinterSelection.h"
#include "printing/RecordingPrinter.h"

#include <QMarginsF>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace velomar::test {

// Lists one printer and hands out recording printers whose events are copied to *out
// when a job's printer goes away, so they outlive the job.
class RecordingProvider : public printing::PrinterProvider {
public:
    using Event = printing::RecordingPrinter::Event;

    RecordingProvider(QString name, std::vector<Event>* out, bool systemDefault = true, QString id = {})
        : m_name(std::move(name)), m_id(id.isEmpty() ? m_name : std::move(id)), m_out(out),
          m_default(systemDefault) {}

    std::optional<QMarginsF> margins; // the base provider's when unset
    int failAt = -1;                  // the call on which a job's printer fails (cancelled)

    QString id() const override { return m_id; }
    std::vector<printing::PrinterEntry> printers() const override { return {{m_name, m_id, m_default}}; }
    std::unique_ptr<printing::Printer> create(const printing::PrinterEntry&, common::DialogService&) override {
        auto p = std::make_unique<Kept>(m_out);
        if (failAt >= 0)
            p->failAt(failAt, printing::PrinterError::Cancelled);
        return p;
    }
    QMarginsF printableMargins(const printing::PrinterEntry& e, printing::Orientation o) const override {
        return margins ? *margins : PrinterProvider::printableMargins(e, o);
    }

    // The printed texts, in order, as RecordingPrinter::printedTexts gives them.
    static QStringList texts(const std::vector<Event>& events) {
        QStringList t;
        for (const Event& e : events)
            if (e.kind == Event::Kind::Line || e.kind == Event::Kind::Text)
                t << e.text;
        return t;
    }

private:
    struct Kept : printing::RecordingPrinter {
        explicit Kept(std::vector<Event>* out) : m_out(out) {}
        ~Kept() override { *m_out = events(); }
        std::vector<Event>* m_out;
    };

    QString m_name;
    QString m_id;
    std::vector<Event>* m_out;
    bool m_default;
};

} // namespace velomar::test
