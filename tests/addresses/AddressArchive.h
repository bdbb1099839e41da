#pragma once

// Small archives for the address tests, made from the program's own empty archive.
#include "support/ArchiveFixture.h"
#include "archive/ArchiveFile.h"
#include "archive/SampleArchive.h"
#include "archive/Transaction.h"

#include <QTemporaryDir>
#include <map>

namespace velomar::test {

using AddressValues = std::map<QString, QString>; // field name -> text

inline void insertAddress(archive::Database& db, const AddressValues& values) {
    QStringList fields;
    QStringList marks;
    for (const auto& [name, text] : values) {
        fields << name;
        marks << QStringLiteral("?");
    }
    archive::Statement st(db, QStringLiteral("INSERT INTO TabMAIL (%1) VALUES (%2)")
                                  .arg(fields.join(u','), marks.join(u',')));
    int i = 1;
    for (const auto& entry : values)
        st.bindText(i++, entry.second);
    st.exec();
}

// Creates path with the given addresses (NR 1, 2, ... in order); hands back the path.
inline QString makeArchive(const QString& path, const std::vector<AddressValues>& rows) {
    archive::Database db(createTestArchive(path), archive::Database::Mode::ReadWrite);
    archive::Transaction tx(db);
    for (const auto& row : rows)
        insertAddress(db, row);
    tx.commit();
    return path;
}

// The program's sample archive of count addresses as dir/sample.mdb, open for writing.
inline archive::Database openSample(const QTemporaryDir& dir, qint64 count, std::uint64_t seed) {
    const QString path = dir.filePath(QStringLiteral("sample.mdb"));
    archive::SampleArchive::write(path, count, seed);
    return archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                      archive::ArchiveFile::Access::ReadWrite);
}

// count generated addresses: surnames cycle through a fixed list so letters and searches
// have predictable answers.
inline std::vector<AddressValues> generatedAddresses(int count) {
    static const QStringList surnames = {"Rossi",   "Bianchi", "Verdi",  "Brambilla", "Esposito",
                                         "Ferrari", "Russo",   "Romano", "Colombo",   "Ricci"};
    static const QStringList cities = {"MILANO", "ROMA", "TORINO", "NAPOLI", "BARI"};
    std::vector<AddressValues> rows;
    rows.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        rows.push_back({{"COGNOME", surnames[i % surnames.size()] + QString::number(i)},
                        {"NOME1", QStringLiteral("Nome%1").arg(i)},
                        {"CITTA", cities[i % cities.size()]},
                        {"CAP", QStringLiteral("%1").arg(10000 + i * 7 % 90000)},
                        {"GR", QStringLiteral("A%1").arg(i % 10)}});
    return rows;
}

// Every value of one field, by NR order, as stored in the file.
inline QStringList storedColumn(const QString& path, const QString& field) {
    archive::Database db(path, archive::Database::Mode::ReadOnly);
    archive::Statement st(db, QStringLiteral("SELECT %1 FROM TabMAIL ORDER BY NR").arg(field));
    QStringList out;
    while (st.step())
        out << st.text(0);
    return out;
}

} // namespace velomar::test
