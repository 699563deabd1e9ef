// TKanjiRoundTrip.
#include "KanjiRoundTrip.h"

#include "CutCharacter.h"

#include <algorithm>
#include <cstring>

namespace quire {

using jconvert::TConversion;

namespace {

constexpr char kEsc = '\x1B';

} // namespace

TKanjiRoundTrip::TKanjiRoundTrip(TConversion Reading)
    : FReading(Reading), FBack(Reading == TConversion::JisToSjis ? TConversion::SjisToJis : TConversion::SjisToEuc) {}

void TKanjiRoundTrip::TJisCharacters::mark(char Set, std::string& Out) {
    if (Set == FShown) return;
    Out += kEsc;
    Out += Set;
    FShown = Set;
}

void TKanjiRoundTrip::TJisCharacters::run(std::string_view Run, std::string& Out) {
    // A line end is ASCII in any set.
    while (!Run.empty()) {
        std::size_t end = Run.size();
        if (FSet != 'B') {
            for (char c : {'\r', '\n'})
                if (const void* hit = std::memchr(Run.data(), c, end))
                    end = static_cast<std::size_t>(static_cast<const char*>(hit) - Run.data());
        }
        if (end > 0) {
            mark(FSet, Out);
            Out.append(Run.data(), end);
        }
        if (end == Run.size()) return;
        mark('B', Out);
        Out += Run[end];
        Run.remove_prefix(end + 1);
    }
}

std::size_t TKanjiRoundTrip::TJisCharacters::take(std::string_view s, bool Last, std::string& Out) {
    std::size_t i = 0;
    while (i < s.size()) {
        const void* hit = std::memchr(s.data() + i, kEsc, s.size() - i);
        const std::size_t j = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - s.data()) : s.size();
        run(s.substr(i, j - i), Out);
        i = j;
        if (i == s.size()) break;
        if (s.size() - i < 3) {
            if (!Last) return i; // the escape may go on in the next piece
        } else if (s[i + 1] == '$' || s[i + 1] == '(') {
            FSet = s[i + 1] == '$' ? 'K' : s[i + 2] == 'J' ? 'B' : s[i + 2];
            i += 3;
            continue;
        }
        // An ESC that starts no escape sequence is a character of its own.
        mark(FSet, Out);
        Out += kEsc;
        Out += '\0';
        ++i;
    }
    return s.size();
}

void TKanjiRoundTrip::TJisCharacters::Add(std::string_view Piece, bool Last, std::string& Out) {
    // The cut escape the piece before left, finished first; the piece goes on from where that
    // stopped.
    const auto takeOut = [this, &Out](std::string_view s, bool Final) { return take(s, Final, Out); };
    if (!FinishCutCharacter(FCarry, Piece, Last, takeOut)) return;
    const std::size_t taken = take(Piece, Last, Out);
    FCarry.assign(Piece.substr(taken));
}

void TKanjiRoundTrip::add(std::string& Side, std::size_t& Offset, TJisCharacters& Characters, std::string_view Bytes,
                          bool Last) {
    // What was matched already goes once it is most of the buffer.
    if (Offset > (std::size_t(1) << 20) && Offset > Side.size() / 2) {
        Side.erase(0, Offset);
        Offset = 0;
    }
    if (FReading == TConversion::JisToSjis)
        Characters.Add(Bytes, Last, Side);
    else
        Side.append(Bytes);
    compare();
}

void TKanjiRoundTrip::compare() {
    const std::size_t n = std::min(FRead.size() - FReadOffset, FWritten.size() - FWrittenOffset);
    if (std::memcmp(FRead.data() + FReadOffset, FWritten.data() + FWrittenOffset, n) != 0) FEqual = false;
    FReadOffset += n;
    FWrittenOffset += n;
    if (!FEqual) {
        FRead.clear();
        FWritten.clear();
        FReadOffset = FWrittenOffset = 0;
    }
}

void TKanjiRoundTrip::Read(std::string_view Bytes) {
    if (FEqual && !Bytes.empty()) add(FRead, FReadOffset, FReadCharacters, Bytes, false);
}

void TKanjiRoundTrip::Converted(std::string_view Sjis) {
    if (!FEqual || Sjis.empty()) return;
    const std::size_t room = FBack.MaxOutput(Sjis.size());
    if (FCapacity < room) {
        FBuffer.reset(new char[room]); // never filled beforehand
        FCapacity = room;
    }
    const std::size_t n = FBack.Convert(Sjis, false, FBuffer.get());
    add(FWritten, FWrittenOffset, FBackCharacters, std::string_view(FBuffer.get(), n), false);
}

bool TKanjiRoundTrip::Finish() {
    if (!FEqual) return false;
    char tail[64];
    const std::size_t n = FBack.Convert({}, true, tail);
    add(FWritten, FWrittenOffset, FBackCharacters, std::string_view(tail, n), true);
    add(FRead, FReadOffset, FReadCharacters, {}, true);
    return FEqual && FRead.size() == FReadOffset && FWritten.size() == FWrittenOffset;
}

bool TKanjiRoundTrip::Same(std::string_view A, std::string_view B, std::string_view Code) {
    if (Code != jconvert::kJisName) return A == B;
    std::string a, b;
    TJisCharacters ca, cb;
    ca.Add(A, true, a);
    cb.Add(B, true, b);
    return a == b;
}

} // namespace quire
