#include "audio/MuxerFile.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cerrno>

namespace audio {

namespace {

constexpr std::chrono::seconds SyncInterval{2};
constexpr int IoBufferBytes = 32 * 1024;

} // namespace

bool MuxerFile::Attach(AVFormatContext* format, const std::string& path) {
    platform::CreatedFile created = platform::CreateOutputFile(path);
    if (!created.File)
        return false;
    file_ = std::move(created.File);
    auto* buffer = static_cast<unsigned char*>(av_malloc(IoBufferBytes));
    format->pb = avio_alloc_context(buffer, IoBufferBytes, 1, this, nullptr, Write, Seek);
    if (format->pb == nullptr) {
        av_free(buffer);
        return false;
    }
    format_ = format;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    format->flush_packets = 1;
    lastSync_ = std::chrono::steady_clock::now();
    return true;
}

int MuxerFile::SyncWhenDue() {
    return std::chrono::steady_clock::now() - lastSync_ < SyncInterval ? 0 : Sync();
}

int MuxerFile::Close() {
    if (format_ == nullptr)
        return AVERROR(EIO);
    avio_flush(format_->pb);
    int result = format_->pb->error;
    if (const int synced = Sync(); result >= 0)
        result = synced;
    if (const int closed = AVERROR(file_->Close()); result >= 0)
        result = closed;
    file_.reset();
    return result;
}

void MuxerFile::Detach() {
    if (format_ == nullptr || format_->pb == nullptr)
        return;
    av_freep(&format_->pb->buffer);
    avio_context_free(&format_->pb);
    format_ = nullptr;
}

// On the disk itself: a failed write-back shows here.
int MuxerFile::Sync() {
    lastSync_ = std::chrono::steady_clock::now();
    return file_ ? AVERROR(file_->Sync()) : 0;
}

int MuxerFile::Write(void* opaque, std::uint8_t* data, int size) {
    auto* self = static_cast<MuxerFile*>(opaque);
    if (const int error = self->file_->WriteAt(
            self->position_, std::span<const std::uint8_t>(data, std::size_t(size))))
        return AVERROR(error);
    self->position_ += std::uint64_t(size);
    self->end_ = std::max(self->end_, self->position_);
    return size;
}

std::int64_t MuxerFile::Seek(void* opaque, std::int64_t offset, int whence) {
    auto* self = static_cast<MuxerFile*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return std::int64_t(self->end_);
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += std::int64_t(self->position_);
        break;
    case SEEK_END:
        offset += std::int64_t(self->end_);
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (offset < 0)
        return AVERROR(EINVAL);
    self->position_ = std::uint64_t(offset);
    return offset;
}

} // namespace audio
