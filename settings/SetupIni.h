#pragma once

#include "settings/SenderLines.h"

#include <QString>

namespace velomar::settings {

// "Setup.ini" of the program folder: the two senders as 12 quoted records, one per line
// ended by CR LF, in the Windows-1252 code page. Records 1-6 are sender 1, 7-12 sender 2.
class SetupIni {
public:
    static constexpr int RecordCount = 12;
    static constexpr int MaxLineLength = 255; // characters kept of one sender line

    struct ReadResult {
        SenderLines senders;
        bool ok = true;
        int errorNumber = 0;
        QString errorDescription;
        // "Errore 53\r\nFile non trovato": the program's text for the failure.
        QString errorText() const;
    };
    struct WriteResult {
        bool ok = true;
        int errorNumber = 0;
        QString errorDescription;
        QString errorText() const;
    };

    // A missing record (short or empty file) leaves its line empty. Control characters are
    // dropped, over-long lines cut, so a damaged file never shifts the other lines.
    static ReadResult read(const QString& path);
    // Replaces the file atomically. A '"' in a line cannot be stored in a quoted record;
    // it is written as "'" (the options window refuses such lines before this).
    static WriteResult write(const QString& path, const SenderLines& senders);

    // The record text of one line as it reads back; "" for a line that has none.
    static QString parseRecord(const QByteArray& line);
    // True when the line can be stored as is: no '"', no line break, only characters of
    // the file's code page.
    static bool isStorable(const QString& line);
};

} // namespace velomar::settings
