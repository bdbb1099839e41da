#pragma once

#include "exchange/SourceTable.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <memory>

namespace velomar::exchange {

class TextEncoding;

// The cards of a vCard file (2.1, 3.0, 4.0; any number of cards) as a table with fixed
// columns, read card by card:
//   N.cognome N.nome N.secondo N.titolo N.suffisso   the five parts of N
//   FN                                                formatted name, as written
//   ORG ORG.reparto TITLE                             organisation, its units, job title
//   ADR.via ADR.localita ADR.provincia ADR.cap ADR.paese ADR.tipo
//                     the preferred postal address, else the first; via joins street,
//                     extended address and PO box with ", "; tipo is "casa", "lavoro" or
//                     empty
//   ADR.lavoro.via ADR.lavoro.localita ADR.lavoro.provincia ADR.lavoro.cap
//   ADR.lavoro.paese  the preferred (else first) work address, also when it is the one above
//   TEL.voce TEL.fax TEL.cellulare   the preferred (else first) number of each kind; a
//                     number that is neither fax nor cell (home, work, voice, none) is voce
//   EMAIL             the preferred (else first) address
//   NOTE              all notes, one per line
//   CATEGORIES        all categories, joined with ", "
// Values come unescaped (\, \; \\ \n), decoded from QUOTED-PRINTABLE with their
// CHARSET; multi-line values other than NOTE are joined on one line with ", ".
// A BEGIN:VCARD at the start of a line always starts a card: one still open is closed
// there and counted (the AGENT card of 2.1, written inside its owner, aside).
class VCardReader : public SourceTable {
public:
    enum Column {
        Surname,
        GivenName,
        AdditionalNames,
        Prefix,
        Suffix,
        FormattedName,
        Organization,
        Department,
        JobTitle,
        Street,
        Locality,
        Region,
        PostalCode,
        Country,
        AddressKind,
        WorkStreet,
        WorkLocality,
        WorkRegion,
        WorkPostalCode,
        WorkCountry,
        Phone,
        Fax,
        Mobile,
        Email,
        Note,
        Categories,
        ColumnCount
    };
    static const QStringList& columnNames();

    // Whether the first non-blank line of a file is "BEGIN:VCARD" (any case, UTF-16 too).
    static bool looksLikeVCard(QByteArrayView sample);

    // encoding empty: detected. Throws ExchangeError: ReadFailed, BadInput when the file
    // holds no card.
    explicit VCardReader(const QString& path, const QString& encoding = {});
    ~VCardReader() override;

    QStringList columns() const override { return columnNames(); }
    bool next(QStringList& values) override;
    qint64 position() const override { return m_position; }
    QString description() const override;
    QString rowsCaption() const override { return QStringLiteral("Schede vCard"); }
    QStringList readNotes() const override;

private:
    bool readPhysical(QString& line);
    bool readLogical(QString& line, qint64& number);
    bool fill();

    QFile m_file;
    std::unique_ptr<TextEncoding> m_decoder;
    QString m_version; // of the first card, for the description
    QString m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
    qint64 m_line = 0; // physical lines read
    QString m_pending; // a physical line read ahead while unfolding
    bool m_hasPending = false;
    QString m_cardVersion; // of the card being read: folding differs in 2.1
    qint64 m_position = 0;
    qint64 m_openAt = 0;   // line of a BEGIN that closed the card before it
    qint64 m_unclosed = 0; // cards without END:VCARD
    qint64 m_replacedInValues = 0;
};

} // namespace velomar::exchange
