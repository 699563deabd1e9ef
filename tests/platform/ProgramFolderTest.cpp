// The program folder and the settings file name.
#include "ProgramFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ProgramFolder, QuireHomeOverrides) {
    QTemporaryDir dir;
    qputenv("QUIRE_HOME", dir.path().toLocal8Bit());
    EXPECT_EQ(quire::ProgramFolder(), QDir::cleanPath(dir.path()));
    EXPECT_EQ(quire::SettingsFileName(), QDir::cleanPath(dir.path()) + "/quire.ini");
    EXPECT_EQ(quire::ProgramFile("Key.dat"), QDir::cleanPath(dir.path()) + "/Key.dat");
}

TEST(ProgramFolder, EachTestHasAFreshHome) {
    const QString home = qEnvironmentVariable("QUIRE_HOME");
    ASSERT_FALSE(home.isEmpty());
    EXPECT_TRUE(QDir(home).isEmpty());
}

TEST(ProgramFolder, WithoutQuireHomeTheExecutableFolderOrConfig) {
    qunsetenv("QUIRE_HOME");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QString folder = quire::ProgramFolder();
    EXPECT_TRUE(folder == quire::ExecutableFolder() || folder == config.path() + "/quire") << folder.toStdString();
    EXPECT_TRUE(QDir(folder).exists());
    qunsetenv("XDG_CONFIG_HOME");
}
