#include "addresses/AddressTableModel.h"

#include "addresses/GridColumns.h"
#include "archive/DataModel.h"
#include "archive/Recordset.h"

#include <limits>

namespace velomar::addresses {

AddressTableModel::AddressTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void AddressTableModel::bind(archive::Recordset* recordset) {
    beginResetModel();
    m_rs = recordset;
    m_rows = 0;
    if (m_rs && m_rs->isOpen())
        m_rows = int(std::min<qint64>(m_rs->recordCount(), std::numeric_limits<int>::max()));
    endResetModel();
}

void AddressTableModel::rebind() { bind(m_rs); }

bool AddressTableModel::tryFilter(const QString& filter) {
    if (!m_rs)
        return false;
    const QString previous = m_rs->filter();
    const bool hadRow = m_rs->recordCount() > 0 && !m_rs->bof() && !m_rs->eof();
    const archive::Recordset::Bookmark mark = hadRow ? m_rs->bookmark() : 0;
    m_rs->setFilter(filter);
    if (m_rs->recordCount() > 0) {
        rebind();
        return true;
    }
    m_rs->setFilter(previous);
    if (hadRow && m_rs->rowOfBookmark(mark) >= 0)
        m_rs->setBookmark(mark);
    return false;
}

void AddressTableModel::clearFilter() {
    if (!m_rs)
        return;
    m_rs->setFilter(QString());
    rebind();
}

QString AddressTableModel::sortSpec(int sortIndex) {
    return archive::DataModel::sortSpec(sortIndex).value_or(QString());
}

void AddressTableModel::applySort(int sortIndex) {
    if (!m_rs || sortIndex < 0 || sortIndex >= GridColumns::SortCount)
        return;
    m_rs->setSort(sortSpec(sortIndex));
    rebind();
}

int AddressTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int AddressTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_rs ? 0 : GridColumns::Count;
}

QVariant AddressTableModel::data(const QModelIndex& index, int role) const {
    if (!m_rs || !index.isValid() || index.row() >= m_rows)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        QString text = m_rs->textAt(index.row(), index.column());
        if (role == Qt::DisplayRole) {
            // One line per row: the long notes show their first line.
            const qsizetype br = text.indexOf(u'\n');
            if (br >= 0)
                text = text.left(br).trimmed() + QStringLiteral(" …");
            return text;
        }
        return text.size() > 40 ? QVariant(text) : QVariant();
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant AddressTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return GridColumns::header(section);
    return section + 1;
}

} // namespace velomar::addresses
