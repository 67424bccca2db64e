#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace quarnel {

// Reads a text file front to back through one buffer of fixed size and hands out its lines
// in place, so that the memory used does not grow with the file. Lines split as the whole
// file reader does: a line ends at LF, a CR right before that LF belongs to the line end,
// every other byte stays, and a final line end starts no further line.
//
// A line that fits the buffer comes as one piece. A longer one comes in several pieces, the
// first of them at least minFirstPiece bytes long, so that a caller can recognise a line by
// its beginning from the first piece alone.
class TextLineReader {
public:
    static constexpr std::size_t kDefaultBlockSize = std::size_t{64} * 1024;

    struct Piece {
        std::string_view bytes; // valid until the next call of next()
        bool lineStart = false; // the first piece of its line
        bool lineEnd = false;   // the last piece of its line
        // The bytes of the line end right behind bytes in the buffer: 2 for CR LF, 1 for a
        // bare LF, 0 at the end of the file or of a piece that is not the last.
        std::size_t endSize = 0;
    };

    // Opens path for reading in reads of blockSize bytes. Throws Error 53 when the file
    // cannot be opened or is a folder.
    explicit TextLineReader(const std::string& path, std::size_t blockSize = kDefaultBlockSize,
                            std::size_t minFirstPiece = 0);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // The next piece; false at the end of the file. Throws Error 75 when a read fails.
    bool next(Piece& piece) { return nextInBuffer(piece) || nextAfterRead(piece); }

    // The bytes read from the file so far.
    std::size_t bytesRead() const { return bytesRead_; }

private:
    // A whole line found in the buffer, as most calls find one.
    bool nextInBuffer(Piece& piece) {
        const char* data = buffer_.get();
        const void* lf = std::memchr(data + begin_, '\n', end_ - begin_);
        if (!lf)
            return false;
        const std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
        const std::size_t endSize = stop > begin_ && data[stop - 1] == '\r' ? 2 : 1;
        piece.bytes = std::string_view(data + begin_, stop + 1 - endSize - begin_);
        piece.lineStart = atLineStart_;
        piece.lineEnd = true;
        piece.endSize = endSize;
        begin_ = stop + 1;
        atLineStart_ = true;
        return true;
    }
    // The rest of next(): reads, and hands out the last line or a piece of a long one.
    bool nextAfterRead(Piece& piece);
    // Moves the unread bytes to the front and reads more behind them; false at the end.
    bool refill();

    std::FILE* file_ = nullptr;
    std::size_t blockSize_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0; // unread bytes are [begin_, end_)
    std::size_t end_ = 0;
    std::size_t bytesRead_ = 0;
    bool eof_ = false;
    bool atLineStart_ = true;
};

// Calls lineFn(std::string_view) for every line of the file at path, in order. A line longer
// than the reader's buffer is put together in a string first, so memory grows with the
// longest line only.
template <class LineFn> void forEachTextLine(TextLineReader& reader, LineFn&& lineFn) {
    std::string joined;
    TextLineReader::Piece piece;
    while (reader.next(piece)) {
        if (piece.lineStart && piece.lineEnd) {
            lineFn(piece.bytes);
            continue;
        }
        if (piece.lineStart)
            joined.clear();
        joined.append(piece.bytes);
        if (piece.lineEnd)
            lineFn(std::string_view(joined));
    }
}

} // namespace quarnel
