#include "common/ImageList.h"

#include <QFile>

#include <array>
#include <utility>

// The resources live in the static core library; make sure they are linked in.
static void initVelomarResources() { Q_INIT_RESOURCE(velomar); }

namespace velomar::common {

namespace {
struct Entry {
    const char* key;
    const char* tag;
};
constexpr std::array<Entry, 14> kEntries = {{
    {"kDBclose", "Database Chiuso"},
    {"kDBopen", "Database Aperto"},
    {"kINS", "Inserimento"},
    {"kTRASH", "Cestino"},
    {"kVERT", "Verticale"},
    {"kOR", "Orizzontale"},
    {"kGR", "Gruppi"},
    {"kPRN", "Stampante"},
    {"kDRIVET", "Hard-Disk"},
    {"kMODIFICA", "Modifica"},
    {"kCITTA", "Città"},
    {"kCAP", "CAP"},
    {"kPROV", "Provincia"},
    {"kNAZ", "Nazione"},
}};

void ensureResources() {
    static const bool done = [] {
        initVelomarResources();
        return true;
    }();
    (void)done;
}

const Entry* find(const QString& key) {
    for (const Entry& e : kEntries)
        if (key == QLatin1String(e.key))
            return &e;
    return nullptr;
}
} // namespace

QStringList ImageList::keys() {
    QStringList out;
    for (const Entry& e : kEntries)
        out << QLatin1String(e.key);
    return out;
}

bool ImageList::contains(const QString& key) { return find(key) != nullptr; }

QIcon ImageList::icon(const QString& key) {
    if (!contains(key))
        return {};
    ensureResources();
    return QIcon(QStringLiteral(":/images/") + key + QStringLiteral(".png"));
}

QPixmap ImageList::pixmap(const QString& key, int size) {
    const QIcon i = icon(key);
    return i.isNull() ? QPixmap() : i.pixmap(size, size);
}

QString ImageList::tag(const QString& key) {
    const Entry* e = find(key);
    return e ? QString::fromUtf8(e->tag) : QString();
}

QIcon ImageList::programIcon() {
    ensureResources();
    QIcon icon(QStringLiteral(":/images/velomar.png"));
    icon.addFile(QStringLiteral(":/images/velomar-128.png"));
    return icon;
}

} // namespace velomar::common
