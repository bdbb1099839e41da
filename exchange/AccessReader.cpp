#include "exchange/AccessReader.h"

#include "exchange/AccessSnapshot.h"
#include "exchange/ExchangeError.h"
#include "exchange/ImportMapping.h"
#include "archive/DataModel.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace velomar::exchange {

namespace {

AccessReader::Limits& limits() {
    static AccessReader::Limits value;
    return value;
}

QString& helperProgram() {
    static QString path;
    return path;
}

QString helper() {
    if (!helperProgram().isEmpty())
        return helperProgram();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/velomar-batch");
}

// Runs velomar-batch access-copy into a fresh folder; returns the folder, whose
// "copia.db" holds what was asked.
std::shared_ptr<QTemporaryDir> copyInChild(const QString& path, const QString& table) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        throw ExchangeError(ExchangeError::ReadFailed,
                            QStringLiteral("Impossibile leggere il file \"%1\"").arg(path));
    auto dir = std::make_shared<QTemporaryDir>();
    if (!dir->isValid())
        throw ExchangeError(ExchangeError::ReadFailed,
                            QStringLiteral("Impossibile creare una cartella temporanea: %1")
                                .arg(dir->errorString()));
    QStringList args{QStringLiteral("access-copy"), info.absoluteFilePath(),
                     dir->filePath(QStringLiteral("copia.db"))};
    if (!table.isEmpty())
        args << QStringLiteral("--table") << table;

    const AccessReader::Limits& l = limits();
    const rlim_t memory = rlim_t(l.memoryBytes);
    QProcess child;
    child.setChildProcessModifier([memory] {
#ifndef __SANITIZE_ADDRESS__ // the sanitizer's shadow memory counts as data: the time limit guards alone
        const rlimit data{memory, memory};
        ::setrlimit(RLIMIT_DATA, &data);
#else
        (void)memory;
#endif
        const rlimit core{0, 0}; // a crash of libmdb leaves no core file behind
        ::setrlimit(RLIMIT_CORE, &core);
    });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(helper(), args);
    if (!child.waitForStarted())
        throw ExchangeError(ExchangeError::ReadFailed,
                            QStringLiteral("Impossibile leggere il file «%1»: il programma %2 non si "
                                           "avvia (%3).")
                                .arg(info.fileName(), helper(), child.errorString()));
    const int timeMs = l.baseMs + int(info.size() / (1024 * 1024)) * l.msPerMegabyte;
    if (!child.waitForFinished(timeMs)) {
        child.kill();
        child.waitForFinished();
        throw ExchangeError(ExchangeError::BadInput, MdbFile::damagedText(path));
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() > 2)
        throw ExchangeError(ExchangeError::BadInput, MdbFile::damagedText(path));
    if (child.exitCode() != 0) {
        // The child's own Italian refusal; libmdb's notes never reach its standard error.
        const QString said = QString::fromUtf8(child.readAllStandardError()).trimmed();
        throw ExchangeError(ExchangeError::BadInput, said.isEmpty() ? MdbFile::damagedText(path) : said);
    }
    return dir;
}

} // namespace

void AccessReader::setLimits(const Limits& value) { limits() = value; }
void AccessReader::setHelperProgram(const QString& path) { helperProgram() = path; }

bool AccessReader::isAccessFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(20);
    return head.size() == 20 &&
           (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
}

AccessReader::AccessReader(const QString& path) : m_path(path) {
    const auto dir = copyInChild(path, QString());
    AccessSnapshot::Contents contents = AccessSnapshot::read(dir->filePath(QStringLiteral("copia.db")));
    m_format = contents.format;
    m_tables = std::move(contents.tables);
}

QStringList AccessReader::tables() const {
    QStringList names;
    for (const AccessTableInfo& t : m_tables)
        names << t.name;
    return names;
}

QString AccessReader::addressTable() const {
    using archive::DataModel;
    for (const AccessTableInfo& t : m_tables) {
        const ImportMapping m = ImportMapping::fromHeader(t.columns);
        int found = 0;
        for (const int f : {DataModel::INDIRIZZO, DataModel::CAP, DataModel::CITTA})
            found += m.column(f) != ImportMapping::NoColumn;
        if (found >= 2)
            return t.name;
    }
    return m_tables.empty() ? QString() : m_tables.front().name;
}

std::unique_ptr<SourceTable> AccessReader::openTable(const QString& name) const {
    if (!tables().contains(name))
        throw ExchangeError(ExchangeError::BadInput,
                            QStringLiteral("La tabella \"%1\" non esiste nel database \"%2\"")
                                .arg(name, QFileInfo(m_path).fileName()));
    const auto dir = copyInChild(m_path, name);
    return AccessSnapshot::rows(dir->filePath(QStringLiteral("copia.db")), dir);
}

} // namespace velomar::exchange
