// TPrintProgress: what a layout reports while it runs, and how it learns of a cancel.
#pragma once

#include <QString>

class QWidget;

namespace quire {

// This base shows nothing and never cancels (printing from the command line); the progress
// window and tests override it.
class TPrintProgress {
public:
    virtual ~TPrintProgress() = default;
    // Before the layout: Caption says what is being made ("印刷中", "プレビューを作成中").
    virtual void Start(const QString& Caption, QWidget* Parent) {}
    // Position 0..100 before each line; false when the user cancelled.
    virtual bool Step(int Position) { return true; }
    // After the layout, also when it was cancelled.
    virtual void Finish() {}
};

} // namespace quire
