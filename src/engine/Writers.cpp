#include "engine/Writers.h"

#include "engine/OutputFormats.h"

#include <algorithm>
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

} // namespace

std::string WriteFailed(const std::string& path, const std::string& reason) {
    return "The recording could not be written to \"" + path + "\". " + reason;
}

std::string EncoderStopped(const std::string& path, const std::string& format) {
    return "The " + format + " encoder stopped; \"" + path +
           "\" holds the recording only up to here.";
}

std::string CouldNotStart(const std::string& format) {
    return "Could not start " + format + " recording";
}

MaybeMessage Lose(WriterState& w, std::size_t bytes, MaybeMessage message) {
    w.LostBytes += bytes;
    return message;
}

void FinishInBackground(WriterState& w, std::string file, std::function<MaybeMessage()> work) {
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
    w.LostBytes = 0;
    w.FileBytes = 0;
    w.WatchedPath.clear(); // a restart makes its file anew on the same path

    w.Writer = SelectedFormat(settings).MakeWriter();
    const StartResult result = w.Writer->Start(w);
    if (!result.Started)
        w.Writer.reset();
    w.Running = result.Started;
    return result;
}

MaybeMessage WriteBlock(WriterState& w, std::span<const std::uint8_t> outputBlock) {
    if (!w.Running)
        return std::nullopt;
    const auto block =
        outputBlock.first(std::min<std::size_t>(w.Format.BlockBytes, outputBlock.size()));
    if (w.WriterFailed || !w.Writer)
        return Lose(w, block.size());
    return w.Writer->Write(w, block);
}

void StopWriters(WriterState& w) {
    w.Running = false;
    if (const std::unique_ptr<OutputWriter> writer = std::move(w.Writer))
        writer->Finish(w);
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
