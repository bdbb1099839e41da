#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace velomar::archive {

// A sort text "FIELD[ ASC|DESC], ..." resolved to field indexes ("COGNOME,NOME1",
// "CAP DESC, [CITTA]"). Blank text: no keys (the source order).
class SortSpec {
public:
    struct Key {
        int field;
        bool descending;
    };

    // Throws FilterError for an unknown field or a malformed text.
    static SortSpec parse(const QString& text, const std::function<int(const QString&)>& resolver);

    const std::vector<Key>& keys() const { return m_keys; }
    bool isEmpty() const { return m_keys.empty(); }

private:
    std::vector<Key> m_keys;
};

} // namespace velomar::archive
