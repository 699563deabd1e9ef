// The main window as it first appears.
#include "Unit1.h"
#include "WidgetGrab.h"

#include "Fonts.h"

#include <QFontInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace quire;

TEST(MainForm, TitleTabAndStatusPanels) {
    InstallFontSubstitutions();
    TMainForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("新規作成 - Quire"));
    ASSERT_EQ(form.PageControl()->count(), 1);
    EXPECT_EQ(form.PageControl()->tabText(0), QStringLiteral("新規作成"));
    EXPECT_EQ(form.PanelText(4), QStringLiteral("標準"));
    EXPECT_EQ(form.PanelText(8), QStringLiteral("CRLF"));
    EXPECT_EQ(form.PanelText(9), QStringLiteral("挿入"));
    const int widths[] = {0, 80, 80, 110, 46, 38, 35, 40, 39, 42};
    for (int i = 1; i < TMainForm::PanelCount; ++i) EXPECT_EQ(form.Panel(i)->width(), widths[i]) << i;
    EXPECT_TRUE(form.Panel(4)->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(form.Panel(9)->alignment() & Qt::AlignLeft);
    EXPECT_TRUE(form.Panel(3)->alignment() & Qt::AlignRight);
}

TEST(MainForm, PanelZeroTakesTheRestOfTheBar) {
    TMainForm form;
    form.resize(800, 400);
    test::ShowAndGrab(form);
    int rest = 0;
    for (int i = 1; i < TMainForm::PanelCount; ++i) rest += form.Panel(i)->width();
    EXPECT_GT(form.Panel(0)->width(), 800 - rest - 80);
}

TEST(MainForm, JapaneseTextIsDrawnWithAJapaneseFont) {
    InstallFontSubstitutions();
    QFont f(QStringLiteral("FixedSys"));
    EXPECT_EQ(QFontInfo(f).family(), JapaneseMonospaceFamily());
    // The status panel with "挿入" shows ink: the glyphs exist in the installed fonts.
    TMainForm form;
    form.resize(700, 300);
    test::ShowAndGrab(form);
    QLabel* panel = form.Panel(9);
    const QImage image = panel->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb background = image.pixel(image.width() - 3, image.height() / 2);
    EXPECT_TRUE(test::HasInk(image, image.rect().adjusted(2, 2, -2, -2), background));
    EXPECT_TRUE(QFontMetrics(QFont(JapaneseProportionalFamily())).inFont(QChar(0x633F))); // 挿
}
