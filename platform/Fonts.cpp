// Font substitutions for the names kept in settings.
#include "Fonts.h"

#include <QFont>
#include <QGuiApplication>
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

} // namespace quire
