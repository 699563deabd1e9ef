// TFrmKeyCosm: the key customisation dialog.
#include "Unit8.h"

#include "Messages.h"
#include "ObjectName.h"
#include "PlatformError.h"
#include "ShortcutText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quire {
namespace {

// The command index a tree node stands for; group nodes hold none.
constexpr int kCommandRole = Qt::UserRole;
const QString kSubGroupSeparator = QStringLiteral(" / ");

} // namespace

TFrmKeyCosm::TFrmKeyCosm(QWidget* Owner, TActionLookup Lookup) : QDialog(Owner), FLookup(std::move(Lookup)) {
    setObjectName(QStringLiteral("FrmKeyCosm"));
    setWindowTitle(QStringLiteral("ショートカットキーのカスタマイズ"));
    for (int i = 0; i < KeyCommandCount; ++i)
        FTexts[static_cast<size_t>(i)] = CommandShortcutText(FLookup, i, ReadKeyText(i));
    CreateControls();
    FillTree();
    SetCommandControlsEnabled(false);
}

void TFrmKeyCosm::CreateControls() {
    TreeView1 = Named(new QTreeWidget(this), "TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* treeLabel = new QLabel(QStringLiteral("コマンド(&F)："), this);
    treeLabel->setBuddy(TreeView1);

    Label4 = Named(new QLabel(this), "Label4");
    QPalette blue = Label4->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label4->setPalette(blue);
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);

    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    ComboBox1->addItems(KeyNames());
    ComboBox1->setMaxVisibleItems(16);
    auto* keyLabel = new QLabel(QStringLiteral("キー(&K)："), this);
    keyLabel->setBuddy(ComboBox1);
    CheckBox1 = Named(new QCheckBox(QStringLiteral("Shift(&S)"), this), "CheckBox1");
    CheckBox2 = Named(new QCheckBox(QStringLiteral("Ctrl(&C)"), this), "CheckBox2");
    CheckBox3 = Named(new QCheckBox(QStringLiteral("Alt(&A)"), this), "CheckBox3");
    btnKeySet = Named(new QPushButton(QStringLiteral("割り付け(&D)"), this), "btnKeySet");
    btnKeyClear = Named(new QPushButton(QStringLiteral("クリア(&L)"), this), "btnKeyClear");
    btnOk = Named(new QPushButton(QStringLiteral("OK"), this), "btnOk");
    btnCancel = Named(new QPushButton(QStringLiteral("キャンセル"), this), "btnCancel");
    btnOk->setDefault(true);

    LayOutControls(treeLabel, keyLabel);

    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] { TreeView1Change(); });
    connect(btnKeySet, &QPushButton::clicked, this, [this] { btnKeySetClick(btnKeySet); });
    connect(btnKeyClear, &QPushButton::clicked, this, [this] { btnKeySetClick(btnKeyClear); });
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
}

void TFrmKeyCosm::LayOutControls(QLabel* TreeLabel, QLabel* KeyLabel) {
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("現在のキー："), this));
    right->addWidget(Label4);
    right->addSpacing(8);
    right->addWidget(KeyLabel);
    right->addWidget(ComboBox1);
    for (QWidget* w : std::initializer_list<QWidget*>{CheckBox1, CheckBox2, CheckBox3, btnKeySet, btnKeyClear})
        right->addWidget(w);
    right->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* grid = new QGridLayout(this);
    grid->addWidget(TreeLabel, 0, 0);
    grid->addWidget(TreeView1, 1, 0);
    grid->addLayout(right, 1, 1);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    resize(460, 400);
}

