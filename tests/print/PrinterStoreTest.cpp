// The property stream, and bytes kept as hexadecimal lines in the settings file.
#include "PrinterStore.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "PropertyStream.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace quire;

namespace {

QString key(int line) { return QStringLiteral("Ident_d%1").arg(line); }
QString read(const QString& k) {
    return profile::ReadString(SettingsFileName(), QStringLiteral("Printer"), k, QStringLiteral("<none>"));
}

QByteArray bytes(int n) {
    QByteArray b;
    for (int i = 0; i < n; ++i) b.append(static_cast<char>(i * 37 + 5));
    return b;
}

} // namespace

TEST(PropertyStream, RoundTripOfEveryValueType) {
    TPropertyWriter w(QStringLiteral("TStringsPrinter"), QStringLiteral("StringsPrinter1"));
    w.WriteInteger(QStringLiteral("Small"), -5);
    w.WriteInteger(QStringLiteral("Medium"), 9999);
    w.WriteInteger(QStringLiteral("Large"), -2147483647 - 1);
    w.WriteBool(QStringLiteral("On"), true);
    w.WriteBool(QStringLiteral("Off"), false);
    w.WriteString(QStringLiteral("Ascii"), QStringLiteral("%F %p"));
    w.WriteString(QStringLiteral("Japanese"), QStringLiteral("ヘッダー %p ページ"));
    w.WriteString(QStringLiteral("Long"), QString(300, QLatin1Char('x')));
    w.WriteIdent(QStringLiteral("Align"), QStringLiteral("haCenter"));
    w.WriteSet(QStringLiteral("Style"), {QStringLiteral("fsBold"), QStringLiteral("fsItalic")});
    w.WriteSet(QStringLiteral("Empty"), {});
    const QByteArray stream = w.Finish();
    ASSERT_TRUE(stream.startsWith("TPF0\x0FTStringsPrinter\x0FStringsPrinter1"));
    EXPECT_EQ(stream.back(), '\0');

    const std::optional<TStreamedObject> o = ReadPropertyStream(stream);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->ClassName, QStringLiteral("TStringsPrinter"));
    EXPECT_EQ(o->ObjectName, QStringLiteral("StringsPrinter1"));
    ASSERT_EQ(o->Properties.size(), 11u);
    const auto& p = o->Properties;
    EXPECT_EQ(p[0].Value.Type, TValueType::vaInt8);
    EXPECT_EQ(p[0].Value.Int, -5);
    EXPECT_EQ(p[1].Value.Type, TValueType::vaInt16);
    EXPECT_EQ(p[1].Value.Int, 9999);
    EXPECT_EQ(p[2].Value.Type, TValueType::vaInt32);
    EXPECT_EQ(p[2].Value.Int, -2147483647 - 1);
    EXPECT_EQ(p[3].Value.Type, TValueType::vaTrue);
    EXPECT_EQ(p[4].Value.Type, TValueType::vaFalse);
    EXPECT_EQ(p[5].Value.Type, TValueType::vaString);
    EXPECT_EQ(p[5].Value.Text, QStringLiteral("%F %p"));
    EXPECT_EQ(p[6].Value.Type, TValueType::vaUtf8String);
    EXPECT_EQ(p[6].Value.Text, QStringLiteral("ヘッダー %p ページ"));
    EXPECT_EQ(p[7].Value.Text.size(), 300);
    EXPECT_EQ(p[8].Value.Type, TValueType::vaIdent);
    EXPECT_EQ(p[8].Value.Text, QStringLiteral("haCenter"));
    EXPECT_EQ(p[9].Value.Set, (QStringList{QStringLiteral("fsBold"), QStringLiteral("fsItalic")}));
    EXPECT_TRUE(p[10].Value.Set.isEmpty());
    EXPECT_EQ(p[10].Name, QStringLiteral("Empty"));
}

