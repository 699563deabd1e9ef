// Recovery in the window: journals kept while pages are modified and gone after a save or a
// discard, and offered back at the next start (Enter recovers, Escape keeps them for later,
// No discards them), named and unnamed pages, a torn journal, a writer that is still alive,
// and a journal that cannot be written.
#include "Editor.h"
#include "JournalFormat.h"
#include "PathCodec.h"
#include "RecoveryKeeper.h"
#include "RegularFile.h"
#include "SafeFile.h"
#include "ScriptedServices.h"
#include "TestFiles.h"
#include "Unit1.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quire;
using namespace quire::test;

namespace {

QByteArray read(const QString& path) { return ReadTestFile(path); }

QStringList journals() {
    return QDir(TRecoveryKeeper::Folder()).entryList({QStringLiteral("*.journal*")}, QDir::Files | QDir::Hidden);
}

QString keptFolder() { return TRecoveryKeeper::Folder() + QStringLiteral("/kept"); }

// A journal file as a writer that is gone left it: a page named FileName holding one row,
// Text, in a snapshot that claims Rows rows. The file is returned open for more damage.
QString leftJournal(const std::string& Id, const std::string& FileName, const std::string& Text, uint64_t Rows = 1) {
    using namespace journal;
    std::string bytes(kMagic);
    AppendFrame(bytes, TFrameKind::Header, EncodeHeader(TJournalHeader{Id, 1, 1, 0}));
    TJournalPage page;
    page.FileName = FileName;
    page.KanjiCode = "S-JIS";
    page.LineEndCode = "CRLF";
    AppendFrame(bytes, TFrameKind::Page, EncodePage(page));
    std::string snapshot;
    PutVarint(snapshot, Rows);
    snapshot += Text;
    AppendFrame(bytes, TFrameKind::Snapshot, snapshot);
    QDir().mkpath(TRecoveryKeeper::Folder());
    const QString path = TRecoveryKeeper::Folder() + "/" + QString::fromStdString(Id) + ".1.journal";
    const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
    return path;
}

class RecoveryTest : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(dir.path()).filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return QDir::cleanPath(path);
    }
    // A window with Path open (or an unnamed page) and S typed at its start, its journal on
    // the disk.
    std::unique_ptr<TMainForm> typedInto(const QString& path, const std::string& s) {
        auto form = std::make_unique<TMainForm>();
        if (!path.isEmpty()) {
            EXPECT_TRUE(form->OpenFileIntoPage(path));
        }
        TEditor* e = form->Page(form->ActivePage()).Editor;
        e->SetRowCol(0, 0);
        e->TypeText(s);
        written(*form);
        return form;
    }
    static void written(TMainForm& form) {
        form.Recovery().FlushNow();
        form.Recovery().WaitWritten();
    }
    // The window of the next start, the question answered with Answer.
    std::unique_ptr<TMainForm> nextStart(int answer) {
        auto form = std::make_unique<TMainForm>();
        messages.Answers = {answer};
        form->OfferRecovery();
        return form;
    }

    QTemporaryDir dir;
    ScriptedMessages messages;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(RecoveryTest, AModifiedPageHasAJournalOfTheUsersOwnThatASaveRemoves) {
    const QString path = file("note.txt", "old\r\n");
    auto form = typedInto(path, "new ");
    const QString folder = TRecoveryKeeper::Folder();
    EXPECT_EQ(folder, QDir::cleanPath(qEnvironmentVariable("QUIRE_HOME") + "/recovery"));
    ASSERT_EQ(journals().size(), 1);
    EXPECT_EQ(QFileInfo(folder).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              QFileDevice::Permissions());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(folder + "/" + journals().first()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_uid, ::getuid());
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(read(path), QByteArray("old\r\n")) << "the journal never touches the file";
    ASSERT_TRUE(form->Mm_SaveClick());
    form->Recovery().WaitWritten();
    EXPECT_TRUE(journals().isEmpty());
}

TEST_F(RecoveryTest, AnUnmodifiedPageOrAnOpenedFileHasNoJournal) {
    const QString path = file("note.txt", "text\r\n");
    TMainForm form;
    ASSERT_TRUE(form.OpenFileIntoPage(path));
    written(form);
    EXPECT_TRUE(journals().isEmpty());
}

