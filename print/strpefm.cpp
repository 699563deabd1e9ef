// The print dialog.
#include "strpefm.h"

#include "Dialogs.h"
#include "Messages.h"
#include "ObjectName.h"
#include "PlatformError.h"
#include "Printer.h"
#include "PrinterStore.h"
#include "ProgramFolder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <vector>

namespace quire {

namespace {

void tell(const QString& Text) { Messages().Show(QStringLiteral("Quire"), Text, TMessageIcon::Error); }

QLabel* buddyLabel(const QString& Text, QWidget* Buddy, QWidget* Parent) {
    auto* l = new QLabel(Text, Parent);
    l->setBuddy(Buddy);
    return l;
}

// Selects the entry Text, adding it first when the list lacks it, so that the option in
// force is always what the list shows.
void selectOrAdd(QComboBox* Box, const QString& Text) {
    int i = Box->findText(Text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (i < 0) {
        Box->insertItem(0, Text);
        i = 0;
    }
    Box->setCurrentIndex(i);
}

} // namespace

TFormStringsPrint::TFormStringsPrint(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("FormStringsPrint"));
    setWindowTitle(QStringLiteral("印刷"));
    auto* grid = new QGridLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(createPrinterBox());
    left->addWidget(createFontBox());
    left->addWidget(createMarginBox());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(createColumnBox());
    right->addWidget(createBandBox(true));
    right->addWidget(createBandBox(false));
    right->addStretch(1);
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addWidget(createKeywordBox(), 0, 2);
    auto* buttons = new QHBoxLayout;
    Button5 = Named(new QPushButton(QStringLiteral("印刷(&X)"), this), "Button5");
    Button6 = Named(new QPushButton(QStringLiteral("プレビュー(&P)"), this), "Button6");
    Button2 = Named(new QPushButton(QStringLiteral("キャンセル(&C)"), this), "Button2");
    Button5->setDefault(true);
    buttons->addStretch(1);
    for (QPushButton* b : {Button5, Button6, Button2}) buttons->addWidget(b);
    grid->addLayout(buttons, 1, 0, 1, 3);
    connect(Button5, &QPushButton::clicked, this, &TFormStringsPrint::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TFormStringsPrint::Button6Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connectControls();
}

QGroupBox* TFormStringsPrint::radioGroup(const QString& Name, const QString& Title, const QStringList& Items) {
    auto* box = new QGroupBox(Title, this);
    box->setObjectName(Name);
    auto* layout = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < Items.size(); ++i) {
        auto* b = new QRadioButton(Items[i], box);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    return box;
}

int TFormStringsPrint::ItemIndex(const QGroupBox* Group) { return Group->findChild<QButtonGroup*>()->checkedId(); }

void TFormStringsPrint::SetItemIndex(QGroupBox* Group, int Index) {
    QButtonGroup* g = Group->findChild<QButtonGroup*>();
    if (QAbstractButton* b = g->button(Index)) b->setChecked(true);
}

QSpinBox* TFormStringsPrint::spinEdit(const QString& Name) {
    auto* s = new QSpinBox(this);
    s->setObjectName(Name);
    s->setRange(0, 100);
    return s;
}

QWidget* TFormStringsPrint::createPrinterBox() {
    auto* box = new QGroupBox(QStringLiteral("プリンタ"), this);
    auto* layout = new QGridLayout(box);
    Label5 = Named(new QLabel(box), "Label5");
    Label6 = Named(new QLabel(box), "Label6");
    Label12 = Named(new QLabel(box), "Label12");
    layout->addWidget(new QLabel(QStringLiteral("プリンタ名："), box), 0, 0);
    layout->addWidget(Label5, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("用紙の向き："), box), 1, 0);
    layout->addWidget(Label6, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("用紙："), box), 2, 0);
    layout->addWidget(Label12, 2, 1);
    Button4 = Named(new QPushButton(QStringLiteral("プリンタ設定(&Q)"), box), "Button4");
    layout->addWidget(Button4, 3, 0, 1, 2, Qt::AlignRight);
    connect(Button4, &QPushButton::clicked, this, &TFormStringsPrint::Button4Click);
    return box;
}

