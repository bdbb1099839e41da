#pragma once

#include <QString>
#include <cstdint>

namespace velomar::archive {

// Writes synthetic Italian address archives for demos, tests and benchmarks. The same
// count and seed always give the same bytes (the gate salt and the creation date are
// drawn from the seed too).
class SampleArchive {
public:
    // Writes an archive of count addresses to path (which must not exist), atomically.
    // Throws DatabaseError.
    static void write(const QString& path, qint64 count, std::uint64_t seed);

    // Writes a groups archive holding the codes the sample addresses use.
    static void writeGroups(const QString& path, std::uint64_t seed);
};

} // namespace velomar::archive
