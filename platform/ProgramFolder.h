// The program folder: where the settings file, "Key.dat", keyword files and "readme.txt" live.
#pragma once

#include <QString>
#include <QStringList>

namespace quire {

// The environment variable QUIRE_HOME when set; else ProgramFolderBeside the executable's
// folder. Always ends without a separator.
QString ProgramFolder();

// The program folder of a Quire whose executable lies in ExeFolder: that folder when it can be
// written and Quire is not installed there; else $XDG_CONFIG_HOME/quire (or ~/.config/quire),
// created on first use. An installed Quire (one whose shared files lie in ../share/quire)
// never writes beside its executable, also when run by a user who could.
QString ProgramFolderBeside(const QString& ExeFolder);

// The program's name, "quire": the settings file and the help file are named after it.
QString ProgramName();

// ProgramFolder()/Name.
QString ProgramFile(const QString& name);

// The settings file: the program's name with ".ini", in the program folder.
QString SettingsFileName();

// The folder the executable itself lies in (where a bundled library is looked for).
QString ExecutableFolder();

// The folders the guide "readme.txt" is looked for in, in order: the program folder, the
// executable's folder, and the installed data folder ../share/quire from the executable's.
QStringList ReadmeFolders();
// The first "readme.txt" of those folders; empty when none has it.
QString ReadmeFile();

} // namespace quire