TEST(PropertyStream, DamagedStreamsAreRefused) {
    TPropertyWriter w(QStringLiteral("TStringsPrinter"), QStringLiteral("P"));
    w.WriteString(QStringLiteral("Header"), QStringLiteral("日本語の見出し"));
    const QByteArray good = w.Finish();
    ASSERT_TRUE(ReadPropertyStream(good));
    EXPECT_FALSE(ReadPropertyStream(QByteArray()));
    EXPECT_FALSE(ReadPropertyStream("TPF1" + good.mid(4)));
    // Cut anywhere before its end marker, the stream is incomplete.
    for (int n = 4; n < good.size(); ++n) EXPECT_FALSE(ReadPropertyStream(good.left(n))) << "cut at " << n;
    QByteArray unknownTag = good;
    unknownTag[unknownTag.indexOf("Header") + 6] = char(99);
    EXPECT_FALSE(ReadPropertyStream(unknownTag));
    // A string length running far past the end.
    QByteArray huge = good;
    const int at = huge.indexOf("Header") + 7;
    huge[at + 3] = char(0x7F);
    EXPECT_FALSE(ReadPropertyStream(huge));
}

TEST(HexLines, SeventyBytesAreThreeLinesAndAShorterStreamDeletesTheLineItNoLongerUses) {
    const QString file = SettingsFileName();
    const QByteArray seventy = bytes(70);
    WriteHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident"), seventy);
    EXPECT_EQ(read(QStringLiteral("Ident_c")), QStringLiteral("3"));
    EXPECT_EQ(read(key(0)).size(), 64);
    EXPECT_EQ(read(key(1)).size(), 64);
    EXPECT_EQ(read(key(2)).size(), 12);
    EXPECT_EQ(read(key(0)), QString::fromLatin1(seventy.left(32).toHex().toUpper()));
    EXPECT_EQ(read(key(3)), QStringLiteral("<none>"));
    EXPECT_EQ(ReadHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident")), seventy);

    const QByteArray forty = bytes(40);
    WriteHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident"), forty);
    EXPECT_EQ(read(QStringLiteral("Ident_c")), QStringLiteral("2"));
    EXPECT_EQ(read(key(1)).size(), 16);
    EXPECT_EQ(read(key(2)), QStringLiteral("<none>"));
    EXPECT_EQ(ReadHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident")), forty);

    // Exactly one full line, then nothing at all: the count goes too.
    WriteHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident"), bytes(32));
    EXPECT_EQ(read(QStringLiteral("Ident_c")), QStringLiteral("1"));
    EXPECT_EQ(read(key(1)), QStringLiteral("<none>"));
    WriteHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident"), QByteArray());
    EXPECT_EQ(read(QStringLiteral("Ident_c")), QStringLiteral("<none>"));
    EXPECT_EQ(read(key(0)), QStringLiteral("<none>"));
}

TEST(HexLines, DamagedLinesReadAsZeroBytesAndAnAbsurdCountAsNothing) {
    const QString file = SettingsFileName();
    profile::WriteInteger(file, QStringLiteral("Printer"), QStringLiteral("Ident_c"), 3);
    profile::WriteString(file, QStringLiteral("Printer"), key(0), QStringLiteral("41zz4a"));
    // Line 1 is missing; line 2 has an odd digit at its end.
    profile::WriteString(file, QStringLiteral("Printer"), key(2), QStringLiteral("FF0"));
    EXPECT_EQ(ReadHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident")), QByteArray("A\0J\xFF", 4));
    profile::WriteInteger(file, QStringLiteral("Printer"), QStringLiteral("Ident_c"), 2000000000);
    EXPECT_TRUE(ReadHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident")).isEmpty());
    // Writing over such a count does not walk two billion keys, and leaves a sound store.
    WriteHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident"), bytes(10));
    EXPECT_EQ(ReadHexLines(file, QStringLiteral("Printer"), QStringLiteral("Ident")), bytes(10));
}
