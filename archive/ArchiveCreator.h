#pragma once

#include <QString>

namespace velomar::archive {

// A new address archive: a copy of the template "NewMail.sys" with CREAZIONE stamped.
// The copy is made and stamped under a temporary name and only then given the chosen
// name, so the name never holds a half-made archive and an existing file is never
// replaced.
class ArchiveCreator {
public:
    enum class Outcome { Created, TemplateMissing, TargetExists };

    // Throws DatabaseError when the template is not a sound archive or the copy fails.
    static Outcome create(const QString& templatePath, const QString& target);

    static QString templateName() { return QStringLiteral("NewMail.sys"); }
};

} // namespace velomar::archive