QWidget* TFormStringsPrint::createFontBox() {
    auto* box = new QGroupBox(QStringLiteral("フォント"), this);
    auto* layout = new QGridLayout(box);
    ComboBox1 = Named(new QComboBox(box), "ComboBox1");
    ComboBox2 = Named(new QComboBox(box), "ComboBox2");
    layout->addWidget(buddyLabel(QStringLiteral("フォント名(&N)"), ComboBox1, box), 0, 0);
    layout->addWidget(ComboBox1, 0, 1);
    layout->addWidget(buddyLabel(QStringLiteral("フォントサイズ(&S)"), ComboBox2, box), 1, 0);
    layout->addWidget(ComboBox2, 1, 1);
    return box;
}

QWidget* TFormStringsPrint::createMarginBox() {
    auto* box = new QGroupBox(QStringLiteral("余白"), this);
    auto* layout = new QGridLayout(box);
    SpinEdit1 = spinEdit(QStringLiteral("SpinEdit1"));
    SpinEdit2 = spinEdit(QStringLiteral("SpinEdit2"));
    SpinEdit3 = spinEdit(QStringLiteral("SpinEdit3"));
    SpinEdit4 = spinEdit(QStringLiteral("SpinEdit4"));
    const std::pair<const char*, QSpinBox*> rows[] = {
        {"左余白(&L)", SpinEdit1}, {"右余白(&R)", SpinEdit2}, {"上余白(&T)", SpinEdit3}, {"下余白(&B)", SpinEdit4}};
    int row = 0;
    for (const auto& [caption, spin] : rows) {
        layout->addWidget(buddyLabel(QString::fromUtf8(caption), spin, box), row, 0);
        layout->addWidget(spin, row, 1);
        layout->addWidget(new QLabel(QStringLiteral("mm"), box), row, 2);
        ++row;
    }
    return box;
}

