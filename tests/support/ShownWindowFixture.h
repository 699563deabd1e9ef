// ShownWindowFixture: the main window of WindowFixture shown and active, for tests that drive
// its commands and dialogs through real events, with short ways to the current editor's text
// and selection.
#pragma once

#include "WindowFixture.h"

#include <QApplication>
#include <string>
#include <utility>

namespace quire::test {

class ShownWindowFixture : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        form->show();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
    }
    TEditor& editor() { return *form->CurrentEditor(); }
    using WindowFixture::editor;
    std::string all() { return editor().Lines().Text(); }
    // The current editor's selection as (start, length).
    std::pair<int, int> selection() { return {editor().SelStart(), editor().SelLength()}; }
};

} // namespace quire::test
