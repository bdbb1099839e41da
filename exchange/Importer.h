#pragma once

#include "archive/Database.h"

#include <QString>
#include <functional>
#include <vector>

namespace velomar::exchange {

// Copies the addresses of another archive (all, or those of one group pattern) into an
// open archive, and on request deletes them from the source afterwards. Nothing can be
// lost: the copy is one transaction of the target, checked by count before it commits;
// the delete is one transaction of the source, run only after that commit and limited to
// the rows actually copied. A process killed in between leaves duplicates, never gaps.
class Importer {
public:
    // "**": every address, those without a group included.
    static constexpr const char* AllGroups = "**";

    // Opens and validates an archive read/write; throws DatabaseError when refused.
    using Opener = std::function<archive::Database(const QString& path)>;
    using Progress = std::function<void(qint64 done, qint64 total)>;
    // Does a group code (possibly Null, given as a null QString) match the pattern?
    using GroupMatcher = std::function<bool(const QString& gr)>;

    // target: the open archive. The source is opened by openSource.
    Importer(archive::Database& target, const QString& targetPath);

    // True when path names the open archive itself, whatever its spelling.
    bool isTargetArchive(const QString& path) const;

    // Throws DatabaseError when the opener refuses the file, ExchangeError when it is the
    // target itself.
    void openSource(const QString& path, const QString& group, const Opener& opener);
    bool sourceOpen() const { return m_source.isOpen(); }
    void closeSource();

    // Addresses of the source selected by the group.
    qint64 sourceCount();

    // Copies the selected addresses (fields TITOLO..APPUNTI; the target numbers them).
    // Returns how many were copied; on any failure the target is rolled back and the
    // error is thrown.
    qint64 copy(const Progress& progress = {});

    // Deletes from the source exactly the rows that copy() committed to the target.
    qint64 deleteCopiedFromSource();

    qint64 copiedCount() const { return qint64(m_copied.size()); }

    // The group rule: the program's LIKE (case-insensitive, * ? # [..]). Throws
    // FilterError for a malformed pattern.
    static GroupMatcher matcherFor(const QString& group);

private:
    archive::Database& m_target;
    QString m_targetPath;
    archive::Database m_source;
    QString m_group;
    GroupMatcher m_matcher; // empty for "**"
    std::vector<qint64> m_copied; // NR of the source rows committed to the target
};

} // namespace velomar::exchange
