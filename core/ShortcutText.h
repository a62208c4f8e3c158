#pragma once
// Key shortcuts as the stored files keep them. A shortcut value is a Windows virtual-key code with
// 0x2000 for Shift, 0x4000 for Ctrl and 0x8000 for Alt; its text is the modifiers in the order
// "Shift+Ctrl+Alt+" followed by the key name ("Ctrl+Tab", "Shift+Ins", "F5", "Num 0").
// The program itself works with Qt key combinations: a Qt::Key or'ed with Qt::KeyboardModifier
// values, as an int.

#include <QString>

namespace ShortcutText {

constexpr int scShift = 0x2000;
constexpr int scCtrl = 0x4000;
constexpr int scAlt = 0x8000;

// The text of a shortcut value; empty for 0 or a key without a name.
QString ShortCutToText(int shortcut);
// The shortcut value of a text (modifiers in any order, names ignoring case); 0 when unknown.
int TextToShortCut(const QString &text);

// A shortcut value as a Qt key combination and back; 0 when the key has no counterpart.
int ShortCutToQtKey(int shortcut);
int QtKeyToShortCut(int qtKey);

// The stored text straight to a Qt key combination and back.
int TextToQtKey(const QString &text);
QString QtKeyToText(int qtKey);

// The combination in the portable text that QKeySequence reads ("Ctrl+Shift+Tab"); empty when
// the key has no counterpart.
QString QtKeyToPortableText(int qtKey);

}  // namespace ShortcutText
