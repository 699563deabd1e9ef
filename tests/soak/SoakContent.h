// The content the save soak writes in each round: a few MB whose first line names the round,
// so that any whole file tells which round wrote it.
#pragma once

#include <string>

namespace quire::test {

inline std::string SoakContent(int Round) {
    const std::string head = "round " + std::to_string(Round) + "\r\n";
    std::string text = head;
    const std::string line = "さまざまな行 " + std::to_string(Round) + " abcdefghijklmnopqrstuvwxyz 0123456789\r\n";
    text.reserve(3 << 20);
    while (text.size() < (3u << 20)) text += line;
    return text;
}

// The round a file's text names in its first line, or -1 when there is none.
inline int SoakRound(const std::string& Text) {
    if (Text.rfind("round ", 0) != 0) return -1;
    return std::atoi(Text.c_str() + 6);
}

} // namespace quire::test
