#include "engine/Writers.h"

#include "audio/BASSenc.h"
#include "audio/BassWMA.h"
#include "platform/Locale.h"

#include <algorithm>

namespace {

void Put(WavHeader& h, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        h[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutText(WavHeader& h, std::size_t at, const char* text) {
    std::copy(text, text + 4, h.begin() + static_cast<std::ptrdiff_t>(at));
}

// Writes the header over the start of the file and returns to its end.
bool WriteHeader(WriterState& w) {
    FillWavHeader(w.Header, w.Format, w.DataBytes);
    QFile& file = *w.WavFile;
    const bool ok =
        file.seek(0) && file.write(reinterpret_cast<const char*>(w.Header.data()), 44) == 44;
    file.seek(44 + static_cast<qint64>(w.DataBytes));
    return ok;
}

// Creates the WAV file with a header stating no audio yet; on failure the message to show.
std::string CreateWav(WriterState& w, const std::string& path) {
    w.DataBytes = 0;
    w.WavFile = std::make_unique<QFile>(QString::fromStdString(path));
    if (!w.WavFile->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        const std::string reason = w.WavFile->errorString().toStdString();
        w.WavFile.reset();
        return "Cannot create file \"" + path + "\". " + reason;
    }
    w.CurrentFile = path;
    WriteHeader(w);
    return {};
}

void FinishWav(WriterState& w) {
    WriteHeader(w);
    w.WavFile->close();
    w.WavFile.reset();
}

std::string WriteFailed(const WriterState& w, const std::string& reason) {
    return "The recording could not be written to \"" + w.CurrentFile + "\". " + reason;
}

std::string EncoderStopped(const WriterState& w, const char* format) {
    return std::string("The ") + format + " encoder stopped; \"" + w.CurrentFile +
           "\" holds the recording only up to here.";
}

// Appends the block to the WAV file, going on in the next file when this one is full.
std::string WriteWav(WriterState& w, std::span<const std::uint8_t> block) {
    if (w.DataBytes + block.size() > w.MaxDataBytes) {
        FinishWav(w);
        const std::string next = w.NextFileName ? w.NextFileName() : std::string();
        if (next.empty()) {
            w.WriterFailed = true;
            return WriteFailed(w, "The file is full and no next file name was given.");
        }
        if (std::string message = CreateWav(w, next); !message.empty()) {
            w.WriterFailed = true;
            return message;
        }
    }
    const qint64 written = w.WavFile->write(reinterpret_cast<const char*>(block.data()),
                                            static_cast<qint64>(block.size()));
    w.DataBytes += static_cast<std::uint32_t>(std::max<qint64>(written, 0));
    const bool headerOk = WriteHeader(w);
    if (written != static_cast<qint64>(block.size()) || !headerOk) {
        w.WriterFailed = true;
        return WriteFailed(w, w.WavFile->errorString().toStdString());
    }
    return {};
}

} // namespace

void FillWavHeader(WavHeader& h, const RecordingSettings& format, std::uint32_t dataBytes) {
    const std::uint16_t blockAlign =
        static_cast<std::uint16_t>(format.Channels * format.BitsPerSample / 8);
    PutText(h, 0, "RIFF");
    Put(h, 4, dataBytes + 36, 4);
    PutText(h, 8, "WAVE");
    PutText(h, 12, "fmt ");
    Put(h, 16, 16, 4);
    Put(h, 20, 1, 2);
    // Channels, block align and bits are a low byte followed by a zero byte.
    Put(h, 22, static_cast<std::uint8_t>(format.Channels), 2);
    Put(h, 24, format.SamplesPerSecond, 4);
    Put(h, 28, format.SamplesPerSecond * blockAlign, 4);
    Put(h, 32, static_cast<std::uint8_t>(blockAlign), 2);
    Put(h, 34, static_cast<std::uint8_t>(format.BitsPerSample), 2);
    PutText(h, 36, "data");
    Put(h, 40, dataBytes, 4);
}

StartResult StartWriters(WriterState& w, const RecordingSettings& settings,
                         const std::string& currentFile, bool captureOpen) {
    if (!captureOpen)
        return {};
    if (w.Running)
        StopWriters(w);
    w.Format = settings;
    w.CurrentFile = currentFile;
    w.WriterFailed = false;

    StartResult result{true, {}};
    if (settings.Wav) {
        if (std::string message = CreateWav(w, currentFile); !message.empty())
            return {false, message};
    }
    if (settings.MP3 || settings.OGG)
        w.Carrier = BASS_StreamCreate(44100, static_cast<DWORD>(settings.Channels), 0,
                                      STREAMPROC_DUMMY, nullptr);
    if (settings.MP3) {
        w.Mp3CommandLine = BuildLameCommandLine(settings, currentFile);
        if (!BASS_Encode_Start(w.Carrier, w.Mp3CommandLine.c_str(), BASS_ENCODE_PAUSE, nullptr,
                               nullptr)) {
            result.Message = "Could not start MP3 recording";
            w.WriterFailed = true;
        }
    }
    if (settings.OGG) {
        w.OggCommandLine =
            BuildOggencCommandLine(settings, currentFile, platform::DecimalSeparator());
        if (!BASS_Encode_Start(w.Carrier, w.OggCommandLine.c_str(), BASS_ENCODE_PAUSE, nullptr,
                               nullptr)) {
            result.Message = "Could not start OGG recording";
            w.WriterFailed = true;
        }
    }
    if (settings.WMA) {
        w.WmaEncoder = BASS_WMA_EncodeOpenFile(
            settings.CaptureRate, static_cast<DWORD>(settings.Channels), 0,
            static_cast<DWORD>(settings.WMARate) * 1000, currentFile.c_str());
        if (w.WmaEncoder == 0) {
            result.Message = "Could not start WMA recording";
            w.WriterFailed = true;
        }
    }
    if (w.Carrier != 0)
        BASS_ChannelPlay(w.Carrier, false);
    w.Running = true;
    return result;
}

std::string WriteBlock(WriterState& w, std::span<const std::uint8_t> outputBlock) {
    if (!w.Running || w.WriterFailed)
        return {};
    const auto block =
        outputBlock.first(std::min<std::size_t>(w.Format.BlockBytes, outputBlock.size()));
    const auto bytes = static_cast<DWORD>(block.size());
    std::string message;
    if (w.WavFile)
        message = WriteWav(w, block);
    if (w.Carrier != 0 && !BASS_Encode_Write(w.Carrier, block.data(), bytes)) {
        w.WriterFailed = true;
        message = EncoderStopped(w, w.Format.MP3 ? "MP3" : "OGG");
    }
    if (w.WmaEncoder != 0 && !BASS_WMA_EncodeWrite(w.WmaEncoder, block.data(), bytes)) {
        w.WriterFailed = true;
        message = EncoderStopped(w, "WMA");
    }
    return message;
}

void StopWriters(WriterState& w) {
    w.Running = false;
    if (w.WavFile)
        FinishWav(w);
    if (w.WmaEncoder != 0) {
        BASS_WMA_EncodeClose(w.WmaEncoder);
        w.WmaEncoder = 0;
    }
    if (w.Carrier != 0) {
        BASS_Encode_Stop(w.Carrier);
        BASS_ChannelStop(w.Carrier);
        BASS_StreamFree(w.Carrier);
        w.Carrier = 0;
    }
}
