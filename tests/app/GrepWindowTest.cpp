// ファイルから検索 in the window: the command and its key row, the dialog and its settings,
// the page of results (read-only, never modified, one line a match and the counts last), Enter
// and a double click opening the place, and キャンセル.
#include "CostumKey.h"
#include "Cp932Codec.h"
#include "GrepForm.h"
#include "GrepResults.h"
#include "PathCodec.h"
#include "ShownWindowFixture.h"
#include "jconvert.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace quire;

namespace {

class GrepWindowTest : public test::ShownWindowFixture {
protected:
    // The next dialog searches Folder for Pattern in the name patterns Files.
    void answer(const QString& Pattern, const QString& Folder, const QString& Files = QStringLiteral("*.txt")) {
        dialogs.ExecScript = [=](QDialog& d) {
            auto& g = static_cast<TGrepForm&>(d);
            g.ComboB_SearchText->setEditText(Pattern);
            g.ComboB_Folder->setEditText(Folder);
            g.Edit_Files->setText(Files);
            QTest::mouseClick(g.Btn_Ok, Qt::LeftButton);
        };
    }
    // Waits (events running) until the search of the active page has ended.
    bool finished() {
        QElapsedTimer t;
        t.start();
        while (form->GrepResults(form->ActivePage())->Running() && t.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return !form->GrepResults(form->ActivePage())->Running();
    }
    QStringList lines(int Page) {
        return cp932::ToUnicode(editor(Page)->Lines().Text(), editor(Page)->ScreenStrings().CharTable())
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    // The row of a page's line (word wrap may split lines).
    int rowOf(int Page, int Line) { return editor(Page)->Lines().LineToRow(Line); }
};

} // namespace

TEST_F(GrepWindowTest, TheCommandStandsUnderFindWithAKeyRowAndNoKey) {
    QAction* grep = form->Action("Mm_Grep");
    ASSERT_NE(nullptr, grep);
    EXPECT_EQ(QStringLiteral("ファイルから検索(&G)..."), grep->text());
    EXPECT_TRUE(grep->shortcut().isEmpty());
    const auto row = std::find_if(KeyCommands().begin(), KeyCommands().end(),
                                  [](const TKeyCommand& c) { return QLatin1String(c.MenuItem) == "Mm_Grep"; });
    ASSERT_NE(KeyCommands().end(), row);
    EXPECT_STREQ("Find", row->Section);
    EXPECT_STREQ("", row->Default);
    const QList<QAction*> menus = form->menuBar()->actions();
    const auto find =
        std::find_if(menus.begin(), menus.end(), [](QAction* m) { return m->text() == QStringLiteral("検索(&S)"); });
    ASSERT_NE(menus.end(), find);
    EXPECT_TRUE((*find)->menu()->actions().contains(grep));
}

TEST_F(GrepWindowTest, TheDialogKeepsItsSettingsAndRefusesABadPatternOrFolder) {
    {
        TGrepForm d(form.get(), dir.path());
        d.show();
        EXPECT_EQ(QStringLiteral("*.txt;*.c;*.h"), d.Edit_Files->text());
        EXPECT_TRUE(d.CheckB_SubFolder->isChecked());
        EXPECT_FALSE(d.CheckB_MachCase->isChecked() || d.CheckB_WholeWord->isChecked() || d.CheckB_RegExp->isChecked());
        EXPECT_EQ(dir.path(), d.ComboB_Folder->currentText()); // the page's folder when there is no history
        EXPECT_FALSE(d.Btn_Ok->isEnabled());
        d.ComboB_SearchText->setEditText(QStringLiteral("(x"));
        d.CheckB_RegExp->setChecked(true);
        QTest::mouseClick(d.Btn_Ok, Qt::LeftButton);
        ASSERT_EQ(1, messages.Shown.size());
        EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("missing closing parenthesis")));
        d.ComboB_SearchText->setEditText(QStringLiteral("(x)"));
        d.ComboB_Folder->setEditText(dir.path() + QStringLiteral("/none"));
        QTest::mouseClick(d.Btn_Ok, Qt::LeftButton);
        ASSERT_EQ(2, messages.Shown.size());
        EXPECT_TRUE(messages.Shown[1].startsWith(QStringLiteral("フォルダーが見つかりません")));
        EXPECT_NE(QDialog::Accepted, d.result());
        dialogs.Paths = {dir.path()};
        QTest::mouseClick(d.Btn_Browse, Qt::LeftButton);
        d.Edit_Files->setText(QStringLiteral("*.md"));
        d.CheckB_SubFolder->setChecked(false);
        d.CheckB_MachCase->setChecked(true);
        QTest::mouseClick(d.Btn_Ok, Qt::LeftButton);
        EXPECT_EQ(QDialog::Accepted, d.result());
        const TGrepOptions o = d.Options();
        EXPECT_EQ(QStringList{QStringLiteral("*.md")}, o.Globs);
        EXPECT_TRUE(o.RegExp && o.MatchCase && !o.Recursive && !o.WholeWord);
    }
    TGrepForm again(form.get(), QStringLiteral("/elsewhere"));
    again.show();
    EXPECT_EQ(QStringLiteral("(x)"), again.ComboB_SearchText->currentText());
    EXPECT_EQ(dir.path(), again.ComboB_Folder->currentText());
    EXPECT_EQ(QStringLiteral("*.md"), again.Edit_Files->text());
    EXPECT_FALSE(again.CheckB_SubFolder->isChecked());
    EXPECT_TRUE(again.CheckB_MachCase->isChecked() && again.CheckB_RegExp->isChecked());
}

