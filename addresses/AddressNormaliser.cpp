#include "addresses/AddressNormaliser.h"

#include <QHash>
#include <QSet>

namespace velomar::addresses {

namespace {

// Abbreviations written with dots inside that stand for one word.
const QSet<QString>& dottedWords() {
    static const QSet<QString> words{
        QStringLiteral("VLE"),     QStringLiteral("PZZA"),   QStringLiteral("PZA"),    QStringLiteral("CSO"),
        QStringLiteral("LGO"),     QStringLiteral("PLE"),    QStringLiteral("PZLE"),   QStringLiteral("VLO"),
        QStringLiteral("BGO"),     QStringLiteral("CDA"),    QStringLiteral("CTRA"),   QStringLiteral("LMARE"),
        QStringLiteral("SIGRA"),   QStringLiteral("SIGNA"),  QStringLiteral("DOTTSSA"), QStringLiteral("PROFSSA"),
        QStringLiteral("GENTMO"),  QStringLiteral("GENTMA"), QStringLiteral("REVDO"),  QStringLiteral("SPETTLE"),
        QStringLiteral("EGRSIG"),  QStringLiteral("ILLMO"),  QStringLiteral("SRL"),    QStringLiteral("SNC"),
        QStringLiteral("SPA"),     QStringLiteral("SAS"),    QStringLiteral("NR")};
    return words;
}

const QHash<QString, QString>& streetKinds() {
    static const QHash<QString, QString> kinds{
        {QStringLiteral("V"), QStringLiteral("VIA")},          {QStringLiteral("VIA"), QStringLiteral("VIA")},
        {QStringLiteral("VLE"), QStringLiteral("VIALE")},      {QStringLiteral("VIALE"), QStringLiteral("VIALE")},
        {QStringLiteral("P"), QStringLiteral("PIAZZA")},       {QStringLiteral("PZA"), QStringLiteral("PIAZZA")},
        {QStringLiteral("PZZA"), QStringLiteral("PIAZZA")},    {QStringLiteral("PIAZZA"), QStringLiteral("PIAZZA")},
        {QStringLiteral("CSO"), QStringLiteral("CORSO")},      {QStringLiteral("CORSO"), QStringLiteral("CORSO")},
        {QStringLiteral("LGO"), QStringLiteral("LARGO")},      {QStringLiteral("LARGO"), QStringLiteral("LARGO")},
        {QStringLiteral("PLE"), QStringLiteral("PIAZZALE")},   {QStringLiteral("PZLE"), QStringLiteral("PIAZZALE")},
        {QStringLiteral("PIAZZALE"), QStringLiteral("PIAZZALE")}, {QStringLiteral("VLO"), QStringLiteral("VICOLO")},
        {QStringLiteral("VICOLO"), QStringLiteral("VICOLO")},  {QStringLiteral("STR"), QStringLiteral("STRADA")},
        {QStringLiteral("STRADA"), QStringLiteral("STRADA")},  {QStringLiteral("CDA"), QStringLiteral("CONTRADA")},
        {QStringLiteral("CTRA"), QStringLiteral("CONTRADA")},  {QStringLiteral("CONTRADA"), QStringLiteral("CONTRADA")},
        {QStringLiteral("BGO"), QStringLiteral("BORGO")},      {QStringLiteral("BORGO"), QStringLiteral("BORGO")},
        {QStringLiteral("LMARE"), QStringLiteral("LUNGOMARE")}, {QStringLiteral("LUNGOMARE"), QStringLiteral("LUNGOMARE")},
        {QStringLiteral("LOC"), QStringLiteral("LOCALITA")},   {QStringLiteral("LOCALITA"), QStringLiteral("LOCALITA")},
        {QStringLiteral("FRAZ"), QStringLiteral("FRAZIONE")},  {QStringLiteral("FRAZIONE"), QStringLiteral("FRAZIONE")},
        {QStringLiteral("SALITA"), QStringLiteral("SALITA")},  {QStringLiteral("VIALETTO"), QStringLiteral("VIALETTO")}};
    return kinds;
}

const QSet<QString>& titles() {
    static const QSet<QString> words{
        QStringLiteral("SIG"),      QStringLiteral("SIGRA"),     QStringLiteral("SIGNA"),     QStringLiteral("SIGNOR"),
        QStringLiteral("SIGNORA"),  QStringLiteral("SIGNORINA"), QStringLiteral("DOTT"),      QStringLiteral("DOTTSSA"),
        QStringLiteral("DOTTOR"),   QStringLiteral("DOTTORE"),   QStringLiteral("DOTTORESSA"), QStringLiteral("DR"),
        QStringLiteral("PROF"),     QStringLiteral("PROFSSA"),   QStringLiteral("PROFESSORE"), QStringLiteral("PROFESSORESSA"),
        QStringLiteral("ING"),      QStringLiteral("AVV"),       QStringLiteral("ARCH"),      QStringLiteral("RAG"),
        QStringLiteral("GEOM"),     QStringLiteral("ON"),        QStringLiteral("SPETT"),     QStringLiteral("SPETTLE"),
        QStringLiteral("SPETTABILE"), QStringLiteral("EGR"),     QStringLiteral("EGREGIO"),   QStringLiteral("EGRSIG"),
        QStringLiteral("GENT"),     QStringLiteral("GENTMO"),    QStringLiteral("GENTMA"),    QStringLiteral("GENTILE"),
        QStringLiteral("REV"),      QStringLiteral("REVDO"),     QStringLiteral("DON"),       QStringLiteral("MONS"),
        QStringLiteral("CAV"),      QStringLiteral("COMM"),      QStringLiteral("ILL"),       QStringLiteral("ILLMO"),
        QStringLiteral("FAM"),      QStringLiteral("FAMIGLIA")};
    return words;
}

bool isApostrophe(QChar c) {
    return c == u'\'' || c == u'\u2019' || c == u'`' || c == u'\u00B4';
}

void addWord(const QString& word, QStringList& out) {
    if (word.isEmpty())
        return;
    if (!word.contains(u'.')) {
        out << word;
        return;
    }
    QString joined = word;
    joined.remove(u'.');
    if (dottedWords().contains(joined) || titles().contains(joined)) {
        out << joined;
        return;
    }
    for (const QString& part : word.split(u'.', Qt::SkipEmptyParts))
        out << part;
}

} // namespace

QStringList AddressNormaliser::words(const QString& text) {
    const QString plain = text.normalized(QString::NormalizationForm_D).toUpper();
    QStringList out;
    QString word;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain[i];
        if (c.category() == QChar::Mark_NonSpacing || isApostrophe(c))
            continue;
        // "3/A" is one civic number.
        if (c == u'/' && !word.isEmpty() && word[0].isDigit())
            continue;
        if (c.isLetterOrNumber() || c == u'.') {
            word += c;
            continue;
        }
        addWord(word, out);
        word.clear();
    }
    addWord(word, out);
    return out;
}

