// The fixture of the text command tests: a real main window with scripted questions and
// dialogs, and helpers for the current editor's text, selection and the clipboard.
#pragma once

#include "Cp932Codec.h"
#include "Editor.h"
#include "EditorClipboard.h"
#include "QStringPrinting.h"
#include "ScriptedServices.h"
#include "Unit1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace quire::test {

class TextCommandsFixture : public ::testing::Test {
public: // tables of set-ups in the tests use the helpers
    void SetUp() override { form = std::make_unique<TMainForm>(); }
    // Shown and active, with the current editor focused: for keys.
    void show() {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        focus();
    }
    void focus() {
        form->CurrentEditor()->setFocus();
        QApplication::processEvents();
    }
    TEditor* ed() { return form->CurrentEditor(); }
    void text(const std::string& t) { ed()->Lines().SetText(t); }
    std::string all() { return ed()->Lines().Text(); }
    void select(int start, int length) {
        ed()->SetSelStart(start);
        ed()->SetSelLength(length);
    }
    // The clipboard's text as other programs see it, and the bytes an editor pastes from it.
    static QString clip() { return QApplication::clipboard()->text(); }
    static std::string clipBytes() { return ReadClipboardText().Bytes; }
    // Bytes an editor copied are on the clipboard: as they are for the editors, and with LF
    // line ends for other programs.
    static void expectClipboardHolds(const std::string& Bytes) {
        EXPECT_EQ(Bytes, clipBytes());
        QString lf = cp932::ToDisplay(Bytes);
        lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(lf, clip());
    }
    static void setClip(const QString& t) { QApplication::clipboard()->setText(t); }
    QAction* item(const char* name) { return form->Action(QString::fromLatin1(name)); }
    bool enabled(const char* name) { return item(name)->isEnabled(); }
    // A key pressed where the user types: in the focused widget.
    void press(QKeyCombination k) { QTest::keyClick(QApplication::focusWidget(), k.key(), k.keyboardModifiers()); }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { press(QKeyCombination(m, static_cast<Qt::Key>(k))); }

    ScriptedMessages messages;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

// Shift_JIS bytes of a UTF-8 text.
inline std::string sj(const char* utf8) { return cp932::FromUnicode(QString::fromUtf8(utf8)); }

} // namespace quire::test