TEST_F(GrepWindowTest, ResultsGoToAReadOnlyPageAndEnterOrADoubleClickOpensThePlace) {
    const std::string sjis = cp932::FromUnicode(QStringLiteral("一行目\r\nその検索語と\r\n"));
    const QString a = file(QStringLiteral("a.txt"), QByteArray::fromStdString(sjis));
    const QString b = file(QStringLiteral("b.txt"), QByteArray::fromStdString(jconvert::SjisToEuc(sjis)));
    file(QStringLiteral("c.md"), QByteArray::fromStdString(sjis));
    answer(QStringLiteral("検索語"), dir.path());
    form->Action("Mm_Grep")->trigger();
    const int results = form->ActivePage();
    ASSERT_TRUE(finished());
    const QStringList shown = lines(results);
    ASSERT_EQ(4, shown.size()) << shown.join(u'\n').toStdString();
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("「検索語」をファイルから検索: ")));
    EXPECT_EQ(QStringLiteral("%1(2,3)  [S-JIS]: その検索語と").arg(a), shown[1]);
    EXPECT_EQ(QStringLiteral("%1(2,3)  [EUC]: その検索語と").arg(b), shown[2]);
    EXPECT_EQ(QStringLiteral("2 件（2 ファイル）が見つかりました。検索したファイル 2"), shown[3]);
    TEditor* page = editor(results);
    EXPECT_TRUE(page->ReadOnly());
    EXPECT_FALSE(page->Modified());
    EXPECT_FALSE(page->CanUndo());
    EXPECT_FALSE(form->Action("Mm_Undo")->isEnabled());
    EXPECT_EQ(TMainForm::GrepPageName, form->PageControl()->tabText(results));
    // The window's title names the page of results and its pattern, never the blank page's name.
    const QString resultsTitle = QStringLiteral("検索結果「検索語」 - Quire");
    EXPECT_EQ(resultsTitle, form->windowTitle());
    EXPECT_FALSE(form->findChild<QWidget*>(QStringLiteral("GrepBar"))->isVisible());
    EXPECT_TRUE(form->CanClose()) << "a page of results asks nothing on closing";
    EXPECT_TRUE(messages.Asked.isEmpty());

    // Enter on the first result: its file opens with the match selected.
    page->SetRowCol(rowOf(results, 1), 5);
    page->setFocus();
    QTest::keyClick(page, Qt::Key_Return);
    const int opened = form->ActivePage();
    ASSERT_NE(results, opened);
    EXPECT_EQ(TMainForm::NormalizedPath(a), form->Page(opened).FileName);
    EXPECT_EQ(cp932::FromUnicode(QStringLiteral("検索語")), editor(opened)->SelectedText());
    EXPECT_EQ(1, editor(opened)->Row());
    EXPECT_EQ(DisplayPath(TMainForm::NormalizedPath(a)) + QStringLiteral(" - Quire"), form->windowTitle());

    // A double click on the second: the EUC file, selected in its characters.
    form->SetActivePage(results);
    EXPECT_EQ(resultsTitle, form->windowTitle());
    const QPoint at(page->TextLeft() + 2 * page->CharWidth(),
                    page->TextTop() + (rowOf(results, 2) - page->TopRow()) * page->RowHeight() + 2);
    QTest::mouseDClick(page->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(TMainForm::NormalizedPath(b), form->Page(form->ActivePage()).FileName);
    EXPECT_EQ(cp932::FromUnicode(QStringLiteral("検索語")), form->CurrentEditor()->SelectedText());

    // The first again: its page is activated, no page added; the counts line opens nothing.
    const int pages = form->PageCount();
    form->SetActivePage(results);
    page->SetRowCol(rowOf(results, 1), 0);
    QTest::keyClick(page, Qt::Key_Enter);
    EXPECT_EQ(opened, form->ActivePage());
    EXPECT_EQ(pages, form->PageCount());
    form->SetActivePage(results);
    page->SetRowCol(rowOf(results, 3), 0);
    QTest::keyClick(page, Qt::Key_Return);
    EXPECT_EQ(results, form->ActivePage());
    EXPECT_EQ(lines(results), shown); // Enter changed nothing
}

