#include "common/TextLineReader.h"

#include "common/Error.h"
#include "common/TextFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace quarnel {

TextLineReader::TextLineReader(const std::string& path, std::size_t blockSize,
                               std::size_t minFirstPiece)
    : blockSize_(std::max<std::size_t>(blockSize, 1)),
      // One byte more than the first piece must hold: a CR at the end of a full buffer waits
      // for the next read, which tells whether a LF follows it.
      capacity_(std::max({blockSize_, minFirstPiece + 1, std::size_t{2}})),
      buffer_(new char[capacity_]) {
    // Only a regular file: a folder, a named pipe or a device is refused without waiting.
    file_ = openRegularFileForReading(path);
    // The buffer here is the only one: each block is one read straight into it.
    std::setvbuf(file_, nullptr, _IONBF, 0);
}

TextLineReader::~TextLineReader() {
    if (file_)
        std::fclose(file_);
}

bool TextLineReader::refill() {
    if (eof_)
        return false;
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const std::size_t want = std::min(blockSize_, capacity_ - end_);
    const std::size_t got = std::fread(buffer_.get() + end_, 1, want, file_);
    if (got < want) {
        if (std::ferror(file_))
            throw Error(errc::FileIO, "Path/File access error");
        eof_ = true;
    }
    end_ += got;
    bytesRead_ += got;
    return got > 0;
}

bool TextLineReader::nextAfterRead(Piece& piece) {
    for (;;) {
        refill();
        if (nextInBuffer(piece))
            return true;
        const char* data = buffer_.get();
        if (eof_) {
            // The last line has no line end; a CR at its end is one of its bytes. A line
            // whose pieces so far took the whole file still gets its (empty) last piece.
            if (begin_ == end_ && atLineStart_)
                return false;
            piece = {std::string_view(data + begin_, end_ - begin_), atLineStart_, true, 0};
            begin_ = end_;
            atLineStart_ = true;
            return true;
        }
        if (begin_ == 0 && end_ == capacity_) {
            // The buffer holds part of one long line: hand it out, all but a final CR.
            std::size_t last = end_;
            if (data[last - 1] == '\r')
                --last;
            piece = {std::string_view(data, last), atLineStart_, false, 0};
            begin_ = last;
            atLineStart_ = false;
            return true;
        }
    }
}

} // namespace quarnel
