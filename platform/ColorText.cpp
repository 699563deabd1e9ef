// The text form of colours in the settings file.
#include "ColorText.h"

#include <array>

namespace quire {

namespace {

struct TColorName {
    uint32_t Color;
    const char* Name;
};

constexpr uint32_t kSystem = 0x80000000u;

// The sixteen standard colours, the system colours by their index, and "none". A value is
// written with the first name that carries it.
constexpr std::array<TColorName, 42> kColorNames{{
    {0x000000, "clBlack"},
    {0x000080, "clMaroon"},
    {0x008000, "clGreen"},
    {0x008080, "clOlive"},
    {0x800000, "clNavy"},
    {0x800080, "clPurple"},
    {0x808000, "clTeal"},
    {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},
    {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},
    {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
    {kSystem + 0, "clScrollBar"},
    {kSystem + 1, "clBackground"},
    {kSystem + 2, "clActiveCaption"},
    {kSystem + 3, "clInactiveCaption"},
    {kSystem + 4, "clMenu"},
    {kSystem + 5, "clWindow"},
    {kSystem + 6, "clWindowFrame"},
    {kSystem + 7, "clMenuText"},
    {kSystem + 8, "clWindowText"},
    {kSystem + 9, "clCaptionText"},
    {kSystem + 10, "clActiveBorder"},
    {kSystem + 11, "clInactiveBorder"},
    {kSystem + 12, "clAppWorkSpace"},
    {kSystem + 13, "clHighlight"},
    {kSystem + 14, "clHighlightText"},
    {kSystem + 15, "clBtnFace"},
    {kSystem + 16, "clBtnShadow"},
    {kSystem + 17, "clGrayText"},
    {kSystem + 18, "clBtnText"},
    {kSystem + 19, "clInactiveCaptionText"},
    {kSystem + 20, "clBtnHighlight"},
    {kSystem + 21, "cl3DDkShadow"},
    {kSystem + 22, "cl3DLight"},
    {kSystem + 23, "clInfoText"},
    {kSystem + 24, "clInfoBk"},
    {0x1FFFFFFF, "clNone"},
}};

} // namespace

QString ColorToString(uint32_t Color) {
    for (const TColorName& n : kColorNames)
        if (n.Color == Color) return QString::fromLatin1(n.Name);
    return QStringLiteral("$%1").arg(Color, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<uint32_t> StringToColor(const QString& Text) {
    const QString t = Text.trimmed();
    for (const TColorName& n : kColorNames)
        if (t.compare(QLatin1String(n.Name), Qt::CaseInsensitive) == 0) return n.Color;
    if (t.startsWith(QLatin1Char('$'))) {
        const QString digits = t.mid(1);
        if (digits.isEmpty() || digits.size() > 8) return std::nullopt;
        uint32_t value = 0;
        for (const QChar c : digits) {
            const int d = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
            if (d < 0) return std::nullopt;
            value = value * 16 + static_cast<uint32_t>(d);
        }
        return value;
    }
    // Decimal: a negative number is the same 32 bits as the hexadecimal form.
    bool ok = false;
    const qlonglong value = t.toLongLong(&ok, 10);
    if (!ok || value < -2147483648LL || value > 0xFFFFFFFFLL) return std::nullopt;
    return static_cast<uint32_t>(value);
}

} // namespace quire
