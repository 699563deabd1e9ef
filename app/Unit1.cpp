// TMainForm: the main window.
#include "Unit1.h"

#include "Editor.h"
#include "KanjiFile.h"
#include "PlatformError.h"

#include <QFileInfo>
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
    {40, Qt::AlignCenter, "S-JIS"},
    {39, Qt::AlignCenter, "CRLF"},
    {42, Qt::AlignLeft | Qt::AlignVCenter, "挿入"},
};

const QString kNewDocument = QStringLiteral("新規作成");

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    FPageControl = new QTabWidget(this);
    FPageControl->setObjectName(QStringLiteral("PageControl"));
    FEditor = new TEditor(FPageControl);
    FPageControl->addTab(FEditor, kNewDocument);
    setCentralWidget(FPageControl);
    CreateStatusBar();
    SetUpEditor();
    UpdateTitles(kNewDocument);
    resize(800, 560);
}

void TMainForm::SetUpEditor() {
    TEditor& e = *FEditor;
    e.SetScrollBars(TScrollStyle::ssBoth);
    e.Leftbar().SetVisible(true);
    e.Leftbar().SetBkColor(0xFFFFFF);
    e.Ruler().SetVisible(true);
    e.Marks().EofMark().SetVisible(true);
    e.Marks().EofMark().SetColor(0x808000);
    e.Marks().RetMark().SetVisible(true);
    e.Marks().RetMark().SetColor(0x808000);
    e.Marks().WrapMark().SetVisible(true);
    e.View().SetUrl(true);
    e.View().SetMail(true);
    e.View().SetCommenter(">");
    TEditorColors& c = e.View().Colors();
    c.Url().SetColor(0xFF0000);
    c.Url().SetStyle(fsUnderline);
    c.Mail().SetColor(0xFF0000);
    c.Mail().SetStyle(fsUnderline);
    c.Comment().SetColor(0xFF0000);
    e.OnCaretMoved = [this](TEditor*) { ShowCaretPosition(); };
    ShowCaretPosition();
}

void TMainForm::ShowCaretPosition() {
    SetPanelText(3, QString::asprintf("%6d", FEditor->Row() + 1) + QStringLiteral("行：") +
                        QString::asprintf("%4d", FEditor->Col() + 1) + QStringLiteral("桁"));
}

bool TMainForm::OpenFile(const QString& Path, QString* Error) {
    try {
        const TKanjiText t = ReadKanjiFile(Path);
        FEditor->Lines().SetText(t.Text);
        FEditor->SetModified(false);
        SetPanelText(7, QString::fromStdString(t.KanjiCode));
        if (t.LineEndCode) SetPanelText(8, QString::fromStdString(*t.LineEndCode));
        const QString base = QFileInfo(Path).fileName();
        FPageControl->setTabText(0, base);
        UpdateTitles(base);
        return true;
    } catch (const EPlatformError& e) {
        if (Error) *Error = QString::fromStdString(e.what());
        return false;
    }
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
