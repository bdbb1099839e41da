#pragma once

#include <QString>

class QFileDevice;

namespace velomar::common {

// The Italian cause of an operating-system failure. Qt's errorString() and strerror()
// are English; nothing of theirs is shown to the user.
class SystemErrorText {
public:
    // "Disco pieno: ...", "Permesso negato ...", ... for an errno value.
    static QString of(int errnum);
    // The cause of a failed open, write or commit of file. Qt keeps only the English
    // text, so the errno is recovered from it; a write that failed on a full volume
    // (QSaveFile reports "Unknown error" then) is told by the space left in the folder.
    static QString ofFile(const QFileDevice& file);
};

} // namespace velomar::common
