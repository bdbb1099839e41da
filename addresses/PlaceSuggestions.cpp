#include "addresses/PlaceSuggestions.h"

#include "addresses/ItalianPlaces.h"
#include "addresses/PlaceKey.h"

namespace velomar::addresses {

namespace {

PlaceSuggestions::Choice choiceOf(const ItalianPlaces::Comune& c) {
    PlaceSuggestions::Choice choice;
    choice.citta = PlaceKey::forCitta(c.name).toUpper();
    choice.prov = c.prov;
    if (c.caps.size() == 1)
        choice.cap = c.caps.first();
    choice.text = QStringLiteral("%1 (%2)").arg(c.name.toUpper(), c.prov);
    if (!c.caps.isEmpty())
        choice.text += u' ' + (c.caps.size() == 1 ? c.caps.first() : c.caps.first() + QStringLiteral("…"));
    return choice;
}

} // namespace

QList<PlaceSuggestions::Choice> PlaceSuggestions::forCap(const ItalianPlaces& places, const QString& cap) {
    QList<Choice> out;
    for (int i : places.comuniOfCap(cap.trimmed())) {
        Choice c = choiceOf(places.comuni()[i]);
        c.cap = cap.trimmed();
        c.text = QStringLiteral("%1 (%2)").arg(places.comuni()[i].name.toUpper(), c.prov);
        out.append(c);
    }
    return out;
}

QList<PlaceSuggestions::Choice> PlaceSuggestions::forCitta(const ItalianPlaces& places, const QString& text) {
    QList<Choice> out;
    if (PlaceKey::of(text).size() < 2)
        return out;
    QList<int> found = places.startingWith(text, Limit);
    // "S. Giovanni" and "Sant'Antioco" written short.
    for (int i : places.find(text))
        if (!found.contains(i))
            found.prepend(i);
    // A comune since ended ("Forno di Zoldo") offers the ones that took it over.
    for (const ItalianPlaces::Ended* e : places.ended(text))
        for (int i : e->successors)
            if (!found.contains(i))
                found.prepend(i);
    for (int i : found)
        out.append(choiceOf(places.comuni()[i]));
    return out;
}

QList<PlaceSuggestions::Choice> PlaceSuggestions::forProv(const ItalianPlaces& places, const QString& text) {
    QList<Choice> out;
    const QString key = PlaceKey::of(text);
    if (key.isEmpty())
        return out;
    for (const QString& code : places.provinceCodes()) {
        const ItalianPlaces::Province* p = places.province(code);
        if (PlaceKey::of(code).startsWith(key) || PlaceKey::of(p->name).startsWith(key))
            out.append({QStringLiteral("%1 %2").arg(code, p->name), {}, {}, code});
    }
    return out;
}

} // namespace velomar::addresses
