// Files the window tests make and read back: written whole into a test's temporary folder,
// read back whole (or "<missing>", so that a comparison names what is wrong).
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <string>

namespace quire::test {

// Writes Bytes as the file Name in Folder; returns its clean path.
inline QString WriteTestFile(const QString& Folder, const QString& Name, const QByteArray& Bytes) {
    const QString path = QDir(Folder).filePath(Name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(Bytes);
    return QDir::cleanPath(path);
}

// The same in a temporary folder, for bytes held in a std::string.
inline QString WriteTestFile(const QTemporaryDir& Dir, const QString& Name, const std::string& Bytes) {
    return WriteTestFile(Dir.path(), Name, QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
}

inline QByteArray ReadTestFile(const QString& Path) {
    QFile f(Path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace quire::test
