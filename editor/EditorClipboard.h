// The clipboard's text as the editors exchange it: the text, and the code page 932 bytes it
// stands for, so that text copied from an editor pastes back byte for byte.
#pragma once

#include <QString>
#include <string>

namespace quire {

struct TClipboardText {
    QString Text;
    // The bytes an editor copied, while Text still shows them; otherwise Text converted
    // (characters that code page 932 cannot hold become "?").
    std::string Bytes;

    TClipboardText operator+(const TClipboardText& Other) const { return {Text + Other.Text, Bytes + Other.Bytes}; }
};

// The clipboard's text; empty when it holds none. Characters that had to become "?" in Bytes
// are collected once each, in order, into Lost when it is given.
TClipboardText ReadClipboardText(QString* Lost = nullptr);
// True when the clipboard holds text.
bool ClipboardHasText();
// Puts T on the clipboard: its text for every program, and its bytes for the editors when
// they show as that text. Box marks a rectangular copy ("TEditor Box Type").
void WriteClipboardText(const TClipboardText& T, bool Box = false);
// The clipboard format that marks a rectangular copy.
const char* BoxMimeType();
// True when the clipboard holds a rectangular copy.
bool ClipboardHoldsBox();

} // namespace quire
