// Files the window tests make and read back: written whole into a test's temporary folder,
// read back whole (or "<missing>", so that a comparison names what is wrong).
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace quire::test {

// Writes Bytes as the file Name in Folder; returns its clean path.
inline QString WriteTestFile(const QString& Folder, const QString& Name, const QByteArray& Bytes) {
    const QString path = QDir(Folder).filePath(Name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(Bytes);
    return QDir::cleanPath(path);
}

inline QByteArray ReadTestFile(const QString& Path) {
    QFile f(Path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace quire::test
