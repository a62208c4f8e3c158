#pragma once
// Access keys of menu items. A menu in which two items share an access key only moves the
// highlight between them when the key is pressed; the key then runs nothing. The actions keep
// their own captions (tool bars, key bindings and the customisation dialogs show them); while a
// menu is open, an item whose key an earlier item of that menu took shows another key.

#include <QChar>
#include <QString>
#include <QStringList>

class QMenu;

namespace MenuAccessKeys {

// The access key of a caption: the character after a single "&", upper-cased ("&&" is a plain
// ampersand); a null character when the caption has none.
QChar AccessKeyOf(const QString &caption);

// What becomes of a caption without an access key: a menu of commands gives it one, as its other
// items have; a menu listing things (tabs, recent threads, search engines) leaves their names as
// they are.
enum class TKeyless { Keep, GiveKey };

// The captions, in menu order, with no access key used twice: the first caption with a key keeps
// it; a later one with the same key takes the first key still free among the ASCII letters and
// digits of its own text, then A to Z, then 0 to 9. A Japanese-style "(&X)" becomes "(&Y)"; a key
// inside the text moves to that letter, or, when the text lacks it, the caption ends in "(&Y)"
// (before a trailing "..."). With GiveKey a caption without a key takes a free key the same way, in
// the Japanese style; with Keep it stays as it is.
QStringList UniqueAccessKeys(const QStringList &captions, TKeyless keyless = TKeyless::Keep);

// While the menu is open its items show captions with unique access keys (UniqueAccessKeys over
// its visible items and submenus); when it closes, each item whose caption nobody changed in the
// meantime gets its own caption back. Install after the menu's other aboutToShow handlers.
void KeepAccessKeysUnique(QMenu *menu, TKeyless keyless = TKeyless::Keep);

}  // namespace MenuAccessKeys
