#include "printing/SheetCatalog.h"

#include "common/AppError.h"
#include "printing/GlabelsTemplates.h"
#include "settings/Settings.h"

#include <QRegularExpression>

namespace velomar::printing {

namespace {

constexpr int kBadFormat = 5; // invalid argument

SheetFormat sheet(const char* name, const char* sold, int columns, int rows, double width, double height,
                  double left, double top, double columnPitch, double rowPitch, double radius = 0) {
    SheetFormat f;
    f.name = QString::fromUtf8(name);
    f.source = SheetFormat::Source::BuiltIn;
    f.columns = columns;
    f.rows = rows;
    f.labelWidth = width;
    f.labelHeight = height;
    f.sheetLeft = left;
    f.sheetTop = top;
    f.columnPitch = columnPitch;
    f.rowPitch = rowPitch;
    f.cornerRadius = radius;
    f.description = QStringLiteral("Etichette per indirizzi, %1 per foglio (%2)")
                        .arg(columns * rows)
                        .arg(QString::fromUtf8(sold));
    return f;
}

// Names compare without case, spaces or the way a size is written.
QString folded(QString text) {
    text = text.toLower();
    text.replace(QChar(0x00D7), QLatin1Char('x')).replace(QLatin1Char(','), QLatin1Char('.'));
    text.remove(QLatin1Char(' '));
    return text;
}

SheetFormat fromValues(const settings::SheetValues& v, SheetFormat::Source source) {
    SheetFormat f;
    f.name = v.name;
    f.source = source;
    f.paper = SheetFormat::paperFromName(v.paper).value_or(PaperSize::A4);
    f.columns = v.columns;
    f.rows = v.rows;
    f.labelWidth = v.labelWidth;
    f.labelHeight = v.labelHeight;
    f.sheetLeft = v.left;
    f.sheetTop = v.top;
    f.columnPitch = v.columnPitch;
    f.rowPitch = v.rowPitch;
    f.cornerRadius = v.cornerRadius;
    f.description = f.shapeText();
    return f;
}

settings::SheetValues toValues(const SheetFormat& f) {
    return {f.name,        SheetFormat::paperName(f.paper), f.columns,     f.rows,
            f.labelWidth,  f.labelHeight,                   f.sheetLeft,   f.sheetTop,
            f.columnPitch, f.rowPitch,                      f.cornerRadius};
}

void check(const SheetFormat& f) {
    if (const auto problem = f.problem())
        throw common::AppError(kBadFormat, QStringLiteral("Formato \"%1\" non valido: %2").arg(f.name, *problem));
}

} // namespace

const std::vector<SheetFormat>& SheetCatalog::builtIn() {
    // Measures as the makers give them; equivalent parts in brackets for the search.
    static const std::vector<SheetFormat> formats = [] {
        std::vector<SheetFormat> list{SheetFormat::standard()};
        list.push_back(sheet("A4 3x7 70x42,3", "Igepa EA-700x423, Zweckform 3652", 3, 7, 70, 42.3, 0, 0.45, 70, 42.3));
        list.push_back(sheet("A4 3x8 70x37", "Zweckform 3474, Hama 50450, Igepa EA-700x370, Rayfilm 0508", 3, 8, 70,
                             37, 0, 0.5, 70, 37));
        list.push_back(sheet("A4 3x8 70x35", "Igepa EA-700x350, Rayfilm 0507, DECAdry DLW-1787", 3, 8, 70, 35, 0,
                             8.5, 70, 35));
        list.push_back(sheet("A4 2x7 99,1x38,1", "Avery L7163, Rayfilm 0810, Geha Z53", 2, 7, 99.1, 38.1, 4.65,
                             15.15, 101.6, 38.1, 2.5));
        list.push_back(sheet("A4 3x7 63,5x38,1", "Avery L7160, Rayfilm 0410, Herma 4103, Geha Z54", 3, 7, 63.5,
                             38.1, 7.2, 15.15, 66.04, 38.1, 2.5));
        list.push_back(sheet("A4 2x8 105x37", "Zweckform 3484, Igepa EA-1050x370, JAC 10537, Rayfilm 0908", 2, 8,
                             105, 37, 0, 0.5, 105, 37));
        list.push_back(sheet("A4 4x10 52,5x29,7", "Zweckform 3651, Igepa EA-525x297, Rayfilm 0304, JAC 5229", 4, 10,
                             52.5, 29.7, 0, 0, 52.5, 29.7));
        list.push_back(sheet("A4 3x8 63,5x33,9", "Avery L7159", 3, 8, 63.5, 33.9, 7.2, 12.9, 66.04, 33.9, 2.5));
        list.push_back(sheet("A4 2x8 99,1x33,9", "Avery L7162", 2, 8, 99.1, 33.9, 4.65, 12.9, 101.6, 33.9, 2.5));
        list.push_back(sheet("A4 3x11 70x25,4", "Igepa EA-700x254, JAC 7025, Rayfilm 0503", 3, 11, 70, 25.4, 0, 8.8,
                             70, 25.4));
        list.push_back(sheet("A4 3x10 70x29,7", "JAC 7029, Zweckform 3489", 3, 10, 70, 29.7, 0, 0, 70, 29.7));
        list.push_back(sheet("A4 2x7 105x42,3", "Herma 4625, Igepa EA-1050x423, Zweckform 3653", 2, 7, 105, 42.3, 0,
                             0.45, 105, 42.3));
        list.push_back(sheet("A4 2x6 105x48", "Igepa EA-1050x480, JAC 10548, Rayfilm 0913", 2, 6, 105, 48, 0, 4.5,
                             105, 48));
        list.push_back(sheet("A4 2x5 105x57", "Zweckform 3425, Igepa EA-1050x570, JAC 10557, Rayfilm 0915", 2, 5,
                             105, 57, 0, 6, 105, 57));
        list.push_back(sheet("A4 2x4 99,1x67,7", "Avery L7165, Rayfilm 0817", 2, 4, 99.1, 67.7, 4.65, 13.1, 101.6,
                             67.7, 2.5));
        return list;
    }();
    return formats;
}

QString SheetCatalog::customName() { return QStringLiteral("Personalizzato"); }

QString SheetCatalog::glabelsFolder() { return QStringLiteral("/usr/share/libglabels-3.0/templates"); }

SheetCatalog::SheetCatalog() {
    for (const SheetFormat& f : builtIn())
        add(f);
}

void SheetCatalog::add(SheetFormat format) {
    const QString key = folded(format.name);
    if (m_index.contains(key))
        return;
    m_index.insert(key, m_formats.size());
    m_formats.push_back(std::move(format));
}

void SheetCatalog::reindex() {
    m_index.clear();
    for (std::size_t i = 0; i < m_formats.size(); ++i)
        m_index.insert(folded(m_formats[i].name), i);
}

SheetCatalog::GlabelsSummary SheetCatalog::addGlabels(const QString& folder) {
    auto result = GlabelsTemplates::readFolder(folder);
    GlabelsSummary summary;
    summary.files = result.files;
    summary.skipped = result.skipped;
    // Custom stays last.
    std::optional<SheetFormat> custom;
    if (!m_formats.empty() && m_formats.back().source == SheetFormat::Source::Custom) {
        custom = m_formats.back();
        m_formats.pop_back();
        m_index.remove(folded(custom->name));
    }
    const std::size_t before = m_formats.size();
    m_formats.reserve(before + result.formats.size() + 1);
    for (SheetFormat& f : result.formats)
        add(std::move(f));
    summary.read = int(m_formats.size() - before);
    if (custom)
        add(*custom);
    return summary;
}

void SheetCatalog::setCustom(SheetFormat format) {
    format.name = customName();
    format.source = SheetFormat::Source::Custom;
    format.description = format.shapeText();
    check(format);
    std::erase_if(m_formats, [](const SheetFormat& f) { return f.source == SheetFormat::Source::Custom; });
    reindex();
    add(std::move(format));
}

SheetCatalog SheetCatalog::load(const settings::Settings& settings) {
    SheetCatalog catalog;
    catalog.addGlabels();
    if (auto own = custom(settings))
        catalog.setCustom(*own);
    return catalog;
}

std::optional<SheetFormat> SheetCatalog::find(const QString& name) const {
    const auto it = m_index.constFind(folded(name));
    if (it == m_index.constEnd())
        return std::nullopt;
    return m_formats[*it];
}

std::vector<SheetFormat> SheetCatalog::search(const QString& text) const {
    const QStringList words = text.toLower().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::vector<SheetFormat> found;
    for (const SheetFormat& f : m_formats) {
        const QString haystack = folded(f.name + QLatin1Char(' ') + f.description + QLatin1Char(' ') + f.shapeText());
        if (std::all_of(words.begin(), words.end(), [&](const QString& w) { return haystack.contains(folded(w)); }))
            found.push_back(f);
    }
    return found;
}

std::optional<SheetFormat> SheetCatalog::named(const settings::Settings& settings, const QString& name,
                                               QString* note) {
    if (name.isEmpty())
        return current(settings, note);
    return load(settings).find(name);
}

QString SheetCatalog::unknownText(const QString& name) {
    return QStringLiteral("Formato di foglio sconosciuto: \"%1\" (velomar-batch formats elenca quelli disponibili).")
        .arg(name);
}

SheetFormat SheetCatalog::current(const settings::Settings& settings, QString* note) {
    if (note)
        note->clear();
    const auto name = settings.labelSheetName();
    if (!name)
        return SheetFormat::standard();
    // A built-in format is taken from the program, so corrections to its measures apply.
    for (const SheetFormat& f : builtIn())
        if (folded(f.name) == folded(*name))
            return f;
    const auto unusable = [&](const QString& why) {
        if (note)
            *note = QStringLiteral("Il formato di foglio scelto nelle impostazioni («%1») non è leggibile: %2 "
                                   "Si usa il foglio standard «%3».")
                        .arg(*name, why, SheetFormat::standard().name);
        return SheetFormat::standard();
    };
    const auto stored = settings.labelSheet();
    if (!stored)
        return unusable(QStringLiteral("misure mancanti o non numeriche."));
    if (!SheetFormat::paperFromName(stored->paper))
        return unusable(QStringLiteral("carta «%1» sconosciuta.").arg(stored->paper));
    const bool own = folded(*name) == folded(customName());
    SheetFormat f = fromValues(*stored, own ? SheetFormat::Source::Custom : SheetFormat::Source::Glabels);
    if (const auto problem = f.problem())
        return unusable(*problem);
    return f;
}

void SheetCatalog::setCurrent(settings::Settings& settings, const SheetFormat& format) {
    check(format);
    if (format.source == SheetFormat::Source::Custom) {
        setCustom(settings, format);
        SheetFormat own = format;
        own.name = customName();
        settings.setLabelSheet(toValues(own));
        return;
    }
    settings.setLabelSheet(toValues(format));
}

std::optional<SheetFormat> SheetCatalog::custom(const settings::Settings& settings) {
    const auto stored = settings.customLabelSheet();
    if (!stored)
        return std::nullopt;
    SheetFormat f = fromValues(*stored, SheetFormat::Source::Custom);
    f.name = customName();
    if (!SheetFormat::paperFromName(stored->paper) || f.problem())
        return std::nullopt;
    return f;
}

void SheetCatalog::setCustom(settings::Settings& settings, SheetFormat format) {
    format.name = customName();
    format.source = SheetFormat::Source::Custom;
    check(format);
    settings.setCustomLabelSheet(toValues(format));
}

} // namespace velomar::printing
