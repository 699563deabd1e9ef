// Font substitutions for the names kept in settings.
#include "Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QRawFont>
#include <QString>

namespace quire {

QString JapaneseMonospaceFamily() { return QStringLiteral("IPAGothic"); }
QString JapaneseProportionalFamily() { return QStringLiteral("IPAPGothic"); }

void InstallFontSubstitutions() {
    const QString mono = JapaneseMonospaceFamily();
    const QString prop = JapaneseProportionalFamily();
    QFont::insertSubstitution(QStringLiteral("FixedSys"), mono);
    QFont::insertSubstitution(QStringLiteral("Fixedsys"), mono);
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), mono);
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), prop);
    QFont::insertSubstitution(QStringLiteral("MS UI Gothic"), prop);
    // The interface font keeps its family and falls back to a Japanese one for kana and kanji.
    if (QGuiApplication::instance()) {
        QFont font = QGuiApplication::font();
        if (!font.families().contains(prop)) {
            font.setFamilies({font.family(), prop});
            QGuiApplication::setFont(font);
        }
    }
}

bool DrawsJapanese(const QFont& Font) {
    const QRawFont raw = QRawFont::fromFont(Font, QFontDatabase::Japanese);
    if (!raw.isValid()) return false;
    for (char16_t c : {u'\u3042', u'\u30A2', u'\u6F22', u'\u5B57'}) // あ ア 漢 字
        if (!raw.supportsCharacter(c)) return false;
    return true;
}

bool FitsTheGrid(const QString& Family) {
    QFont f(Family);
    f.setPixelSize(16);
    const QFontMetricsF m(f);
    const qreal half = m.horizontalAdvance(QLatin1Char('0'));
    if (half <= 0) return false;
    // A proportional font may still have digits of half a kanji: its letters differ.
    for (char16_t c : {u'i', u'W', u'm', u'.', u'\uFF71'}) // ｱ is half-width too
        if (qAbs(m.horizontalAdvance(QChar(c)) - half) >= 0.01) return false;
    for (char16_t c : {u'\u6F22', u'\u3042', u'\u30A2', u'\uFF21'}) // 漢 あ ア Ａ
        if (qAbs(m.horizontalAdvance(QChar(c)) - 2 * half) >= 0.01) return false;
    return true;
}

QStringList GridFamilies() {
    QStringList grid;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese))
        if (DrawsJapanese(QFont(family)) && FitsTheGrid(family)) grid << family;
    return grid;
}

} // namespace quire
