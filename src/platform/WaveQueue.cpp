#include "platform/WaveQueue.h"

#include <algorithm>
#include <cstring>

void WaveQueue::Add(WaveHeader& header) {
    header.Flags.store(0, std::memory_order_relaxed);
    header.Next = nullptr;
    if (tail_)
        tail_->Next = &header;
    else
        head_ = &header;
    tail_ = &header;
}

WaveHeader* WaveQueue::Pop() {
    WaveHeader* header = head_;
    head_ = header->Next;
    if (!head_)
        tail_ = nullptr;
    header->Next = nullptr;
    header->Flags.store(WaveHeaderDone, std::memory_order_release);
    return header;
}

std::size_t WaveQueue::Fill(const void* data, std::size_t bytes) {
    auto* from = static_cast<const std::uint8_t*>(data);
    while (bytes > 0 && head_) {
        WaveHeader& header = *head_;
        const std::uint32_t recorded = header.BytesRecorded.load(std::memory_order_relaxed);
        const std::size_t take = std::min<std::size_t>(bytes, header.BufferLength - recorded);
        if (from) {
            std::memcpy(header.Data + recorded, from, take);
            from += take;
        } else {
            std::memset(header.Data + recorded, 0, take);
        }
        bytes -= take;
        const auto now = static_cast<std::uint32_t>(recorded + take);
        // A full buffer leaves the queue before its count says full, so whoever sees the full
        // count may hand it straight back.
        if (now == header.BufferLength)
            Pop();
        header.BytesRecorded.store(now, std::memory_order_release);
    }
    return bytes;
}

void WaveQueue::HandBackPartial() {
    if (head_ && head_->BytesRecorded.load(std::memory_order_relaxed) > 0)
        Pop();
}

void WaveQueue::HandBackAll() {
    while (head_)
        Pop();
}

std::size_t WaveQueue::Size() const {
    std::size_t n = 0;
    for (const WaveHeader* h = head_; h; h = h->Next)
        ++n;
    return n;
}
