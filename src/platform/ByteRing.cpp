#include "platform/ByteRing.h"

#include <algorithm>
#include <cstring>

namespace platform {

ByteRing::ByteRing(std::size_t capacity)
    : ring_(std::make_unique_for_overwrite<std::uint8_t[]>(capacity)), capacity_(capacity) {}

std::size_t ByteRing::Write(const void* data, std::size_t bytes) {
    const std::size_t take = std::min(bytes, Room());
    const auto* from = static_cast<const std::uint8_t*>(data);
    // In at most two pieces around the end of the ring.
    for (std::size_t done = 0; done < take;) {
        const std::size_t at = (start_ + size_) % capacity_;
        const std::size_t piece = std::min(take - done, capacity_ - at);
        if (from)
            std::memcpy(ring_.get() + at, from + done, piece);
        else
            std::memset(ring_.get() + at, 0, piece);
        done += piece;
        size_ += piece;
    }
    return take;
}

std::span<const std::uint8_t> ByteRing::Front() const {
    return {ring_.get() + start_, std::min(size_, capacity_ - start_)};
}

void ByteRing::Drop(std::size_t bytes) {
    bytes = std::min(bytes, size_);
    start_ = size_ == bytes ? 0 : (start_ + bytes) % capacity_;
    size_ -= bytes;
}

std::size_t ByteRing::Read(void* out, std::size_t bytes) {
    auto* to = static_cast<std::uint8_t*>(out);
    std::size_t done = 0;
    while (done < bytes && size_ > 0) {
        const std::span<const std::uint8_t> piece =
            Front().first(std::min(Front().size(), bytes - done));
        std::memcpy(to + done, piece.data(), piece.size());
        Drop(piece.size());
        done += piece.size();
    }
    return done;
}

void ByteRing::Clear() {
    start_ = 0;
    size_ = 0;
}

} // namespace platform
