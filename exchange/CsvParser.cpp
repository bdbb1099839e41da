#include "exchange/CsvParser.h"

#include "exchange/ExchangeError.h"
#include "exchange/SourceTable.h"

#include <algorithm>

namespace velomar::exchange {

void CsvParser::append(QStringView text) {
    // Drop what was consumed only when it is most of the buffer, so that appending stays
    // linear.
    if (m_pos > 0 && m_pos >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_pos);
        m_scan -= m_pos;
        m_pos = 0;
    }
    m_buffer.append(text);
}

// The same grammar as next(), only to find where the record at m_pos ends.
bool CsvParser::recordComplete() {
    const QChar* data = m_buffer.constData();
    const qsizetype end = m_buffer.size();
    const char16_t delim = m_delimiter.unicode();
    qsizetype i = std::max(m_scan, m_pos);
    Scan state = m_scanState;
    for (; i < end; ++i) {
        const char16_t c = data[i].unicode();
        if (state == Scan::QuoteSeen) {
            if (c == u'"') {
                state = Scan::Quoted; // a doubled quote
                continue;
            }
            state = Scan::Unquoted; // closed; text after it is kept up to the delimiter
        }
        if (state == Scan::FieldStart) {
            if (c == u'"') {
                state = Scan::Quoted;
                continue;
            }
            state = Scan::Unquoted;
        }
        if (state == Scan::Quoted) {
            if (c == u'"')
                state = Scan::QuoteSeen;
        } else if (c == delim) {
            state = Scan::FieldStart;
        } else if (c == u'\n' || (c == u'\r' && i + 1 < end)) {
            m_scan = m_pos;
            m_scanState = Scan::FieldStart;
            return true;
        } else if (c == u'\r') {
            break; // CRLF or a lone CR: the next chunk tells
        }
    }
    if (i - m_pos > kMaxTextLine)
        throw ExchangeError::lineTooLong(m_line);
    m_scan = i;
    m_scanState = state;
    return false;
}

bool CsvParser::next(QStringList& fields) {
    const QChar* data = m_buffer.constData();
    const qsizetype end = m_buffer.size();
    const char16_t delim = m_delimiter.unicode();
    qsizetype i = m_pos;
    qint64 line = m_line;
    if (i >= end || (!m_closed && !recordComplete()))
        return false;

    fields.clear();
    QString field;
    for (;;) {
        // One field from i.
        if (i < end && data[i] == u'"') {
            const qint64 quoteLine = line;
            ++i;
            field.clear();
            for (;;) {
                qsizetype run = i;
                while (run < end && data[run] != u'"')
                    ++run;
                for (qsizetype k = i; k < run; ++k) {
                    if (data[k] == u'\n' ||
                        (data[k] == u'\r' && (k + 1 >= end || data[k + 1] != u'\n')))
                        ++line;
                }
                field.append(data + i, run - i);
                if (run >= end) {
                    if (!m_closed)
                        return false;
                    throw ExchangeError(
                        ExchangeError::BadInput,
                        QStringLiteral("Virgolette aperte alla riga %1 e mai chiuse")
                            .arg(quoteLine));
                }
                if (run + 1 < end && data[run + 1] == u'"') {
                    field.append(u'"');
                    i = run + 2;
                    continue;
                }
                if (run + 1 >= end && !m_closed)
                    return false; // the next chunk may start with the second quote
                i = run + 1;
                break;
            }
            // Text after the closing quote is kept as it is (lenient with hand-made files).
            const qsizetype rest = i;
            while (i < end && data[i] != delim && data[i] != u'\n' && data[i] != u'\r')
                ++i;
            field.append(data + rest, i - rest);
        } else {
            const qsizetype start = i;
            while (i < end && data[i] != delim && data[i] != u'\n' && data[i] != u'\r')
                ++i;
            field = QString(data + start, i - start);
        }
        fields.append(field);

        if (i >= end) {
            if (!m_closed)
                return false;
            break;
        }
        if (data[i] == delim) {
            ++i;
            if (i >= end && !m_closed)
                return false;
            if (i >= end) {
                fields.append(QString());
                break;
            }
            continue;
        }
        // Line break: CRLF needs the LF to be seen before the record counts as complete.
        if (data[i] == u'\r') {
            if (i + 1 >= end && !m_closed)
                return false;
            ++i;
            if (i < end && data[i] == u'\n')
                ++i;
        } else {
            ++i;
        }
        ++line;
        break;
    }
    if (i - m_pos > kMaxTextLine)
        throw ExchangeError::lineTooLong(m_line);
    m_recordLine = m_line;
    m_line = line;
    m_pos = i;
    m_scan = i;
    m_scanState = Scan::FieldStart;
    return true;
}

} // namespace velomar::exchange
