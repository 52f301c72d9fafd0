#include "engine/WRecord.h"

#include "platform/Tick.h"

#include <algorithm>
#include <span>

CaptureRing::CaptureRing(WaveIn& device, TickSource tick)
    : device_(device), tick_(tick ? std::move(tick) : TickSource(platform::GetTickCount)) {}

OpenResult CaptureRing::OpenCapture(RecordingSettings& settings) {
    if (open_)
        return {OpenOutcome::AlreadyOpen, {}};
    WaveInCaps caps;
    if (device_.GetDevCaps(0, caps) != WaveOk)
        return {OpenOutcome::NoDevice, {}};
    currentDeviceName_ = caps.szPname;
    // A comparison of the whole flag word, not a test of the one bit.
    if (caps.dwFormats < WaveFormat44S16)
        return {OpenOutcome::Unsupported, {}};

    ComputeBlockSizes(settings);
    sequence_ = 0;
    current_ = 0;
    bufferBytes_ = settings.CaptureBufferBytes;
    store_.assign(std::size_t(CaptureBufferCount) * bufferBytes_, 0);

    const WaveResult result = device_.Open(0, settings.CaptureRate);
    if (result != WaveOk)
        return {OpenOutcome::Failed, device_.GetErrorText(result)};
    open_ = true;
    rate_ = settings.CaptureRate;
    overrunBaseline_ = 0;
    for (std::uint32_t i = 0; i < CaptureBufferCount; ++i)
        Queue(i);
    device_.Start();
    stopped_ = false;
    EndCaptureGap();
    return {OpenOutcome::Opened, {}};
}

void CaptureRing::Queue(std::uint32_t i) {
    WaveHeader& header = headers_[i];
    header.Data = store_.data() + std::size_t(i) * bufferBytes_;
    header.BufferLength = bufferBytes_;
    header.BytesRecorded.store(0, std::memory_order_relaxed);
    header.User = ++sequence_;
    device_.AddBuffer(header);
}

void CaptureRing::CloseCapture() {
    // Also after a failed open, so that a device that goes and comes back is set up again.
    currentDeviceName_.clear();
    if (!open_)
        return;
    lostMsBefore_ = LostMs();
    device_.Reset();
    device_.Close();
    open_ = false;
    // What the device held after the last block (a part filled buffer, full ones not yet
    // taken, the server's backlog) goes with it: the time counts from that block.
    if (!stopped_)
        gapSince_ = lastTaken_;
}

void CaptureRing::EndCaptureGap() {
    const std::uint32_t now = tick_();
    if (gapSince_)
        lostMsBefore_ += now - *gapSince_;
    gapSince_.reset();
    lastTaken_ = now;
}

void CaptureRing::StopCapture() {
    stopped_ = true;
    if (open_)
        device_.Stop();
    else
        EndCaptureGap(); // a pause while closed loses nothing more
}

void CaptureRing::StartCapture() {
    stopped_ = false;
    if (!open_) {
        if (!gapSince_)
            gapSince_ = tick_();
        return;
    }
    lastTaken_ = tick_();
    // The stop handed back the buffer being filled, part full; the poll never takes it, so it
    // goes back empty, behind the others, and its audio is dropped.
    for (std::uint32_t i = 0; i < CaptureBufferCount; ++i) {
        const WaveHeader& header = headers_[i];
        if ((header.Flags.load(std::memory_order_acquire) & WaveHeaderDone) &&
            header.BytesRecorded.load(std::memory_order_acquire) != bufferBytes_)
            Queue(i);
    }
    device_.Start();
}

int CaptureRing::PollCapture(const RecordingSettings& settings, ConvertedBlock& block,
                             PollFlags flags, BlockConsumer& consumer) {
    if (!open_)
        return 0;
    int taken = 0;
    for (std::uint32_t round = 0; round < CaptureBufferCount; ++round) {
        std::uint32_t bound = sequence_ + 1;
        int chosen = -1;
        for (std::uint32_t i = 0; i < CaptureBufferCount; ++i) {
            const WaveHeader& header = headers_[i];
            if (header.BytesRecorded.load(std::memory_order_acquire) == bufferBytes_ &&
                header.User < bound) {
                bound = header.User;
                chosen = static_cast<int>(i);
            }
        }
        if (chosen < 0)
            break;

        current_ = static_cast<std::uint32_t>(chosen);
        ConvertBlock(std::span(headers_[current_].Data, bufferBytes_), settings, block);
        MeasurePeaks(block);
        if (!flags.Playing && !flags.Paused)
            consumer.ShowBlock(block);
        if (flags.Recording)
            consumer.RecordBlock(block);
        ++taken;

        Queue(current_);
        if (!flags.Paused)
            device_.Start();
    }
    if (taken > 0)
        lastTaken_ = tick_();
    return taken;
}

void CaptureRing::ListCaptureDevices() {
    const std::uint32_t count = device_.GetNumDevs();
    deviceNames_.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        WaveInCaps caps;
        deviceNames_.emplace_back(device_.GetDevCaps(i, caps) == WaveOk ? caps.szPname : "");
    }
}

int CaptureRing::FindCaptureDevice(std::string_view name) const {
    for (std::size_t i = deviceNames_.size(); i-- > 0;)
        if (deviceNames_[i] == name)
            return static_cast<int>(i);
    return -1;
}

void CaptureRing::ReadCurrentDeviceName() {
    WaveInCaps caps;
    currentDeviceName_ = device_.GetDevCaps(0, caps) == WaveOk ? caps.szPname : "";
}

std::uint64_t CaptureRing::LostMs() const {
    if (!open_)
        return lostMsBefore_ + (gapSince_ ? tick_() - *gapSince_ : 0);
    if (rate_ == 0)
        return lostMsBefore_;
    const std::uint64_t bytes = device_.Overrun() - std::min(device_.Overrun(), overrunBaseline_);
    return lostMsBefore_ + bytes * 1000 / (std::uint64_t(rate_) * 4);
}

void CaptureRing::ResetLost() {
    lostMsBefore_ = 0;
    gapSince_.reset();
    overrunBaseline_ = open_ ? device_.Overrun() : 0;
}
