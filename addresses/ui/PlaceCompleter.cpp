#include "addresses/ui/PlaceCompleter.h"

#include "addresses/AddressCheck.h"
#include "addresses/EntryFieldRules.h"
#include "common/AppContext.h"
#include "common/AppError.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>

namespace velomar::addresses {

namespace R = EntryFieldRules;

namespace {

ItalianPlaces placesFor(common::AppContext& context, QString& problem) {
    try {
        return ItalianPlaces::forUser(context.settings);
    } catch (const common::AppError& e) {
        problem = e.description();
        return ItalianPlaces::builtin();
    }
}

} // namespace

PlaceCompleter::PlaceCompleter(common::AppContext& context, Boxes boxes, QLabel* mark, QObject* parent)
    : QObject(parent), m_boxes(std::move(boxes)), m_mark(mark), m_places(placesFor(context, m_tableProblem)) {
    for (QLineEdit* box : {m_boxes.cap, m_boxes.citta, m_boxes.prov})
        attach(box);
    refreshMark();
}

void PlaceCompleter::attach(QLineEdit* box) {
    auto* completer = new QCompleter(new QStandardItemModel(this), this);
    completer->setWidget(box);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completers.emplace_back(box, completer);
    m_choices.emplace_back();
    connect(box, &QLineEdit::textEdited, this, [this, box] { edited(box); });
    connect(box, &QLineEdit::textChanged, this, [this] { refreshMark(); });
    connect(completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this, box](const QModelIndex& i) { choose(box, i.row()); });
}

QCompleter* PlaceCompleter::completerOf(QLineEdit* box) const {
    for (const auto& [b, c] : m_completers)
        if (b == box)
            return c;
    return nullptr;
}

void PlaceCompleter::edited(QLineEdit* box) {
    const QString text = box->text();
    QList<PlaceSuggestions::Choice> choices;
    if (box == m_boxes.cap && text.trimmed().size() == 5)
        choices = PlaceSuggestions::forCap(m_places, text);
    else if (box == m_boxes.citta)
        choices = PlaceSuggestions::forCitta(m_places, text);
    else if (box == m_boxes.prov)
        choices = PlaceSuggestions::forProv(m_places, text);
    for (std::size_t i = 0; i < m_completers.size(); ++i) {
        if (m_completers[i].first != box)
            continue;
        m_choices[i] = choices;
        QCompleter* completer = m_completers[i].second;
        auto* model = static_cast<QStandardItemModel*>(completer->model());
        model->clear();
        for (const auto& c : choices)
            model->appendRow(new QStandardItem(c.text));
        if (choices.isEmpty())
            completer->popup()->hide();
        else if (box->hasFocus())
            completer->complete();
    }
}

QStringList PlaceCompleter::offered(QLineEdit* box) const {
    QStringList out;
    for (std::size_t i = 0; i < m_completers.size(); ++i)
        if (m_completers[i].first == box)
            for (const auto& c : m_choices[i])
                out << c.text;
    return out;
}

void PlaceCompleter::choose(QLineEdit* box, int row) {
    for (std::size_t i = 0; i < m_completers.size(); ++i) {
        if (m_completers[i].first != box || row < 0 || row >= m_choices[i].size())
            continue;
        const PlaceSuggestions::Choice c = m_choices[i][row];
        if (!c.citta.isEmpty())
            m_boxes.setField(R::Citta, c.citta);
        if (!c.prov.isEmpty())
            m_boxes.setField(R::Prov, c.prov);
        if (!c.cap.isEmpty())
            m_boxes.setField(R::Cap, c.cap);
        m_completers[i].second->popup()->hide();
    }
    refreshMark();
}

void PlaceCompleter::refreshMark() {
    if (!m_mark)
        return;
    const AddressCheck check(m_places);
    const auto f = check.check({m_boxes.cap->text(), m_boxes.citta->text(), m_boxes.prov->text(),
                                m_boxes.naz ? m_boxes.naz() : QString()});
    QString tip;
    switch (f.outcome) {
    case AddressCheck::Outcome::Suspect:
        m_mark->setText(QStringLiteral("⚠"));
        tip = f.reason;
        if (f.hasProposal())
            tip += QStringLiteral("\nProposta: ") + AddressCheck::describe(f.proposal);
        break;
    case AddressCheck::Outcome::Locality:
        m_mark->setText(QStringLiteral("?"));
        tip = f.reason;
        break;
    default:
        m_mark->clear();
        break;
    }
    if (!m_tableProblem.isEmpty() && !tip.isEmpty())
        tip += u'\n' + m_tableProblem;
    m_mark->setToolTip(tip);
}

} // namespace velomar::addresses
