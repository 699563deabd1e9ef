// WindowFixture: the main window made afresh for each test, with its questions and file
// dialogs scripted and a temporary folder for the files it opens.
#pragma once

#include "Editor.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "ScriptedServices.h"
#include "Settings.h"
#include "TestFiles.h"
#include "Unit1.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace quire::test {

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override { form = std::make_unique<TMainForm>(); }
    QString file(const QString& name, const QByteArray& bytes) { return WriteTestFile(dir.path(), name, bytes); }
    // Writes a setting; the window, which read its settings at start, takes it at once as
    // the settings dialog gives it.
    void setting(const char* section, const char* key, const QString& value) {
        profile::WriteString(SettingsFileName(), section, key, value);
        TSettings s;
        s.Load(SettingsFileName());
        form->MyProp() = s.MyProp;
    }
    TEditor* editor(int page) { return form->Page(page).Editor; }

    QTemporaryDir dir;
    ScriptedMessages messages;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

} // namespace quire::test
