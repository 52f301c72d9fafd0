#pragma once
// Bytes in order in a ring of a fixed size: what a queue between two threads holds, or audio
// kept while nobody takes it. The memory is allocated once and left unwritten, so its pages take
// memory only once bytes have filled them. Not thread safe: its owner locks.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace platform {

class ByteRing {
public:
    ByteRing() = default;
    explicit ByteRing(std::size_t capacity);

    std::size_t Size() const { return size_; }
    std::size_t Room() const { return capacity_ - size_; }

    // Copies as many of the bytes as there is room for behind those held (null data: zeros);
    // returns how many.
    std::size_t Write(const void* data, std::size_t bytes);
    // The oldest bytes held that lie in one piece; empty when none are held.
    std::span<const std::uint8_t> Front() const;
    // Forgets the oldest `bytes` (at most Size()).
    void Drop(std::size_t bytes);
    // Copies up to `bytes` of the oldest into `out` and forgets them; returns how many.
    std::size_t Read(void* out, std::size_t bytes);
    void Clear();

private:
    std::unique_ptr<std::uint8_t[]> ring_;
    std::size_t capacity_ = 0;
    std::size_t start_ = 0;
    std::size_t size_ = 0;
};

} // namespace platform
