#pragma once

#include <QString>

namespace velomar::addresses {

// What the entry form lets into each box of an Address record (field index 0..16).
// Pure text rules, so that typing, pasting and loading all go through the same code.
namespace EntryFieldRules {

constexpr int Nr = 0;
constexpr int Titolo = 1;
constexpr int Cognome = 2;
constexpr int Cap = 6;
constexpr int Citta = 7;
constexpr int Prov = 8;
constexpr int Naz = 9;
constexpr int EMail = 13;
constexpr int Gr = 14;
constexpr int Note = 15;
constexpr int Appunti = 16;
constexpr int Unlimited = -1;

// Longest text a box stores; Unlimited for APPUNTI (memo) and NR.
int maxLength(int field);
// Longest text the user may type into a box: PROV takes a province written out
// ("Forlì-Cesena") until it becomes its code on leaving.
int typingLength(int field);
bool isMultiLine(int field);

// Filters text that reaches a box by typing or pasting: line breaks and control
// characters of one-line boxes become a blank, GR keeps A-Z and digits (upper-cased),
// CAP/CITTA/PROV/NAZ get their letters upper-cased. Never changes the length of a letter
// (ß stays ß).
QString filterInserted(int field, const QString& inserted);

// Result of an edit: the box's text and caret after the rules.
struct Edit {
    QString text;
    int cursor = 0;
};

// The user turned oldText into newText with the caret at cursor. The inserted run is
// filtered, then cut so that the box grows no longer than its limit; a text that was
// already longer (an older record) keeps what it had and may only shrink.
Edit applyEdit(int field, const QString& oldText, const QString& newText, int cursor);

// Upper-cases letters only, one character for one (Unicode-aware).
QString upperLetters(const QString& text);

// Text of a box after the user leaves it: GR of one character is doubled.
QString groupOnLeave(const QString& text);

} // namespace EntryFieldRules
} // namespace velomar::addresses
