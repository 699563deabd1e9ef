// libFuzzer target: "Key.dat" as the program reads it, on any bytes. Every command's
// shortcut text comes back in its written form (reading it again changes nothing), and a text
// that names a key names the shortcut it converts to.
//
// The input is the file.
#include "CostumKey.h"
#include "Profile.h"
#include "ShortcutText.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

using namespace quire;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A program folder of the target's own in memory: the file is written there each run.
    const QByteArray home = "/dev/shm/quire-keydat-fuzz-" + QByteArray::number(::getpid());
    QDir().mkpath(QString::fromLatin1(home));
    ::setenv("QUIRE_HOME", home.constData(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        QFile f(KeyFileName());
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == static_cast<qint64>(size));
    }
    // The file is read once for all 68 commands, as a batch of it holds it.
    const profile::TBatch batch(KeyFileName());
    for (int i = 0; i < KeyCommandCount; ++i) {
        const QString text = ReadKeyText(i);
        check(CanonicalShortcutText(text) == text);
        const QKeySequence shortcut = TextToShortcut(text);
        check(shortcut.isEmpty() == text.isEmpty());
        check(ShortcutToText(shortcut) == text);
    }
    return 0;
}
