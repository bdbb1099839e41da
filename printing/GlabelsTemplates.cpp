#include "printing/GlabelsTemplates.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

namespace velomar::printing {

namespace {

struct Pending {
    QString brand;
    QString part;
    QString description;
    QString equiv;
    std::optional<PaperSize> paper;
    int rectangles = 0;
    int otherShapes = 0;
    int layouts = 0;
    bool badValue = false;
    SheetFormat format;
};

double value(const QXmlStreamAttributes& a, QLatin1StringView name, bool& bad, double fallback = 0) {
    const QStringView text = a.value(name);
    if (text.isEmpty())
        return fallback;
    const auto mm = GlabelsTemplates::toMillimetres(text);
    if (!mm)
        bad = true;
    return mm.value_or(0);
}

// The part an equiv names is of the same brand; its shape was read earlier in the file.
QString key(const QString& brand, const QString& part) { return brand.toLower() + QLatin1Char('\n') + part.toLower(); }

} // namespace

std::optional<double> GlabelsTemplates::toMillimetres(QStringView text) {
    text = text.trimmed();
    double factor = 25.4 / 72; // points
    static const struct {
        const char* unit;
        double mm;
    } units[] = {{"mm", 1}, {"cm", 10}, {"in", 25.4}, {"pt", 25.4 / 72}, {"pc", 25.4 / 6}};
    for (const auto& u : units) {
        if (text.endsWith(QLatin1StringView(u.unit))) {
            factor = u.mm;
            text.chop(2);
            break;
        }
    }
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return number * factor;
}

void GlabelsTemplates::read(QIODevice& device, Result& result) {
    QXmlStreamReader xml(&device);
    QHash<QString, SheetFormat> shapes; // by brand and part, for equiv
    std::optional<Pending> t;
    const auto finish = [&](Pending& p) {
        if (!p.equiv.isEmpty()) {
            const auto it = shapes.constFind(key(p.brand, p.equiv));
            if (it == shapes.constEnd()) {
                ++result.skipped;
                return;
            }
            SheetFormat f = *it;
            f.name = p.brand + QLatin1Char(' ') + p.part;
            f.description = it->description;
            result.formats.push_back(f);
            return;
        }
        if (!p.paper || p.rectangles != 1 || p.otherShapes != 0 || p.layouts != 1 || p.badValue) {
            ++result.skipped;
            return;
        }
        SheetFormat& f = p.format;
        f.source = SheetFormat::Source::Glabels;
        f.paper = *p.paper;
        f.name = p.brand + QLatin1Char(' ') + p.part;
        f.description = p.description.isEmpty() ? f.shapeText() : p.description;
        // A single column or row has no pitch of its own.
        if (f.columns == 1)
            f.columnPitch = std::max(f.columnPitch, f.labelWidth);
        if (f.rows == 1)
            f.rowPitch = std::max(f.rowPitch, f.labelHeight);
        if (f.problem()) {
            ++result.skipped;
            return;
        }
        shapes.insert(key(p.brand, p.part), f);
        result.formats.push_back(f);
    };

    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            const auto a = xml.attributes();
            if (name == QLatin1String("Template")) {
                t.emplace();
                t->brand = a.value(QLatin1String("brand")).toString().trimmed();
                t->part = a.value(QLatin1String("part")).toString().trimmed();
                t->equiv = a.value(QLatin1String("equiv")).toString().trimmed();
                t->description = a.value(QLatin1String("_description")).toString();
                if (t->description.isEmpty())
                    t->description = a.value(QLatin1String("description")).toString();
                const QStringView size = a.value(QLatin1String("size"));
                if (size == QLatin1String("A4"))
                    t->paper = PaperSize::A4;
                else if (size == QLatin1String("A5"))
                    t->paper = PaperSize::A5;
                else if (size == QLatin1String("US-Letter"))
                    t->paper = PaperSize::Letter;
            } else if (t && name == QLatin1String("Label-rectangle")) {
                ++t->rectangles;
                t->format.labelWidth = value(a, QLatin1StringView("width"), t->badValue);
                t->format.labelHeight = value(a, QLatin1StringView("height"), t->badValue);
                t->format.cornerRadius = value(a, QLatin1StringView("round"), t->badValue);
            } else if (t && name.startsWith(QLatin1String("Label-"))) {
                ++t->otherShapes;
            } else if (t && name == QLatin1String("Layout")) {
                ++t->layouts;
                bool ok = false;
                t->format.columns = a.value(QLatin1String("nx")).toInt(&ok);
                t->badValue = t->badValue || !ok;
                t->format.rows = a.value(QLatin1String("ny")).toInt(&ok);
                t->badValue = t->badValue || !ok;
                t->format.sheetLeft = value(a, QLatin1StringView("x0"), t->badValue);
                t->format.sheetTop = value(a, QLatin1StringView("y0"), t->badValue);
                t->format.columnPitch = value(a, QLatin1StringView("dx"), t->badValue);
                t->format.rowPitch = value(a, QLatin1StringView("dy"), t->badValue);
            }
        } else if (token == QXmlStreamReader::EndElement && t && xml.name() == QLatin1String("Template")) {
            finish(*t);
            t.reset();
        }
    }
    if (xml.hasError() && t)
        ++result.skipped; // a template cut short by broken XML
}

GlabelsTemplates::Result GlabelsTemplates::readFolder(const QString& folder) {
    Result result;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return result;
    const QStringList files = dir.entryList({QStringLiteral("*-templates.xml")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ++result.files;
        read(file, result);
    }
    return result;
}

} // namespace velomar::printing
