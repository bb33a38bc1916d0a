#include "controls/TColor.h"

namespace {

// Classic system colours, indexed by the low byte of a system colour.
constexpr TColor kSystemTable[] = {
    0xC0C0C0, // scroll bar
    0x808000, // background
    0x800000, // active caption
    0x808080, // inactive caption
    0xC0C0C0, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC0C0C0, // active border
    0xC0C0C0, // inactive border
    0x808080, // application work space
    0x800000, // highlight
    0xFFFFFF, // highlight text
    0xC0C0C0, // button face
    0x808080, // button shadow
    0x808080, // grey text
    0x000000, // button text
    0xC0C0C0, // inactive caption text
    0xFFFFFF, // button highlight
    0x000000, // 3D dark shadow
    0xDFDFDF, // 3D light
    0x000000, // info text
    0xE1FFFF, // info background
};

struct NamedColor {
    TColor value;
    const char *name;
};

constexpr NamedColor kNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"}, {clNone, "clNone"}, {clDefault, "clDefault"},
};

} // namespace

TColor ColorToRGB(TColor c)
{
    if (c & clSystemColor) {
        const TColor index = c & 0xFF;
        if (index < sizeof(kSystemTable) / sizeof(kSystemTable[0]))
            return kSystemTable[index];
        return 0;
    }
    return c & 0xFFFFFF;
}

QColor toQColor(TColor c)
{
    const TColor v = ColorToRGB(c);
    return QColor(GetRValue(v), GetGValue(v), GetBValue(v));
}

TColor fromQColor(const QColor &c)
{
    return RGBColor(c.red(), c.green(), c.blue());
}

QByteArray colorToIdent(TColor c)
{
    for (const auto &n : kNames)
        if (n.value == c)
            return QByteArray(n.name);
    return {};
}

std::optional<TColor> identToColor(const QByteArray &ident)
{
    for (const auto &n : kNames)
        if (ident.compare(n.name, Qt::CaseInsensitive) == 0)
            return n.value;
    return std::nullopt;
}
