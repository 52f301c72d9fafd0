#include "engine/WavFile.h"

#include "audio/WavHeader.h"

#include <algorithm>
#include <chrono>

namespace {

std::uint64_t NowMs() {
    return std::uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count());
}

// A WAV file is ours alone: however long the disk stalls, what is queued gets written.
constexpr std::chrono::hours NoStallLimit{24 * 365};

// How much recorded audio a power cut or a pulled stick may take at most.
constexpr std::uint64_t SyncIntervalMs = 2000;

} // namespace

void FillWavHeader(WavHeader& h, const RecordingSettings& format, std::uint32_t dataBytes) {
    h = audio::MakeWavHeader(format.SamplesPerSecond, format.Channels, format.BitsPerSample,
                             dataBytes);
}

std::unique_ptr<WavFileWriter> WavFileWriter::Create(const std::string& path,
                                                     const RecordingSettings& format,
                                                     const platform::FileCreator& create,
                                                     std::size_t queueBytes, std::string& error) {
    platform::CreatedFile created = create(path);
    if (!created.File) {
        error = created.Error;
        return nullptr;
    }
    std::unique_ptr<WavFileWriter> writer(new WavFileWriter(path, format, std::move(created.File)));
    // The start header goes out at once, so even a file cut off now is a valid WAV file.
    if (!writer->WriteHeader()) {
        error = *writer->Failure();
        return nullptr;
    }
    writer->feed_ = std::make_unique<audio::FeedThread>(
        [w = writer.get()](std::span<const std::uint8_t> bytes) { return w->Append(bytes); },
        queueBytes);
    return writer;
}

WavFileWriter::WavFileWriter(std::string path, const RecordingSettings& format,
                             std::unique_ptr<platform::OutputFile> file)
    : path_(std::move(path)), format_(format), file_(std::move(file)), syncTime_(NowMs()) {}

WavFileWriter::~WavFileWriter() {
    feed_.reset();
    if (file_)
        file_->Close();
}

bool WavFileWriter::Write(std::span<const std::uint8_t> block) {
    return feed_->Offer(block.data(), block.size());
}

std::optional<std::string> WavFileWriter::Failure() const {
    std::lock_guard lock(failureMutex_);
    return failure_;
}

void WavFileWriter::Fail(int error) {
    std::lock_guard lock(failureMutex_);
    if (!failure_)
        failure_ = platform::ErrorText(error);
}

bool WavFileWriter::WriteHeader() {
    WavHeader header;
    FillWavHeader(header, format_, dataBytes_);
    if (const int error = file_->WriteAt(0, header)) {
        Fail(error);
        return false;
    }
    headerBytes_ = dataBytes_;
    headerTime_ = NowMs();
    return true;
}

bool WavFileWriter::Sync() {
    if (const int error = file_->Sync())
        return CutBack(syncedBytes_, error); // what was not made safe is not counted as kept
    syncedBytes_ = dataBytes_;
    syncTime_ = NowMs();
    return true;
}

bool WavFileWriter::CutBack(std::uint32_t bytes, int error) {
    // A write cut short by a full disk leaves part of a block behind; whatever the file holds
    // past the kept blocks goes, so the header and the file's length agree.
    bytes -= bytes % std::max<std::uint32_t>(format_.BlockBytes, 1);
    file_->Truncate(44 + std::uint64_t(bytes));
    dataBytes_.store(bytes, std::memory_order_release);
    Fail(error); // after the count: whoever sees the failure reads what the file kept
    WriteHeader();
    return false;
}

bool WavFileWriter::Append(std::span<const std::uint8_t> bytes) {
    if (const int error = file_->WriteAt(44 + std::uint64_t(dataBytes_), bytes))
        return CutBack(dataBytes_, error);
    dataBytes_.fetch_add(static_cast<std::uint32_t>(bytes.size()), std::memory_order_release);
    // The header follows when the queue is empty, and at least once a second while the disk
    // catches up on a backlog, so a crash leaves a file stating nearly all it holds.
    const std::uint32_t secondOfAudio = format_.BlockBytes * 10;
    const bool idle = feed_->Queued() <= bytes.size();
    if ((idle || dataBytes_ - headerBytes_ >= secondOfAudio || NowMs() - headerTime_ >= 1000) &&
        !WriteHeader())
        return false;
    return NowMs() - syncTime_ < SyncIntervalMs || Sync();
}

std::optional<std::string> WavFileWriter::Finish() {
    feed_->Finish(NoStallLimit);
    feed_.reset();
    // The final header and the last audio reach the disk itself before the file counts as done.
    const bool failed = Failure().has_value();
    if (WriteHeader() && !failed)
        Sync();
    if (const int error = file_->Close())
        Fail(error);
    file_.reset();
    return Failure();
}
