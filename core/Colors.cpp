#include "core/Colors.h"

#include <iterator>
#include <limits>

namespace {

struct NamedColor {
    TColor color;
    const char *name;
};

// In this order a name is chosen when writing.
constexpr NamedColor kNamedColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

// Desktop colours (0x00RRGGBB) by system colour index, as a plain light desktop shows them.
constexpr quint32 kSystemRgb[] = {
    0xC8C8C8,   // scroll bar
    0x000000,   // background
    0x99B4D1,   // active caption
    0xBFCDDB,   // inactive caption
    0xF0F0F0,   // menu
    0xFFFFFF,   // window
    0x646464,   // window frame
    0x000000,   // menu text
    0x000000,   // window text
    0x000000,   // caption text
    0xB4B4B4,   // active border
    0xF4F7FC,   // inactive border
    0xABABAB,   // application workspace
    0x3399FF,   // highlight
    0xFFFFFF,   // highlight text
    0xF0F0F0,   // button face
    0xA0A0A0,   // button shadow
    0x6D6D6D,   // gray text
    0x000000,   // button text
    0x434E54,   // inactive caption text
    0xFFFFFF,   // button highlight
    0x696969,   // 3D dark shadow
    0xE3E3E3,   // 3D light
    0x000000,   // info text
    0xFFFFE1,   // info background
    0x000000,   // (unused index)
    0x0066CC,   // hot light
    0xB9D1EA,   // gradient active caption
    0xD7E4F2,   // gradient inactive caption
    0x3399FF,   // menu highlight
    0xF0F0F0,   // menu bar
};

constexpr quint32 kOpaque = 0xFF000000;

}  // namespace

QString ColorToString(TColor color)
{
    for (const NamedColor &c : kNamedColors) {
        if (c.color == color)
            return QLatin1String(c.name);
    }
    return QLatin1Char('$') + QString::number(quint32(color), 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

TColor StringToColor(const QString &text, bool *ok)
{
    const QString t = text.trimmed();
    for (const NamedColor &c : kNamedColors) {
        if (t.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0) {
            if (ok)
                *ok = true;
            return c.color;
        }
    }
    bool parsed = false;
    qint64 value = 0;
    if (t.startsWith(QLatin1Char('$')))
        value = t.mid(1).toLongLong(&parsed, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toLongLong(&parsed, 16);
    else
        value = t.toLongLong(&parsed, 10);
    // 32 bits, read as signed or unsigned: "$80000005" and "-2147483643" are the same colour
    parsed = parsed && value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<quint32>::max();
    if (ok)
        *ok = parsed;
    return parsed ? TColor(quint32(value)) : clNone;
}

quint32 ColorToQColor(TColor color)
{
    if (color == clNone || color == clDefault)
        return 0;
    const quint32 value = quint32(color);
    if (value & 0x80000000u) {
        const quint32 index = value & 0xFF;
        return kOpaque | (index < std::size(kSystemRgb) ? kSystemRgb[index] : 0);
    }
    const quint32 r = value & 0xFF, g = (value >> 8) & 0xFF, b = (value >> 16) & 0xFF;
    return kOpaque | (r << 16) | (g << 8) | b;
}
