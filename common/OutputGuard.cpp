#include "common/OutputGuard.h"

#include "common/FileIdentity.h"

#include <QDir>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <mutex>
#include <vector>

namespace velomar::common {

namespace {

struct Held {
    quint64 id;
    QString path;
    OutputGuard::Role role;
};

struct Registry {
    std::mutex mutex;
    std::vector<Held> held;
    quint64 lastId = 0;
    QString programFolder;
};

Registry& registry() {
    static Registry r;
    return r;
}

QString reasonFor(OutputGuard::Role role) {
    switch (role) {
    case OutputGuard::Role::Archive:
        return QStringLiteral("è l'archivio in uso.");
    case OutputGuard::Role::Groups:
        return QStringLiteral("è l'archivio dei gruppi.");
    case OutputGuard::Role::Template:
        return QStringLiteral("è un modello del programma.");
    case OutputGuard::Role::OpenFile:
        break;
    }
    return QStringLiteral("è un file aperto dal programma.");
}

// True when this process holds a descriptor on the file (dev, ino): SQLite keeps every
// open archive open, so this finds them whoever opened them.
bool openByThisProcess(const struct stat& target) {
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return false;
    const int own = ::dirfd(dir);
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == own)
            continue;
        struct stat st {};
        if (::fstatat(own, entry->d_name, &st, 0) == 0 && st.st_dev == target.st_dev &&
            st.st_ino == target.st_ino) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

OutputGuard::Holder& OutputGuard::Holder::operator=(Holder&& other) noexcept {
    if (this != &other) {
        Holder gone(m_id);
        m_id = other.m_id;
        other.m_id = 0;
    }
    return *this;
}

OutputGuard::Holder::~Holder() {
    if (m_id == 0)
        return;
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    std::erase_if(r.held, [this](const Held& h) { return h.id == m_id; });
}

OutputGuard::Holder OutputGuard::hold(const QString& path, Role role) {
    if (path.isEmpty())
        return {};
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.held.push_back({++r.lastId, path, role});
    return Holder(r.lastId);
}

void OutputGuard::setProgramFolder(const QString& folder) {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.programFolder = folder;
}

QString OutputGuard::programFolder() {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    return r.programFolder;
}

std::optional<QString> OutputGuard::problem(const QString& path, const Options& options) {
    const auto refused = [&path](const QString& reason) {
        return QStringLiteral("Impossibile scrivere su «%1»: %2")
            .arg(QDir::toNativeSeparators(path), reason);
    };
    const QByteArray name = QFile::encodeName(path);
    struct stat link {};
    if (path.isEmpty() || ::lstat(name.constData(), &link) != 0)
        return std::nullopt; // a new file
    if (options.refuseLink && S_ISLNK(link.st_mode))
        return refused(QStringLiteral("è un collegamento simbolico."));
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return std::nullopt; // a dangling link: writing creates its target
    if (S_ISDIR(st.st_mode))
        return refused(QStringLiteral("è una cartella."));
    if (!S_ISREG(st.st_mode))
        return refused(QStringLiteral("non è un file normale."));
    const bool isExcept = !options.except.isEmpty() && sameFile(path, options.except);

    std::vector<Held> held;
    QString folder;
    {
        Registry& r = registry();
        const std::lock_guard lock(r.mutex);
        held = r.held;
        folder = r.programFolder;
    }
    if (!isExcept)
        for (const Held& h : held)
            if (sameFile(path, h.path))
                return refused(reasonFor(h.role));
    if (!folder.isEmpty()) {
        const QDir dir(folder);
        if (sameFile(path, dir.filePath(QStringLiteral("Gruppi.grp"))))
            return refused(reasonFor(Role::Groups));
        for (const char* file : {"NewMail.sys", "NewGruppi.sys", "StatiEsteri.mdb"})
            if (sameFile(path, dir.filePath(QLatin1String(file))))
                return refused(reasonFor(Role::Template));
    }
    if (!isExcept && openByThisProcess(st))
        return refused(reasonFor(Role::OpenFile));
    return std::nullopt;
}

void OutputGuard::check(const QString& path, const Options& options) {
    if (const auto reason = problem(path, options))
        throw OutputRefused(Refused, *reason);
}

} // namespace velomar::common
