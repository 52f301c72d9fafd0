#include "audio/WmaEncoder.h"

#include "audio/EncodedFile.h"

#include <utility>

namespace audio {

namespace {

// The muxer's default packet size pads every packet; this size fits the encoder's blocks
// exactly, so the file keeps the asked rate.
int PacketFittingBlocks(int blockAlign) {
    const int unit = blockAlign + 20;
    return (3194 / unit) * unit + 6;
}

EncodedFormat Wma(std::uint32_t freq, std::uint32_t chans, std::uint32_t bitrate) {
    EncodedFormat format{"asf", "wmav2", int(freq), int(chans), bitrate};
    format.PacketSize = PacketFittingBlocks;
    // The encoder swallows its first frame.
    format.LeadingSilence = true;
    return format;
}

} // namespace

bool WmaEncoder::Accepts(std::uint32_t freq, std::uint32_t chans, std::uint32_t bitrate) {
    return EncodedFile::Accepts(Wma(freq, chans, bitrate));
}

std::unique_ptr<WmaEncoder> WmaEncoder::Open(std::uint32_t freq, std::uint32_t chans,
                                             std::uint32_t bitrate, const std::string& path) {
    std::unique_ptr<EncodedFile> file = EncodedFile::Open(Wma(freq, chans, bitrate), path);
    if (!file)
        return nullptr;
    return std::unique_ptr<WmaEncoder>(new WmaEncoder(std::move(file)));
}

WmaEncoder::WmaEncoder(std::unique_ptr<EncodedFile> file) : file_(std::move(file)) {}

WmaEncoder::~WmaEncoder() {
    Close();
}

bool WmaEncoder::Write(const void* data, std::size_t bytes) {
    std::lock_guard lock(mutex_);
    return file_ && file_->Write({static_cast<const std::uint8_t*>(data), bytes});
}

int WmaEncoder::Close() {
    std::lock_guard closing(close_);
    std::unique_ptr<EncodedFile> file;
    {
        std::lock_guard lock(mutex_);
        file = std::move(file_);
    }
    if (file)
        closeError_ = file->Close();
    return closeError_;
}

} // namespace audio