bool AddressNormaliser::isTitle(const QString& word) { return titles().contains(word); }

QString AddressNormaliser::person(const QString& text) {
    QStringList kept;
    for (const QString& w : words(text))
        if (!isTitle(w))
            kept << w;
    return kept.join(u' ');
}

void AddressNormaliser::street(const QString& text, NormalisedAddress& into) {
    QStringList w = words(text);
    into.streetKind.clear();
    into.civic.clear();
    if (!w.isEmpty()) {
        const auto kind = streetKinds().constFind(w.first());
        if (kind != streetKinds().constEnd()) {
            into.streetKind = *kind;
            w.removeFirst();
        }
    }
    // The civic number is the last word that starts with a digit; a single letter after
    // it belongs to it ("3 A").
    qsizetype civic = -1;
    for (qsizetype i = w.size() - 1; i >= 0; --i) {
        if (w[i][0].isDigit()) {
            civic = i;
            break;
        }
    }
    if (civic >= 0) {
        into.civic = w[civic];
        qsizetype end = civic + 1;
        if (end < w.size() && w[end].size() == 1 && w[end][0].isLetter())
            into.civic += w[end++];
        w.remove(civic, end - civic);
        if (civic > 0 && (w[civic - 1] == u"N" || w[civic - 1] == u"NR" || w[civic - 1] == u"NUM"))
            w.removeAt(civic - 1);
    }
    QStringList kept;
    for (const QString& word : std::as_const(w))
        if (word.size() > 1 && word != u"SNC")
            kept << word;
    into.street = kept.join(u' ');
}

NormalisedAddress AddressNormaliser::of(const QString& surname, const QString& name, const QString& address,
                                        const QString& cap, const QString& town) {
    NormalisedAddress n;
    n.surname = person(surname);
    n.name = person(name);
    street(address, n);
    for (const QChar c : cap)
        if (c.isDigit())
            n.cap += c;
    n.town = words(town).join(u' ');
    return n;
}

} // namespace velomar::addresses
