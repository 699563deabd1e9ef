// TStringsPrinter's options as a property stream.
#include "StrPrint.h"

#include "PropertyStream.h"

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <optional>

namespace quire {

namespace {

template <typename E, std::size_t N>
QString identOf(const std::array<const char*, N>& Names, E Value) {
    return QString::fromLatin1(Names[static_cast<std::size_t>(Value)]);
}

// The enumeration value called Ident, or nothing for an unknown name.
template <typename E, std::size_t N>
std::optional<E> valueOf(const std::array<const char*, N>& Names, const QString& Ident) {
    for (std::size_t i = 0; i < N; ++i)
        if (Ident == QLatin1String(Names[i])) return static_cast<E>(i);
    return std::nullopt;
}

constexpr std::array<const char*, 4> kAligns = {"haNone", "haLeft", "haCenter", "haRight"};
constexpr std::array<const char*, 3> kPageOptions = {"poBoth", "poOdd", "poEven"};
constexpr std::array<const char*, 2> kRangeOptions = {"roWhole", "roLimited"};

// The font height is kept as the platform keeps it: negative pixels at 96 dots per inch.
int heightOfPoints(double Points) { return -static_cast<int>(std::lround(Points * 96.0 / 72.0)); }
int pointsOfHeight(int Height) { return static_cast<int>(std::lround(std::abs(Height) * 72.0 / 96.0)); }

QStringList fontStyle(const QFont& f) {
    QStringList s;
    if (f.bold()) s << QStringLiteral("fsBold");
    if (f.italic()) s << QStringLiteral("fsItalic");
    if (f.underline()) s << QStringLiteral("fsUnderline");
    if (f.strikeOut()) s << QStringLiteral("fsStrikeOut");
    return s;
}

using TPropertyReader = std::function<void(TStringsPrinter&, const TPropertyValue&)>;

TPropertyReader integerProperty(void (TStringsPrinter::*Set)(int)) {
    return [Set](TStringsPrinter& p, const TPropertyValue& v) {
        if (v.IsInteger()) (p.*Set)(v.Int);
    };
}

TPropertyReader stringProperty(void (TStringsPrinter::*Set)(const QString&)) {
    return [Set](TStringsPrinter& p, const TPropertyValue& v) {
        if (v.IsString()) (p.*Set)(v.Text);
    };
}

template <typename E, std::size_t N>
TPropertyReader identProperty(const std::array<const char*, N>& Names, void (TStringsPrinter::*Set)(E)) {
    return [&Names, Set](TStringsPrinter& p, const TPropertyValue& v) {
        if (v.Type != TValueType::vaIdent) return;
        if (const std::optional<E> e = valueOf<E>(Names, v.Text)) (p.*Set)(*e);
    };
}

TPropertyReader fontProperty(const std::function<void(QFont&, const TPropertyValue&)>& Change) {
    return [Change](TStringsPrinter& p, const TPropertyValue& v) {
        QFont f = p.Font();
        Change(f, v);
        p.SetFont(f);
    };
}

const std::map<QString, TPropertyReader>& propertyReaders() {
    using P = TStringsPrinter;
    using V = const TPropertyValue&;
    static const std::map<QString, TPropertyReader> readers = {
        {QStringLiteral("ColumnCount"), integerProperty(&P::SetColumnCount)},
        {QStringLiteral("ColumnSpace"), integerProperty(&P::SetColumnSpace)},
        {QStringLiteral("FileName"), stringProperty(&P::SetFileName)},
        {QStringLiteral("FirstPageNumber"), integerProperty(&P::SetFirstPageNumber)},
        {QStringLiteral("Font.Color"),
         [](P& p, V v) {
             if (v.IsInteger()) p.SetFontColor(static_cast<std::uint32_t>(v.Int));
         }},
        {QStringLiteral("Font.Height"), fontProperty([](QFont& f, V v) {
             if (v.IsInteger() && v.Int != 0) f.setPointSize(pointsOfHeight(v.Int));
         })},
        {QStringLiteral("Font.Name"), fontProperty([](QFont& f, V v) {
             if (v.IsString() && !v.Text.isEmpty()) f.setFamily(v.Text);
         })},
        {QStringLiteral("Font.Style"), fontProperty([](QFont& f, V v) {
             if (v.Type != TValueType::vaSet) return;
             f.setBold(v.Set.contains(QStringLiteral("fsBold")));
             f.setItalic(v.Set.contains(QStringLiteral("fsItalic")));
             f.setUnderline(v.Set.contains(QStringLiteral("fsUnderline")));
             f.setStrikeOut(v.Set.contains(QStringLiteral("fsStrikeOut")));
         })},
        {QStringLiteral("Footer"), stringProperty(&P::SetFooter)},
        {QStringLiteral("FooterAlign"), identProperty(kAligns, &P::SetFooterAlign)},
        {QStringLiteral("Header"), stringProperty(&P::SetHeader)},
        {QStringLiteral("HeaderAlign"), identProperty(kAligns, &P::SetHeaderAlign)},
        {QStringLiteral("LastPage"), integerProperty(&P::SetLastPage)},
        {QStringLiteral("LineNumber"),
         [](P& p, V v) {
             if (v.IsBool()) p.SetLineNumber(v.Type == TValueType::vaTrue);
         }},
        {QStringLiteral("MarginBottom"), integerProperty(&P::SetMarginBottom)},
        {QStringLiteral("MarginLeft"), integerProperty(&P::SetMarginLeft)},
        {QStringLiteral("MarginRight"), integerProperty(&P::SetMarginRight)},
        {QStringLiteral("MarginTop"), integerProperty(&P::SetMarginTop)},
        {QStringLiteral("PageOption"), identProperty(kPageOptions, &P::SetPageOption)},
        {QStringLiteral("RangeOption"), identProperty(kRangeOptions, &P::SetRangeOption)},
        {QStringLiteral("StartPage"), integerProperty(&P::SetStartPage)},
    };
    return readers;
}

} // namespace

QByteArray TStringsPrinter::WriteProperties() const {
    TPropertyWriter w(QStringLiteral("TStringsPrinter"), objectName());
    w.WriteInteger(QStringLiteral("ColumnCount"), FColumnCount);
    w.WriteInteger(QStringLiteral("ColumnSpace"), FColumnSpace);
    w.WriteString(QStringLiteral("FileName"), FFileName);
    w.WriteInteger(QStringLiteral("FirstPageNumber"), FSelection.FirstPageNumber);
    w.WriteInteger(QStringLiteral("Font.Color"), static_cast<int>(FFontColor));
    w.WriteInteger(QStringLiteral("Font.Height"), heightOfPoints(FFont.pointSizeF()));
    w.WriteString(QStringLiteral("Font.Name"), FFont.family());
    w.WriteSet(QStringLiteral("Font.Style"), fontStyle(FFont));
    w.WriteString(QStringLiteral("Footer"), FFooter);
    w.WriteIdent(QStringLiteral("FooterAlign"), identOf(kAligns, FFooterAlign));
    w.WriteString(QStringLiteral("Header"), FHeader);
    w.WriteIdent(QStringLiteral("HeaderAlign"), identOf(kAligns, FHeaderAlign));
    w.WriteInteger(QStringLiteral("LastPage"), FSelection.LastPage);
    w.WriteBool(QStringLiteral("LineNumber"), FLineNumber);
    w.WriteInteger(QStringLiteral("MarginBottom"), FMarginBottom);
    w.WriteInteger(QStringLiteral("MarginLeft"), FMarginLeft);
    w.WriteInteger(QStringLiteral("MarginRight"), FMarginRight);
    w.WriteInteger(QStringLiteral("MarginTop"), FMarginTop);
    w.WriteIdent(QStringLiteral("PageOption"), identOf(kPageOptions, FSelection.PageOption));
    w.WriteIdent(QStringLiteral("RangeOption"), identOf(kRangeOptions, FSelection.RangeOption));
    w.WriteInteger(QStringLiteral("StartPage"), FSelection.StartPage);
    return w.Finish();
}

void TStringsPrinter::ReadProperties(const TStreamedObject& Object) {
    const auto& readers = propertyReaders();
    for (const TStreamedProperty& property : Object.Properties) {
        const auto it = readers.find(property.Name);
        if (it != readers.end()) it->second(*this, property.Value);
    }
}

} // namespace quire
