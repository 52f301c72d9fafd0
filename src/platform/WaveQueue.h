#pragma once
// The queue of buffers an open capture device fills, oldest first, shared by the devices of
// platform/. Not locked: the device calls it under its own lock.

#include "platform/WaveIn.h"

#include <cstddef>

class WaveQueue {
public:
    void Add(WaveHeader& header);
    // Copies audio into the oldest queued buffers (null data: silence), handing each back as it
    // fills up. Returns the bytes that found no buffer.
    std::size_t Fill(const void* data, std::size_t bytes);
    // Hands back the buffer being filled when it holds anything (a stop).
    void HandBackPartial();
    // Hands back every queued buffer (a reset).
    void HandBackAll();
    bool Empty() const { return head_ == nullptr; }
    std::size_t Size() const;

private:
    WaveHeader* Pop();

    WaveHeader* head_ = nullptr;
    WaveHeader* tail_ = nullptr;
};
