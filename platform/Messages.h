// The one place through which the program tells the user something or asks a question.
#pragma once

#include <QString>
#include <QStringList>

namespace quire {

enum class TMessageIcon { None, Information, Warning, Error, Question };

// Buttons of a question, and the answer (one of them).
enum TMessageButton : int {
    mbOK = 1,
    mbCancel = 2,
    mbYes = 4,
    mbNo = 8,
};

// The answer of Escape and of the window's close box: Cancel when it is offered, else No,
// else the only button. Questions that can discard text offer Cancel or No for it.
int EscapeButton(int Buttons) noexcept;

// The application installs an implementation that shows message boxes; tests install one
// that records and answers. Without one, messages go to standard error and questions get the
// Escape answer (nothing is done that was not asked for), so that tools and libraries never
// block.
class TMessageService {
public:
    virtual ~TMessageService() = default;
    virtual void Show(const QString& Caption, const QString& Text, TMessageIcon Icon) = 0;
    // Returns the button chosen. DefaultButton is the one Enter presses; Escape and the close
    // box give EscapeButton(Buttons).
    virtual int Ask(const QString& Caption, const QString& Text, int Buttons, int DefaultButton, TMessageIcon Icon) = 0;
};

TMessageService& Messages();

// The program's own questions and messages, under the caption "Quire".
int Ask(const QString& Text, int Buttons, int DefaultButton, TMessageIcon Icon = TMessageIcon::Warning);
void Tell(const QString& Text, TMessageIcon Icon = TMessageIcon::Error);
// Lines (or paragraphs, with another Separator) for a message that must fit on the screen:
// the first Shown of them, and a last line that counts the rest.
QString ListedLines(const QStringList& Lines, int Shown = 10, const QString& Separator = QStringLiteral("\r"));
// Installs Service (not owned; null restores the standard-error service) and returns the
// one it replaces.
TMessageService* SetMessages(TMessageService* Service);

} // namespace quire
