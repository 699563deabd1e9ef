// The file, font and printer dialogs the program shows, behind one interface so that tests
// can answer them without a modal loop.
#pragma once

#include <QFont>
#include <QString>
#include <functional>

class QColor;
class QDialog;
class QMessageBox;
class QPrinter;
class QUrl;
class QWidget;

namespace quire {

class TDialogService {
public:
    virtual ~TDialogService() = default;
    // The chosen path, or empty when the dialog was cancelled.
    virtual QString OpenFileName(QWidget* Parent, const QString& Filter) = 0;
    virtual QString SaveFileName(QWidget* Parent, const QString& Filter, const QString& Current) = 0;
    // An editor font (TFontChooser); false when cancelled.
    virtual bool ChooseFont(QWidget* Parent, QFont& Font) = 0;
    // Runs one of the program's own modal dialogs and returns its result; tests drive the
    // dialog instead of a modal loop.
    virtual int Exec(QDialog& Dialog);
    // The PDF file a file printer writes (Suggested is offered); empty when cancelled. An
    // implementation that does not answer it cancels.
    virtual QString PrintFileName(QWidget* Parent, const QString& Suggested) { return QString(); }
    // The printer set-up (printer, paper, orientation) applied to Printer; false when
    // cancelled. An implementation that does not answer it cancels.
    virtual bool PrinterSetup(QWidget* Parent, QPrinter& Printer) { return false; }
    // The colour picker, starting at Color; false when cancelled. An implementation that does
    // not answer it cancels.
    virtual bool ChooseColor(QWidget* Parent, QColor& Color) { return false; }
    // The folder browser, starting at Folder; the chosen folder, or empty when cancelled. An
    // implementation that does not answer it cancels.
    virtual QString ChooseFolder(QWidget* Parent, const QString& Folder) { return QString(); }
    // Hands Target (a web or mail address, a file) to the desktop's program for it; false
    // when there is none.
    virtual bool OpenUrl(const QUrl& Target);
};

TDialogService& Dialogs();
// Installs Service (not owned; null restores the Qt dialogs) and returns the old one.
TDialogService* SetDialogs(TDialogService* Service);

// Converts a filter list in the "caption|pattern;pattern|caption|pattern" form to Qt's.
QString QtFilter(const QString& Filter);

// Runs Work; a platform error it raises (a settings file that cannot be written, say) is
// shown to the user and false returned, so that the command around it goes on.
bool ReportPlatformError(const std::function<void()>& Work);

// Message boxes for the application's questions and messages (caption "Quire").
void InstallMessageBoxes();
// The buttons of a question box: Enter presses DefaultButton, Escape and the close box give
// EscapeButton(Buttons). AnswerOf turns the box's result into one of the buttons.
void PrepareQuestionBox(QMessageBox& Box, int Buttons, int DefaultButton);
int AnswerOf(int Result, int Buttons);

} // namespace quire