QWidget* TFormStringsPrint::createColumnBox() {
    auto* box = new QWidget(this);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    RadioGroup1 = radioGroup(QStringLiteral("RadioGroup1"), QStringLiteral("段組(&K)"),
                             {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    SpinEdit5 = spinEdit(QStringLiteral("SpinEdit5"));
    SpinEdit5->setValue(4);
    CheckBox1 = Named(new QCheckBox(QStringLiteral("行番号(&I)"), box), "CheckBox1");
    layout->addWidget(RadioGroup1, 0, 0, 1, 3);
    layout->addWidget(buddyLabel(QStringLiteral("段組の間隔(&M)"), SpinEdit5, box), 1, 0);
    layout->addWidget(SpinEdit5, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("mm"), box), 1, 2);
    layout->addWidget(CheckBox1, 2, 0, 1, 3);
    return box;
}

QWidget* TFormStringsPrint::createBandBox(bool Header) {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    const QStringList items = {QStringLiteral("なし"), QStringLiteral("左"), QStringLiteral("中央"),
                               QStringLiteral("右")};
    QGroupBox* group = Header ? radioGroup(QStringLiteral("RadioGroup2"), QStringLiteral("ヘッダー(&H)"), items)
                              : radioGroup(QStringLiteral("RadioGroup3"), QStringLiteral("フッター(&F)"), items);
    auto* edit = new QLineEdit(box);
    edit->setObjectName(Header ? QStringLiteral("Edit1") : QStringLiteral("Edit2"));
    layout->addWidget(group);
    layout->addWidget(buddyLabel(
        Header ? QStringLiteral("ヘッダー文字列(&E)：") : QStringLiteral("フッター文字列(&Z)："), edit, box));
    layout->addWidget(edit);
    (Header ? RadioGroup2 : RadioGroup3) = group;
    (Header ? Edit1 : Edit2) = edit;
    return box;
}

QWidget* TFormStringsPrint::createKeywordBox() {
    auto* box = new QGroupBox(QStringLiteral("キーワード"), this);
    auto* layout = new QVBoxLayout(box);
    for (const char* k : {"%p  ページ番号", "%f  ファイル名パス付き", "%F  ファイル名パス無し", "%y  年", "%m 月",
                          "%d  日", "%t  時間"})
        layout->addWidget(new QLabel(QString::fromUtf8(k), box));
    layout->addStretch(1);
    return box;
}

void TFormStringsPrint::connectControls() {
    TStringsPrinter& p = StringsPrinter1;
    connect(ComboBox1, &QComboBox::currentTextChanged, this, [&p](const QString& name) {
        QFont f = p.Font();
        f.setFamily(name);
        p.SetFont(f);
    });
    connect(ComboBox2, &QComboBox::currentTextChanged, this, [&p](const QString& size) {
        bool ok = false;
        const int points = size.toInt(&ok);
        QFont f = p.Font();
        f.setPointSize(ok && points > 0 ? points : 9);
        p.SetFont(f);
    });
    const std::pair<QSpinBox*, void (TStringsPrinter::*)(int)> spins[] = {
        {SpinEdit1, &TStringsPrinter::SetMarginLeft},
        {SpinEdit2, &TStringsPrinter::SetMarginRight},
        {SpinEdit3, &TStringsPrinter::SetMarginTop},
        {SpinEdit4, &TStringsPrinter::SetMarginBottom},
        {SpinEdit5, &TStringsPrinter::SetColumnSpace}};
    for (const auto& [spin, set] : spins)
        connect(spin, &QSpinBox::valueChanged, this, [&p, set = set](int v) { (p.*set)(v); });
    connect(RadioGroup1->findChild<QButtonGroup*>(), &QButtonGroup::idToggled, this, [&p](int id, bool on) {
        if (on) p.SetColumnCount(id + 1);
    });
    connect(CheckBox1, &QCheckBox::toggled, this, [&p](bool on) { p.SetLineNumber(on); });
    connect(RadioGroup2->findChild<QButtonGroup*>(), &QButtonGroup::idToggled, this, [&p](int id, bool on) {
        if (on) p.SetHeaderAlign(static_cast<TStringsPrinterHeaderAlign>(id));
    });
    connect(RadioGroup3->findChild<QButtonGroup*>(), &QButtonGroup::idToggled, this, [&p](int id, bool on) {
        if (on) p.SetFooterAlign(static_cast<TStringsPrinterHeaderAlign>(id));
    });
    connect(Edit1, &QLineEdit::textChanged, this, [&p](const QString& t) { p.SetHeader(t); });
    connect(Edit2, &QLineEdit::textChanged, this, [&p](const QString& t) { p.SetFooter(t); });
}

// --- showing the options -------------------------------------------------------------

void TFormStringsPrint::Setup(const TStringsPrinter& Printer, const TPrintLines* Lines) {
    StringsPrinter1.SetPrinter(&Printer.Printer());
    StringsPrinter1.Assign(Printer);
    FLines = Lines;
    showOptions();
    showPrinter();
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, Label6, Label12, Button4, Button5, Button6})
        w->setEnabled(FLines != nullptr);
}

void TFormStringsPrint::fillFontLists() {
    ComboBox1->clear();
    for (const QString& family : QFontDatabase::families())
        if (!family.startsWith(QLatin1Char('@'))) ComboBox1->addItem(family);
    selectOrAdd(ComboBox1, StringsPrinter1.Font().family());
    ComboBox2->clear();
    for (int size = 6; size <= 30; ++size) ComboBox2->addItem(QString::number(size));
    selectOrAdd(ComboBox2, QString::number(StringsPrinter1.Font().pointSize()));
}

