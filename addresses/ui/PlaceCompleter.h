#pragma once

#include "addresses/ItalianPlaces.h"
#include "addresses/PlaceSuggestions.h"

#include <QObject>

#include <functional>

class QCompleter;
class QLabel;
class QLineEdit;
class QStandardItemModel;

namespace velomar::common {
struct AppContext;
}

namespace velomar::addresses {

// The entry form's help with Italian places: lists of comuni under the CAP, CITTA and
// PROV boxes while typing (a choice fills the other boxes; nothing changes without one)
// and a mark that says, with its reason as a tooltip, when the three disagree.
class PlaceCompleter : public QObject {
    Q_OBJECT
public:
    struct Boxes {
        QLineEdit* cap = nullptr;
        QLineEdit* citta = nullptr;
        QLineEdit* prov = nullptr;
        std::function<QString()> naz;
        std::function<void(int field, const QString& text)> setField; // the form's own setter
    };

    PlaceCompleter(common::AppContext& context, Boxes boxes, QLabel* mark, QObject* parent = nullptr);

    // The choices listed under a box, as shown.
    QStringList offered(QLineEdit* box) const;
    // Applies the row-th choice listed under the box, as a click on it would.
    void choose(QLineEdit* box, int row);
    void refreshMark();
    // The code of a province written out ("Roma" -> "RM"); "" when none.
    QString provinceCode(const QString& name) const { return m_places.provinceByName(name); }

private:
    void attach(QLineEdit* box);
    void edited(QLineEdit* box);
    QCompleter* completerOf(QLineEdit* box) const;

    Boxes m_boxes;
    QLabel* m_mark;
    ItalianPlaces m_places;
    QString m_tableProblem; // why the CAP table could not be read
    std::vector<std::pair<QLineEdit*, QCompleter*>> m_completers;
    std::vector<QList<PlaceSuggestions::Choice>> m_choices;
};

} // namespace velomar::addresses
