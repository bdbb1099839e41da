#pragma once

#include <QString>
#include <array>

namespace velomar::archive {

// One Address record as texts, by field index 0 (NR) .. 16 (APPUNTI); Null reads as "".
struct AddressRecord {
    static constexpr int FieldCount = 17;
    std::array<QString, FieldCount> fields;

    const QString& operator[](int index) const { return fields[std::size_t(index)]; }
    QString& operator[](int index) { return fields[std::size_t(index)]; }
};

// A forward walk over Address records, in the order the caller has chosen. Print and
// export engines read through it, so they are bound neither to a record set nor to SQL.
class AddressSource {
public:
    virtual ~AddressSource() = default;
    virtual qint64 count() const = 0;
    // Fills record with the next address; false at the end.
    virtual bool next(AddressRecord& record) = 0;
    // Passes over up to n addresses; returns how many were passed. A source that can
    // jump (a record set) does so without reading them.
    virtual qint64 skip(qint64 n) {
        AddressRecord unused;
        qint64 done = 0;
        while (done < n && next(unused))
            ++done;
        return done;
    }
    // Starts the walk again from the first address; false when the source cannot.
    virtual bool restart() { return false; }
};

} // namespace velomar::archive
