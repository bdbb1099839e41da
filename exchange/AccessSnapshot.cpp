#include "exchange/AccessSnapshot.h"

#include "archive/Database.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"
#include "exchange/ExchangeError.h"

namespace velomar::exchange {

namespace {

using archive::Database;
using archive::Statement;

class SnapshotRows : public SourceTable {
public:
    SnapshotRows(const QString& path, std::shared_ptr<void> keep)
        : m_keep(std::move(keep)), m_db(path, Database::Mode::ReadOnly),
          m_rows(m_db, QStringLiteral("SELECT * FROM Righe ORDER BY rowid")) {
        Statement head(m_db, QStringLiteral("SELECT FORMATO, TABELLA FROM Copia"));
        if (head.step())
            m_description =
                QStringLiteral("Access %1, tabella \"%2\"").arg(head.text(0), head.text(1));
        Statement columns(m_db, QStringLiteral("SELECT NOME FROM Campi WHERE TABELLA = "
                                               "(SELECT POS FROM Tabelle, Copia WHERE NOME = TABELLA) "
                                               "ORDER BY POS"));
        while (columns.step())
            m_columns << columns.text(0);
    }

    QStringList columns() const override { return m_columns; }

    bool next(QStringList& values) override {
        if (!m_rows.step())
            return false;
        ++m_row;
        values.clear();
        for (int c = 0; c < m_columns.size(); ++c)
            values << (c < m_rows.columnCount() ? m_rows.text(c) : QString());
        return true;
    }

    qint64 position() const override { return m_row; }
    QString description() const override { return m_description; }

private:
    std::shared_ptr<void> m_keep;
    Database m_db;
    Statement m_rows;
    QStringList m_columns;
    QString m_description;
    qint64 m_row = 0;
};

} // namespace

void AccessSnapshot::write(const MdbFile& source, const QString& table, const QString& out) {
    Database db(out, Database::Mode::Create);
    db.exec(QStringLiteral("PRAGMA synchronous = OFF")); // a temporary: nothing to keep on a crash
    db.exec(QStringLiteral("CREATE TABLE Copia (FORMATO TEXT, TABELLA TEXT)"));
    db.exec(QStringLiteral("CREATE TABLE Tabelle (POS INTEGER PRIMARY KEY, NOME TEXT, RIGHE INTEGER)"));
    db.exec(QStringLiteral("CREATE TABLE Campi (TABELLA INTEGER, POS INTEGER, NOME TEXT)"));
    archive::Transaction tx(db);
    Statement(db, QStringLiteral("INSERT INTO Copia VALUES (?, ?)"))
        .bindText(1, source.format())
        .bindText(2, table)
        .exec();
    Statement addTable(db, QStringLiteral("INSERT INTO Tabelle VALUES (?, ?, ?)"));
    Statement addField(db, QStringLiteral("INSERT INTO Campi VALUES (?, ?, ?)"));
    int pos = 0;
    for (const AccessTableInfo& info : source.tables()) {
        addTable.bindInt(1, ++pos).bindText(2, info.name).bindInt(3, info.rows).exec();
        addTable.reset();
        for (int c = 0; c < info.columns.size(); ++c) {
            addField.bindInt(1, pos).bindInt(2, c).bindText(3, info.columns[c]).exec();
            addField.reset();
        }
    }
    if (!table.isEmpty()) {
        const std::unique_ptr<SourceTable> rows = source.openTable(table);
        const qsizetype count = rows->columns().size();
        QStringList names, marks;
        for (qsizetype c = 0; c < count; ++c) {
            names << QStringLiteral("C%1 TEXT").arg(c);
            marks << QStringLiteral("?");
        }
        db.exec(QStringLiteral("CREATE TABLE Righe (%1)")
                    .arg(count ? names.join(u',') : QStringLiteral("VUOTA")));
        if (count) {
            Statement insert(db, QStringLiteral("INSERT INTO Righe VALUES (%1)").arg(marks.join(u',')));
            QStringList values;
            while (rows->next(values)) {
                for (qsizetype c = 0; c < count; ++c)
                    insert.bindText(int(c) + 1, c < values.size() ? values[c] : QString());
                insert.exec();
                insert.reset();
            }
        }
    }
    tx.commit();
}

AccessSnapshot::Contents AccessSnapshot::read(const QString& path) {
    Database db(path, Database::Mode::ReadOnly);
    Contents contents;
    Statement head(db, QStringLiteral("SELECT FORMATO FROM Copia"));
    if (head.step())
        contents.format = head.text(0);
    Statement tables(db, QStringLiteral("SELECT POS, NOME, RIGHE FROM Tabelle ORDER BY POS"));
    Statement fields(db, QStringLiteral("SELECT NOME FROM Campi WHERE TABELLA = ? ORDER BY POS"));
    while (tables.step()) {
        AccessTableInfo info{tables.text(1), {}, tables.integer(2)};
        fields.bindInt(1, tables.integer(0));
        while (fields.step())
            info.columns << fields.text(0);
        fields.reset();
        contents.tables.push_back(std::move(info));
    }
    return contents;
}

std::unique_ptr<SourceTable> AccessSnapshot::rows(const QString& path, std::shared_ptr<void> keep) {
    return std::make_unique<SnapshotRows>(path, std::move(keep));
}

} // namespace velomar::exchange
