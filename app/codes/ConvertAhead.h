// TConvertAhead: converts the pieces of a text on a second thread while the caller reads on.
#pragma once

#include "KanjiConverter.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace quire {

// The caller hands pieces over with Convert and goes on reading the next one while a second
// thread converts them, in order, by a TKanjiConverter; the converted bytes reach the
// sink on the caller's thread, in order, during Convert and Finish. At most kInFlight pieces wait or are being
// converted: a piece must stay valid until kInFlight more pieces have been handed over, or until Finish (InputRoom
// gives buffers that follow this rule). What the converter raises is raised again by Convert or Finish.
//
// The converter runs on the second thread only: a library that could not convert by itself
// (one that would ask the user) must not be used here (Usable).
class TConvertAhead {
public:
    static constexpr std::size_t kInFlight = 3;

    // Where the text is cut into the library's pieces (TKanjiCutter), which takes a pass over
    // it: on the caller's thread when the caller has little else to do (a text in memory), on
    // the converting thread when the caller reads and splits the text.
    enum class TCutOn { Caller, Converter };

    // Options (TKanjiConverter's) are used on the second thread: their outside codes must not
    // be touched elsewhere until Finish.
    TConvertAhead(jconvert::TConversion Conversion, TConverter Converter, TKanjiSink& Sink,
                  TCutOn CutOn = TCutOn::Caller, const jconvert::TConvertOptions& Options = {});
    ~TConvertAhead();
    TConvertAhead(const TConvertAhead&) = delete;
    TConvertAhead& operator=(const TConvertAhead&) = delete;

    // Whether conversions of this kind may run on a second thread.
    static bool Usable(TConverter Converter);

    // A buffer of Size bytes for the next piece, free of every piece still in flight.
    char* InputRoom(std::size_t Size);
    // The next piece (Last: none follows; Plain: as for TKanjiCutter::Add).
    void Convert(std::string_view Piece, bool Last, bool Plain = false);
    // Waits until every piece is converted and has reached the sink.
    void Finish();

    int LibraryPieces() const noexcept { return FLibraryPieces; }
    int RejectedPieces() const noexcept { return FRejectedPieces; }

private:
    // Converted bytes of one piece, in a buffer used again and again.
    class TOutput : public TKanjiSink {
    public:
        char* Room(std::size_t N) override;
        void Commit(std::size_t Written) override { FSize += Written; }
        std::string_view Bytes() const noexcept { return {FData.get(), FSize}; }
        void Clear() noexcept { FSize = 0; }

    private:
        std::unique_ptr<char[]> FData;
        std::size_t FSize = 0;
        std::size_t FCapacity = 0;
    };
    // Forwards the converter's bytes to the output of the piece being converted.
    class TCurrentSink : public TKanjiSink {
    public:
        char* Room(std::size_t N) override { return Output->Room(N); }
        void Commit(std::size_t Written) override { Output->Commit(Written); }
        TOutput* Output = nullptr;
    };
    struct TPiece {
        std::string_view Bytes;
        std::string Clean; // with the library: a piece that the cutter handed on
        bool Last = false;
        bool Plain = false;
    };

    void run();
    // Queues a piece for the second thread.
    void push(TPiece&& Piece);
    // Hands converted pieces to the sink until at most MaxInFlight pieces are in flight.
    void deliver(std::size_t MaxInFlight);

    TKanjiSink& FSink;
    TCurrentSink FCurrent;
    TKanjiConverter FConverter;          // used on the second thread only
    std::optional<TKanjiCutter> FCutter; // cuts the library's pieces on the caller's thread
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::deque<TPiece> FTodo;
    std::deque<std::unique_ptr<TOutput>> FDone;
    std::vector<std::unique_ptr<TOutput>> FFree;
    std::size_t FInFlight = 0; // handed over, not yet at the sink
    bool FStop = false;
    std::exception_ptr FError;
    std::vector<std::unique_ptr<char[]>> FRooms;
    std::size_t FRoomSize = 0;
    std::size_t FNextRoom = 0;
    int FLibraryPieces = 0;
    int FRejectedPieces = 0;
    std::thread FThread; // last: starts once everything else is made
};

} // namespace quire