TEST_F(RecoveryTest, DiscardingTheChangesRemovesTheJournalCancellingKeepsIt) {
    const QString path = file("note.txt", "old\r\n");
    auto form = typedInto(path, "new ");
    form->Mm_NewClick(); // a second page, so that closing the first removes it
    form->SetActivePage(0);
    messages.Answers = {kEscape}; // the close question: Escape keeps the page
    form->C1Click();
    written(*form);
    EXPECT_EQ(journals().size(), 1);
    messages.Answers = {mbNo}; // closing without saving
    form->C1Click();
    written(*form);
    EXPECT_TRUE(journals().isEmpty());

    auto other = typedInto(path, "again ");
    messages.Answers = {mbYes}; // reload: the changes are given up
    other->N21Click();
    written(*other);
    EXPECT_TRUE(journals().isEmpty());
}

TEST_F(RecoveryTest, ExitingWithNoGivesTheJournalsUpAndCancelKeepsThem) {
    const QString path = file("note.txt", "old\r\n");
    auto form = typedInto(path, "new ");
    messages.Answers = {kEscape};
    EXPECT_FALSE(form->CanClose());
    EXPECT_EQ(journals().size(), 1);
    messages.Answers = {mbNo};
    EXPECT_TRUE(form->CanClose());
    form.reset();
    EXPECT_TRUE(journals().isEmpty());
}

TEST_F(RecoveryTest, EnterRecoversThePageModifiedUnderItsNameAndTheFileStaysUntouched) {
    const QString path = file("euc.txt", "old\n");
    auto old = std::make_unique<TMainForm>();
    ASSERT_TRUE(old->OpenFileIntoPage(path));
    old->Mm_ShiftJISClick(QStringLiteral("EUC"));                       // the page is to be saved in EUC, with LF
    old->Page(0).Editor->TypeText("\x82\xA8\x82\xA9\x82\xA6\x82\xE8 "); // おかえり
    written(*old);
    const std::string text = old->Page(old->ActivePage()).Editor->Lines().Text();
    old.reset(); // the writer is gone; the page was never saved
    ASSERT_EQ(journals().size(), 1);

    auto form = nextStart(kEnter);
    ASSERT_EQ(messages.Questions.size(), 1u);
    const TAskedQuestion& q = messages.Questions.front();
    EXPECT_EQ(q.Default, mbYes);
    EXPECT_EQ(q.Buttons, mbYes | mbNo | mbCancel);
    EXPECT_TRUE(q.Text.contains(path)) << q.Text.toStdString();
    EXPECT_TRUE(q.Text.contains(QStringLiteral("最終変更"))) << q.Text.toStdString();
    const TPageRecord& p = form->Page(form->ActivePage());
    EXPECT_EQ(p.FileName, path);
    EXPECT_EQ(p.KanjiCode, QStringLiteral("EUC"));
    EXPECT_EQ(p.LineEndCode, QStringLiteral("LF"));
    EXPECT_TRUE(p.Editor->Modified());
    EXPECT_TRUE(form->PageControl()->tabText(form->ActivePage()).endsWith(" *"));
    EXPECT_EQ(p.Editor->Lines().Text(), text);
    EXPECT_EQ(read(path), QByteArray("old\n"));
    EXPECT_EQ(form->PageCount(), 1) << "the blank first page took the recovered text";
    // The old journal goes once the page's own is on the disk; a save then removes that too.
    written(*form);
    EXPECT_EQ(journals().size(), 1) << journals().join(" ").toStdString();
    ASSERT_TRUE(form->Mm_SaveClick());
    form->Recovery().WaitWritten();
    EXPECT_TRUE(journals().isEmpty());
    EXPECT_EQ(read(path), QByteArray("\xA4\xAA\xA4\xAB\xA4\xA8\xA4\xEA old\n"));
}

TEST_F(RecoveryTest, EscapeKeepsTheJournalsForTheNextStartAndNoDiscardsThem) {
    const QString path = file("note.txt", "old\r\n");
    typedInto(path, "new ").reset();
    auto later = nextStart(kEscape);
    EXPECT_EQ(later->PageCount(), 1);
    EXPECT_FALSE(later->Page(0).Editor->Modified());
    EXPECT_EQ(journals().size(), 1);
    later.reset();
    auto discard = nextStart(mbNo);
    EXPECT_TRUE(journals().isEmpty());
    EXPECT_FALSE(discard->Page(0).Editor->Modified());
    EXPECT_EQ(messages.Questions.size(), 2u);
    discard.reset();
    messages.Questions.clear();
    nextStart(kEnter);
    EXPECT_TRUE(messages.Questions.empty()) << "nothing left to offer";
    EXPECT_EQ(read(path), QByteArray("old\r\n"));
}

