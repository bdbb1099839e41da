#pragma once

#include "common/AppError.h"

#include <QString>
#include <optional>

namespace velomar::common {

// An output file refused by OutputGuard; its description says which and why.
class OutputRefused : public AppError {
public:
    using AppError::AppError;
};

// Says whether a file may be written as an output (an export, a PDF, a reminder file, a
// compacted copy, an import target). Refused: a file the program is using (an archive
// held open, the groups archive and the templates of the program folder, any file this
// process has open, whatever its spelling: same canonical path or same inode) and
// anything that is not a plain file (a folder, a FIFO, a device). Nothing is touched.
class OutputGuard {
public:
    static constexpr int Refused = 9013; // the number of archive::DatabaseError::OutputRefused

    enum class Role { Archive, Groups, Template, OpenFile };

    // Marks a file as in use, with the role the refusal names, until the holder goes.
    class Holder {
    public:
        Holder() = default;
        Holder(Holder&& other) noexcept : m_id(other.m_id) { other.m_id = 0; }
        Holder& operator=(Holder&& other) noexcept;
        Holder(const Holder&) = delete;
        Holder& operator=(const Holder&) = delete;
        ~Holder();

    private:
        friend class OutputGuard;
        explicit Holder(quint64 id) : m_id(id) {}
        quint64 m_id = 0;
    };

    [[nodiscard]] static Holder hold(const QString& path, Role role = Role::Archive);

    // The program folder, whose Gruppi.grp, NewMail.sys, NewGruppi.sys and
    // StatiEsteri.mdb are never an output. Set once at start-up.
    static void setProgramFolder(const QString& folder);
    static QString programFolder();

    struct Options {
        // A name chosen inside a fixed folder: a symbolic link there is refused too.
        bool refuseLink = false;
        // A file the caller itself holds open for this very write (an import target):
        // not counted as a file in use.
        QString except;
    };

    // Why the path cannot be written ("Impossibile scrivere su «...»: ..."), or nothing.
    static std::optional<QString> problem(const QString& path, const Options& options);
    static std::optional<QString> problem(const QString& path) { return problem(path, Options{}); }
    // Throws OutputRefused (code Refused) with the same text.
    static void check(const QString& path, const Options& options);
    static void check(const QString& path) { check(path, Options{}); }
};

} // namespace velomar::common
