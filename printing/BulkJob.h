#pragma once

#include "archive/AddressRecord.h"
#include "printing/BulkMailing.h"
#include "printing/SheetFormat.h"
#include "printing/StampaEtichette.h"

#include <QByteArray>
#include <QDate>
#include <QStringList>
#include <memory>
#include <vector>

namespace velomar::archive {
class Database;
}

namespace velomar::printing {

class Printer;

// The addresses of a bulk mailing in bundle order, read once from the archive; the
// window and velomar-batch bundles print the same labels and list from it.
class BulkJob {
public:
    // Every address whose GR is LIKE one of the codes; throws archive::DatabaseError.
    static BulkJob ofGroups(archive::Database& db, const QStringList& groups, const BulkRules& rules);
    // The addresses of the given NRs (the grid's selection).
    static BulkJob ofNumbers(archive::Database& db, const std::vector<qint64>& nrs, const BulkRules& rules);
    // Addresses already read (tests, the benchmark).
    BulkJob(std::vector<archive::AddressRecord> addresses, const BulkRules& rules);

    const std::vector<archive::AddressRecord>& addresses() const { return m_addresses; }
    const std::vector<Bundle>& bundles() const { return m_bundles; }
    const BulkRules& rules() const { return m_rules; }
    qint64 pieces() const { return qint64(m_addresses.size()); }

    struct Printed {
        qint64 labels = 0;  // addresses
        qint64 headers = 0; // bundle header labels
        LabelPosition next; // the place after the last label
        QStringList cutLabels;
    };
    // The labels in bundle order, each bundle after its header label when the rules ask
    // for one. Does not finish the job.
    Printed printLabels(Printer& printer, const LabelOptions& options, const SheetFormat& sheet,
                        LabelPosition start) const;
    // The labels the job takes on the sheet from start, headers and skipped places included.
    qint64 sheetsFor(const SheetFormat& sheet, LabelPosition start) const;

    // The addresses in bundle order, for the preview.
    std::unique_ptr<archive::AddressSource> source() const;
    // The print-shop reminder file of the job: its addresses by surname and first name.
    QByteArray reminder(const QDate& date, const QString& description) const;

private:
    std::vector<archive::AddressRecord> m_addresses;
    std::vector<Bundle> m_bundles;
    BulkRules m_rules;
};

} // namespace velomar::printing
