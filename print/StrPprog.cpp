// The layout's progress window.
#include "StrPprog.h"
#include "ObjectName.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace quire {

namespace {

// Pending input runs at least this often (and whenever the bar moves), so that Cancel
// answers at once without the event loop being entered for every line of a long document.
constexpr int kEventIntervalMs = 30;

} // namespace

TFormStrProgress::TFormStrProgress(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("FormStrProgress"));
    setWindowTitle(QStringLiteral("TStringsPrinter"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    Label1 = Named(new QLabel(this), "Label1");
    ProgressBar1 = Named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setMinimumWidth(260);
    Button1 = Named(new QPushButton(QStringLiteral("Cancel"), this), "Button1");
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    connect(Button1, &QPushButton::clicked, this, [this] { FCancelled = true; });
}

void TFormStrProgress::Start(const QString& Caption, QWidget*) {
    FCancelled = false;
    Label1->setText(Caption);
    ProgressBar1->setValue(0);
    show();
    QCoreApplication::processEvents();
    FSinceEvents.start();
}

bool TFormStrProgress::Step(int Position) {
    if (Position != ProgressBar1->value() || FSinceEvents.elapsed() >= kEventIntervalMs) {
        ProgressBar1->setValue(Position);
        QCoreApplication::processEvents();
        FSinceEvents.restart();
    }
    return !FCancelled;
}

void TFormStrProgress::Finish() { hide(); }

void TFormStrProgress::closeEvent(QCloseEvent* Event) {
    // Closing the window cancels like the button; it goes away when the layout ends.
    FCancelled = true;
    Event->ignore();
}

void TFormStrProgress::reject() { FCancelled = true; }

} // namespace quire
