#include "printing/ProvinceRegions.h"

#include <QHash>

namespace velomar::printing {

namespace {

struct Region {
    const char* name;
    const char* provinces;
};

constexpr Region kRegions[] = {
    {"PIEMONTE", "AL AT BI CN NO TO VB VC"},
    {"VALLE D'AOSTA", "AO"},
    {"LOMBARDIA", "BG BS CO CR LC LO MB MI MN PV SO VA"},
    {"TRENTINO-ALTO ADIGE", "BZ TN"},
    {"VENETO", "BL PD RO TV VE VI VR"},
    {"FRIULI-VENEZIA GIULIA", "GO PN TS UD"},
    {"LIGURIA", "GE IM SP SV"},
    {"EMILIA-ROMAGNA", "BO FC FE MO PC PR RA RE RN"},
    {"TOSCANA", "AR FI GR LI LU MS PI PO PT SI"},
    {"UMBRIA", "PG TR"},
    {"MARCHE", "AN AP FM MC PU"},
    {"LAZIO", "FR LT RI RM VT"},
    {"ABRUZZO", "AQ CH PE TE"},
    {"MOLISE", "CB IS"},
    {"CAMPANIA", "AV BN CE NA SA"},
    {"PUGLIA", "BA BR BT FG LE TA"},
    {"BASILICATA", "MT PZ"},
    {"CALABRIA", "CS CZ KR RC VV"},
    {"SICILIA", "AG CL CT EN ME PA RG SR TP"},
    {"SARDEGNA", "CA NU OR SS SU"},
};
constexpr const char* kOldSardinian = "CI OG OT VS";

const QHash<QString, QString>& table() {
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> m;
        for (const Region& r : kRegions)
            for (const QString& p : QString::fromLatin1(r.provinces).split(u' '))
                m.insert(p, QString::fromLatin1(r.name));
        for (const QString& p : QString::fromLatin1(kOldSardinian).split(u' '))
            m.insert(p, QStringLiteral("SARDEGNA"));
        return m;
    }();
    return map;
}

} // namespace

QString ProvinceRegions::regionOf(const QString& province) {
    return table().value(province.trimmed().toUpper());
}

QStringList ProvinceRegions::provinces() {
    QStringList list;
    for (const Region& r : kRegions)
        list += QString::fromLatin1(r.provinces).split(u' ');
    return list;
}

} // namespace velomar::printing
