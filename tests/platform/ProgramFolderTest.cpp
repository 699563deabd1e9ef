// The program folder and the settings file name.
#include "ProgramFolder.h"
#include "QStringPrinting.h"

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

// A writable folder of the executable is the program folder unless Quire is installed there
// (its shared files in ../share/quire): an installed Quire keeps the user's files in the
// configuration folder, also when the user (root) could write beside the executable.
TEST(ProgramFolder, AnInstalledQuireKeepsItsFilesInTheConfigurationFolder) {
    struct Case {
        const char* Layout; // folders made under the temporary root
        const char* Exe;    // the executable's folder
        bool BesideExe;     // expected: the executable's folder, else the configuration folder
    };
    const Case cases[] = {
        {"bin", "bin", true},
        {"build/bin share", "build/bin", true},
        {"usr/bin usr/share/quire", "usr/bin", false},
        {"usr/local/bin usr/local/share/quire", "usr/local/bin", false},
        {"bin share/quire/x", "bin", false},
    };
    for (const Case& c : cases) {
        QTemporaryDir root, config;
        for (const QString& folder : QString::fromLatin1(c.Layout).split(' '))
            ASSERT_TRUE(QDir(root.path()).mkpath(folder));
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        const QString exe = root.path() + '/' + c.Exe;
        const QString expected = c.BesideExe ? exe : config.path() + "/quire";
        EXPECT_EQ(quire::ProgramFolderBeside(exe), expected) << c.Layout;
        EXPECT_TRUE(QDir(expected).exists()) << c.Layout;
        qunsetenv("XDG_CONFIG_HOME");
    }
}
