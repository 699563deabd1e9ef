// The application object: events whose handling fails are reported instead of ending the
// program, so that the user can still save the open documents.
#pragma once

#include <QApplication>

#include <functional>

namespace quire {

class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* Receiver, QEvent* Event) override;
};

// Qt's own buttons and dialogs in Japanese, like the program's texts (Debian's Qt translations;
// without them Qt stays in English). False when the translation is not installed.
bool InstallJapaneseTranslation();

// Runs Handler and returns its result. An exception it throws is shown to the user (once at a
// time: failures while that message is up only go to the error output) and gives false.
bool RunGuarded(const std::function<bool()>& Handler);

} // namespace quire
