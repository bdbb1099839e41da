#include "archive/CountryLookup.h"

#include "archive/ArchiveFile.h"
#include "archive/Statement.h"

namespace velomar::archive {

QString CountryLookup::nameOf(const QString& code) const {
    Database db = ArchiveFile::open(m_path, ArchiveKind::Countries, ArchiveFile::Access::ReadOnly);
    Statement st(db, QStringLiteral("SELECT Nazione FROM TabStatiEst WHERE Sigla = ? COLLATE NOCASE"));
    st.bindText(1, code.isNull() ? QStringLiteral("") : code);
    return st.step() ? st.text(0) : QStringLiteral("");
}

std::vector<std::pair<QString, QString>> CountryLookup::entries() const {
    Database db = ArchiveFile::open(m_path, ArchiveKind::Countries, ArchiveFile::Access::ReadOnly);
    Statement st(db, QStringLiteral("SELECT Sigla, Nazione FROM TabStatiEst"));
    std::vector<std::pair<QString, QString>> out;
    while (st.step())
        out.emplace_back(st.text(0), st.text(1));
    return out;
}

} // namespace velomar::archive
