#pragma once

#include <QtGlobal>
#include <compare>
#include <functional>
#include <optional>

namespace velomar::printing {

// A line of a job's body: the item (address, summary row, group) and which of its lines
// (an address of the running-text list takes several, its blank line one more).
struct ItemLine {
    qint64 item = 0;
    int line = 0;

    auto operator<=>(const ItemLine&) const = default;
};

// The part of a job to print: the heading when the span starts at the first body line,
// then the body lines from `from` up to, not including, `to`. The preview draws a page
// so, from where it starts to where the next one does, without reading what lies before.
//
// A job asks prints() before every body line, in order, and prints nothing else but its
// heading; so a pass over the whole job can learn where each page starts.
class PrintSpan {
public:
    PrintSpan() = default; // the whole job
    PrintSpan(ItemLine from, std::optional<ItemLine> to) : m_from(from), m_to(to) {}

    bool heading() const { return m_from == ItemLine{}; }
    qint64 firstItem() const { return m_from.item; }
    // Whether the line belongs to the span.
    bool prints(qint64 item, int line) {
        const ItemLine at{item, line};
        if (m_observer)
            m_observer(at);
        return m_from <= at && (!m_to || at < *m_to);
    }
    // No line of this item, nor of any later one, is in the span: the job may stop.
    bool endsBefore(qint64 item) const {
        return m_to && (item > m_to->item || (item == m_to->item && m_to->line == 0));
    }

    // Hears of every body line just before the job prints it.
    void setObserver(std::function<void(ItemLine)> observer) { m_observer = std::move(observer); }

private:
    ItemLine m_from;
    std::optional<ItemLine> m_to;
    std::function<void(ItemLine)> m_observer;
};

} // namespace velomar::printing
