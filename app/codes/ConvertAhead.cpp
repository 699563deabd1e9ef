// TConvertAhead.
#include "ConvertAhead.h"

#include "nkf.h"

#include <cstring>

namespace quire {

char* TConvertAhead::TOutput::Room(std::size_t N) {
    if (FCapacity - FSize < N) {
        // Rare: a piece whose output outgrows the room of the first step. char[] is not filled.
        const std::size_t capacity = std::max(FSize + N, 2 * FCapacity);
        std::unique_ptr<char[]> larger(new char[capacity]);
        if (FSize > 0) std::memcpy(larger.get(), FData.get(), FSize);
        FData = std::move(larger);
        FCapacity = capacity;
    }
    return FData.get() + FSize;
}

TConvertAhead::TConvertAhead(jconvert::TConversion Conversion, TConverter Converter, TKanjiSink& Sink, TCutOn CutOn,
                             const jconvert::TConvertOptions& Options)
    : FSink(Sink), FConverter(Conversion, Converter, FCurrent, Options),
      FCutter(FConverter.UsesLibrary() && CutOn == TCutOn::Caller ? std::optional<TKanjiCutter>(Conversion)
                                                                  : std::nullopt),
      FThread([this] { run(); }) {}

TConvertAhead::~TConvertAhead() {
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FStop = true;
    }
    FChanged.notify_all();
    FThread.join();
}

bool TConvertAhead::Usable(TConverter Converter) {
    // A library that lacks a function tells the user so, which only the main thread may do.
    return Converter == TConverter::BuiltIn || !nkf::Available() || nkf::CanConvert();
}

char* TConvertAhead::InputRoom(std::size_t Size) {
    if (FRooms.empty() || FRoomSize < Size) {
        // The pieces still in flight may lie in the old rooms: they are done first.
        if (!FRooms.empty()) deliver(0);
        FRooms.clear();
        for (std::size_t k = 0; k <= kInFlight; ++k) FRooms.emplace_back(new char[Size]);
        FRoomSize = Size;
    }
    return FRooms[FNextRoom++ % FRooms.size()].get();
}

void TConvertAhead::Convert(std::string_view Piece, bool Last, bool Plain) {
    if (FCutter) {
        // The cutter copies what it keeps: the piece is free as soon as this returns.
        FCutter->Add(
            Piece, Last,
            [this](std::string& clean, bool last) {
                push({{}, std::move(clean), last, false});
            },
            Plain);
    } else {
        push({Piece, {}, Last, Plain});
    }
    deliver(kInFlight);
}

void TConvertAhead::push(TPiece&& Piece) {
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FTodo.push_back(std::move(Piece));
        ++FInFlight;
    }
    FChanged.notify_all();
}

void TConvertAhead::Finish() {
    deliver(0);
    const std::lock_guard<std::mutex> lock(FMutex);
    FLibraryPieces = FConverter.LibraryPieces();
    FRejectedPieces = FConverter.RejectedPieces();
}

void TConvertAhead::deliver(std::size_t MaxInFlight) {
    for (;;) {
        std::unique_ptr<TOutput> output;
        {
            std::unique_lock<std::mutex> lock(FMutex);
            FChanged.wait(lock, [&] { return FError || !FDone.empty() || FInFlight <= MaxInFlight; });
            if (FError) std::rethrow_exception(FError);
            if (FDone.empty()) return;
            output = std::move(FDone.front());
            FDone.pop_front();
        }
        const std::string_view bytes = output->Bytes();
        if (!bytes.empty()) {
            std::memcpy(FSink.Room(bytes.size()), bytes.data(), bytes.size());
            FSink.Commit(bytes.size());
        }
        output->Clear();
        {
            const std::lock_guard<std::mutex> lock(FMutex);
            FFree.push_back(std::move(output));
            --FInFlight;
        }
    }
}

void TConvertAhead::run() {
    for (;;) {
        TPiece piece;
        std::unique_ptr<TOutput> output;
        {
            std::unique_lock<std::mutex> lock(FMutex);
            FChanged.wait(lock, [&] { return FStop || !FTodo.empty(); });
            if (FStop) return;
            piece = std::move(FTodo.front());
            FTodo.pop_front();
            if (FFree.empty()) {
                output = std::make_unique<TOutput>();
            } else {
                output = std::move(FFree.back());
                FFree.pop_back();
            }
        }
        try {
            FCurrent.Output = output.get();
            if (FCutter)
                FConverter.ConvertClean(piece.Clean, piece.Last);
            else
                FConverter.Convert(piece.Bytes, piece.Last, piece.Plain);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(FMutex);
            FError = std::current_exception();
            FChanged.notify_all();
            return;
        }
        {
            const std::lock_guard<std::mutex> lock(FMutex);
            FDone.push_back(std::move(output));
        }
        FChanged.notify_all();
    }
}

} // namespace quire
