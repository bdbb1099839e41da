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

} // namespace velomar::archive
