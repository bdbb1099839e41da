#include "printing/BulkJob.h"

#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "archive/RecordsetAddressSource.h"
#include "printing/Printer.h"
#include "printing/ReminderFile.h"

#include <algorithm>

#include <QJsonArray>
#include <QJsonDocument>
#include <unordered_map>

namespace velomar::printing {

namespace {

class VectorSource : public archive::AddressSource {
public:
    explicit VectorSource(const std::vector<archive::AddressRecord>& records) : m_records(records) {}
    qint64 count() const override { return qint64(m_records.size()); }
    bool next(archive::AddressRecord& record) override {
        if (m_next >= m_records.size())
            return false;
        record = m_records[m_next++];
        return true;
    }
    bool restart() override {
        m_next = 0;
        return true;
    }

private:
    const std::vector<archive::AddressRecord>& m_records;
    std::size_t m_next = 0;
};

std::vector<archive::AddressRecord> read(archive::Database& db, const QString& where, const QVariantList& params) {
    const QString select = QStringLiteral("SELECT %1 FROM TabMAIL WHERE %2")
                               .arg(archive::DataModel::printColumns().join(QStringLiteral(", ")), where);
    const archive::Recordset rs = archive::Recordset::open(db, select, archive::LockType::ReadOnly, params);
    archive::RecordsetAddressSource source(rs);
    std::vector<archive::AddressRecord> list;
    list.reserve(std::size_t(source.count()));
    archive::AddressRecord record;
    while (source.next(record))
        list.push_back(record);
    return list;
}

} // namespace

BulkJob::BulkJob(std::vector<archive::AddressRecord> addresses, const BulkRules& rules)
    : m_addresses(std::move(addresses)), m_rules(rules) {
    m_bundles = BulkMailing::arrange(m_addresses, m_rules);
}

BulkJob BulkJob::ofGroups(archive::Database& db, const QStringList& groups, const BulkRules& rules) {
    QStringList likes;
    QVariantList params;
    for (const QString& g : groups) {
        likes << QStringLiteral("GR LIKE ?");
        params << g;
    }
    return BulkJob(read(db, likes.isEmpty() ? QStringLiteral("1") : likes.join(QStringLiteral(" OR ")), params),
                   rules);
}

BulkJob BulkJob::ofNumbers(archive::Database& db, const std::vector<qint64>& nrs, const BulkRules& rules) {
    QJsonArray list;
    for (qint64 nr : nrs)
        list.append(nr);
    return BulkJob(read(db, QStringLiteral("NR IN (SELECT value FROM json_each(?))"),
                        {QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact))}),
                   rules);
}

std::unique_ptr<archive::AddressSource> BulkJob::source() const {
    return std::make_unique<VectorSource>(m_addresses);
}

QByteArray BulkJob::reminder(const QDate& date, const QString& description) const {
    std::vector<archive::AddressRecord> bySurname = m_addresses;
    std::stable_sort(bySurname.begin(), bySurname.end(), [](const auto& a, const auto& b) {
        if (const int c = a[2].compare(b[2], Qt::CaseInsensitive))
            return c < 0;
        return a[3].compare(b[3], Qt::CaseInsensitive) < 0;
    });
    VectorSource source(bySurname);
    return ReminderFile::compose(ReminderFile::shopHeader(), date, description, source);
}

BulkJob::Printed BulkJob::printLabels(Printer& printer, const LabelOptions& options, const SheetFormat& sheet,
                                      LabelPosition start) const {
    std::unordered_map<qint64, const Bundle*> starts;
    if (m_rules.headers)
        for (const Bundle& b : m_bundles)
            starts.emplace(b.first, &b);
    StampaEtichette engine(printer, options, sheet);
    engine.setInsert([&](qint64 index) {
        const auto it = starts.find(index);
        return it == starts.end() ? QStringList() : it->second->headerTexts();
    });
    VectorSource source(m_addresses);
    engine.print(source, start);
    return {engine.labelsPrinted(), engine.insertsPrinted(), start, engine.cutLabels()};
}

qint64 BulkJob::sheetsFor(const SheetFormat& sheet, LabelPosition start) const {
    if (m_addresses.empty())
        return 0;
    const int perSheet = sheet.labelsPerSheet();
    qint64 place = sheet.sheetIndex(start) - 1; // labels used so far, from the first sheet's start
    for (const Bundle& b : m_bundles) {
        if (m_rules.headers) {
            if (perSheet > 1 && place % perSheet == perSheet - 1)
                ++place;
            ++place;
        }
        place += b.pieces;
    }
    return (place + perSheet - 1) / perSheet;
}

} // namespace velomar::printing
