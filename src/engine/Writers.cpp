#include "engine/Writers.h"

#include "audio/BASSenc.h"
#include "audio/BassWMA.h"
#include "engine/AudioLoss.h"
#include "platform/Locale.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

struct FinishingWriters {
    std::mutex mutex;
    std::condition_variable done;
    int running = 0;
    std::vector<std::string> finished;
    std::vector<std::string> held; // the files still being finished, once per writer
    std::deque<UserMessage> messages;
    std::vector<std::thread> threads; // joined once all are done, never left running at exit
};

namespace {

std::string WriteFailed(const std::string& path, const std::string& reason) {
    return "The recording could not be written to \"" + path + "\". " + reason;
}

std::string EncoderStopped(const std::string& path, const char* format) {
    return std::string("The ") + format + " encoder stopped; \"" + path +
           "\" holds the recording only up to here.";
}

const char* EncoderName(const RecordingSettings& format) {
    return format.MP3 ? "MP3" : "OGG";
}

// Runs `work` on a thread of its own; its file and message are told by the next poll.
void InBackground(WriterState& w, std::string file, std::function<MaybeMessage()> work) {
    FinishingWriters* finishing = w.Finishing.get();
    std::lock_guard lock(finishing->mutex);
    ++finishing->running;
    finishing->held.push_back(file);
    finishing->threads.emplace_back([finishing, file = std::move(file), work = std::move(work)] {
        MaybeMessage message = work();
        std::lock_guard lock(finishing->mutex);
        std::vector<std::string>& held = finishing->held;
        held.erase(std::find(held.begin(), held.end(), file));
        finishing->finished.push_back(file);
        if (message)
            finishing->messages.push_back(*message);
        --finishing->running;
        finishing->done.notify_all();
    });
}

// Joins the threads once none is working any more (each has at most its last lines to run).
void JoinWhenIdle(FinishingWriters& f, std::unique_lock<std::mutex>& lock) {
    if (f.running > 0)
        return;
    std::vector<std::thread> threads = std::move(f.threads);
    f.threads.clear();
    lock.unlock();
    for (std::thread& thread : threads)
        thread.join();
    lock.lock();
}

// The WAV file is finished in the background; a failure not told yet is told then, with the
// audio it cost (the last sync can fail at the end).
void FinishWav(WriterState& w, bool failureTold) {
    std::shared_ptr<WavFileWriter> wav(std::move(w.Wav));
    const std::string path = wav->Path();
    const std::uint64_t handed = w.FileBytes;
    const std::uint64_t blockBytes = std::max<std::uint64_t>(w.Format.BlockBytes, 1);
    InBackground(w, path, [wav, path, failureTold, handed, blockBytes]() -> MaybeMessage {
        const std::optional<std::string> failure = wav->Finish();
        if (!failure || failureTold)
            return std::nullopt;
        std::string text = WriteFailed(path, *failure);
        if (const std::uint64_t lost = handed - std::min<std::uint64_t>(handed, wav->BytesOnDisk()))
            text += "; the last " + LostAudioText(lost * 100 / blockBytes) + " of it are lost";
        return ErrorMessage(text);
    });
}

std::size_t WavQueueBytes(const WriterState& w) {
    return w.WavQueueBytes ? w.WavQueueBytes : std::size_t(w.Format.BlockBytes) * 10 * 60;
}

// Creates the WAV file; on failure the message to show.
MaybeMessage CreateWav(WriterState& w, const std::string& path) {
    std::string reason;
    w.Wav = WavFileWriter::Create(path, w.Format, w.CreateFile, WavQueueBytes(w), reason);
    if (!w.Wav)
        return ErrorMessage("Cannot create file \"" + path + "\". " + reason);
    w.CurrentFile = path;
    w.FileBytes = 0;
    return std::nullopt;
}

MaybeMessage Lose(WriterState& w, std::size_t bytes, MaybeMessage message = std::nullopt) {
    w.LostBytes += bytes;
    return message;
}

// Queues the block for the WAV file, going on in the next file when this one is full.
MaybeMessage WriteWav(WriterState& w, std::span<const std::uint8_t> block) {
    if (std::optional<std::string> failure = w.Wav->Failure()) {
        // What was handed over but never reached the disk is lost too.
        w.LostBytes += w.FileBytes - std::min<std::uint64_t>(w.FileBytes, w.Wav->BytesOnDisk());
        w.WriterFailed = true;
        FinishWav(w, true);
        return Lose(w, block.size(), ErrorMessage(WriteFailed(w.CurrentFile, *failure)));
    }
    if (w.FileBytes + block.size() > w.MaxDataBytes) {
        FinishWav(w, false);
        const std::string next = w.NextFileName ? w.NextFileName() : std::string();
        w.WriterFailed = true;
        if (next.empty())
            return Lose(w, block.size(),
                        PlainMessage(WriteFailed(
                            w.CurrentFile, "The file is full and no next file name was given.")));
        if (MaybeMessage message = CreateWav(w, next))
            return Lose(w, block.size(), message);
        w.WriterFailed = false;
    }
    if (!w.Wav->Write(block))
        return Lose(w, block.size()); // the disk is a whole queue behind
    w.FileBytes += block.size();
    return std::nullopt;
}

} // namespace

WriterState::WriterState() : Finishing(std::make_unique<FinishingWriters>()) {}

