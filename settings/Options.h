#pragma once

#include <array>
#include <cstdint>

namespace velomar::settings {

// The 26 application option bytes (OptApp_1..OptApp_26); index 0 is unused so that the
// program's option numbers are the array indices.
class Options {
public:
    static constexpr int Count = 26;

    std::uint8_t value(int index) const { return inRange(index) ? m_values[index] : 0; }
    void setValue(int index, int value);

    bool flag(int index) const { return value(index) != 0; }

    bool envelopeBold() const { return flag(10); }            // "Stampa su Busta in Grassetto"
    bool envelopeSender() const { return flag(11); }          // "Stampa Mittente su Busta"
    bool labelExtraCondensed() const { return flag(12); }     // Abadi MT Condensed
    bool listLucidaFont() const { return flag(13); }          // Lucida Console in lists
    bool singleLabelReminder() const { return flag(14); }     // reminder file for single labels
    bool singleChoiceAutoAdvance() const { return flag(15); } // next row after a choice
    bool gridDoubleClickDeletes() const { return flag(16); }  // double click deletes
    bool propertiesOnOpen() const { return flag(17); }        // properties window after open
    bool openAfterCreate() const { return flag(18); }         // open dialog after create
    bool labelBold() const { return flag(19); }               // bold labels
    bool formattedList() const { return flag(20); }           // landscape formatted list
    int floppyFormat() const { return value(21); }            // 0 "1,44 Mb", 1 "720 Kb"
    int floppyDrive() const { return value(22); }             // 0 "a:", 1 "b:"
    int labelTopOffsetMm() const { return value(23); }        // 0..10
    int labelLeftOffsetMm() const { return value(24); }       // 0..10
    int envelopeFeed() const { return value(25); }            // 0 LaserJet/Manual, 1 DeskJet
    int envelopeSenderIndex() const { return value(26); }     // 0 sender 1, 1 sender 2

    // Labels in the postal style; not one of the 26 bytes, stored under a key of its own.
    bool labelPostalStyle() const { return m_postalStyle; }
    void setLabelPostalStyle(bool on) { m_postalStyle = on; }

    // Largest value the options window can show for an option; out-of-range stored
    // values are read as 0.
    static int maximum(int index);

    bool operator==(const Options&) const = default;

private:
    static bool inRange(int index) { return index >= 1 && index <= Count; }
    std::array<std::uint8_t, Count + 1> m_values{};
    bool m_postalStyle = false;
};

} // namespace velomar::settings