// Group nodes for the sections, a sub-group node for each run of "group / item" captions, and
// one node per command, all in table order.
void TFrmKeyCosm::FillTree() {
    QTreeWidgetItem* group = nullptr;
    QTreeWidgetItem* subGroup = nullptr;
    const char* section = nullptr;
    for (int i = 0; i < KeyCommandCount; ++i) {
        const TKeyCommand& c = KeyCommands()[static_cast<size_t>(i)];
        if (!section || qstrcmp(section, c.Section) != 0) {
            section = c.Section;
            const auto it = std::find_if(KeySections().begin(), KeySections().end(),
                                         [&](const TKeySection& s) { return qstrcmp(s.Name, c.Section) == 0; });
            Q_ASSERT(it != KeySections().end());
            group = new QTreeWidgetItem(TreeView1, QStringList(QString::fromUtf8(it->Caption)));
            subGroup = nullptr;
        }
        const QString caption = QString::fromUtf8(c.Caption);
        const qsizetype slash = caption.indexOf(kSubGroupSeparator);
        QTreeWidgetItem* parent = group;
        if (slash >= 0) {
            const QString subCaption = caption.left(slash);
            if (!subGroup || subGroup->text(0) != subCaption)
                subGroup = new QTreeWidgetItem(group, QStringList(subCaption));
            parent = subGroup;
        } else {
            subGroup = nullptr;
        }
        auto* node = new QTreeWidgetItem(
            parent, QStringList(slash >= 0 ? caption.mid(slash + kSubGroupSeparator.size()) : caption));
        node->setData(0, kCommandRole, i);
    }
    TreeView1->expandAll();
}

void TFrmKeyCosm::SetCommandControlsEnabled(bool Enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{btnKeySet, btnKeyClear, ComboBox1, CheckBox1, CheckBox2, CheckBox3})
        w->setEnabled(Enabled);
}

int TFrmKeyCosm::SelectedCommand() const {
    const QTreeWidgetItem* node = TreeView1->currentItem();
    if (!node) return -1;
    const QVariant command = node->data(0, kCommandRole);
    return command.isValid() ? command.toInt() : -1;
}

void TFrmKeyCosm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FormActivate();
}

void TFrmKeyCosm::FormActivate() { ComboBox1->setCurrentIndex(0); }

// The check boxes and the key list keep what they showed: they are not set from the command.
void TFrmKeyCosm::TreeView1Change() {
    const int command = SelectedCommand();
    SetCommandControlsEnabled(command >= 0);
    Label4->setText(command >= 0 ? CommandText(command) : QString());
}

void TFrmKeyCosm::btnKeySetClick(QObject* Sender) {
    const int command = SelectedCommand();
    if (command < 0) return;
    QString text;
    if (Sender == btnKeySet) {
        if (CheckBox1->isChecked()) text += QStringLiteral("Shift+");
        if (CheckBox2->isChecked()) text += QStringLiteral("Ctrl+");
        if (CheckBox3->isChecked()) text += QStringLiteral("Alt+");
        text += ComboBox1->currentText();
        // A key may serve one command only; giving a command the key it has is refused too.
        // The message names the command that holds the key.
        const auto holder = std::find(FTexts.begin(), FTexts.end(), text);
        if (holder != FTexts.end()) {
            const TKeyCommand& c = KeyCommands()[static_cast<size_t>(holder - FTexts.begin())];
            Tell(QStringLiteral("既に他のコマンドに割り当てられています。\r\r「%1」").arg(QString::fromUtf8(c.Caption)),
                 TMessageIcon::Information);
            return;
        }
    }
    FTexts[static_cast<size_t>(command)] = text;
    SetCommandShortcut(FLookup, command, text);
    Label4->setText(text);
}

void TFrmKeyCosm::btnOkClick() {
    try {
        WriteKeyTable(FTexts);
    } catch (const EPlatformError& e) {
        // The keys stay in effect; the dialog stays open so that the user can try again.
        Tell(QStringLiteral("キーの設定を保存できませんでした。\r\r") + QString::fromStdString(e.what()),
             TMessageIcon::Error);
        return;
    }
    accept();
}

void TFrmKeyCosm::btnCancelClick() {
    reject();
    ApplyKeyTable(FLookup);
}

} // namespace quire
