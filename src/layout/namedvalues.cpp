#include "layout/namedvalues.h"

#include <span>

namespace cm {

namespace {

struct NamedValue {
    const char* name;
    int32_t value;
};

constexpr int32_t sys(int index) { return static_cast<int32_t>(0x80000000u + unsigned(index)); }

// Table order matters: writing takes the first entry with the value.
constexpr NamedValue kColors[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clScrollBar", sys(0)}, {"clBackground", sys(1)}, {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)}, {"clMenu", sys(4)}, {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)}, {"clMenuText", sys(7)}, {"clWindowText", sys(8)},
    {"clCaptionText", sys(9)}, {"clActiveBorder", sys(10)}, {"clInactiveBorder", sys(11)},
    {"clAppWorkSpace", sys(12)}, {"clHighlight", sys(13)}, {"clHighlightText", sys(14)},
    {"clBtnFace", sys(15)}, {"clBtnShadow", sys(16)}, {"clGrayText", sys(17)},
    {"clBtnText", sys(18)}, {"clInactiveCaptionText", sys(19)}, {"clBtnHighlight", sys(20)},
    {"cl3DDkShadow", sys(21)}, {"cl3DLight", sys(22)}, {"clInfoText", sys(23)},
    {"clInfoBk", sys(24)},
    {"clNone", 0x1FFFFFFF},
};

constexpr NamedValue kCharsets[] = {
    {"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SYMBOL_CHARSET", 2}, {"MAC_CHARSET", 77},
    {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129}, {"JOHAB_CHARSET", 130},
    {"GB2312_CHARSET", 134}, {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161},
    {"TURKISH_CHARSET", 162}, {"HEBREW_CHARSET", 177}, {"ARABIC_CHARSET", 178},
    {"BALTIC_CHARSET", 186}, {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},
    {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
};

constexpr NamedValue kCursors[] = {
    {"crDefault", 0}, {"crArrow", -2}, {"crCross", -3}, {"crIBeam", -4}, {"crSizeNESW", -6},
    {"crSizeNS", -7}, {"crSizeNWSE", -8}, {"crSizeWE", -9}, {"crUpArrow", -10},
    {"crHourGlass", -11}, {"crDrag", -12}, {"crNoDrop", -13}, {"crHSplit", -14},
    {"crVSplit", -15}, {"crMultiDrag", -16}, {"crSQLWait", -17}, {"crNo", -18},
    {"crAppStart", -19}, {"crHelp", -20}, {"crHandPoint", -21}, {"crSizeAll", -22},
    {"crSize", -22},
};

std::span<const NamedValue> tableOf(NamedValueKind kind)
{
    switch (kind) {
    case NamedValueKind::Color: return kColors;
    case NamedValueKind::Charset: return kCharsets;
    case NamedValueKind::Cursor: return kCursors;
    }
    return {};
}

} // namespace

std::optional<QString> nameOfValue(NamedValueKind kind, int32_t value)
{
    for (const NamedValue& nv : tableOf(kind)) {
        if (nv.value == value)
            return QString::fromLatin1(nv.name);
    }
    return std::nullopt;
}

std::optional<int32_t> valueOfName(NamedValueKind kind, QStringView name)
{
    for (const NamedValue& nv : tableOf(kind)) {
        if (name.compare(QLatin1String(nv.name), Qt::CaseInsensitive) == 0)
            return nv.value;
    }
    return std::nullopt;
}

} // namespace cm
