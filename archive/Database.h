#pragma once

#include <QString>
#include <memory>

struct sqlite3;

namespace velomar::archive {

class Statement;

// A move-only SQLite connection; closed in the destructor.
class Database {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    Database() = default;
    Database(const QString& path, Mode mode);
    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;
    ~Database() = default;

    bool isOpen() const { return m_handle != nullptr; }
    const QString& path() const { return m_path; }
    void close() { m_handle.reset(); }

    // How long a statement waits for another program's lock before failing: long enough
    // for a short write by another program (a few seconds), short enough to report it.
    static constexpr int DefaultBusyTimeoutMs = 5000;
    // The wait every new connection gets; tests shorten it to see refusals quickly.
    static int standardBusyTimeout();
    static void setStandardBusyTimeout(int ms);
    void setBusyTimeout(int ms);

    // Runs statements without parameters (schema, pragmas). Never for user text.
    void exec(const QString& sql);
    Statement prepare(const QString& sql);

    qint64 lastInsertRowId() const;
    int changes() const;
    int userVersion();
    qint64 applicationId();

    sqlite3* handle() const { return m_handle.get(); }

    // Throws DatabaseError when rc is not SQLITE_OK/ROW/DONE.
    void check(int rc) const;

private:
    struct Closer {
        void operator()(sqlite3* db) const noexcept;
    };
    std::unique_ptr<sqlite3, Closer> m_handle;
    QString m_path;
};

} // namespace velomar::archive
