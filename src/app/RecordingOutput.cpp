#include "app/RecordingOutput.h"

#include "engine/OutputFormats.h"
#include "engine/WavFile.h"
#include "library/LabelFiles.h"
#include "library/RecordNames.h"
#include "platform/FileSystem.h"

#include <optional>
#include <tuple>
#include <utility>

RecordingOutput::RecordingOutput(const RecordingSettings& settings, LibraryState& library,
                                 WriterState& writers, const CaptureRing& ring, TickSource tick,
                                 Tell tell)
    : settings_(settings), library_(library), writers_(writers), ring_(ring),
      tick_(std::move(tick)), tell_(std::move(tell)) {}

void RecordingOutput::Start(const std::string& file) {
    part_ = {file};
    split_ = false;
    recordedFrames_ = 0;
    lostInPartsMs_ = 0;
    lengthFrames_ = 0;
    stopDue_ = false;
}

void RecordingOutput::Write(std::span<const std::uint8_t> output) {
    // The file's size is looked at only when a size limit asks for it.
    const std::uint64_t bytesAfter =
        settings_.SplitMegabytes > 0 ? PartFileBytesAfter(output.size()) : 0;
    if (PartFull(settings_, part_, bytesAfter)) {
        StartNextPart();
        if (stopDue_)
            return;
    }
    MaybeMessage failure = WriteBlock(writers_, output);
    // A WAV recording that outgrew its file goes on in the next one.
    library_.CurrentFile = writers_.CurrentFile;
    if (writers_.CurrentFile != part_.File)
        part_ = {writers_.CurrentFile};
    const BlockFormat format = BlockFormatOf(settings_);
    const std::uint64_t frames = output.size() / (format.Channels * format.BytesPerSample);
    part_.Frames += frames;
    part_.Bytes += output.size();
    part_.LastBlockTick = tick_();
    recordedFrames_ += frames;
    if (lengthFrames_ > 0 && recordedFrames_ >= lengthFrames_)
        stopDue_ = true;
    tell_(std::move(failure));
}

void RecordingOutput::AddMarker(bool paused) {
    if (part_.File.empty())
        return;
    const double seconds = MarkerSeconds(settings_, part_, tick_(), paused);
    const std::optional<bool> written =
        folderLook_.Within<bool>([file = part_.File, seconds, number = ++part_.Markers] {
            return WriteMarker(file, seconds, number);
        });
    if (!written)
        tell_(PlainMessage(
            "The marker could not be written: " + NoAnswerText(LabelFilePath(part_.File)) + "."));
    else if (!*written)
        tell_(
            PlainMessage("The marker could not be written to " + LabelFilePath(part_.File) + "."));
}

void RecordingOutput::StartNextPart() {
    // The next part's writers count their losses anew.
    lostInPartsMs_ += WriterLostMs(writers_);
    StopWriters(writers_);
    split_ = true;
    const NamePick pick =
        MakeNextRecordFileName(settings_, library_, folderLook_, writers_.CurrentFile);
    if (pick != NamePick::Picked) {
        tell_(
            PlainMessage("The recording stopped: " +
                         (pick == NamePick::NoAnswer
                              ? NoAnswerText(settings_.OutputFolder) + "."
                              : std::string("every record name of the output folder is taken."))));
        stopDue_ = true;
        return;
    }
    StartResult result = StartWriters(writers_, settings_, library_.CurrentFile, ring_.IsOpen());
    tell_(std::move(result.Message));
    part_ = {library_.CurrentFile};
    if (!result.Started)
        stopDue_ = true;
}

std::uint64_t RecordingOutput::PartFileBytesAfter(std::size_t blockBytes) {
    // A WAV file is its header and the audio; an encoder's file is as large as it has grown, as
    // far as the file answers: a stalled one is taken as empty, so it is not split meanwhile.
    if (SelectedFormat(settings_).Kind == WriterKind::Wav)
        return std::tuple_size_v<WavHeader> + part_.Bytes + blockBytes;
    return folderLook_
        .Within<std::uint64_t>([file = part_.File] { return platform::FileSize(file); })
        .value_or(0);
}
