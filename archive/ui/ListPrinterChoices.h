#pragma once

#include "archive/AddressRecord.h"
#include "archive/ListRange.h"
#include "settings/Settings.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QWidget;

namespace velomar::archive::ui {

// What the list-printing and export windows read from the address grid, live.
struct ListPrinterGrid {
    std::function<QString()> sortText;       // heading of the grid's sort order
    std::function<qint64()> selectionTop;    // 1-based row of the selection's top
    std::function<qint64()> selectionCount;  // rows selected
};

// The controls that the list-printing and export windows share (here, below both): the 17 field boxes,
// the three range options, the heading/description box, the range count and the
// progress bar, with the loading and saving of their settings key.
class ListPrinterChoices : public QObject {
    Q_OBJECT
public:
    using FieldMask = std::array<bool, AddressRecord::FieldCount>;

    // Creates the controls as children of owner (objectNames as the program names them);
    // headings are the captions of the 17 field boxes.
    ListPrinterChoices(QWidget* owner, const QStringList& headings, const QString& fieldsCaption,
                       const QString& descCaption, const QString& resultCaption);

    QGroupBox* fraEsporta;
    std::array<QCheckBox*, 17> ckCampo{};
    QGroupBox* fraINTERVALLO;
    std::array<QRadioButton*, 4> OptInt{}; // 1..3; [0] unused
    QLabel* lblDESC_;
    QLineEdit* txtDESC;
    QGroupBox* fraRESULT;
    QLabel* lblResult_;
    QLabel* lblTotInd;
    QProgressBar* BARRA;

    // Appends " (Ord. " + sort text + ")" to the captions of the grid's two ranges.
    void setSortText(const QString& sortText);
    // The number of addresses of each range (1..3), shown in lblTotInd.
    void setRangeCounts(qint64 archive, qint64 displayed, qint64 selection);

    void load(settings::Settings& store, settings::Settings::FieldSection section);
    void save(settings::Settings& store, settings::Settings::FieldSection section) const;

    FieldMask fields() const;
    ListRange range() const;
    qint64 rangeCount() const;

    // Progress: shows the bar and follows done/total; repaints without taking input.
    void progress(qint64 done, qint64 total);
    void hideProgress();

signals:
    void fieldsChanged();

private:
    void showRangeCount();

    std::array<qint64, 4> m_counts{};
};

} // namespace velomar::archive::ui
