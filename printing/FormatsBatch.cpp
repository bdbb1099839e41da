#include "printing/FormatsBatch.h"

#include "common/AppError.h"
#include "common/CommandArgs.h"
#include "common/UsageError.h"
#include "printing/SheetCatalog.h"
#include "settings/Settings.h"

#include <QTextStream>

namespace velomar::printing {

namespace {

// Stores the sheet every label print will use and says which it is.
int useFormat(settings::Settings& store, const SheetFormat& format, QTextStream& out, QTextStream& err) {
    try {
        SheetCatalog::setCurrent(store, format);
    } catch (const common::AppError& e) {
        err << e.description() << "\n";
        return 1;
    }
    if (const auto failure = store.save()) {
        err << *failure << "\n";
        return 1;
    }
    out << "Formato in uso: " << format.name << " (" << format.shapeText() << ")\n";
    return 0;
}

QString sourceName(SheetFormat::Source source) {
    switch (source) {
    case SheetFormat::Source::Glabels:
        return QStringLiteral("glabels");
    case SheetFormat::Source::Custom:
        return QStringLiteral("personalizzato");
    case SheetFormat::Source::BuiltIn:
        break;
    }
    return QStringLiteral("predefinito");
}

// "A4,3,8,70,36,0,4.5,70,36[,0]": measures in mm, dot or comma-free decimals.
std::optional<SheetFormat> parseCustom(const QString& text, QString& problem) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 9 && parts.size() != 10) {
        problem = QStringLiteral("--custom richiede 9 o 10 valori separati da virgole: carta, colonne, righe, "
                                 "larghezza, altezza, margine sinistro, margine alto, passo orizzontale, "
                                 "passo verticale e, se si vuole, raggio degli angoli (misure in mm, "
                                 "decimali col punto).");
        return std::nullopt;
    }
    SheetFormat f;
    const auto paper = SheetFormat::paperFromName(parts[0]);
    if (!paper) {
        problem = QStringLiteral("Carta sconosciuta: \"%1\" (A4, A5 o Letter).").arg(parts[0].trimmed());
        return std::nullopt;
    }
    f.paper = *paper;
    bool ok = true;
    const auto integer = [&](int i) {
        bool good = false;
        const int v = parts[i].trimmed().toInt(&good);
        ok = ok && good;
        return v;
    };
    const auto number = [&](int i) {
        bool good = false;
        const double v = parts[i].trimmed().toDouble(&good);
        ok = ok && good;
        return v;
    };
    f.columns = integer(1);
    f.rows = integer(2);
    f.labelWidth = number(3);
    f.labelHeight = number(4);
    f.sheetLeft = number(5);
    f.sheetTop = number(6);
    f.columnPitch = number(7);
    f.rowPitch = number(8);
    f.cornerRadius = parts.size() == 10 ? number(9) : 0;
    if (!ok) {
        problem = QStringLiteral("--custom: ogni valore dopo la carta deve essere un numero (decimali col punto).");
        return std::nullopt;
    }
    f.name = SheetCatalog::customName();
    f.source = SheetFormat::Source::Custom;
    return f;
}

} // namespace

int batchFormats(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    const auto given = [&](const char* name) -> std::optional<QString> {
        const auto v = args.value(QLatin1String(name));
        if (v && v->trimmed().isEmpty())
            throw common::UsageError(QStringLiteral("--%1 richiede un valore.").arg(QLatin1String(name)));
        return v ? std::optional<QString>(v->trimmed()) : std::nullopt;
    };
    const std::optional<QString> search = given("search");
    const std::optional<QString> choose = given("set");
    const std::optional<QString> custom = given("custom");
    if (choose && custom)
        throw common::UsageError(QStringLiteral("--set e --custom non vanno insieme."));

    settings::Settings store;
    if (custom) {
        QString problem;
        const auto format = parseCustom(*custom, problem);
        if (!format)
            throw common::UsageError(problem);
        return useFormat(store, *format, out, err);
    }

    SheetCatalog catalog;
    const auto glabels = catalog.addGlabels();
    if (auto own = SheetCatalog::custom(store))
        catalog.setCustom(*own);
    if (choose) {
        const auto format = catalog.find(*choose);
        if (!format) {
            err << SheetCatalog::unknownText(*choose) << "\n";
            return 2;
        }
        return useFormat(store, *format, out, err);
    }

    if (glabels.files == 0)
        err << "Modelli di glabels-data non trovati in " << SheetCatalog::glabelsFolder()
            << ": solo i formati predefiniti.\n";
    const auto formats = search ? catalog.search(*search) : catalog.formats();
    if (formats.empty()) {
        err << QStringLiteral("Nessun formato trovato per \"%1\".").arg(search.value_or(QString())) << "\n";
        return 1;
    }
    for (const SheetFormat& f : formats)
        out << f.name << "\t" << f.shapeText() << "\t" << sourceName(f.source) << "\t" << f.description << "\n";
    QString note;
    out << "In uso: " << SheetCatalog::current(store, &note).name << "\n";
    if (!note.isEmpty())
        err << note << "\n";
    return 0;
}

} // namespace velomar::printing
