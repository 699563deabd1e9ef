// TFrmKeyCosm driven with real mouse and key events over a window of named menu items.
#include "KeyTestSupport.h"
#include "Profile.h"
#include "ShortcutText.h"
#include "Unit8.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

class KeyDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ApplyKeyTable(menus.Lookup());
        dialog = std::make_unique<TFrmKeyCosm>(&menus.Root, menus.Lookup());
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    // The tree's nodes in order.
    std::vector<QTreeWidgetItem*> nodes() const {
        std::vector<QTreeWidgetItem*> all;
        for (QTreeWidgetItemIterator it(dialog->TreeView1); *it; ++it) all.push_back(*it);
        return all;
    }
    QTreeWidgetItem* commandNode(int Index) const {
        for (QTreeWidgetItem* n : nodes())
            if (n->data(0, Qt::UserRole).isValid() && n->data(0, Qt::UserRole).toInt() == Index) return n;
        return nullptr;
    }
    void clickNode(QTreeWidgetItem* Node) {
        QTreeWidget* tree = dialog->TreeView1;
        tree->scrollToItem(Node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(Node).center());
        ASSERT_EQ(Node, tree->currentItem());
    }
    void select(const char* Key) { clickNode(commandNode(index(Key))); }
    static int index(const char* Key) {
        for (int i = 0; i < KeyCommandCount; ++i)
            if (qstrcmp(KeyCommands()[static_cast<size_t>(i)].Key, Key) == 0) return i;
        return -1;
    }
    // Ticks exactly the given modifiers, picks the key and presses 割り付け.
    void assign(bool Shift, bool Ctrl, bool Alt, const QString& Key) {
        for (auto [box, on] :
             {std::pair{dialog->CheckBox1, Shift}, {dialog->CheckBox2, Ctrl}, {dialog->CheckBox3, Alt}})
            if (box->isChecked() != on) QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        dialog->ComboBox1->setCurrentIndex(dialog->ComboBox1->findText(Key));
        QTest::mouseClick(dialog->btnKeySet, Qt::LeftButton);
    }
    void clear() { QTest::mouseClick(dialog->btnKeyClear, Qt::LeftButton); }

    FakeMenus menus;
    RecordedMessages messages;
    std::unique_ptr<TFrmKeyCosm> dialog;
};

} // namespace

TEST_F(KeyDialogTest, TreeHoldsEightyTwoNodesWithTwelveGroupsInTableOrder) {
    EXPECT_EQ(QStringLiteral("ショートカットキーのカスタマイズ"), dialog->windowTitle());
    const auto all = nodes();
    ASSERT_EQ(85u, all.size());
    QStringList groups, topLevel;
    int next = 0;
    for (QTreeWidgetItem* n : all) {
        if (!n->data(0, Qt::UserRole).isValid()) {
            groups << n->text(0);
            EXPECT_GT(n->childCount(), 0) << n->text(0).toStdString();
            continue;
        }
        const TKeyCommand& c = KeyCommands()[static_cast<size_t>(next)];
        EXPECT_EQ(next++, n->data(0, Qt::UserRole).toInt());
        const QString caption = QString::fromUtf8(c.Caption);
        const QString expected = n->parent()->parent() ? n->parent()->text(0) + " / " + n->text(0) : n->text(0);
        EXPECT_EQ(caption, expected);
        EXPECT_EQ(0, n->childCount());
    }
    EXPECT_EQ(73, next);
    for (int i = 0; i < dialog->TreeView1->topLevelItemCount(); ++i)
        topLevel << dialog->TreeView1->topLevelItem(i)->text(0);
    EXPECT_EQ(QStringList({"ファイル", "編集", "検索", "表示", "ウィンドウ", "設定", "ヘルプ"}), topLevel);
    EXPECT_EQ(QStringList({"ファイル", "保存時の文字コード", "編集", "その他", "変換", "検索", "表示", "編集モード",
                           "ウィンドウ", "ページの移動", "設定", "ヘルプ"}),
              groups);
}

