#include "printing/ListPrinterLayout.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace velomar::printing {

namespace {

enum Field {
    NR = 0, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ,
    NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI
};

struct Column {
    const char16_t* heading;
    int width;
};
constexpr std::array<Column, 17> kColumns = {{
    {u"Nr.", 5}, {u"Titolo", 35}, {u"Cognome", 35}, {u"Nome", 35},
    {u"Ruolo Istituzionale", 35}, {u"Indirizzo", 35}, {u"CAP", 5}, {u"Città", 24},
    {u"Provincia", 2}, {u"Nazione", 3}, {u"Telefono", 16}, {u"Fax", 16},
    {u"Cellulare", 16}, {u"E-Mail", 35}, {u"Gruppo", 2}, {u"Note", 170},
    {u"Appunti", 170},
}};

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString cell(const QString& text, int width) {
    return text.leftJustified(width, QLatin1Char(' '), true);
}

} // namespace

QStringList ListPrinterLayout::headings() {
    QStringList all;
    for (int f = 0; f < archive::AddressRecord::FieldCount; ++f)
        all << heading(f);
    return all;
}

QString ListPrinterLayout::heading(int field) {
    return QString::fromUtf16(kColumns[std::size_t(field)].heading);
}

int ListPrinterLayout::columnWidth(int field) { return kColumns[std::size_t(field)].width; }

int ListPrinterLayout::checkedCount(const ListFieldMask& fields) {
    int n = 0;
    for (bool ticked : fields)
        n += ticked ? 1 : 0;
    return n;
}

int ListPrinterLayout::lineLimit(double printableWidthMm, double charWidthMm) {
    if (charWidthMm <= 0)
        return MaxLine;
    // A hair of tolerance: a width of exactly n characters holds n.
    const int fit = int(std::floor(printableWidthMm / charWidthMm + 1e-9));
    return std::clamp(fit, 0, MaxLine);
}

int ListPrinterLayout::characterTotal(const ListFieldMask& fields) {
    int total = checkedCount(fields) - 1;
    for (int f = 0; f < int(fields.size()); ++f)
        total += fields[std::size_t(f)] ? columnWidth(f) : 0;
    return total;
}

QString ListPrinterLayout::formattedHeading(const ListFieldMask& fields) {
    QString line;
    for (int f = 0; f <= LastPrinted; ++f)
        if (fields[std::size_t(f)])
            line += cell(heading(f), columnWidth(f)).toUpper() + QLatin1Char(' ');
    return line;
}

QString ListPrinterLayout::formattedLine(const archive::AddressRecord& record,
                                         const ListFieldMask& fields) {
    QString line;
    line.reserve(MaxLine + 40);
    for (int f = 0; f <= LastPrinted; ++f)
        if (fields[std::size_t(f)])
            line += cell(record[f], columnWidth(f)) + QLatin1Char(' ');
    return line.left(MaxLine);
}

QString ListPrinterLayout::unformattedText(const archive::AddressRecord& record,
                                           const ListFieldMask& fields, const WidthMm& width,
                                           const WidthMm& letters) {
    std::array<QString, LastPrinted + 1> part;
    for (int f = 0; f <= LastPrinted; ++f)
        if (fields[std::size_t(f)])
            part[std::size_t(f)] = record[f];
    auto present = [&](int f) { return !part[std::size_t(f)].isEmpty(); };
    auto decorate = [&](int f, const QString& before, const QString& after) {
        if (present(f))
            part[std::size_t(f)] = before + part[std::size_t(f)] + after;
    };
    const QString star = QStringLiteral(" * ");
    decorate(NR, {}, QStringLiteral(" *"));
    decorate(INDIRIZZO, {}, star);
    decorate(PROV, QStringLiteral("("), QStringLiteral(")"));
    decorate(NUM_TEL, QStringLiteral("Tel. "), star);
    decorate(NUM_FAX, QStringLiteral("Fax. "), star);
    decorate(NUM_CEL, QStringLiteral("Cell. "), star);
    decorate(E_MAIL, QStringLiteral("E-Mail: "), star);
    decorate(GR, QStringLiteral("Gruppo "), star);
    // The last present part of the name and of the place closes its group with " * ".
    for (const auto& group : {std::array{TITOLO, COGNOME, NOME1, NOME2},
                              std::array{CAP, CITTA, PROV, NAZ}}) {
        for (auto it = group.rbegin(); it != group.rend(); ++it) {
            if (present(*it)) {
                part[std::size_t(*it)] += star;
                break;
            }
        }
    }

    // Every try measures the lines before the last again; they are taken from here.
    std::vector<std::pair<QString, double>> measured;
    auto lineWidth = [&](const QString& line) {
        for (const auto& [text, w] : measured)
            if (text == line)
                return w;
        measured.emplace_back(line, width(line));
        return measured.back().second;
    };
    auto widest = [&](const QString& text) {
        double w = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            w = std::max(w, lineWidth(line));
        return w;
    };
    QString text;
    if (!letters) {
        for (const QString& p : part) {
            if (p.isEmpty())
                continue;
            if (widest(text + p) > WrapWidthMm)
                text += QLatin1Char('\n') + p;
            else
                text = trimBlanks(text + p) + QLatin1Char(' ');
        }
    } else {
        // The same wrap, with the lines before the last judged once and the last line's
        // letter sum carried along (trimming only lowers it).
        const auto over = [&](double sum, const auto& line) {
            return sum * (1 + LetterMargin) + LetterMarginMm > WrapWidthMm && lineWidth(line()) > WrapWidthMm;
        };
        qsizetype lastStart = 0;
        double lastSum = 0;
        bool earlierOver = false;
        const double blank = letters(QStringLiteral(" "));
        for (const QString& p : part) {
            if (p.isEmpty())
                continue;
            const bool simple = !p.contains(QLatin1Char('\n'));
            const double sum = simple ? letters(p) : 0;
            const bool wraps =
                simple ? earlierOver || over(lastSum + sum, [&] { return text.mid(lastStart) + p; })
                       : widest(text + p) > WrapWidthMm;
            if (wraps) {
                earlierOver = earlierOver || over(lastSum, [&] { return text.mid(lastStart); });
                text += QLatin1Char('\n') + p;
            } else {
                text = trimBlanks(text + p) + QLatin1Char(' ');
            }
            if (simple) {
                if (wraps)
                    lastStart = text.size() - p.size();
                lastSum = wraps ? sum : lastSum + sum + blank;
                continue;
            }
            // A value holding a line break: its lines are judged as they stand.
            lastStart = text.lastIndexOf(QLatin1Char('\n')) + 1;
            lastSum = letters(text.mid(lastStart));
            earlierOver = false;
            for (const QString& line : text.left(std::max<qsizetype>(lastStart - 1, 0)).split(QLatin1Char('\n')))
                earlierOver = earlierOver || over(letters(line), [&] { return line; });
        }
    }
    text = trimBlanks(text);
    if (text.endsWith(QLatin1Char('*')))
        text.chop(2);
    return text;
}

} // namespace velomar::printing
