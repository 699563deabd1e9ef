// TFormStrProgress: the window shown while pages are laid out, with a Cancel button.
#pragma once

#include "PrintProgress.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace quire {

// Shown without blocking, but modal to the application, so that nothing else (a second
// print among them) can start while the layout lets pending input run.
class TFormStrProgress : public QDialog, public TPrintProgress {
    Q_OBJECT

public:
    explicit TFormStrProgress(QWidget* Parent = nullptr);

    void Start(const QString& Caption, QWidget* Parent) override;
    bool Step(int Position) override;
    void Finish() override;

    bool Cancelled() const noexcept { return FCancelled; }
    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    void closeEvent(QCloseEvent* Event) override;
    void reject() override;

private:
    bool FCancelled = false;
    QElapsedTimer FSinceEvents;
};

} // namespace quire