TEST_F(KeyDialogTest, ControlsFollowTheSelectedNodeAndKeepTheirOwnState) {
    EXPECT_EQ(QStringLiteral("F1"), dialog->ComboBox1->currentText());
    EXPECT_FALSE(dialog->btnKeySet->isEnabled()); // nothing selected yet
    select("Redo");
    for (QWidget* w : std::initializer_list<QWidget*>{dialog->btnKeySet, dialog->btnKeyClear, dialog->ComboBox1,
                                                      dialog->CheckBox1, dialog->CheckBox2, dialog->CheckBox3})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(QStringLiteral("Ctrl+Alt+Z"), dialog->Label4->text());
    EXPECT_FALSE(dialog->CheckBox2->isChecked()); // not set from the shortcut
    QTest::mouseClick(dialog->CheckBox1, Qt::LeftButton, {}, QPoint(5, dialog->CheckBox1->height() / 2));
    dialog->ComboBox1->setCurrentIndex(5);
    select("Reload");
    EXPECT_EQ(QString(), dialog->Label4->text());
    EXPECT_TRUE(dialog->CheckBox1->isChecked());
    EXPECT_EQ(5, dialog->ComboBox1->currentIndex());
    clickNode(dialog->TreeView1->topLevelItem(2)); // 検索
    EXPECT_FALSE(dialog->btnKeyClear->isEnabled());
    EXPECT_FALSE(dialog->CheckBox3->isEnabled());
    EXPECT_EQ(QString(), dialog->Label4->text());
    // The buttons do nothing without a command.
    dialog->btnKeySetClick(dialog->btnKeyClear);
    EXPECT_EQ(QStringLiteral("Ctrl+F"), menus.Text("Mm_Find"));
    // Showing the dialog again picks the first key.
    dialog->hide();
    dialog->show();
    EXPECT_EQ(QStringLiteral("F1"), dialog->ComboBox1->currentText());
}

TEST_F(KeyDialogTest, AssigningChangesTheItemAndItsMirrorAtOnce) {
    select("Cut");
    assign(true, false, false, QStringLiteral("Del"));
    EXPECT_EQ(QStringLiteral("Shift+Del"), dialog->Label4->text());
    EXPECT_EQ(QStringLiteral("Shift+Del"), menus.Text("mm_Cut"));
    EXPECT_EQ(QStringLiteral("Shift+Del"), menus.Text("Pm_Cut"));
    select("Redo");
    assign(true, true, true, QStringLiteral("\\"));
    EXPECT_EQ(QStringLiteral("Shift+Ctrl+Alt+\\"), menus.Text("Mm_Redo"));
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST_F(KeyDialogTest, AKeyThatAnyCommandHasIsRefused) {
    select("Open");
    assign(false, true, false, QStringLiteral("N")); // New has Ctrl+N
    // The message names the command that holds the key.
    ASSERT_EQ(QStringList({"既に他のコマンドに割り当てられています。\r\r「新規作成」"}), messages.Shown);
    EXPECT_EQ(TMessageIcon::Information, messages.Icons.front());
    EXPECT_EQ(QStringLiteral("Ctrl+O"), menus.Text("Mm_Open"));
    EXPECT_EQ(QStringLiteral("Ctrl+O"), dialog->Label4->text());
    // A command's own key is refused as well.
    select("New");
    assign(false, true, false, QStringLiteral("N"));
    EXPECT_EQ(2, messages.Shown.size());
    EXPECT_EQ(QStringLiteral("Ctrl+N"), menus.Text("Mm_New"));
    // Once New lets it go, Ctrl+N is free for another command.
    clear();
    select("Open");
    assign(false, true, false, QStringLiteral("N"));
    EXPECT_EQ(2, messages.Shown.size());
    EXPECT_EQ(QStringLiteral("Ctrl+N"), menus.Text("Mm_Open"));
    select("Find");
    assign(false, false, true, QStringLiteral("Right")); // the next page's key
    ASSERT_EQ(3, messages.Shown.size());
    EXPECT_EQ(QStringLiteral("既に他のコマンドに割り当てられています。\r\r「次のページ」"), messages.Shown.last());
}

TEST_F(KeyDialogTest, ClearThenCancelRestoresTheKeyFromTheFile) {
    WriteKeyFile("[Edit]\nCopy=Ctrl+Ins\n");
    ApplyKeyTable(menus.Lookup());
    dialog = std::make_unique<TFrmKeyCosm>(&menus.Root, menus.Lookup());
    dialog->show();
    select("Copy");
    EXPECT_EQ(QStringLiteral("Ctrl+Ins"), dialog->Label4->text());
    clear();
    select("Undo");
    clear();
    EXPECT_EQ(QString(), menus.Text("Mm_Copy"));
    EXPECT_EQ(QString(), menus.Text("Pm_Copy"));
    EXPECT_EQ(QString(), menus.Text("Mm_Undo"));
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QDialog::Rejected, dialog->result());
    EXPECT_EQ(QStringLiteral("Ctrl+Ins"), menus.Text("Mm_Copy"));
    EXPECT_EQ(QStringLiteral("Ctrl+Ins"), menus.Text("Pm_Copy"));
    EXPECT_EQ(QStringLiteral("Ctrl+Z"), menus.Text("Mm_Undo"));
    EXPECT_EQ(QStringLiteral("[Edit]\nCopy=Ctrl+Ins\n"), [] {
        QFile f(KeyFileName());
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }());
}

