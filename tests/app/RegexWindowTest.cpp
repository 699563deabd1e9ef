// Regular expressions in the window: the box "正規表現(&E)" of both dialogs and its setting, a
// bad pattern told and the dialog kept, find with F3 and Shift+F3, and replacing with groups.
#include "Cp932Codec.h"
#include "Editor.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "ScriptedServices.h"
#include "ShownWindowFixture.h"
#include "Unit1.h"
#include "Unit4.h"
#include "Unit5.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quire;

namespace {

class RegexWindowTest : public test::ShownWindowFixture {
protected:
    // The next find or replace dialog gets Search (and Replacement) as an expression and
    // clicks OK (or すべて置換 with All), without the confirmation.
    void expression(const QString& Search, const QString& Replacement = {}, bool All = false) {
        dialogs.ExecScript = [=](QDialog& d) {
            if (auto* f = qobject_cast<TFindForm*>(&d)) {
                f->ComboB_SearchText->setEditText(Search);
                f->Rg_Derection->SetItemIndex(0);
                f->CheckB_RegExp->setChecked(true);
                QTest::mouseClick(f->Btn_Ok, Qt::LeftButton);
            } else if (auto* r = qobject_cast<TReplaceForm*>(&d)) {
                r->ComboB_SearchText->setEditText(Search);
                r->ComboB_ReplaceText->setEditText(Replacement);
                r->Rd_Derection->SetItemIndex(0);
                r->CheckB_orDlg->setChecked(false);
                r->CheckB_RegExp->setChecked(true);
                QTest::mouseClick(All ? r->Btn_AllReplace : r->Btn_Ok, Qt::LeftButton);
            }
        };
    }
};

QString storedSetting(const char* Section, const char* Key) {
    return profile::ReadString(SettingsFileName(), QString::fromLatin1(Section), QString::fromLatin1(Key));
}

} // namespace

TEST_F(RegexWindowTest, BothDialogsHaveTheBoxOffByDefaultAndKeepIt) {
    TFindReplace state;
    for (const bool replace : {false, true}) {
        const char* section = replace ? "Replace" : "Serch";
        auto make = [&]() -> std::unique_ptr<TSearchForm> {
            if (replace) return std::make_unique<TReplaceForm>(form.get(), state);
            return std::make_unique<TFindForm>(form.get(), state);
        };
        auto d = make();
        EXPECT_EQ(QStringLiteral("正規表現(&E)"), d->CheckB_RegExp->text());
        EXPECT_FALSE(d->CheckB_RegExp->isChecked()) << section;
        d->show();
        d->ComboB_SearchText->setEditText(QStringLiteral("a+"));
        d->CheckB_RegExp->setChecked(true);
        QTest::mouseClick(d->Btn_Ok, Qt::LeftButton);
        EXPECT_EQ(QDialog::Accepted, d->result());
        EXPECT_EQ(QStringLiteral("1"), storedSetting(section, "RegExp")) << section;
        EXPECT_TRUE(state.Options.Has(TSearchOption::RegExp));
        EXPECT_TRUE(make()->CheckB_RegExp->isChecked()) << section;
    }
}

TEST_F(RegexWindowTest, ABadPatternIsToldWithTheEnginesWordsAndTheDialogStays) {
    TFindReplace state;
    state.SearchText = QStringLiteral("before");
    TFindForm d(form.get(), state);
    d.show();
    d.ComboB_SearchText->setEditText(QStringLiteral("漢字[abc"));
    d.CheckB_RegExp->setChecked(true);
    QTest::mouseClick(d.Btn_Ok, Qt::LeftButton);
    ASSERT_EQ(1, messages.Shown.size());
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("missing terminating ] for character class")))
        << messages.Shown[0].toStdString();
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("漢字[abc")));
    EXPECT_TRUE(d.isVisible());
    EXPECT_NE(QDialog::Accepted, d.result());
    EXPECT_EQ(QStringLiteral("before"), state.SearchText);
    // The same text without the box is a plain search text.
    d.CheckB_RegExp->setChecked(false);
    QTest::mouseClick(d.Btn_Ok, Qt::LeftButton);
    EXPECT_EQ(QDialog::Accepted, d.result());
    EXPECT_EQ(1, messages.Shown.size());
}

TEST_F(RegexWindowTest, F3AndShiftF3RepeatTheExpression) {
    editor().Lines().SetText(cp932::FromUnicode(QStringLiteral("a1 漢22\r\nc333")));
    expression(QStringLiteral(R"(\d+)"));
    form->Action("Mm_Find")->trigger();
    EXPECT_EQ(std::make_pair(1, 1), selection());
    QApplication::setActiveWindow(form.get());
    editor().setFocus();
    QTest::keyClick(&editor(), Qt::Key_F3);
    EXPECT_EQ(std::make_pair(5, 2), selection());
    QTest::keyClick(&editor(), Qt::Key_F3);
    EXPECT_EQ(std::make_pair(10, 3), selection());
    QTest::keyClick(&editor(), Qt::Key_F3); // no more: nothing moves
    EXPECT_EQ(std::make_pair(10, 3), selection());
    QTest::keyClick(&editor(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(std::make_pair(5, 2), selection());
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST_F(RegexWindowTest, ReplacingPutsInTheGroupsAndReplaceAllIsOneUndoStep) {
    struct Case {
        const char* Text;
        const char* Search;
        const char* Replacement;
        bool All;
        const char* Expected;
    };
    const Case cases[] = {
        {"a1 b22 c333", R"((\w)(\d+))", R"($2\1)", true, "1a 22b 333c"},
        {"a1 b22 c333", R"((\w)(\d+))", R"($2\1)", false, "1a b22 c333"},
        {"一行目\r\n二行目\r\n", "^", "> ", true, "> 一行目\r\n> 二行目\r\n> "},
        {"2024年5月と1999年12月", R"((\d+)年(\d+)月)", R"(\1/\2)", true, "2024/5と1999/12"},
        {"x-y", "-", R"(\n)", true, "x\r\ny"},
        {"abc", "x*", "-", true, "-a-b-c-"},
    };
    for (const Case& c : cases) {
        const std::string before = cp932::FromUnicode(QString::fromUtf8(c.Text));
        editor().Lines().SetText(before);
        editor().SetSelStart(0);
        expression(QString::fromUtf8(c.Search), QString::fromUtf8(c.Replacement), c.All);
        form->Action("Mm_Replace")->trigger();
        EXPECT_EQ(c.Expected, cp932::ToUnicode(all()).toStdString()) << c.Search;
        editor().Undo();
        EXPECT_EQ(before, all()) << c.Search << ": one undo brings the text back";
    }
}