TEST_F(RecoveryTest, AnUnnamedPageComesBackUnnamedBesideANamedOne) {
    const QString path = file("note.txt", "old\r\n");
    auto old = typedInto(path, "named ");
    old->Mm_NewClick();
    TEditor* e = old->Page(old->ActivePage()).Editor;
    e->TypeText("never saved\r\nsecond line");
    written(*old);
    old.reset();
    auto form = nextStart(kEnter);
    ASSERT_EQ(form->PageCount(), 2);
    QStringList names;
    for (int i = 0; i < 2; ++i) names << form->Page(i).FileName;
    names.sort();
    EXPECT_EQ(names, QStringList({path, TMainForm::NewDocumentName}));
    for (int i = 0; i < 2; ++i) {
        const TPageRecord& p = form->Page(i);
        EXPECT_TRUE(p.Editor->Modified());
        EXPECT_EQ(p.Editor->Lines().Text(), p.FileName == path ? "named old\r\n" : "never saved\r\nsecond line");
    }
}

TEST_F(RecoveryTest, AJournalWhoseWriterStillRunsIsNotOffered) {
    const QString path = file("note.txt", "old\r\n");
    auto running = typedInto(path, "new ");
    auto form = nextStart(kEnter);
    EXPECT_TRUE(messages.Questions.empty());
    EXPECT_EQ(journals().size(), 1);
    EXPECT_FALSE(form->Page(0).Editor->Modified());
}

TEST_F(RecoveryTest, ATornEndIsDroppedAndTheUserIsTold) {
    const QString path = file("note.txt", "old\r\n");
    auto old = typedInto(path, "first ");
    TEditor* e = old->Page(0).Editor;
    e->TypeText("second ");
    written(*old);
    old.reset();
    const QString journal = TRecoveryKeeper::Folder() + "/" + journals().first();
    QFile f(journal);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() - 3)); // the last record cut, as by a power cut
    f.close();
    auto form = nextStart(kEnter);
    EXPECT_EQ(form->Page(0).Editor->Lines().Text(), "first old\r\n");
    ASSERT_FALSE(messages.Shown.isEmpty());
    EXPECT_TRUE(messages.Shown.last().contains(QStringLiteral("壊れていた"))) << messages.Shown.last().toStdString();
}

TEST_F(RecoveryTest, AJournalThatCannotBeWrittenIsToldOnceTypingPausesAndEditingGoesOn) {
    const QString path = file("note.txt", "old\r\n");
    TMainForm form;
    ASSERT_TRUE(form.OpenFileIntoPage(path));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = 0; // every write of the journal fails
    setrlimit(RLIMIT_FSIZE, &limit);
    TEditor* e = form.Page(0).Editor;
    e->TypeText("a");
    written(form);
    // While keys keep coming, no box comes up to take them.
    QElapsedTimer typing;
    typing.start();
    std::string typed = "a";
    while (typing.elapsed() < 2 * TRecoveryKeeper::kTellAfterQuietMs) {
        QTest::qWait(TRecoveryKeeper::kTellAfterQuietMs / 5);
        QTest::keyClicks(e, QStringLiteral("b"));
        typed += "b";
    }
    EXPECT_TRUE(messages.Shown.isEmpty()) << messages.Shown.join("|").toStdString();
    QTest::qWait(TRecoveryKeeper::kTellAfterQuietMs + 500);
    e->TypeText("c");
    written(form);
    QTest::qWait(TRecoveryKeeper::kTellAfterQuietMs + 500);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    ASSERT_EQ(messages.Shown.size(), 1) << messages.Shown.join("|").toStdString();
    EXPECT_TRUE(messages.Shown.first().contains(QStringLiteral("復元用の記録を書けません")));
    EXPECT_TRUE(messages.Shown.first().contains(SystemErrorText(EFBIG))) << "the reason in the user's words";
    EXPECT_EQ(e->Lines().Text(), typed + "cold\r\n");
}

