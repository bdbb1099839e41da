#include "common/CommandSpec.h"

#include "common/CommandArgs.h"
#include "common/UsageError.h"

#include <QCommandLineParser>

#include <algorithm>

namespace velomar::common {

namespace {

constexpr qsizetype kWidth = 79;
constexpr qsizetype kColumn = 26; // where option descriptions start

bool takesValue(const CommandOption& o) { return !o.valueName.isEmpty() || !o.choices.isEmpty(); }

QString shownValue(const CommandOption& o) {
    return o.choices.isEmpty() ? o.valueName : o.choices.join(u'|');
}

QString optionText(const CommandOption& o) {
    return takesValue(o) ? QStringLiteral("--%1 %2").arg(o.name, shownValue(o)) : QStringLiteral("--") + o.name;
}

// "  left      description", the description on a line of its own when left is long.
QString row(const QString& left, const QString& description) {
    const QString head = QStringLiteral("  ") + left;
    if (head.size() + 2 > kColumn)
        return head + u'\n' + CommandSpec::wrapText(description, kColumn);
    return head.leftJustified(kColumn) + CommandSpec::wrapText(description, kColumn, kColumn);
}

} // namespace

QString CommandSpec::wrapText(const QString& text, qsizetype indent, qsizetype used) {
    QString out;
    bool first = true;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!first && used + 1 + word.size() > kWidth) {
            out += u'\n' + QString(indent, u' ');
            used = indent;
        } else if (!first) {
            out += u' ';
            ++used;
        } else if (used == 0) {
            out += QString(indent, u' ');
            used = indent;
        }
        first = false;
        out += word;
        used += word.size();
    }
    return out + u'\n';
}

const CommandOption* CommandSpec::option(const QString& optionName) const {
    for (const CommandOption& o : options)
        if (o.name == optionName)
            return &o;
    return nullptr;
}

QString CommandSpec::synopsis() const {
    QStringList words{name};
    for (const CommandArgument& a : arguments)
        words << a.name;
    for (const CommandOption& o : options)
        if (o.required)
            words << optionText(o);
    for (const CommandOption& o : options)
        if (!o.required)
            words << QLatin1Char('[') + optionText(o) + QLatin1Char(']') + (o.repeatable ? QStringLiteral("...") : QString());
    return words.join(u' ');
}

QString CommandSpec::helpText() const {
    QString text = QStringLiteral("Uso: ") + wrapText(QStringLiteral("velomar-batch ") + synopsis(), 5, 5) +
                   u'\n' +
                   wrapText(description.left(1).toUpper() + description.mid(1) + u'.', 0);
    if (!arguments.empty()) {
        text += QStringLiteral("\nArgomenti:\n");
        for (const CommandArgument& a : arguments)
            text += row(a.name, a.description);
    }
    text += QStringLiteral("\nOpzioni:\n");
    for (const CommandOption& o : options)
        text += row(optionText(o), o.description + (o.repeatable ? QStringLiteral(" (si può ripetere)") : QString()));
    return text + row(QStringLiteral("-h, --help"), QStringLiteral("mostra questo aiuto"));
}

CommandArgs CommandSpec::parse(const QStringList& args) const {
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    for (const CommandOption& o : options)
        parser.addOption(takesValue(o) ? QCommandLineOption(o.name, o.description, shownValue(o))
                                       : QCommandLineOption(o.name, o.description));
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    const QStringList optionWords = end < 0 ? args : args.first(end);
    if (optionWords.contains(QStringLiteral("--help")) || optionWords.contains(QStringLiteral("-h")))
        return CommandArgs({}, {}, true);

    if (!parser.parse(QStringList{QStringLiteral("velomar-batch")} + args)) {
        // The parser's own texts are English: the messages are made here from what went wrong.
        QStringList problems;
        for (qsizetype i = 0; i < optionWords.size(); ++i) {
            const QString& word = optionWords[i];
            if (!word.startsWith(QLatin1String("--")))
                continue;
            const CommandOption* o = option(word.mid(2).section(u'=', 0, 0));
            if (o && takesValue(*o) && !word.contains(u'=') && i + 1 == args.size())
                problems << QStringLiteral("--%1 richiede un valore (%2).").arg(o->name, shownValue(*o));
            else if (o && !takesValue(*o) && word.contains(u'='))
                problems << QStringLiteral("--%1 non vuole un valore.").arg(o->name);
        }
        for (const QString& unknown : parser.unknownOptionNames()) {
            const QString asLong = QStringLiteral("--") + unknown;
            const bool isLong = std::any_of(optionWords.begin(), optionWords.end(), [&](const QString& w) {
                return w == asLong || w.startsWith(asLong + u'=');
            });
            problems << QStringLiteral("Opzione sconosciuta: %1").arg(isLong ? asLong : u'-' + unknown);
        }
        if (problems.isEmpty())
            problems << QStringLiteral("Riga di comando non valida.");
        throw UsageError(problems.join(u'\n'));
    }

    const QStringList plain = parser.positionalArguments();
    if (plain.size() < qsizetype(arguments.size()))
        throw UsageError(QStringLiteral("Manca %1.").arg(arguments[std::size_t(plain.size())].name));
    if (plain.size() > qsizetype(arguments.size()))
        throw UsageError(QStringLiteral("Argomento in più: %1").arg(plain[qsizetype(arguments.size())]));

    QMap<QString, QStringList> values;
    for (const CommandOption& o : options) {
        if (!parser.isSet(o.name)) {
            if (o.required)
                throw UsageError(QStringLiteral("Manca %1.").arg(optionText(o)));
            continue;
        }
        QStringList given = parser.values(o.name);
        for (QString& v : given) {
            if (o.choices.isEmpty())
                continue;
            const auto match = std::find_if(o.choices.begin(), o.choices.end(), [&](const QString& c) {
                return c.compare(v.trimmed(), Qt::CaseInsensitive) == 0;
            });
            if (match == o.choices.end())
                throw UsageError(QStringLiteral("Valore non valido per --%1: \"%2\" (%3).")
                                     .arg(o.name, v, o.choices.join(QStringLiteral(", "))));
            v = *match;
        }
        values.insert(o.name, given);
    }
    return CommandArgs(std::move(values), plain, false);
}

} // namespace velomar::common
