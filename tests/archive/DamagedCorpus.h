#pragma once

#include <QString>

#include <vector>

namespace velomar::test {

// Files that look like, or once were, address archives, made the same way on every run
// from one small sample archive: cuts, flipped and zeroed bytes, foreign and reshaped
// tables, other journal modes and things that are not regular files at all.
class DamagedCorpus {
public:
    struct Entry {
        QString path;
        QString what;
        // A hot journal: a program that rolls it back reads the archive as it was before
        // the interrupted write, and may change the file doing so.
        bool recoverable = false;
        // Not one of ours, though nothing in its layout shows it: every command refuses it.
        bool foreign = false;
    };

    // Writes the corpus into folder (empty); good is a sound archive to start from.
    static std::vector<Entry> write(const QString& folder, const QString& good);
};

} // namespace velomar::test
