#pragma once

class QLineEdit;

namespace velomar::common::ui {

// The typing rules of a group code box: digits and capitals pass, small letters become
// capitals, anything else is dropped; at most 2 characters.
void applyGroupCodeRules(QLineEdit* edit);
// On leaving the box: a one-character code is written twice (A becomes AA).
void completeGroupCode(QLineEdit* edit);

} // namespace velomar::common::ui
