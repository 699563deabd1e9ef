// Header and footer templates.
#include "PrintTemplate.h"

#include <gtest/gtest.h>

using namespace quire;

TEST(PrintTemplate, CodesExpandAndOtherCharactersAreCopied) {
    const QDateTime now(QDate(2024, 3, 5), QTime(7, 8, 9));
    const QString file = QStringLiteral("/home/user/文書/memo.txt");
    EXPECT_EQ(ExpandTemplate(QStringLiteral("%F %p"), 3, file, now), QStringLiteral("memo.txt 3"));
    EXPECT_EQ(ExpandTemplate(QStringLiteral("[%f]"), 1, file, now), QStringLiteral("[/home/user/文書/memo.txt]"));
    EXPECT_EQ(ExpandTemplate(QStringLiteral("%y/%m/%d %t"), 1, file, now), QStringLiteral("2024/3/5 7:08:09"));
    EXPECT_EQ(ExpandTemplate(QStringLiteral("- %p -"), 12, file, now), QStringLiteral("- 12 -"));
    // A doubled "%" gives one, "%" before anything else gives that character, a final "%" stays.
    EXPECT_EQ(ExpandTemplate(QStringLiteral("100%% %x %"), 1, file, now), QStringLiteral("100% x %"));
    EXPECT_EQ(ExpandTemplate(QStringLiteral("ページ%p／%F"), 2, QString(), now), QStringLiteral("ページ2／"));
    EXPECT_EQ(ExpandTemplate(QString(), 1, file, now), QString());
}