TEST_F(GrepWindowTest, CancelEndsTheSearchWithTheCountsSoFar) {
    // Enough files that the search is still running when the click comes, however fast it is.
    constexpr int kFiles = 3000;
    for (int i = 0; i < kFiles; ++i) file(QStringLiteral("f%1.txt").arg(i, 4, 10, QChar(u'0')), "x\r\n");
    TGrepOptions o;
    o.Pattern = QStringLiteral("x");
    const int index = form->StartGrep(o, {dir.path()});
    ASSERT_GE(index, 0);
    auto* cancel = form->findChild<QPushButton*>(QStringLiteral("Btn_GrepCancel"));
    ASSERT_NE(nullptr, cancel);
    EXPECT_TRUE(cancel->isVisible());
    EXPECT_TRUE(form->findChild<QLabel*>(QStringLiteral("GrepProgress"))->text().startsWith(QStringLiteral("検索中")));
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(finished());
    const QStringList shown = lines(index);
    EXPECT_TRUE(shown.last().endsWith(QStringLiteral("（キャンセルしました）"))) << shown.last().toStdString();
    EXPECT_LT(shown.size(), kFiles + 2); // the heading, fewer results than files, the counts
    EXPECT_FALSE(editor(index)->Modified());
}

TEST_F(GrepWindowTest, ResultsArriveWhileTheSearchRunsAndTheWindowTakesKeys) {
    // Enough text that the search outlasts the first results: every file holds the word.
    const std::string body =
        cp932::FromUnicode(QStringLiteral("検索語のある行\r\n")) + std::string(32 * 1024, 'a') + "\r\n";
    for (int i = 0; i < 400; ++i)
        file(QStringLiteral("f%1.txt").arg(i, 3, 10, QChar(u'0')), QByteArray::fromStdString(body));
    TGrepOptions o;
    o.Pattern = QStringLiteral("検索語");
    const int index = form->StartGrep(o, {dir.path()});
    ASSERT_GE(index, 0);
    ASSERT_TRUE(form->GrepResults(index)->Running());
    EXPECT_EQ(1, lines(index).size()) << "the heading is there at once";
    // Keys typed into another page while the search runs are taken at once.
    form->Action("Mm_New")->trigger();
    const int other = form->ActivePage();
    ASSERT_NE(index, other);
    QTest::keyClicks(editor(other), QStringLiteral("abc"));
    EXPECT_EQ("abc", editor(other)->Lines().Text());
    int shownWhileRunning = 0;
    QElapsedTimer t;
    t.start();
    while (form->GrepResults(index)->Running() && t.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (form->GrepResults(index)->Running())
            shownWhileRunning = std::max(shownWhileRunning, int(lines(index).size()));
    }
    EXPECT_GT(shownWhileRunning, 1) << "results are added as they come";
    const QStringList shown = lines(index);
    EXPECT_EQ(402, shown.size());
    EXPECT_EQ(QStringLiteral("400 件（400 ファイル）が見つかりました。検索したファイル 400"), shown.last());
    EXPECT_FALSE(editor(index)->Modified());
}
