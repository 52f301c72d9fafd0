#include "app/StatusMonitor.h"

#include "engine/AudioLoss.h"

#include <cmath>
#include <filesystem>

StatusView UpdateStatusMonitor(StatusMonitor& monitor, const StatusInputs& in) {
    const SessionState& s = in.session;
    StatusView view;

    // Each later rule overrides the earlier ones.
    monitor.ApplicationTitle = BaseTitle;
    if (monitor.Minimized)
        monitor.ApplicationTitle = "Monitoring";
    if (monitor.Minimized && !in.unattended.empty())
        monitor.ApplicationTitle = in.unattended;
    if (monitor.Minimized && s.IsPlaying)
        monitor.ApplicationTitle = "Playing";
    if (monitor.Minimized && s.IsRecording)
        monitor.ApplicationTitle = FormatElapsed(s.Elapsed) + " Stop-F9";
    if (monitor.Minimized && s.IsPaused)
        monitor.ApplicationTitle = "Pause";

    view.ResetTime = !s.IsPlaying && !s.IsRecording;

    view.ShadowColour = monitor.BlinkPhase ? Rgb{192, 192, 192} : Rgb{160, 160, 160};
    monitor.StatusText = "Monitoring";
    view.StatusColour = {80, 80, 200};
    view.StatusHint = "Program Status";
    if (s.IsRecording) {
        monitor.StatusText = "Recording";
        view.StatusColour = {200, 80, 80};
        // A loss is never silent; the short word fits beside the time.
        if (in.lostMs > 0) {
            monitor.StatusText = "Lost " + LostAudioText(in.lostMs);
            view.StatusHint = "Recording - " + LostAudioText(in.lostMs) + " lost";
        }
    }
    // The whole text is too wide beside the time: its first word shows, the hint and the
    // title tell the rest.
    if (!in.unattended.empty() && in.lostMs == 0) {
        monitor.StatusText = in.unattended.substr(0, in.unattended.find(' '));
        view.StatusHint = in.unattended;
    }
    if (s.IsPlaying) {
        monitor.StatusText = "Playing";
        view.StatusColour = {80, 150, 100};
        view.PlayerTime =
            FormatElapsed(static_cast<std::uint32_t>(std::nearbyint(in.playerSeconds * 1000.0)));
    }
    if (s.IsPaused)
        monitor.StatusText = "Pause";

    view.FileText = FileLabelText(in.currentFile, in.outputFolder);
    if (s.IsPlaying)
        view.FileColour = monitor.BlinkPhase ? Rgb{0, 128, 0} : Rgb{0, 80, 0};
    if (s.IsRecording)
        view.FileColour = monitor.BlinkPhase ? Rgb{150, 0, 0} : Rgb{};

    view.SourceHint = "Audio source: " + in.sourceText;
    view.SourceText = in.sourceText;

    view.Caption = BaseTitle;
    if (s.IsRecording || s.IsPlaying)
        view.Caption += " - " + std::filesystem::path(in.currentFile).filename().string();
    if (!in.unattended.empty())
        view.Caption += " - " + in.unattended;
    if (monitor.Minimized)
        view.Caption = monitor.ApplicationTitle;

    if (!s.IsPaused)
        monitor.BlinkPhase = !monitor.BlinkPhase;
    return view;
}

std::string FileLabelText(const std::string& currentFile, const std::string& outputFolder) {
    return currentFile.empty() ? outputFolder : currentFile;
}
