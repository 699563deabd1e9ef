// Test entry for tests that need Qt: an application object on the offscreen platform and a
// fresh, empty program folder (QUIRE_HOME) for every test.
#include "TestHome.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new quire::test::FreshHomeListener);
    return RUN_ALL_TESTS();
}
