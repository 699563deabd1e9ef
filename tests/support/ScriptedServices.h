// Test doubles for the question and dialog seams: questions are answered from a script and
// recorded with their buttons, and file dialogs return scripted paths.
#pragma once

#include "Dialogs.h"
#include "InstalledDouble.h"
#include "Messages.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace quire::test {

// Scripted answers besides the buttons themselves: the key a user would press.
constexpr int kEnter = -1;  // the question's default button
constexpr int kEscape = -2; // Escape, or the window's close box

struct TAskedQuestion {
    QString Text;
    int Buttons = 0;
    int Default = 0;
};

// Answers questions from Answers (Enter when it is empty) and records them; messages shown
// are recorded too.
class ScriptedMessages : public TInstalledDouble<TMessageService, &SetMessages> {
public:
    void Show(const QString&, const QString& Text, TMessageIcon) override { Shown << Text; }
    int Ask(const QString&, const QString& Text, int Buttons, int DefaultButton, TMessageIcon) override {
        Asked << Text;
        Questions.push_back({Text, Buttons, DefaultButton});
        int a = kEnter;
        if (!Answers.empty()) {
            a = Answers.front();
            Answers.pop_front();
        }
        if (a == kEnter) return DefaultButton;
        if (a == kEscape) return EscapeButton(Buttons);
        return a;
    }

    std::deque<int> Answers;
    QStringList Asked, Shown;
    std::vector<TAskedQuestion> Questions;
};

// File dialogs that return Paths in order (cancelled when it is empty).
class ScriptedDialogs : public TInstalledDouble<TDialogService, &SetDialogs> {
public:
    QString OpenFileName(QWidget*, const QString&) override { return next(); }
    QString ChooseFolder(QWidget*, const QString&) override { return next(); }
    QString SaveFileName(QWidget*, const QString&, const QString&) override {
        ++SaveDialogs;
        return next();
    }
    bool ChooseFont(QWidget*, QFont& Font) override {
        OfferedFont = Font;
        if (!ChosenFont) return false;
        Font = *ChosenFont;
        return true;
    }
    // The program's own modal dialogs: shown, then driven by ExecScript instead of a modal
    // loop; the result is the dialog's when the script is done (rejected without a script).
    // The desktop's answer to a file or address handed to it: DesktopOpens when set (true: a
    // program took it), else the desktop's own (URL handlers of the test included).
    bool OpenUrl(const QUrl& Target) override {
        Handed << Target;
        return DesktopOpens ? *DesktopOpens : TDialogService::OpenUrl(Target);
    }
    int Exec(QDialog& Dialog) override {
        ++Execs;
        Dialog.show();
        QApplication::processEvents();
        if (ExecScript) ExecScript(Dialog);
        return Dialog.result();
    }

    std::deque<QString> Paths;
    std::function<void(QDialog&)> ExecScript;
    int Execs = 0;
    std::optional<QFont> ChosenFont; // the font dialog's answer; cancelled when empty
    QFont OfferedFont;               // the font the dialog was last opened with
    int SaveDialogs = 0;
    std::optional<bool> DesktopOpens;
    QList<QUrl> Handed;

private:
    QString next() {
        if (Paths.empty()) return QString();
        QString p = Paths.front();
        Paths.pop_front();
        return p;
    }
};

} // namespace quire::test
