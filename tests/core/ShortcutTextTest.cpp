#include "core/ShortcutText.h"

#include <gtest/gtest.h>

#include <Qt>

using namespace ShortcutText;

TEST(ShortcutText, StoredTextsAndValues)
{
    const struct {
        const char *text;
        int value;
    } cases[] = {
        {"Ctrl+Tab", scCtrl | 0x09},       {"Shift+Ctrl+Tab", scShift | scCtrl | 0x09},
        {"Alt+F4", scAlt | 0x73},          {"Ctrl+A", scCtrl | 0x41},
        {"F5", 0x74},                      {"Shift+Ins", scShift | 0x2D},
        {"Esc", 0x1B},                     {"Enter", 0x0D},
        {"BkSp", 0x08},                    {"Del", 0x2E},
        {"PgUp", 0x21},                    {"PgDn", 0x22},
        {"Space", 0x20},                   {"Num 0", 0x60},
        {"Num 9", 0x69},                   {"Shift+Ctrl+Alt+Home", scShift | scCtrl | scAlt | 0x24},
        {"Ctrl+0", scCtrl | 0x30},         {"F24", 0x87},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(TextToShortCut(c.text), c.value) << c.text;
        EXPECT_EQ(ShortCutToText(c.value), QString(c.text)) << c.text;
    }
    // read in any modifier order and case, written in the stored order
    EXPECT_EQ(ShortCutToText(TextToShortCut("alt+ctrl+shift+left")), QString("Shift+Ctrl+Alt+Left"));
    EXPECT_EQ(TextToShortCut("Ctrl+NoSuchKey"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(ShortCutToText(0), QString());
}

TEST(ShortcutText, QtKeyCombinations)
{
    EXPECT_EQ(TextToQtKey("Shift+Ctrl+Tab"), (Qt::ShiftModifier | Qt::ControlModifier | Qt::Key_Tab).toCombined());
    EXPECT_EQ(TextToQtKey("Num 5"), (Qt::KeypadModifier | Qt::Key_5).toCombined());
    EXPECT_EQ(TextToQtKey("Alt+PgDn"), (Qt::AltModifier | Qt::Key_PageDown).toCombined());
    EXPECT_EQ(QtKeyToText((Qt::ControlModifier | Qt::Key_Delete).toCombined()), QString("Ctrl+Del"));
    EXPECT_EQ(QtKeyToText((Qt::KeypadModifier | Qt::Key_Enter).toCombined()), QString("Enter"));
    EXPECT_EQ(QtKeyToText((Qt::KeypadModifier | Qt::Key_Left).toCombined()), QString("Left"));   // the pad's arrow
    EXPECT_EQ(QtKeyToText(Qt::Key_F35), QString());

    for (const char *text : {"Ctrl+Tab", "Shift+Ctrl+Tab", "Num 0", "Ctrl+Num +", "Shift+Ins", "Ctrl+@", "Alt+F4"})
        EXPECT_EQ(QtKeyToText(TextToQtKey(text)), QString(text)) << text;

    EXPECT_EQ(QtKeyToPortableText(TextToQtKey("Shift+Ctrl+Tab")), QString("Ctrl+Shift+Tab"));
    EXPECT_EQ(QtKeyToPortableText(TextToQtKey("PgDn")), QString("PgDown"));
    EXPECT_EQ(QtKeyToPortableText(TextToQtKey("Num 0")), QString("Num+0"));
    EXPECT_EQ(QtKeyToPortableText(TextToQtKey("Enter")), QString("Return"));
}
