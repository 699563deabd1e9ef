// CodeCorpus: generated files in every code the editor reads, each of several megabytes with
// characters cut by every megabyte at which files are read, for tests that open and save them.
#pragma once

#include <string>
#include <vector>

namespace quire::test {

struct TCorpusFile {
    std::string Name;  // says what the file is
    std::string Code;  // the code the editor reads it in (a name of jconvert)
    std::string Bytes; // the file
};

// S-JIS, EUC with half-width kana and JIS X 0212, JIS with ESC ( B and with ESC ( J, UTF-8 with
// and without the byte order mark, UTF-16 little- and big-endian (with and without it), in
// CR LF, CR and LF. A megabyte is read at a time: at each megabyte of a file one character
// (or escape) of the code starts a byte or more before it, every offset the character allows.
std::vector<TCorpusFile> CodeCorpus();

} // namespace quire::test
