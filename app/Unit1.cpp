// TMainForm: the main window.
#include "Unit1.h"

#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>

namespace quire {

namespace {

// Width and alignment of panels 1-9; panel 0 takes the rest of the bar.
struct PanelSpec {
    int Width;
    Qt::Alignment Align;
    const char* Initial;
};

constexpr PanelSpec kPanels[TMainForm::PanelCount] = {
    {0, Qt::AlignLeft | Qt::AlignVCenter, ""},
    {80, Qt::AlignRight | Qt::AlignVCenter, ""},
    {80, Qt::AlignRight | Qt::AlignVCenter, ""},
    {110, Qt::AlignRight | Qt::AlignVCenter, ""},
    {46, Qt::AlignCenter, "標準"},
    {38, Qt::AlignCenter, ""},
    {35, Qt::AlignCenter, ""},
    {40, Qt::AlignCenter, ""},
    {39, Qt::AlignCenter, "CRLF"},
    {42, Qt::AlignLeft | Qt::AlignVCenter, "挿入"},
};

const QString kNewDocument = QStringLiteral("新規作成");

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    FPageControl = new QTabWidget(this);
    FPageControl->setObjectName(QStringLiteral("PageControl"));
    auto* sheet = new QWidget(FPageControl);
    FPageControl->addTab(sheet, kNewDocument);
    setCentralWidget(FPageControl);
    CreateStatusBar();
    UpdateTitles(kNewDocument);
    resize(640, 480);
}

void TMainForm::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < PanelCount; ++i) {
        auto* label = new QLabel(QString::fromUtf8(kPanels[i].Initial), bar);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setAlignment(kPanels[i].Align);
        if (i == 0) {
            label->setFrameStyle(QFrame::NoFrame);
            bar->addWidget(label, 1);
        } else {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setFixedWidth(kPanels[i].Width);
            bar->addPermanentWidget(label);
        }
        FPanels[static_cast<size_t>(i)] = label;
    }
}

QString TMainForm::PanelText(int Index) const { return Panel(Index)->text(); }

void TMainForm::SetPanelText(int Index, const QString& Text) { Panel(Index)->setText(Text); }

void TMainForm::UpdateTitles(const QString& BaseName) {
    setWindowTitle(BaseName + QStringLiteral(" - Quire"));
}

} // namespace quire
