#include "exchange/MdbFile.h"

#include "exchange/ExchangeError.h"

#include <QFile>
#include <QFileInfo>

#include <mdbtools.h>

#include <vector>

namespace velomar::exchange {

namespace {

constexpr size_t kBindSize = 200000; // long memos are cut by libmdb at the bind size

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using MdbPtr = std::unique_ptr<MdbHandle, MdbCloser>;
using TablePtr = std::unique_ptr<MdbTableDef, TableFreer>;

MdbPtr openDatabase(const QString& path) {
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable())
        throw ExchangeError(ExchangeError::ReadFailed,
                            QStringLiteral("Impossibile leggere il file \"%1\"").arg(path));
    // Jet 3 has no Unicode: its text is in the code page of the Windows that wrote it.
    if (qEnvironmentVariableIsEmpty("MDB_JET3_CHARSET"))
        qputenv("MDB_JET3_CHARSET", "CP1252");
    MdbPtr mdb(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS));
    if (!mdb || !mdb_read_catalog(mdb.get(), MDB_TABLE))
        throw ExchangeError(ExchangeError::BadInput, MdbFile::damagedText(path));
    mdb_set_date_fmt(mdb.get(), "%d/%m/%Y %H:%M:%S");
    mdb_set_shortdate_fmt(mdb.get(), "%d/%m/%Y");
    mdb_set_boolean_fmt_numbers(mdb.get());
    mdb_set_bind_size(mdb.get(), kBindSize);
    return mdb;
}

bool isUserTable(MdbCatalogEntry* entry) {
    return entry->object_type == MDB_TABLE && mdb_is_user_table(entry) &&
           !QByteArray(entry->object_name).startsWith("MSys");
}

QString tidyNumber(QString text) {
    if (text.contains(u'.') && !text.contains(u'e') && !text.contains(u'E')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

class AccessTable : public SourceTable {
public:
    AccessTable(MdbPtr mdb, TablePtr table, QString format)
        : m_mdb(std::move(mdb)), m_table(std::move(table)), m_format(std::move(format)) {
        mdb_read_columns(m_table.get());
        mdb_rewind_table(m_table.get());
        const unsigned count = m_table->num_cols;
        m_buffers.resize(count);
        m_lengths.resize(count);
        m_types.resize(count);
        for (unsigned i = 0; i < count; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(m_table->columns, i));
            m_columns.append(QString::fromUtf8(column->name));
            m_types[i] = column->col_type;
            if (column->col_type == MDB_OLE || column->col_type == MDB_BINARY ||
                column->col_type == MDB_COMPLEX)
                continue; // not text; left empty
            m_buffers[i].resize(kBindSize + 1);
            mdb_bind_column(m_table.get(), int(i + 1), m_buffers[i].data(), &m_lengths[i]);
        }
    }

    QStringList columns() const override { return m_columns; }

    bool next(QStringList& values) override {
        if (!mdb_fetch_row(m_table.get()))
            return false;
        ++m_row;
        values.clear();
        values.reserve(m_columns.size());
        for (qsizetype i = 0; i < m_columns.size(); ++i) {
            if (m_buffers[i].empty() || m_lengths[i] <= 0) {
                values.append(QString());
                continue;
            }
            QString text = QString::fromUtf8(m_buffers[i].data(), m_lengths[i]);
            switch (m_types[i]) {
            case MDB_MONEY:
            case MDB_FLOAT:
            case MDB_DOUBLE:
            case MDB_NUMERIC:
                text = tidyNumber(text);
                break;
            case MDB_DATETIME:
                if (text.endsWith(QStringLiteral(" 00:00:00")))
                    text.chop(9);
                break;
            default:
                break;
            }
            values.append(text);
        }
        return true;
    }

    qint64 position() const override { return m_row; }

    QString description() const override {
        return QStringLiteral("Access %1, tabella \"%2\"")
            .arg(m_format, QString::fromUtf8(m_table->name));
    }

private:
    MdbPtr m_mdb; // outlives the table: declared first
    TablePtr m_table;
    QString m_format;
    QStringList m_columns;
    std::vector<std::vector<char>> m_buffers;
    std::vector<int> m_lengths;
    std::vector<int> m_types;
    qint64 m_row = 0;
};

} // namespace

struct MdbFile::Handle {
    MdbPtr mdb;
};

QString MdbFile::damagedText(const QString& path) {
    return QStringLiteral("Impossibile leggere il file «%1»: file Access danneggiato.")
        .arg(QFileInfo(path).fileName());
}

MdbFile::MdbFile(const QString& path)
    : m_path(path), m_handle(std::make_unique<Handle>(Handle{openDatabase(path)})) {}

MdbFile::~MdbFile() = default;
MdbFile::MdbFile(MdbFile&&) noexcept = default;
MdbFile& MdbFile::operator=(MdbFile&&) noexcept = default;

QString MdbFile::format() const {
    switch (m_handle->mdb->f->jet_version) {
    case MDB_VER_JET3:
        return QStringLiteral("Jet 3 (Access 97)");
    case MDB_VER_JET4:
        return QStringLiteral("Jet 4 (Access 2000-2003)");
    default:
        return QStringLiteral("ACE (Access 2007 o successivo)");
    }
}

std::vector<AccessTableInfo> MdbFile::tables() const {
    std::vector<AccessTableInfo> found;
    MdbHandle* mdb = m_handle->mdb.get();
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (!isUserTable(entry))
            continue;
        TablePtr table(mdb_read_table(entry));
        if (!table)
            throw ExchangeError(ExchangeError::BadInput, damagedText(m_path));
        mdb_read_columns(table.get());
        AccessTableInfo info{QString::fromUtf8(entry->object_name), {}, qint64(table->num_rows)};
        for (unsigned c = 0; c < table->num_cols; ++c)
            info.columns << QString::fromUtf8(
                static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c))->name);
        found.push_back(std::move(info));
    }
    return found;
}

std::unique_ptr<SourceTable> MdbFile::openTable(const QString& name) const {
    MdbPtr mdb = openDatabase(m_path);
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (!isUserTable(entry) || QString::fromUtf8(entry->object_name) != name)
            continue;
        TablePtr table(mdb_read_table(entry));
        if (!table)
            break;
        return std::make_unique<AccessTable>(std::move(mdb), std::move(table), format());
    }
    throw ExchangeError(ExchangeError::BadInput,
                        QStringLiteral("La tabella \"%1\" non esiste nel database \"%2\"")
                            .arg(name, QFileInfo(m_path).fileName()));
}

} // namespace velomar::exchange