void TFormStringsPrint::showOptions() {
    // Showing the options must not feed them back into the copy half-way.
    std::vector<QSignalBlocker> quiet;
    for (QObject* o : std::initializer_list<QObject*>{ComboBox1, ComboBox2, SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4,
                                                      SpinEdit5, CheckBox1, Edit1, Edit2})
        quiet.emplace_back(o);
    for (QGroupBox* g : {RadioGroup1, RadioGroup2, RadioGroup3}) quiet.emplace_back(g->findChild<QButtonGroup*>());
    const TStringsPrinter& p = StringsPrinter1;
    fillFontLists();
    SpinEdit1->setValue(p.MarginLeft());
    SpinEdit2->setValue(p.MarginRight());
    SpinEdit3->setValue(p.MarginTop());
    SpinEdit4->setValue(p.MarginBottom());
    SetItemIndex(RadioGroup1, p.ColumnCount() - 1);
    SpinEdit5->setValue(p.ColumnSpace());
    CheckBox1->setChecked(p.LineNumber());
    SetItemIndex(RadioGroup2, static_cast<int>(p.HeaderAlign()));
    Edit1->setText(p.Header());
    SetItemIndex(RadioGroup3, static_cast<int>(p.FooterAlign()));
    Edit2->setText(p.Footer());
}

void TFormStringsPrint::showPrinter() {
    const TStringsPrinterInfo& info = StringsPrinter1.PrinterInfo();
    Label5->setText(info.PrinterName());
    Label6->setText(info.Printer().pageLayout().orientation() == QPageLayout::Landscape ? QStringLiteral("poLandscape")
                                                                                        : QStringLiteral("poPortrait"));
    Label12->setText(info.PaperName());
}

// --- buttons -------------------------------------------------------------------------

void TFormStringsPrint::Button4Click() {
    Dialogs().PrinterSetup(this, StringsPrinter1.Printer());
    showPrinter();
}

void TFormStringsPrint::Button5Click() {
    if (!FLines) return;
    QPrinter& printer = StringsPrinter1.Printer();
    bool done = false;
    try {
        bool chosen = true;
        if (IsFilePrinter(printer)) {
            const QString name = StringsPrinter1.FileName();
            const QString suggested = name.isEmpty() ? printer.outputFileName()
                                                     : QFileInfo(name).path() + QLatin1Char('/') +
                                                           QFileInfo(name).completeBaseName() + QStringLiteral(".pdf");
            const QString file = Dialogs().PrintFileName(this, suggested);
            chosen = !file.isEmpty();
            if (chosen) printer.setOutputFileName(file);
        }
        done = chosen && StringsPrinter1.Print(*FLines, this);
        if (done && StringsPrinter1.PrintedPageCount() == 0) {
            tell(QStringLiteral(
                "印刷するページがありません（ページの範囲と奇数・偶数ページの指定を確かめてください）。"));
            done = false;
        }
    } catch (const EPlatformError& e) {
        tell(QString::fromStdString(e.what()));
    }
    saveOptions();
    if (done) accept();
}

void TFormStringsPrint::Button6Click() {
    if (FLines) StringsPrinter1.Preview(*FLines, this);
}

void TFormStringsPrint::saveOptions() {
    try {
        SavePrinterOptions(StringsPrinter1, SettingsFileName());
    } catch (const EPlatformError& e) {
        tell(QString::fromStdString(e.what()));
    }
}

bool ShowPrintDialog(TStringsPrinter* Printer, const TPrintLines& Lines, QWidget* Parent) {
    if (!Printer) return false;
    TFormStringsPrint dialog(Parent);
    dialog.Setup(*Printer, &Lines);
    if (dialog.exec() != QDialog::Accepted) return false;
    Printer->Assign(dialog.StringsPrinter1);
    return true;
}

} // namespace quire
