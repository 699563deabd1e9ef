// Input and output of the command-line tools: bounded reading of their input files and
// checked writing of their output.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace quire::tools {

// The arguments after the program's name. File names of any bytes (not UTF-8 ones too) come
// back whole when they are read (ReadInput) or printed (NameBytes).
QStringList Arguments(int argc, char** argv);

// The bytes of the file name Path as the system has them.
QByteArray NameBytes(const QString& Path);

// The bytes of Path, or of standard input when Path is "-". Only a regular file (or standard
// input) of at most the editor's limit of 1 GB is read: a folder, FIFO or device is refused
// without blocking. On failure "PROGRAM: PATH: reason" goes to standard error.
std::optional<QByteArray> ReadInput(const char* Program, const QString& Path);

// "--help" (or "-h") or "--version" as the first argument: Usage printed to standard output,
// or the program's name and version; the status to end with (0, or 1 after a message when the
// output cannot be written). None for any other arguments.
std::optional<int> AnswerHelpOrVersion(const char* Program, const QStringList& Args, void (*Usage)(std::FILE*));

// Flushes and closes standard output. False, after "PROGRAM: cannot write the output: reason"
// on standard error, when any of the output could not be written (a full disk, a closed pipe).
bool FinishOutput(const char* Program);

} // namespace quire::tools
