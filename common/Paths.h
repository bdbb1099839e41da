#pragma once

#include <QString>

namespace velomar::common {

// Small path and file tests used throughout the program. Paths use '/' as separator.
// None of them throws: every failure answers false or an empty text.
class Paths {
public:
    // True when the path exists and is not a folder.
    static bool fileExists(const QString& path);
    // False for ""; otherwise true when a file or folder of that name exists (hidden and
    // read-only ones included, and a dangling symbolic link counts as existing).
    static bool pathExists(const QString& path);
    // Text after the last separator; the whole text when there is none.
    static QString fileName(const QString& path);
    // File name cut before its last dot; whole name when it has no dot or only a leading one.
    static QString fileNameWithoutExtension(const QString& path);
    // Text before the last separator; "" when there is none, "/" for a file in the root.
    static QString folder(const QString& path);
    // Folder + '/' + name, without doubling the separator.
    static QString join(const QString& folder, const QString& name);
    // True when the drive or mount point exists and can be read: "a:"/"b:" name the
    // floppy devices /dev/fd0 and /dev/fd1, anything else is taken as a folder path.
    static bool driveReady(const QString& drive);
    // Device file behind a floppy drive letter ("a:" -> "/dev/fd0"); "" for other texts.
    static QString floppyDevice(const QString& drive);
};

} // namespace velomar::common
