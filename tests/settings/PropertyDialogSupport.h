// Opening the settings dialog from a real main window without a modal loop: the dialog is
// shown, driven by the test, and its result returned as the modal loop would.
#pragma once

#include "ScriptedServices.h"
#include "Unit7.h"

#include <QColor>
#include <deque>
#include <functional>

namespace quire::test {

class PropertyDialogs : public ScriptedDialogs {
public:
    // Runs on the dialog in place of its modal loop.
    std::function<void(TPropertyForm&)> Drive;
    // The colour picker's answers, in order (cancelled when none is left).
    std::deque<QColor> Colors;
    // The folder browser's answers.
    std::deque<QString> Folders;
    int ExecResult = -1;

    int Exec(QDialog& Dialog) override;
    bool ChooseColor(QWidget*, QColor& Color) override {
        if (Colors.empty()) return false;
        Color = Colors.front();
        Colors.pop_front();
        return true;
    }
    QString ChooseFolder(QWidget*, const QString&) override {
        if (Folders.empty()) return QString();
        QString f = Folders.front();
        Folders.pop_front();
        return f;
    }
};

} // namespace quire::test
