#include "Application.h"

#include "Messages.h"

#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <exception>

namespace quire {

bool RunGuarded(const std::function<bool()>& Handler) {
    static bool reporting = false;
    QString what;
    try {
        return Handler();
    } catch (const std::exception& e) {
        what = QString::fromUtf8(e.what());
    } catch (...) {
        what = QStringLiteral("unknown error");
    }
    std::fprintf(stderr, "quire: an operation failed: %s\n", what.toLocal8Bit().constData());
    if (!reporting) {
        reporting = true;
        Messages().Show(QStringLiteral("Quire"),
                        QStringLiteral("内部エラーのため、操作を中止しました。\r"
                                       "開いている文書は失われていません。念のため保存してください。\r\r") +
                            what,
                        TMessageIcon::Error);
        reporting = false;
    }
    return false;
}

bool InstallJapaneseTranslation() {
    static QTranslator translator;
    if (!translator.isEmpty()) return true;
    if (!translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return false;
    return QCoreApplication::installTranslator(&translator);
}

bool TApplication::notify(QObject* Receiver, QEvent* Event) {
    return RunGuarded([&] { return QApplication::notify(Receiver, Event); });
}

} // namespace quire