WriterState::~WriterState() {
    StopWriters(*this);
    FinishAllWriters(*this);
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
    w.EncoderStarted = false;
    w.LostBytes = 0;
    w.FileBytes = 0;
    w.WatchedPath.clear(); // a restart makes its file anew on the same path

    StartResult result{true, std::nullopt};
    if (settings.Wav) {
        if (MaybeMessage message = CreateWav(w, currentFile))
            return {false, message};
    }
    if (settings.MP3 || settings.OGG)
        w.Carrier = BASS_StreamCreate(44100, static_cast<DWORD>(settings.Channels), 0,
                                      STREAMPROC_DUMMY, nullptr);
    if (settings.MP3) {
        w.Mp3CommandLine = BuildLameCommandLine(settings, currentFile);
        if (!BASS_Encode_Start(w.Carrier, w.Mp3CommandLine.c_str(), BASS_ENCODE_PAUSE, nullptr,
                               nullptr)) {
            result.Message = PlainMessage("Could not start MP3 recording");
            w.WriterFailed = true;
        }
    }
    if (settings.OGG) {
        w.OggCommandLine =
            BuildOggencCommandLine(settings, currentFile, platform::DecimalSeparator());
        if (!BASS_Encode_Start(w.Carrier, w.OggCommandLine.c_str(), BASS_ENCODE_PAUSE, nullptr,
                               nullptr)) {
            result.Message = PlainMessage("Could not start OGG recording");
            w.WriterFailed = true;
        }
    }
    w.EncoderStarted = w.Carrier != 0 && !w.WriterFailed;
    if (settings.WMA) {
        w.WmaEncoder = BASS_WMA_EncodeOpenFile(
            settings.CaptureRate, static_cast<DWORD>(settings.Channels), 0,
            static_cast<DWORD>(settings.WMARate) * 1000, currentFile.c_str());
        if (w.WmaEncoder == 0) {
            result.Message = PlainMessage("Could not start WMA recording");
            w.WriterFailed = true;
        }
    }
    if (w.Carrier != 0)
        BASS_ChannelPlay(w.Carrier, false);
    w.Running = true;
    return result;
}

MaybeMessage WriteBlock(WriterState& w, std::span<const std::uint8_t> outputBlock) {
    if (!w.Running)
        return std::nullopt;
    const auto block =
        outputBlock.first(std::min<std::size_t>(w.Format.BlockBytes, outputBlock.size()));
    if (w.WriterFailed)
        return Lose(w, block.size());
    const auto bytes = static_cast<DWORD>(block.size());
    MaybeMessage message;
    if (w.Wav)
        message = WriteWav(w, block);
    if (w.Carrier != 0 && w.EncoderStarted && !BASS_Encode_Write(w.Carrier, block.data(), bytes)) {
        w.WriterFailed = true;
        message = Lose(w, block.size(),
                       PlainMessage(EncoderStopped(w.CurrentFile, EncoderName(w.Format))));
    }
    if (w.WmaEncoder != 0 && !BASS_WMA_EncodeWrite(w.WmaEncoder, block.data(), bytes)) {
        w.WriterFailed = true;
        message = Lose(w, block.size(), PlainMessage(EncoderStopped(w.CurrentFile, "WMA")));
    }
    if (!w.Format.Wav && !w.WriterFailed)
        w.FileBytes += block.size(); // the encoder took it
    return message;
}

void StopWriters(WriterState& w) {
    w.Running = false;
    if (w.Wav)
        FinishWav(w, w.WriterFailed);
    const DWORD wma = std::exchange(w.WmaEncoder, 0);
    const DWORD carrier = std::exchange(w.Carrier, 0);
    if (wma == 0 && carrier == 0)
        return;
    const std::string path = w.CurrentFile;
    const bool failureTold = w.WriterFailed;
    const bool tellStuck = w.EncoderStarted && !failureTold;
    const char* name = EncoderName(w.Format);
    InBackground(w, path, [wma, carrier, path, failureTold, tellStuck, name]() -> MaybeMessage {
        MaybeMessage message;
        // The last packets and the index are written here: a full disk now damages the file.
        if (wma != 0 && !BASS_WMA_EncodeClose(wma) && !failureTold)
            message = ErrorMessage(WriteFailed(path, platform::ErrorText(errno)));
        if (carrier == 0)
            return message;
        // False when an encoder had to be ended: it stopped reading its input.
        const bool finished = BASS_Encode_Stop(carrier);
        BASS_ChannelStop(carrier);
        BASS_StreamFree(carrier);
        if (!finished && tellStuck)
            return PlainMessage(EncoderStopped(path, name));
        return message;
    });
}

WriterNews PollWriters(WriterState& w) {
    FinishingWriters& f = *w.Finishing;
    std::unique_lock lock(f.mutex);
    JoinWhenIdle(f, lock);
    WriterNews news;
    news.FinishedFiles = std::move(f.finished);
    f.finished.clear();
    if (!f.messages.empty()) {
        news.Message = f.messages.front();
        f.messages.pop_front();
    }
    news.Busy = f.running > 0;
    return news;
}

void FinishAllWriters(WriterState& w) {
    FinishingWriters& f = *w.Finishing;
    std::unique_lock lock(f.mutex);
    f.done.wait(lock, [&] { return f.running == 0; });
    JoinWhenIdle(f, lock);
}

std::vector<std::string> HeldFiles(const WriterState& w) {
    FinishingWriters& f = *w.Finishing;
    std::lock_guard lock(f.mutex);
    std::vector<std::string> held = f.held;
    if (w.Running)
        held.push_back(w.CurrentFile);
    return held;
}

std::uint64_t WriterLostMs(const WriterState& w) {
    return w.Format.BlockBytes ? w.LostBytes * 100 / w.Format.BlockBytes : 0;
}
