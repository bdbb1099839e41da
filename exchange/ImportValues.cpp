#include "exchange/ImportValues.h"

#include "addresses/EntryFieldRules.h"
#include "addresses/ItalianPlaces.h"
#include "archive/DataModel.h"

#include <QRegularExpression>

namespace velomar::exchange {

namespace {

using archive::DataModel;
namespace Rules = addresses::EntryFieldRules;

bool isMemo(int field) {
    return field == DataModel::NOTE || field == DataModel::APPUNTI;
}

QString oneLine(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    return out.trimmed();
}

QString memo(const QString& text) {
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(u'\r', u'\n');
    // Blanks around the text only; line breaks inside are the user's.
    qsizetype a = 0, b = out.size();
    while (a < b && out[a] == u' ')
        ++a;
    while (b > a && out[b - 1] == u' ')
        --b;
    return out.mid(a, b - a);
}

// Cuts to size without splitting a surrogate pair; true when something was cut.
bool cut(QString& text, int size) {
    if (size < 0 || text.size() <= size)
        return false;
    qsizetype n = size;
    if (n > 0 && text[n - 1].isHighSurrogate())
        --n;
    text.truncate(n);
    return true;
}

QString fold(const QString& text) {
    QString out;
    const QString d = text.normalized(QString::NormalizationForm_D);
    out.reserve(d.size());
    bool blank = false;
    for (const QChar c : d) {
        if (c.isMark())
            continue;
        if (c.isSpace()) {
            blank = !out.isEmpty();
            continue;
        }
        if (blank)
            out += u' ';
        blank = false;
        out += c.toCaseFolded();
    }
    return out;
}

bool allDigits(const QString& text) {
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return !text.isEmpty();
}

} // namespace

int ImportValues::sizeOf(int field) {
    const int size = Rules::maxLength(field);
    return size == Rules::Unlimited ? Unlimited : size;
}

QString ImportValues::italianCap(const QString& cap) {
    if ((cap.size() == 3 || cap.size() == 4) && allDigits(cap))
        return QString(5 - cap.size(), u'0') + cap;
    return cap;
}

QString ImportValues::groupCode(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[,;:]+"));
    for (QString item : text.split(separators, Qt::SkipEmptyParts)) {
        item = item.trimmed();
        if (item.startsWith(u'*'))
            continue; // Google's system groups ("* myContacts")
        if (item.size() < 1 || item.size() > 2)
            continue;
        bool ok = true;
        for (const QChar c : item)
            ok = ok && c.unicode() < 128 && c.isLetterOrNumber();
        if (ok)
            return item.size() == 1 ? item.toUpper().repeated(2) : item.toUpper();
    }
    return QString();
}

int ImportValues::adjust(archive::AddressRecord& record) const {
    int cutCount = 0;
    record[0].clear();
    for (int f = 1; f < archive::AddressRecord::FieldCount; ++f)
        record[f] = isMemo(f) ? memo(record[f]) : oneLine(record[f]);

    QString& naz = record[DataModel::NAZ];
    naz = m_countries.storedName(naz);
    if (naz.isEmpty())
        record[DataModel::CAP] = italianCap(record[DataModel::CAP]);

    QString& prov = record[DataModel::PROV];
    if (prov.size() == 4 && prov.startsWith(u'(') && prov.endsWith(u')'))
        prov = prov.mid(1, 2);
    // A province written out ("Roma") becomes its code; cut to two letters it would name
    // another one.
    if (prov.size() > sizeOf(DataModel::PROV)) {
        prov = naz.isEmpty() ? addresses::ItalianPlaces::builtin().provinceByName(prov) : QString();
        if (prov.isEmpty())
            ++cutCount;
    }
    if (!record[DataModel::GR].isEmpty()) {
        const QString code = groupCode(record[DataModel::GR]);
        if (code.isEmpty())
            ++cutCount;
        record[DataModel::GR] = code;
    }
    for (int f : {DataModel::CAP, DataModel::CITTA, DataModel::PROV, DataModel::NAZ})
        record[f] = Rules::upperLetters(record[f]);
    for (int f = 1; f < archive::AddressRecord::FieldCount; ++f)
        if (cut(record[f], sizeOf(f)))
            ++cutCount;
    return cutCount;
}

QString ImportValues::duplicateKey(const QString& surname, const QString& address,
                                   const QString& cap) {
    return fold(surname) + u'\x1f' + fold(address) + u'\x1f' + fold(cap);
}

QString ImportValues::duplicateKey(const archive::AddressRecord& record) {
    return duplicateKey(record[DataModel::COGNOME], record[DataModel::INDIRIZZO],
                        record[DataModel::CAP]);
}

} // namespace velomar::exchange
