#pragma once

#include <QAbstractTableModel>
#include <QString>

namespace velomar::archive {
class Recordset;
}

namespace velomar::addresses {

// The address grid's rows, read straight from the main record set: no cell is copied.
// Columns 0..16 are NR..APPUNTI, 17 the selection mark SERV. Filter and sort changes go
// through here so the view is re-bound (reset) exactly once per change.
class AddressTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit AddressTableModel(QObject* parent = nullptr);

    // nullptr unbinds (the grid of a closed archive).
    void bind(archive::Recordset* recordset);
    archive::Recordset* recordset() const { return m_rs; }
    // Re-reads rows, filter and sort after a change of the record set.
    void rebind();

    // Sets the filter; when it selects no row the previous filter and current record are
    // put back and false is returned. The view is reset only when the filter stays.
    bool tryFilter(const QString& filter);
    // Removes any filter.
    void clearFilter();
    // Applies sort index 0..16 (others leave the sort unchanged); keeps the current record.
    void applySort(int sortIndex);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static QString sortSpec(int sortIndex);

private:
    archive::Recordset* m_rs = nullptr;
    int m_rows = 0;
};

} // namespace velomar::addresses
