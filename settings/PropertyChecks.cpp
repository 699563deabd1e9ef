// The number checks of the settings dialog.
#include "PropertyChecks.h"

#include "PlatformError.h"
#include "Settings.h"

#include <algorithm>

namespace quire {

int FieldNumber(const QString& Text) {
    bool ok = false;
    const int value = Text.trimmed().toInt(&ok, 10);
    if (!ok) throw EPlatformError(QStringLiteral("'%1' は正しい整数値ではありません。").arg(Text).toStdString());
    return value;
}

void CheckSettingText(const QString& Text) {
    for (const QChar c : Text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.isNull())
            throw EPlatformError("改行文字（CR、LF）や NUL 文字は設定に使えません。");
}

int CheckUndoMax(int Value) noexcept { return std::max(Value, 64); }

int CheckTabCount(int Value) noexcept {
    if (Value <= 1) return 2;
    if (Value >= 8) return 8;
    return Value % 2 == 0 ? Value : Value + 1; // 3, 5 and 7 go up to the next even width
}

int CheckWheelRows(int Value) noexcept { return std::max(Value, 0); }
int CheckMargin(int Value) noexcept { return std::clamp(Value, 0, 100); }
int CheckWrapByte(int Value) noexcept { return std::clamp(Value, 20, 250); }
int CheckGenerations(int Value) noexcept { return std::clamp(Value, 1, 99); }
int CheckInterval(int Value) noexcept { return std::clamp(Value, 5, 120); }

QString DollarQuoted(const QString& Mark) {
    QString doubled = Mark;
    doubled.replace(QLatin1Char('$'), QStringLiteral("$$"));
    return QLatin1Char('$') + doubled + QLatin1Char('$');
}

QString DollarUnquoted(const QString& Stored) {
    return Stored.startsWith(QLatin1Char('$')) ? PasteMark(Stored) : Stored;
}

} // namespace quire
