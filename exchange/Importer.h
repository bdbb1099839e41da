#pragma once

#include "archive/ArchiveFile.h"
#include "archive/Database.h"
#include "exchange/FileIdentity.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace velomar::exchange {

// Copies the addresses of another archive (all, or those of one group pattern) into an
// open archive, and on request deletes them from the source afterwards. Nothing can be
// lost: the copy is one transaction of the target, checked by count before it commits;
// the delete is one transaction of the source, run only after that commit and only while
// the target path still names the file that received the rows. It removes exactly the
// rows copied, each found by the row id read with it and still as it was then, or none.
// A process killed in between leaves duplicates, never gaps.
class Importer {
public:
    // "**": every address, those without a group included.
    static constexpr const char* AllGroups = "**";

    // What the source is opened for. A copy only reads it, so a read-only file or folder
    // will do; a move deletes from it too.
    enum class Use { Copy, Move };

    // Opens and validates an archive with the access asked; throws DatabaseError when refused.
    using Opener =
        std::function<archive::Database(const QString& path, archive::ArchiveFile::Access access)>;
    using Progress = std::function<void(qint64 done, qint64 total)>;
    // Does a group code (possibly Null, given as a null QString) match the pattern?
    using GroupMatcher = std::function<bool(const QString& gr)>;

    // target: the open archive, whose file is the one at targetPath now.
    Importer(archive::Database& target, const QString& targetPath);

    // True when path names the open archive itself, whatever its spelling.
    bool isTargetArchive(const QString& path) const;

    // Throws DatabaseError when the opener refuses the file, ExchangeError when it is the
    // target itself. Use::Move also refuses (ExchangeError, before anything is copied) a
    // source whose file or folder cannot be written, or whose rows have no unique key.
    void openSource(const QString& path, const QString& group, const Opener& opener,
                    Use use = Use::Copy);
    bool sourceOpen() const { return m_source.isOpen(); }
    void closeSource();

    // Addresses of the source selected by the group.
    qint64 sourceCount();

    // Copies the selected addresses (fields TITOLO..APPUNTI, each value as stored; the
    // target numbers them). Returns how many were copied; on any failure, a target moved
    // or replaced included, the target is rolled back and the error is thrown.
    qint64 copy(const Progress& progress = {});

    // Deletes from the source exactly the rows that copy() committed to the target, all or
    // none; a source opened for Use::Copy is reopened read/write first. Throws
    // ExchangeError, the source unchanged, when it cannot be written or has no unique key,
    // when a copied row changed or went, when the count deleted is not the count copied,
    // or when the target path no longer names the file that received the rows.
    qint64 deleteCopiedFromSource();

    qint64 copiedCount() const { return qint64(m_copied.size()); }

    // False once the target path was deleted, renamed or replaced since the target opened.
    bool targetInPlace() const;

    // The group rule: the program's LIKE (case-insensitive, * ? # [..]). Throws
    // FilterError for a malformed pattern.
    static GroupMatcher matcherFor(const QString& group);

private:
    struct CopiedRow {
        qint64 key;
        std::array<char, 20> fingerprint; // of NR and the copied fields, as read
    };

    void requireTargetInPlace() const;
    void openSourceForWriting(const QString& whatIsKept);

    archive::Database& m_target;
    QString m_targetPath;
    std::optional<FileIdentity> m_targetId;
    archive::Database m_source;
    QString m_sourcePath;
    Opener m_opener;
    bool m_sourceWritable = false;
    QString m_group;
    GroupMatcher m_matcher; // empty for "**"
    QString m_key;          // the source column naming one row: a row id, or NR when proved unique
    std::vector<CopiedRow> m_copied; // the source rows committed to the target
};

} // namespace velomar::exchange