TEST_F(KeyDialogTest, ClearThenOkWritesAnEmptyValueAndEveryKey) {
    select("Division");
    clear();
    select("AutoIndent");
    assign(false, true, false, QStringLiteral("I"));
    QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
    EXPECT_EQ(QDialog::Accepted, dialog->result());
    EXPECT_FALSE(dialog->isVisible());
    const KeyFileContents file = ReadKeyFile();
    EXPECT_EQ(QStringList({"File", "Edit", "Find", "View", "Window", "Tool", "Help"}), file.Sections);
    EXPECT_EQ(73, file.KeyCount());
    EXPECT_TRUE(profile::SectionExists(KeyFileName(), "Window"));
    EXPECT_EQ(QString(), profile::ReadString(KeyFileName(), "Window", "Division", "absent"));
    EXPECT_EQ(QStringLiteral("Ctrl+I"), profile::ReadString(KeyFileName(), "Edit", "AutoIndent"));
    EXPECT_EQ(QString(), profile::ReadString(KeyFileName(), "File", "Reload", "absent"));
    EXPECT_EQ(QStringLiteral("Ctrl+Alt+Z"), profile::ReadString(KeyFileName(), "Edit", "Redo"));
    // Read back at the next start, the file gives what the dialog left.
    FakeMenus next;
    ApplyKeyTable(next.Lookup());
    for (const TKeyCommand& c : KeyCommands()) EXPECT_EQ(menus.Text(c.MenuItem), next.Text(c.MenuItem)) << c.MenuItem;
}

TEST_F(KeyDialogTest, EnterIsOkAndEscapeKeepsTheChangesWithoutWriting) {
    select("Top");
    assign(false, true, false, QStringLiteral("T"));
    QTest::keyClick(dialog->TreeView1, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QStringLiteral("Ctrl+T"), menus.Text("Mm_Top"));
    EXPECT_FALSE(QFileInfo::exists(KeyFileName()));

    dialog = std::make_unique<TFrmKeyCosm>(&menus.Root, menus.Lookup());
    dialog->show();
    select("Top");
    EXPECT_EQ(QStringLiteral("Ctrl+T"), dialog->Label4->text());
    dialog->TreeView1->setFocus();
    QTest::keyClick(dialog->TreeView1, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QDialog::Accepted, dialog->result());
    EXPECT_EQ(QStringLiteral("Ctrl+T"), profile::ReadString(KeyFileName(), "Window", "Top"));
}

TEST_F(KeyDialogTest, ACommandWhoseItemIsMissingKeepsItsStoredKeyThroughOk) {
    WriteKeyFile("[Find]\nFind=Ctrl+G\n");
    FakeMenus partial;
    delete partial.Item("Mm_Find");
    ApplyKeyTable(partial.Lookup());
    TFrmKeyCosm d(&partial.Root, partial.Lookup());
    EXPECT_EQ(QStringLiteral("Ctrl+G"), d.CommandText(index("Find")));
    EXPECT_EQ(QStringLiteral("Ctrl+R"), d.CommandText(index("Replace")));
    d.btnOkClick();
    EXPECT_EQ(QStringLiteral("Ctrl+G"), profile::ReadString(KeyFileName(), "Find", "Find"));
    EXPECT_EQ(QStringLiteral("Ctrl+R"), profile::ReadString(KeyFileName(), "Find", "Replace"));
}

TEST_F(KeyDialogTest, AFailedWriteIsReportedAndTheDialogStaysOpen) {
    ASSERT_TRUE(QDir().mkpath(KeyFileName())); // a folder where the file should be
    select("Top");
    assign(false, false, true, QStringLiteral("T"));
    QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(1, messages.Shown.size());
    EXPECT_TRUE(messages.Shown.front().startsWith(QStringLiteral("キーの設定を保存できませんでした。")));
    EXPECT_EQ(TMessageIcon::Error, messages.Icons.front());
    EXPECT_EQ(QStringLiteral("Alt+T"), menus.Text("Mm_Top"));
}
