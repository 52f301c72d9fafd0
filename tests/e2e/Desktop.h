#pragma once
// What the end-to-end tests drive the real program with: a virtual X display or a Wayland
// compositor of their own, the program copied beside a prepared settings file, shell commands
// (xdotool, pactl) and the WAV files it leaves.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace e2e {

// Runs a command line through the shell; returns its standard output. `status` gets the exit
// status when given.
std::string Shell(const std::string& command, int* status = nullptr);

// Polls `done` every 100 ms until it holds or `timeout` passes; returns its last answer.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// An Xvfb server on the first free display number, stopped with the object.
class VirtualDisplay {
public:
    // `screen` as Xvfb takes it: width x height x depth; `options` go to Xvfb as well.
    explicit VirtualDisplay(const std::string& screen = "1024x768x24",
                            const std::vector<std::string>& options = {});
    ~VirtualDisplay();
    const std::string& Name() const { return name; }
    // Runs a command with DISPLAY set to this display.
    std::string Run(const std::string& command, int* status = nullptr) const;
    // A window of another program that takes the focus (xmessage), closed with the display.
    void FocusAnotherWindow();

private:
    std::string name;
    pid_t server = -1;
    pid_t other = -1;
};

// A Wayland compositor of the test's own: weston's headless back end, drawing into memory, on a
// socket in a runtime folder of its own; with `xwayland`, also an X display for programs on Qt's
// xcb plugin. Stopped with the object.
class WaylandCompositor {
public:
    // Whether weston, Qt's Wayland plugin and, for `xwayland`, Xwayland are installed.
    static bool Available(bool xwayland);
    explicit WaylandCompositor(bool xwayland);
    ~WaylandCompositor();
    // What a program needs to show its windows here: natively on Wayland, or through XWayland.
    std::vector<std::string> Environment() const;

private:
    std::string runtime;
    std::string xDisplay; // empty without XWayland
    pid_t server = -1;
};

// The program copied into a folder of the test's own, so the settings file beside it is the
// test's. It runs in a process group of its own, as from a terminal. Stopped (SIGKILL) with the
// object if still running.
class Program {
public:
    // `ini` is written as Sonvera.ini beside the copy.
    Program(const std::string& folder, const std::string& ini);
    ~Program();
    const std::string& Folder() const { return folder; }
    std::string SettingsText() const;
    void Start(const VirtualDisplay& display, const std::vector<std::string>& environment = {});
    void Start(const WaylandCompositor& compositor,
               const std::vector<std::string>& environment = {});
    pid_t Pid() const { return pid; }
    // Waits for the main window to be shown on `display`; false after the timeout.
    bool WaitForWindow(const VirtualDisplay& display) const;
    // The id of a shown window of the program titled exactly `title` (the first, when several
    // are); empty when none is shown within the timeout.
    std::string WaitForWindowTitled(const VirtualDisplay& display, const std::string& title,
                                    std::chrono::milliseconds timeout) const;
    // Sends an xdotool click (for example "click 1") to x, y of the main window's client area,
    // which starts below the menu bar.
    void ClickMainWindow(const VirtualDisplay& display, int x, int y,
                         const std::string& click) const;
    // Waits for the program to end; returns its exit status, or -1 when it did not end or was
    // killed by a signal.
    int WaitForExit(std::chrono::milliseconds timeout);
    void Signal(int number) const;
    // To every process of the program's group, as a terminal sends Ctrl-C or its hang-up.
    void SignalGroup(int number) const;
    // Takes over a process the program started itself (after a restart); it is not our child.
    void Adopt(pid_t other);
    bool Running() const;
    // What the program wrote to standard error: among it, the text of every box it showed.
    std::string Messages() const;

private:
    std::string folder;
    pid_t pid = -1;
};

// A sound server of the test's own with a single capture source (a sine; silence on PipeWire),
// for tests that take the source away: on the shared server another source would then become
// the default. Of the kind the shared one is (SONVERA_SOUND_SERVER).
class LonelySoundServer {
public:
    // Lives in a short folder under /tmp: a socket path must stay under 108 characters.
    LonelySoundServer();
    ~LonelySoundServer();
    // PULSE_SERVER and PULSE_COOKIE for the program.
    std::vector<std::string> Environment() const;
    // pactl against this server.
    std::string Pactl(const std::string& arguments) const;
    // Loads the sine source; returns the module's index.
    std::string LoadSource() const;
    // A null sink whose monitor is the only source (loaded unless it is there), playing the
    // known signal at 44100 Hz for `seconds`, after and before the seconds of silence asked
    // for: a clocked source that runs on whether or not anyone records (the monitor of an idle
    // sink gives nothing). Returns once the playback runs.
    void PlayKnownSignal(int seconds, int silenceBefore = 0, int silenceAfter = 0) const;
    // Ends the server at once (SIGKILL, as a crash) and starts it again, without a source.
    void Kill();
    void Start();

private:
    std::string folder;
};

struct WavFile {
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint16_t bits = 0;
    std::uint32_t statedRiffBytes = 0;
    std::uint32_t statedDataBytes = 0;
    std::vector<std::int16_t> samples; // the data chunk as it is in the file
};
WavFile ReadWav(const std::string& path);

// The files named record*.<extension> in `folder`, sorted by name.
std::vector<std::string> Recordings(const std::string& folder, const std::string& extension);

} // namespace e2e
