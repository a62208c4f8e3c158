#include "core/ShortcutText.h"

#include <QList>
#include <Qt>

namespace ShortcutText {

namespace {

// One key: its virtual-key code, its stored name, its Qt key (with KeypadModifier for the
// numeric pad) and its name in QKeySequence's portable text.
struct Key {
    int vk;
    QString name;
    int qtKey;
    QString qtName;
};

constexpr int kKeypad = Qt::KeypadModifier;

QList<Key> BuildKeys()
{
    QList<Key> keys = {
        {0x08, "BkSp", Qt::Key_Backspace, "Backspace"},
        {0x09, "Tab", Qt::Key_Tab, "Tab"},
        {0x0D, "Enter", Qt::Key_Return, "Return"},
        {0x13, "Pause", Qt::Key_Pause, "Pause"},
        {0x1B, "Esc", Qt::Key_Escape, "Esc"},
        {0x20, "Space", Qt::Key_Space, "Space"},
        {0x21, "PgUp", Qt::Key_PageUp, "PgUp"},
        {0x22, "PgDn", Qt::Key_PageDown, "PgDown"},
        {0x23, "End", Qt::Key_End, "End"},
        {0x24, "Home", Qt::Key_Home, "Home"},
        {0x25, "Left", Qt::Key_Left, "Left"},
        {0x26, "Up", Qt::Key_Up, "Up"},
        {0x27, "Right", Qt::Key_Right, "Right"},
        {0x28, "Down", Qt::Key_Down, "Down"},
        {0x2D, "Ins", Qt::Key_Insert, "Ins"},
        {0x2E, "Del", Qt::Key_Delete, "Del"},
        {0x6A, "Num *", Qt::Key_Asterisk | kKeypad, "*"},
        {0x6B, "Num +", Qt::Key_Plus | kKeypad, "+"},
        {0x6D, "Num -", Qt::Key_Minus | kKeypad, "-"},
        {0x6E, "Num Del", Qt::Key_Period | kKeypad, "."},
        {0x6F, "Num /", Qt::Key_Slash | kKeypad, "/"},
        // the sign keys of the Japanese keyboard
        {0xBA, ":", Qt::Key_Colon, ":"},
        {0xBB, ";", Qt::Key_Semicolon, ";"},
        {0xBC, ",", Qt::Key_Comma, ","},
        {0xBD, "-", Qt::Key_Minus, "-"},
        {0xBE, ".", Qt::Key_Period, "."},
        {0xBF, "/", Qt::Key_Slash, "/"},
        {0xC0, "@", Qt::Key_At, "@"},
        {0xDB, "[", Qt::Key_BracketLeft, "["},
        {0xDC, "\\", Qt::Key_Backslash, "\\"},
        {0xDD, "]", Qt::Key_BracketRight, "]"},
        {0xDE, "^", Qt::Key_AsciiCircum, "^"},
    };
    for (int i = 0; i <= 9; ++i) {
        const QString digit = QString::number(i);
        keys.append({0x30 + i, digit, Qt::Key_0 + i, digit});
        keys.append({0x60 + i, QStringLiteral("Num ") + digit, (Qt::Key_0 + i) | kKeypad, digit});
    }
    for (int i = 0; i < 26; ++i) {
        const QString letter(QChar(u'A' + i));
        keys.append({0x41 + i, letter, Qt::Key_A + i, letter});
    }
    for (int i = 1; i <= 24; ++i) {
        const QString name = QStringLiteral("F%1").arg(i);
        keys.append({0x6F + i, name, Qt::Key_F1 + i - 1, name});
    }
    return keys;
}

const QList<Key> &Keys()
{
    static const QList<Key> keys = BuildKeys();
    return keys;
}

const Key *FindByVk(int vk)
{
    for (const Key &k : Keys()) {
        if (k.vk == vk)
            return &k;
    }
    return nullptr;
}

const Key *FindByName(QStringView name)
{
    for (const Key &k : Keys()) {
        if (name.compare(k.name, Qt::CaseInsensitive) == 0)
            return &k;
    }
    return nullptr;
}

const Key *FindByQtKey(int qtKey)
{
    for (const Key &k : Keys()) {
        if (k.qtKey == qtKey)
            return &k;
    }
    return nullptr;
}

// Stored modifier bits and their Qt counterparts, in the order the stored text writes them.
struct Modifier {
    int stored;
    int qt;
    QLatin1String prefix;
};
const Modifier kModifiers[] = {
    {scShift, Qt::ShiftModifier, QLatin1String("Shift+")},
    {scCtrl, Qt::ControlModifier, QLatin1String("Ctrl+")},
    {scAlt, Qt::AltModifier, QLatin1String("Alt+")},
};

}  // namespace

QString ShortCutToText(int shortcut)
{
    const Key *key = FindByVk(shortcut & 0xFF);
    if (!key)
        return QString();
    QString text;
    for (const Modifier &m : kModifiers) {
        if (shortcut & m.stored)
            text += m.prefix;
    }
    return text + key->name;
}

int TextToShortCut(const QString &text)
{
    QStringView rest = QStringView(text).trimmed();
    int shortcut = 0;
    for (bool found = true; found;) {
        found = false;
        for (const Modifier &m : kModifiers) {
            if (rest.startsWith(m.prefix, Qt::CaseInsensitive) && rest.size() > m.prefix.size()) {
                shortcut |= m.stored;
                rest = rest.mid(m.prefix.size());
                found = true;
            }
        }
    }
    const Key *key = FindByName(rest);
    return key ? shortcut | key->vk : 0;
}

int ShortCutToQtKey(int shortcut)
{
    const Key *key = FindByVk(shortcut & 0xFF);
    if (!key)
        return 0;
    int qtKey = key->qtKey;
    for (const Modifier &m : kModifiers) {
        if (shortcut & m.stored)
            qtKey |= m.qt;
    }
    return qtKey;
}

int QtKeyToShortCut(int qtKey)
{
    const int modifiers = qtKey & Qt::KeyboardModifierMask;
    int bare = qtKey & ~Qt::KeyboardModifierMask;
    if (bare == Qt::Key_Enter)
        bare = Qt::Key_Return;   // the Enter of the numeric pad is Enter too
    // keys of the pad that have no pad name of their own (arrows, Home...) are the plain keys
    const Key *key = FindByQtKey(bare | (modifiers & kKeypad));
    if (!key)
        key = FindByQtKey(bare);
    if (!key)
        return 0;
    int shortcut = key->vk;
    for (const Modifier &m : kModifiers) {
        if (modifiers & m.qt)
            shortcut |= m.stored;
    }
    return shortcut;
}

int TextToQtKey(const QString &text) { return ShortCutToQtKey(TextToShortCut(text)); }

QString QtKeyToText(int qtKey) { return ShortCutToText(QtKeyToShortCut(qtKey)); }

QString QtKeyToPortableText(int qtKey)
{
    const Key *key = FindByVk(QtKeyToShortCut(qtKey) & 0xFF);
    if (!key)
        return QString();
    QString text;
    if (qtKey & Qt::ControlModifier)
        text += QLatin1String("Ctrl+");
    if (qtKey & Qt::AltModifier)
        text += QLatin1String("Alt+");
    if (qtKey & Qt::ShiftModifier)
        text += QLatin1String("Shift+");
    if (key->qtKey & kKeypad)
        text += QLatin1String("Num+");
    return text + key->qtName;
}

}  // namespace ShortcutText
