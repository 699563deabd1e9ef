// The message service.
#include "Messages.h"

#include <cstdio>

namespace quire {

namespace {

class StandardErrorMessages : public TMessageService {
public:
    void Show(const QString& Caption, const QString& Text, TMessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", Caption.toLocal8Bit().constData(), Text.toLocal8Bit().constData());
    }
    int Ask(const QString& Caption, const QString& Text, int Buttons, int, TMessageIcon Icon) override {
        Show(Caption, Text, Icon);
        return EscapeButton(Buttons);
    }
};

StandardErrorMessages gStandardError;
TMessageService* gService = nullptr;

} // namespace

int EscapeButton(int Buttons) noexcept {
    if (Buttons & mbCancel) return mbCancel;
    if (Buttons & mbNo) return mbNo;
    return Buttons & mbYes ? mbYes : mbOK;
}

TMessageService& Messages() { return gService ? *gService : gStandardError; }

int Ask(const QString& Text, int Buttons, int DefaultButton, TMessageIcon Icon) {
    return Messages().Ask(QStringLiteral("Quire"), Text, Buttons, DefaultButton, Icon);
}

void Tell(const QString& Text, TMessageIcon Icon) { Messages().Show(QStringLiteral("Quire"), Text, Icon); }

TMessageService* SetMessages(TMessageService* Service) {
    TMessageService* old = gService;
    gService = Service;
    return old;
}

QString ListedLines(const QStringList& Lines, int Shown, const QString& Separator) {
    if (Lines.size() <= Shown + 1) return Lines.join(Separator);
    return Lines.mid(0, Shown).join(Separator) + Separator + QStringLiteral("・ほか %1 件").arg(Lines.size() - Shown);
}

} // namespace quire
