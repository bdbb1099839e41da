#include "printing/FormatsBatch.h"

#include "common/AppError.h"
#include "printing/SheetCatalog.h"
#include "settings/Settings.h"

#include <QTextStream>

namespace velomar::printing {

namespace {

const char* const kUsage =
    "Uso: velomar-batch formats [--search TESTO] [--set NOME]\n"
    "       [--custom CARTA,COLONNE,RIGHE,LARGHEZZA,ALTEZZA,MARGINE_SX,MARGINE_ALTO,PASSO_O,PASSO_V[,RAGGIO]]\n";

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

int batchFormats(const QStringList& args, QTextStream& out, QTextStream& err) {
    std::optional<QString> search;
    std::optional<QString> choose;
    std::optional<QString> custom;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        std::optional<QString>* target = nullptr;
        if (a == QLatin1String("--search"))
            target = &search;
        else if (a == QLatin1String("--set"))
            target = &choose;
        else if (a == QLatin1String("--custom"))
            target = &custom;
        if (!target || i + 1 >= args.size() || args[i + 1].trimmed().isEmpty()) {
            err << (target                                ? QStringLiteral("%1 richiede un valore.").arg(a)
                    : a.startsWith(QLatin1String("--")) ? QStringLiteral("Opzione sconosciuta: %1").arg(a)
                                                        : QStringLiteral("Argomento in più: %1").arg(a))
                << "\n"
                << kUsage;
            return 2;
        }
        *target = args[++i].trimmed();
    }
    if (choose && custom) {
        err << "--set e --custom non vanno insieme.\n" << kUsage;
        return 2;
    }

    settings::Settings store;
    if (custom) {
        QString problem;
        const auto format = parseCustom(*custom, problem);
        if (!format) {
            err << problem << "\n" << kUsage;
            return 2;
        }
        return useFormat(store, *format, out, err);
    }

    SheetCatalog catalog;
    const auto glabels = catalog.addGlabels();
    if (auto own = SheetCatalog::custom(store))
        catalog.setCustom(*own);
    if (choose) {
        const auto format = catalog.find(*choose);
        if (!format) {
            err << QStringLiteral("Formato di foglio sconosciuto: \"%1\" (velomar-batch formats elenca "
                                  "quelli disponibili).")
                       .arg(*choose)
                << "\n";
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