TEST_F(RecoveryTest, AFolderThatCannotBeMadeIsToldAtTheStartAndTypingGoesOn) {
    // Something else stands where the folder belongs.
    const QString folder = TRecoveryKeeper::Folder();
    {
        QFile f(folder);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a folder");
    }
    const QString path = file("note.txt", "old\r\n");
    TMainForm form;
    form.OfferRecovery(); // the start
    ASSERT_EQ(messages.Shown.size(), 1) << messages.Shown.join("|").toStdString();
    EXPECT_TRUE(messages.Shown.first().contains(QStringLiteral("復元用の記録を書けません")))
        << messages.Shown.first().toStdString();
    EXPECT_TRUE(messages.Shown.first().contains(folder)) << "the message names the folder";
    EXPECT_TRUE(messages.Questions.empty());
    EXPECT_FALSE(form.Recovery().Active());
    ASSERT_TRUE(form.OpenFileIntoPage(path));
    TEditor* e = form.Page(0).Editor;
    e->TypeText("typed ");
    written(form);
    e->TypeText("on ");
    written(form);
    EXPECT_EQ(messages.Shown.size(), 1) << "told once: " << messages.Shown.join("|").toStdString();
    EXPECT_EQ(e->Lines().Text(), "typed on old\r\n");
    EXPECT_EQ(read(folder), QByteArray("not a folder"));
    ASSERT_TRUE(form.Mm_SaveClick()) << "saving does not need the journal";
    EXPECT_EQ(read(path), QByteArray("typed on old\r\n"));
}

TEST_F(RecoveryTest, AFileNameThatIsNotUtf8ComesBackWithItsOwnBytes) {
    // メモ.txt in Shift_JIS, as a Windows archive leaves it; Qt's own file names cannot hold it.
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/\x83\x81\x83\x82.txt";
    {
        const int fd = ::open(bytes.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "old\r\n", 5), 5);
        ::close(fd);
    }
    const QString path = DecodePath(bytes);
    typedInto(path, "new ").reset();
    auto form = nextStart(kEnter);
    ASSERT_EQ(messages.Questions.size(), 1u);
    EXPECT_TRUE(messages.Questions.front().Text.contains(QStringLiteral("メモ.txt")))
        << messages.Questions.front().Text.toStdString();
    const TPageRecord& p = form->Page(form->ActivePage());
    EXPECT_EQ(EncodePath(p.FileName), bytes);
    EXPECT_EQ(p.Editor->Lines().Text(), "new old\r\n");
    EXPECT_EQ(ReadRegularFile(path, 1000).Bytes, QByteArray("old\r\n")) << "untouched until saved";
    ASSERT_TRUE(form->Mm_SaveClick());
    EXPECT_EQ(ReadRegularFile(path, 1000).Bytes, QByteArray("new old\r\n"));
    EXPECT_TRUE(RemoveFile(path)); // the temporary folder's removal could not name it
}

// A journal that cannot be read (a byte of its snapshot damaged, or the file cut inside it)
// was removed at start without a word. It is offered with the reason; Enter moves it aside,
// names where, and it is not offered again.
TEST_F(RecoveryTest, ADamagedJournalIsOfferedAndKeptAsideByNameNeverRemovedUnasked) {
    enum class Damage { FlippedByte, CutInsideTheSnapshot };
    for (const Damage damage : {Damage::FlippedByte, Damage::CutInsideTheSnapshot}) {
        SCOPED_TRACE(static_cast<int>(damage));
        messages.Questions.clear();
        messages.Shown.clear();
        const QString path = file("note.txt", "old\r\n");
        typedInto(path, "new ").reset();
        ASSERT_EQ(journals().size(), 1);
        const QString name = journals().first();
        {
            QFile f(TRecoveryKeeper::Folder() + "/" + name);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            const qint64 inside = f.size() - 6; // the snapshot's last bytes, before its checksum
            if (damage == Damage::FlippedByte) {
                ASSERT_TRUE(f.seek(inside));
                char c = 0;
                ASSERT_TRUE(f.getChar(&c));
                ASSERT_TRUE(f.seek(inside));
                ASSERT_TRUE(f.putChar(static_cast<char>(c ^ 0x20)));
            } else {
                ASSERT_TRUE(f.resize(inside));
            }
        }
        auto form = nextStart(kEnter);
        ASSERT_EQ(messages.Questions.size(), 1u) << "the user is asked about it";
        EXPECT_TRUE(messages.Questions.front().Text.contains(QStringLiteral("壊れています")))
            << messages.Questions.front().Text.toStdString();
        EXPECT_TRUE(messages.Questions.front().Text.contains(path)) << messages.Questions.front().Text.toStdString();
        EXPECT_FALSE(form->Page(0).Editor->Modified());
        EXPECT_TRUE(journals().isEmpty());
        EXPECT_TRUE(QFileInfo::exists(keptFolder() + "/" + name)) << "kept, not removed";
        ASSERT_EQ(messages.Shown.size(), 1);
        EXPECT_TRUE(messages.Shown.first().contains(keptFolder() + "/" + name)) << messages.Shown.first().toStdString();
        form.reset();
        messages.Questions.clear();
        nextStart(kEnter);
        EXPECT_TRUE(messages.Questions.empty()) << "not offered again";
        EXPECT_EQ(read(path), QByteArray("old\r\n"));
    }
}

