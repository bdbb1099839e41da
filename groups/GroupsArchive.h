#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace velomar::archive {
class Recordset;
}
namespace velomar::common {
class DialogService;
}

namespace velomar::groups {

// The groups archive "Gruppi.grp" of the program folder and the rules on its codes.
class GroupsArchive {
public:
    static QString fileName() { return QStringLiteral("Gruppi.grp"); }
    static QString templateName() { return QStringLiteral("NewGruppi.sys"); }
    static QString path(const QString& programDir);

    enum class Prepared { Existing, Created, Failed };
    // When "Gruppi.grp" is missing: says so, copies the template (whole or not at all) and
    // stamps its creation date. An existing file, sound or not, is never touched here.
    static Prepared ensure(const QString& programDir, common::DialogService& dialogs);

    // Why a code cannot be stored, or nothing: exactly 2 capitals or digits.
    static std::optional<QString> codeProblem(const QString& code);
    // True when another group (NR other than exceptNr; 0 for a new group) has code.
    static bool codeTaken(const archive::Recordset& groups, const QString& code, qint64 exceptNr);
    // View row (0-based) of the group with that NR, -1 when absent.
    static qint64 rowOfNr(const archive::Recordset& groups, qint64 nr);
    static qint64 rowOfCode(const archive::Recordset& groups, const QString& code);
};

} // namespace velomar::groups
