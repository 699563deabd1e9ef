// A shown, focused TEditor for widget tests, with a fresh text for each test.
#pragma once

#include "Editor.h"
#include "Fonts.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        quire::InstallFontSubstitutions();
        e = std::make_unique<quire::TEditor>();
        e->resize(640, 400);
        e->show();
        e->activateWindow();
        if (!QTest::qWaitForWindowExposed(e.get())) QApplication::processEvents();
        e->setFocus();
        QApplication::processEvents();
    }
    void text(const std::string& t) { e->Lines().SetText(t); }
    std::string all() { return e->Lines().Text(); }
    std::unique_ptr<quire::TEditor> e;
};