// A journal whose frames are whole but whose text cannot be rebuilt was offered again at every
// start: once the user has seen it, it is kept aside with its name in the message.
TEST_F(RecoveryTest, AJournalThatCannotBeRebuiltIsKeptAsideOnceSeen) {
    leftJournal("broken", "/nowhere/plan.txt", "one row", 5); // five rows claimed, one there
    auto form = nextStart(kEnter);
    ASSERT_EQ(messages.Questions.size(), 1u);
    EXPECT_TRUE(messages.Questions.front().Text.contains(QStringLiteral("plan.txt")));
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown.first().contains(keptFolder() + "/broken.1.journal"))
        << messages.Shown.first().toStdString();
    EXPECT_TRUE(QFileInfo::exists(keptFolder() + "/broken.1.journal"));
    form.reset();
    messages.Questions.clear();
    nextStart(kEnter);
    EXPECT_TRUE(messages.Questions.empty());
}

// A journal file of a size no page's journal can have (sparse here, 64 GB) made every start
// end in std::bad_alloc. It is not read: it is offered with the reason and kept aside.
TEST_F(RecoveryTest, AHugeJournalIsNotReadButOfferedWithTheReason) {
    const QString path = leftJournal("huge", "/nowhere/big.txt", "text");
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), off_t(64) << 30), 0);
    auto form = nextStart(kEnter);
    ASSERT_EQ(messages.Questions.size(), 1u);
    EXPECT_TRUE(messages.Questions.front().Text.contains(QStringLiteral("大きすぎます")))
        << messages.Questions.front().Text.toStdString();
    EXPECT_TRUE(QFileInfo::exists(keptFolder() + "/huge.1.journal"));
    EXPECT_FALSE(form->Page(0).Editor->Modified());
}

// With many journals the question stays within the screen: a few are listed and the rest
// counted (150 made it taller than the screen, its buttons off it).
TEST_F(RecoveryTest, ManyJournalsListAFewAndCountTheRest) {
    for (int i = 0; i < 150; ++i)
        leftJournal("many" + std::to_string(i), "/nowhere/file" + std::to_string(i) + ".txt", "text");
    nextStart(kEscape);
    ASSERT_EQ(messages.Questions.size(), 1u);
    const QString q = messages.Questions.front().Text;
    const int listed = static_cast<int>(q.count(QStringLiteral("/nowhere/file")));
    EXPECT_LE(listed, 12);
    EXPECT_TRUE(q.contains(QStringLiteral("ほか %1 件").arg(150 - listed))) << q.toStdString();
    EXPECT_EQ(journals().size(), 150) << "Escape keeps them all";
}

// Characters code page 932 lacks live in the page's table: a recovered page has them again, in
// a UTF-8 file's page and in a Shift_JIS page they were typed into (saved there as UTF-8,
// which the save offers first).
TEST_F(RecoveryTest, ThePagesOwnCharactersComeBackWithIt) {
    const struct {
        const char* Name;
        QByteArray Bytes;
        QByteArray Saved;
    } cases[] = {
        {"utf8.txt", "caf\xC3\xA9 \xE3\x80\x9C\n", "\xF0\x9F\x98\x80 caf\xC3\xA9 \xE3\x80\x9C\n"},
        {"sjis.txt", "\x82\xA0\r\n", "\xF0\x9F\x98\x80 \xE3\x81\x82\r\n"},
    };
    for (const auto& c : cases) {
        const QString path = file(c.Name, c.Bytes);
        auto old = std::make_unique<TMainForm>();
        ASSERT_TRUE(old->OpenFileIntoPage(path));
        TEditor* e = old->Page(old->ActivePage()).Editor;
        e->SetRowCol(0, 0);
        QInputMethodEvent typed;
        typed.setCommitString(QStringLiteral("😀 "));
        QApplication::sendEvent(e, &typed);
        written(*old);
        old.reset();

        auto form = nextStart(kEnter);
        ASSERT_EQ(form->Page(form->ActivePage()).FileName, path) << c.Name;
        messages.Answers = {mbYes}; // the Shift_JIS page: save as UTF-8
        ASSERT_TRUE(form->Mm_SaveClick()) << c.Name;
        EXPECT_EQ(read(path), c.Saved) << c.Name;
        form.reset();
        messages.Questions.clear();
    }
}
