// Loading a file's bytes into the store.
#include "FakeEditor.h"
#include "PlatformError.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;
using Rows = std::vector<std::string>;

namespace {

class LoadFromFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() / ("quire-load-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const std::string& bytes) {
        const std::string path = (dir_ / "file.txt").string();
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    // What the store holds after loading Bytes.
    std::string load(FakeEditor& e, const std::string& bytes) {
        e.Lines.LoadFromFile(write(bytes));
        return e.Store->GetTextStr();
    }
    std::filesystem::path dir_;
};

} // namespace

TEST_F(LoadFromFileTest, LineEndsAndTheLastLine) {
    FakeEditor e;
    EXPECT_EQ(load(e, ""), "");
    EXPECT_EQ(e.Store->Count(), 0);
    load(e, "a\r\nb");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L", "b|E"}));
    load(e, "a\r\nb\r\n");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L", "b|L"}));
    load(e, "a\rb\nc\n\rd");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L", "b|L", "c|L", "|L", "d|E"}));
}

TEST_F(LoadFromFileTest, CrLfSplitAcrossTheChunkBoundary) {
    FakeEditor e;
    std::string bytes(8191, 'x');
    bytes += "\r\nnext\r\n"; // CR is byte 8192, LF the first byte of the second chunk
    load(e, bytes);
    EXPECT_EQ(RowsOf(*e.Store), (Rows{std::string(8191, 'x') + "|L", "next|L"}));
    // A row that crosses the boundary is carried over whole.
    std::string crossing = std::string(8000, 'a') + "\r\n" + std::string(500, 'b') + "\r\n";
    load(e, crossing);
    EXPECT_EQ(e.Store->GetTextStr(), crossing);
    EXPECT_EQ(e.Store->Count(), 2);
}

TEST_F(LoadFromFileTest, ControlZEndsTheText) {
    FakeEditor e;
    load(e, "abc\r\ndef\x1Aghi\r\njkl");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"abc|L", "def|E"}));
}

TEST_F(LoadFromFileTest, NulDropsTheRestOfItsChunk) {
    FakeEditor e;
    std::string bytes = "ab";
    bytes += '\0';
    bytes += "lost\r\n";
    bytes += std::string(8192 - bytes.size(), 'z'); // the rest of the first chunk
    bytes += "cd\r\nef";                            // the second chunk
    load(e, bytes);
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"abcd|L", "ef|E"}));
}

TEST_F(LoadFromFileTest, WrapsAndParsesAfterLoading) {
    FakeEditor e;
    e.Store->WrapOption().SetWrapByte(20);
    e.Store->SetWordWrap(true);
    const int views = e.Views;
    load(e, std::string(25, 'y') + "\r\n(*\r\n");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{std::string(20, 'y') + "|W", "yyyyy|L", "(*|L"}));
    EXPECT_EQ(e.Store->BracketIndex(0), -1);
    EXPECT_EQ(e.Views, views + 1);
}

TEST_F(LoadFromFileTest, AMissingFileRaisesAfterClearing) {
    FakeEditor e;
    e.Store->SetTextStr("old");
    EXPECT_THROW(e.Lines.LoadFromFile((dir_ / "missing.txt").string()), EPlatformError);
    EXPECT_EQ(e.Store->Count(), 0);
    try {
        e.Lines.LoadFromFile((dir_ / "missing.txt").string());
    } catch (const EPlatformError& err) {
        EXPECT_NE(std::string(err.what()).find("missing.txt"), std::string::npos);
    }
}

TEST_F(LoadFromFileTest, LargeFileMatchesSetTextStr) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i) + (i % 3 ? "\r\n" : i % 2 ? "\n" : "\r");
    FakeEditor a, b;
    load(a, text);
    b.Store->SetTextStr(text);
    EXPECT_EQ(RowsOf(*a.Store), RowsOf(*b.Store));
}
