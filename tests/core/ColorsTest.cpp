#include "core/Colors.h"

#include <gtest/gtest.h>

TEST(Colors, NamesAndHexRoundTrip)
{
    const TColor named[] = {clBlack, clMaroon, clMoneyGreen, clMedGray, clWindow, clWindowText, clBtnFace,
                            clInfoBk, clInfoText, clHighlight, clHighlightText, clGrayText, clNone, clDefault};
    for (TColor c : named) {
        const QString text = ColorToString(c);
        EXPECT_TRUE(text.startsWith("cl")) << qPrintable(text);
        bool ok = false;
        EXPECT_EQ(StringToColor(text, &ok), c);
        EXPECT_TRUE(ok);
    }
    EXPECT_EQ(ColorToString(clInfoBk), QString("clInfoBk"));
    EXPECT_EQ(ColorToString(0x00EDEDE2), QString("$00EDEDE2"));
    EXPECT_EQ(StringToColor("$00EDEDE2"), 0x00EDEDE2);
    EXPECT_EQ(StringToColor(" clwindowtext "), clWindowText);
    // the same system colour as a signed or an unsigned number
    EXPECT_EQ(StringToColor("-2147483643"), clWindow);
    EXPECT_EQ(StringToColor("$80000005"), clWindow);
    EXPECT_EQ(StringToColor("16777215"), clWhite);

    bool ok = true;
    EXPECT_EQ(StringToColor("clPink", &ok), clNone);
    EXPECT_FALSE(ok);
    StringToColor("$1FFFFFFFF", &ok);
    EXPECT_FALSE(ok);
}

TEST(Colors, DrawingValues)
{
    EXPECT_EQ(ColorToQColor(0x00EDEDE2), 0xFFE2EDEDu);   // stored BGR: red E2, green ED, blue ED
    EXPECT_EQ(ColorToQColor(clRed), 0xFFFF0000u);
    EXPECT_EQ(ColorToQColor(clWindow), 0xFFFFFFFFu);
    EXPECT_EQ(ColorToQColor(clWindowText), 0xFF000000u);
    EXPECT_EQ(ColorToQColor(clInfoBk), 0xFFFFFFE1u);
    EXPECT_EQ(ColorToQColor(clNone) >> 24, 0u);
    EXPECT_EQ(ColorToQColor(TColor(0x800000FF)) >> 24, 0xFFu);   // an unknown system index is still opaque
}
