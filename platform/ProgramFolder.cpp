// The program folder.
#include "ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace quire {

QString ExecutableFolder() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return exe.symLinkTarget().isEmpty() ? QDir::currentPath() : QFileInfo(exe.symLinkTarget()).absolutePath();
}

QString ProgramFolder() {
    const QString home = qEnvironmentVariable("QUIRE_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return QDir::cleanPath(QFileInfo(home).absoluteFilePath());
    }
    return ProgramFolderBeside(ExecutableFolder());
}

QString ProgramFolderBeside(const QString& ExeFolder) {
    const bool installed = QFileInfo(ExeFolder + QStringLiteral("/../share/quire")).isDir();
    if (!installed && ::access(QFile::encodeName(ExeFolder).constData(), W_OK) == 0) return ExeFolder;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = QDir::cleanPath(config + QStringLiteral("/quire"));
    QDir().mkpath(folder);
    return folder;
}

QString ProgramName() { return QStringLiteral("quire"); }

QString ProgramFile(const QString& name) { return ProgramFolder() + QLatin1Char('/') + name; }

QString SettingsFileName() { return ProgramFile(ProgramName() + QStringLiteral(".ini")); }

QStringList ReadmeFolders() {
    const QString exe = ExecutableFolder();
    return {ProgramFolder(), exe, QDir::cleanPath(exe + QStringLiteral("/../share/quire"))};
}

QString ReadmeFile() {
    for (const QString& folder : ReadmeFolders()) {
        const QString path = folder + QStringLiteral("/readme.txt");
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

} // namespace quire
