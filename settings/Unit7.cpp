// TPropertyForm: the pages and their controls.
#include "Unit7.h"

#include "ColorItems.h"
#include "Editor.h"
#include "ObjectName.h"
#include "PropertyChecks.h"
#include "PropertyHost.h"
#include "RadioGroup.h"
#include "SpinEdit.h"
#include "jconvert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <climits>

namespace quire {

namespace {

QCheckBox* checkBox(const char* Name, const char* Caption) {
    return Named(new QCheckBox(QString::fromUtf8(Caption)), Name);
}

QLineEdit* lineEdit(const char* Name) { return Named(new QLineEdit, Name); }

QLabel* label(const char* Caption, QWidget* Buddy = nullptr) {
    auto* l = new QLabel(QString::fromUtf8(Caption));
    if (Buddy) l->setBuddy(Buddy);
    return l;
}

QPushButton* button(const char* Name, const char* Caption) {
    return Named(new QPushButton(QString::fromUtf8(Caption)), Name);
}

// A page laid out as rows of a label and its field.
struct TFormGrid {
    QWidget* Page = new QWidget;
    QGridLayout* Grid = new QGridLayout(Page);
    int Row = 0;
    void Add(QWidget* Left, QWidget* Right = nullptr, QWidget* After = nullptr) {
        Grid->addWidget(Left, Row, 0, 1, Right ? 1 : 3);
        if (Right) Grid->addWidget(Right, Row, 1);
        if (After) Grid->addWidget(After, Row, 2);
        ++Row;
    }
    // A field that takes the rest of the row.
    void AddWide(QWidget* Left, QWidget* Right) {
        Grid->addWidget(Left, Row, 0);
        Grid->addWidget(Right, Row, 1, 1, 2);
        ++Row;
    }
    QWidget* Finish() {
        Grid->setRowStretch(Row, 1);
        Grid->setColumnStretch(2, 1);
        return Page;
    }
};

} // namespace

TPropertyForm::TPropertyForm(QWidget* Owner, TPropertyHost& Host) : QDialog(Owner), FHost(Host) {
    setObjectName(QStringLiteral("PropertyForm"));
    setWindowTitle(QStringLiteral("設定"));
    PageControl = Named(new QTabWidget(this), "PageControl");
    PageControl->addTab(CreateBasicPage(), QStringLiteral("基本"));
    PageControl->addTab(CreateDisplayPage(), QStringLiteral("表示"));
    PageControl->addTab(CreateColorPage(), QStringLiteral("色"));
    PageControl->addTab(CreateKinsokuPage(), QStringLiteral("禁則処理"));
    PageControl->addTab(CreateFilePage(), QStringLiteral("ファイル"));
    PageControl->addTab(CreateKeywordPage(), QStringLiteral("キーワード"));
    PageControl->addTab(CreateOtherPage(), QStringLiteral("その他"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addWidget(CreateButtons());
    Btn_Ok->setDefault(true); // once in the dialog: Enter in a field presses OK
    LoadSettings();
    LoadKeyWords();
    FColorSnapshot = FHost.ColorTable();
    FStyleSnapshot = FHost.StyleTable();
}

TSpinEdit* TPropertyForm::NumberField(const QString& Name, int Min, int Max, int (*Check)(int) noexcept) {
    auto* e = new TSpinEdit(Min, Max);
    e->setObjectName(Name);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 32);
    FNumberFields.push_back({e, Check});
    CheckOnFocusOut(e);
    return e;
}

QWidget* TPropertyForm::CreateBasicPage() {
    TFormGrid g;
    Edit_UndoMax = NumberField(QStringLiteral("Edit_UndoMax"), 64, 10000, CheckUndoMax);
    g.Add(label("アンドゥのバッファサイズ(&D)：", Edit_UndoMax), Edit_UndoMax);
    ComboB_TabCount = Named(new QComboBox, "ComboB_TabCount");
    ComboB_TabCount->setEditable(true);
    ComboB_TabCount->setInsertPolicy(QComboBox::NoInsert);
    ComboB_TabCount->addItems({QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("8")});
    CheckOnFocusOut(ComboB_TabCount);
    g.Add(label("タブの文字数(&B)：", ComboB_TabCount), ComboB_TabCount);
    Edit_WheelScroll = NumberField(QStringLiteral("Edit_WheelScroll"), 0, INT_MAX, CheckWheelRows);
    g.Add(label("マウスホイールのスクロール行数(&S)：", Edit_WheelScroll), Edit_WheelScroll);
    Edit_LeftMargin = NumberField(QStringLiteral("Edit_LeftMargin"), 0, 100, CheckMargin);
    g.Add(label("左余白(&L)：", Edit_LeftMargin), Edit_LeftMargin);
    Edit_TopMargin = NumberField(QStringLiteral("Edit_TopMargin"), 0, 100, CheckMargin);
    g.Add(label("上余白(&T)：", Edit_TopMargin), Edit_TopMargin);
    Edit_LineMargin = NumberField(QStringLiteral("Edit_LineMargin"), 0, 100, CheckMargin);
    g.Add(label("行間隔(&R)：", Edit_LineMargin), Edit_LineMargin);
    Edit_CharMargin = NumberField(QStringLiteral("Edit_CharMargin"), 0, 100, CheckMargin);
    g.Add(label("文字間隔(&M)", Edit_CharMargin), Edit_CharMargin);
    Edit_InyoMozi = lineEdit("Edit_InyoMozi");
    g.Add(label("引用付き貼り付けで使用する引用符(&Q)：", Edit_InyoMozi), Edit_InyoMozi);
    g.Add(CheckB_FreeCursol = checkBox("CheckB_FreeCursol", "フリーカーソル(&F)"));
    g.Add(CheckB_AutoIndent = checkBox("CheckB_AutoIndent", "オートインデント(&I)"));
    g.Add(CheckB_UnderLine = checkBox("CheckB_UnderLine", "アンダーライン(&U)"));
    g.Add(CreateWrapGroup());
    return g.Finish();
}

QWidget* TPropertyForm::CreateWrapGroup() {
    auto* group = Named(new QGroupBox(QStringLiteral("桁折り")), "GroupBox_Wrap");
    auto* grid = new QGridLayout(group);
    CheckB_orWrap = checkBox("CheckB_orWrap", "指定行で折り返し(&C)");
    Edit_WrapByte = NumberField(QStringLiteral("Edit_WrapByte"), 20, 250, CheckWrapByte);
    QLabel* caption = label("桁数(&K)：", Edit_WrapByte);
    QLabel* note = label("(半角英数で数えて入力)");
    Btn_GetColCount = button("Btn_GetColCount", "現在の幅を取得(&W)");
    grid->addWidget(CheckB_orWrap, 0, 0, 1, 3);
    grid->addWidget(caption, 1, 0);
    grid->addWidget(Edit_WrapByte, 1, 1);
    grid->addWidget(note, 1, 2);
    grid->addWidget(Btn_GetColCount, 2, 1, 1, 2, Qt::AlignLeft);
    FWrapControls = {Edit_WrapByte, caption, note, Btn_GetColCount};
    connect(CheckB_orWrap, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    connect(Btn_GetColCount, &QPushButton::clicked, this, [this] { Btn_GetColCountClick(); });
    return group;
}

QWidget* TPropertyForm::CreateDisplayPage() {
    auto* page = new QWidget;
    auto* group = Named(new QGroupBox(QStringLiteral("特殊文字の表示/非表示")), "GroupBox_Marks");
    auto* marks = new QGridLayout(group);
    Edit3 = lineEdit("Edit3");
    const std::pair<QCheckBox**, QCheckBox*> inGroup[] = {
        {&Mark_EOF, checkBox("Mark_EOF", "EOF(&E)")},
        {&Mark_RET, checkBox("Mark_RET", "改行文字(&R)")},
        {&CheckB_URL, checkBox("CheckB_URL", "URL(&U)")},
        {&CheckB_Mail, checkBox("CheckB_Mail", "メールアドレス(&L)")},
        {&Mark_Space, checkBox("Mark_Space", "全角空白(&D)")},
        {&CheckBox21, checkBox("CheckBox21", "タブ文字(&B)")},
        {&CheckBox22, checkBox("CheckBox22", "半角空白(&H)")},
        {&CheckBox12, checkBox("CheckBox12", "引用行の別色表示(&C)")},
    };
    int row = 0;
    for (const auto& [field, box] : inGroup) {
        *field = box;
        marks->addWidget(box, row++, 0, 1, 2);
    }
    marks->addWidget(label("引用符(&I)：", Edit3), row, 0);
    marks->addWidget(Edit3, row, 1);
    auto* beside = new QVBoxLayout;
    const std::pair<QCheckBox**, QCheckBox*> besideGroup[] = {
        {&CheckBox13, checkBox("CheckBox13", "ツールバー(&T)")},
        {&CheckBox14, checkBox("CheckBox14", "ステータスバー(&S)")},
        {&CheckBox10, checkBox("CheckBox10", "縦スクロールバー(&V)")},
        {&CheckBox11, checkBox("CheckBox11", "横スクロールバー(&Y)")},
        {&CheckBox15, checkBox("CheckBox15", "垂直ルーラ(行番号)(&Z)")},
        {&CheckBox3, checkBox("CheckBox3", "水平ルーラ(桁数)(&J)")},
        {&CheckBox18, checkBox("CheckBox18", "ファイルサイズを常に表示する(&F)")},
        {&CheckBox19, checkBox("CheckBox19", "文字数を常に表示する(&M)")},
    };
    for (const auto& [field, box] : besideGroup) {
        *field = box;
        beside->addWidget(box);
    }
    beside->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(group, 0, Qt::AlignTop);
    layout->addLayout(beside);
    return page;
}

QWidget* TPropertyForm::CreateColorPage() {
    auto* page = new QWidget;
    ListBox = Named(new QListWidget, "ListBox");
    for (int i = 0; i < TColorItems::Count; ++i) ListBox->addItem(TColorItems::Caption(i));
    ColorPreview = Named(new QFrame, "ColorPreview");
    ColorPreview->setFrameStyle(QFrame::Box | QFrame::Plain);
    ColorPreview->setMinimumSize(64, 32);
    ColorPreview->setAutoFillBackground(true);
    Btn_ColorSelect = button("Btn_ColorSelect", "色の選択(&S)");
    Btn_Reset = button("Btn_Reset", "リセット(&R)");
    Btn_AllReset = button("Btn_AllReset", "すべてリセット(&D)");
    Cek_Bold = checkBox("Cek_Bold", "太字(&B)");
    Cek_Italic = checkBox("Cek_Italic", "斜体(&I)");
    Cek_UnderLine = checkBox("Cek_UnderLine", "アンダーライン(&U)");
    auto* side = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{ColorPreview, Btn_ColorSelect, Btn_Reset, Btn_AllReset, Cek_Bold,
                                                      Cek_Italic, Cek_UnderLine})
        side->addWidget(w);
    side->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(ListBox, 1);
    layout->addLayout(side);
    for (QWidget* w : std::initializer_list<QWidget*>{Btn_ColorSelect, Btn_Reset, Cek_Bold, Cek_Italic, Cek_UnderLine})
        w->setEnabled(false); // until an item is selected
    connect(ListBox, &QListWidget::currentRowChanged, this, [this] { ListBoxClick(); });
    connect(Btn_ColorSelect, &QPushButton::clicked, this, [this] { Btn_ColorSelectClick(); });
    connect(Btn_Reset, &QPushButton::clicked, this, [this] { Btn_ResetClick(); });
    connect(Btn_AllReset, &QPushButton::clicked, this, [this] { Btn_AllResetClick(); });
    for (QCheckBox* box : {Cek_Bold, Cek_Italic, Cek_UnderLine})
        connect(box, &QCheckBox::clicked, this, [this] { StyleBoxClick(); });
    return page;
}

QWidget* TPropertyForm::CreateKinsokuPage() {
    TFormGrid g;
    g.Add(Cek_WordWrap = checkBox("Cek_WordWrap", "英文ワードラップ(&W)"));
    g.Add(Cek_FollowRet = checkBox("Cek_FollowRet", "改行文字のぶら下げ(&R)"));
    g.Add(Cek_Kinsoku = checkBox("Cek_Kinsoku", "禁則処理(&S)"));
    Edit10 = lineEdit("Edit10");
    Edit11 = lineEdit("Edit11");
    QLabel* label10 = label("行頭禁則文字(&F)", Edit10);
    QLabel* label11 = label("行末禁則文字(&L)", Edit11);
    g.AddWide(label10, Edit10);
    g.AddWide(label11, Edit11);
    g.Add(CheckBox30 = checkBox("CheckBox30", "句読点のぶら下げ(&T)"));
    Edit12 = lineEdit("Edit12");
    QLabel* label12 = label("句読点(&P)", Edit12);
    g.AddWide(label12, Edit12);
    FKinsokuControls = {Edit10, Edit11, label10, label11};
    FPuncControls = {Edit12, label12};
    for (QCheckBox* box : {Cek_Kinsoku, CheckBox30})
        connect(box, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    return g.Finish();
}

QWidget* TPropertyForm::CreateFilePage() {
    TFormGrid g;
    g.Add(CheckBox16 = checkBox("CheckBox16", "バックアップファイルを作成する(&B)"));
    Edit8 = NumberField(QStringLiteral("Edit8"), 1, 99, CheckGenerations);
    QLabel* label8 = label("バックアップ世代数(&G)：", Edit8);
    QLabel* note8 = label("(1-99)");
    g.Add(label8, Edit8, note8);
    g.Add(CheckBox1 = checkBox("CheckBox1", "バックアップ先フォルダの指定(&D)"));
    Edit1 = lineEdit("Edit1");
    Button1 = button("Button1", "...");
    Button1->setMaximumWidth(Button1->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    QLabel* label1 = label("バックアップ先のパス(&P)：", Edit1);
    auto* folder = new QWidget;
    auto* folderRow = new QHBoxLayout(folder);
    folderRow->setContentsMargins(0, 0, 0, 0);
    folderRow->addWidget(Edit1, 1);
    folderRow->addWidget(Button1);
    g.AddWide(label1, folder);
    g.Add(CheckBox17 = checkBox("CheckBox17", "ファイルの自動保存(&F)"));
    Edit5 = NumberField(QStringLiteral("Edit5"), 5, 120, CheckInterval);
    QLabel* label5 = label("保存間隔(&T)：", Edit5);
    QLabel* unit5 = label("分毎");
    QLabel* note5 = label("(5～120分の間で指定)");
    g.Add(label5, Edit5, unit5);
    g.Grid->addWidget(note5, g.Row++, 1, 1, 2);
    g.Add(CheckBox23 = checkBox("CheckBox23", "上書き保存時に確認ダイアログを表示する(&S)"));
    ComboB_NewCode = Named(new QComboBox, "ComboB_NewCode");
    for (const char* code : {jconvert::kShiftJisName, jconvert::kJisName, jconvert::kEucName, jconvert::kUtf8Name,
                             jconvert::kUtf8BomName, jconvert::kUtf16LeName, jconvert::kUtf16BeName})
        ComboB_NewCode->addItem(QString::fromLatin1(code));
    g.Add(label("新規作成時の文字コード(&K)：", ComboB_NewCode), ComboB_NewCode);
    ComboB_NewLineEnd = Named(new QComboBox, "ComboB_NewLineEnd");
    for (const char* eol : {jconvert::kCrLfName, jconvert::kCrName, jconvert::kLfName})
        ComboB_NewLineEnd->addItem(QString::fromLatin1(eol));
    g.Add(label("新規作成時の改行コード(&R)：", ComboB_NewLineEnd), ComboB_NewLineEnd);
    FBackupControls = {CheckBox1, Edit8, label8, note8};
    FFolderControls = {Edit1, Button1, label1};
    FIntervalControls = {Edit5, label5, unit5, note5};
    for (QCheckBox* box : {CheckBox16, CheckBox1, CheckBox17})
        connect(box, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    return g.Finish();
}

QWidget* TPropertyForm::CreateKeywordPage() {
    TFormGrid g;
    g.Add(label("この設定は編集モード「ユーザ」に反映されます"));
    Edit2 = lineEdit("Edit2");
    g.AddWide(label("文字列と認識する囲み文字(&S)：", Edit2), Edit2);
    Edit4 = lineEdit("Edit4");
    g.AddWide(label("以降をコメントと認識する文字列(&C)：", Edit4), Edit4);
    auto* group = Named(new QGroupBox(QStringLiteral("複数行コメント")), "GroupBox_Comment");
    auto* grid = new QGridLayout(group);
    Edit6 = lineEdit("Edit6");
    Edit7 = lineEdit("Edit7");
    grid->addWidget(label("開始文字列(&L)：", Edit6), 0, 0);
    grid->addWidget(Edit6, 0, 1);
    grid->addWidget(label("終了文字列(&R)：", Edit7), 1, 0);
    grid->addWidget(Edit7, 1, 1);
    g.Add(group);
    KeyWordEditor = Named(new TEditor, "KeyWordEditor");
    KeyWordEditor->SetUndoListMax(64);
    KeyWordEditor->setContextMenuPolicy(Qt::NoContextMenu);
    g.Add(label("予約語リスト(&W)：", KeyWordEditor));
    g.Grid->addWidget(KeyWordEditor, g.Row, 0, 1, 3);
    g.Grid->setRowStretch(g.Row++, 1);
    return g.Page;
}

QWidget* TPropertyForm::CreateOtherPage() {
    auto* page = new QWidget;
    RG_TabPosition =
        Named(new TRadioGroup(QStringLiteral("タブの表示位置"),
                              {QStringLiteral("上"), QStringLiteral("下"), QStringLiteral("右"), QStringLiteral("左")}),
              "RG_TabPosition");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(RG_TabPosition);
    layout->addStretch();
    return page;
}

QWidget* TPropertyForm::CreateButtons() {
    auto* bar = new QWidget;
    Btn_Ok = button("Btn_Ok", "OK");
    Btn_NoneSave = button("Btn_NoneSave", "反映のみ(&A)");
    Btn_Cancel = button("Btn_Cancel", "キャンセル");
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    for (QPushButton* b : {Btn_Ok, Btn_NoneSave, Btn_Cancel}) layout->addWidget(b);
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Btn_OkClick(); });
    connect(Btn_NoneSave, &QPushButton::clicked, this, [this] { Btn_NoneSaveClick(); });
    connect(Btn_Cancel, &QPushButton::clicked, this, [this] { Btn_CancelClick(); });
    return bar;
}

} // namespace quire
