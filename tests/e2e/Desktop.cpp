#include "Desktop.h"

#include "KnownSignal.h"
#include "TestPaths.h"

#include <QLibraryInfo>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Shell(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    char buffer[4096];
    while (const size_t read = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, read);
    const int result = pclose(pipe);
    if (status)
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return done();
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

namespace {

// `ownGroup` starts it in a process group of its own, as a terminal starts a program; `log`,
// when given, takes its standard error.
pid_t Spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& extra,
            bool ownGroup = false, const std::string& log = {}) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    for (const std::string& setting : extra) {
        const std::string key = setting.substr(0, setting.find('=') + 1);
        std::erase_if(environment, [&](const std::string& e) { return e.starts_with(key); });
        environment.push_back(setting);
    }
    std::vector<char*> argv, envp;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    for (const std::string& setting : environment)
        envp.push_back(const_cast<char*>(setting.c_str()));
    envp.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (ownGroup) {
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!log.empty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0)
        throw std::runtime_error("cannot start " + arguments[0]);
    return pid;
}

void Stop(pid_t& pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

} // namespace

VirtualDisplay::VirtualDisplay(const std::string& screen, const std::vector<std::string>& options) {
    // Xvfb takes the first free display number itself and writes it to the pipe: tests running
    // side by side cannot pick the same one.
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw std::runtime_error("no pipe for the virtual display's number");
    fcntl(pipeEnds[0], F_SETFD, FD_CLOEXEC);
    // -noreset: a program started after the last one ended must find the display there.
    std::vector<std::string> arguments{"Xvfb",      "-displayfd", std::to_string(pipeEnds[1]),
                                       "-screen",   "0",          screen,
                                       "-nolisten", "tcp",        "-noreset"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    server = Spawn(arguments, {});
    close(pipeEnds[1]);
    std::string number;
    char c;
    while (read(pipeEnds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(pipeEnds[0]);
    name = ":" + number;
    if (number.empty() ||
        !WaitFor([&] { return Run("xdpyinfo >/dev/null 2>&1; echo $?") == "0\n"; }, 10s)) {
        Stop(server);
        throw std::runtime_error("no virtual display could be started");
    }
}

VirtualDisplay::~VirtualDisplay() {
    Stop(other);
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
}

std::string VirtualDisplay::Run(const std::string& command, int* status) const {
    return Shell("DISPLAY=" + name + " " + command, status);
}

void VirtualDisplay::FocusAnotherWindow() {
    other = Spawn({"xmessage", "-geometry", "+600+500", "another program"}, {"DISPLAY=" + name});
    WaitFor([&] { return !Run("xdotool search --name '^xmessage$'").empty(); }, 10s);
    Run("xdotool search --name '^xmessage$' windowfocus --sync >/dev/null 2>&1");
}

namespace {

constexpr const char* WaylandSocket = "wayland-sonvera";

} // namespace

bool WaylandCompositor::Available(bool xwayland) {
    const std::string plugin =
        QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() + "/platforms";
    return !Shell("command -v weston").empty() && fs::exists(plugin + "/libqwayland-generic.so") &&
           (!xwayland || !Shell("command -v Xwayland").empty());
}

WaylandCompositor::WaylandCompositor(bool xwayland) {
    // Its socket's path must stay under 108 characters; mkdtemp makes the folder private, as a
    // runtime folder must be.
    char name[] = "/tmp/sonvera-wayland-XXXXXX";
    if (!mkdtemp(name))
        throw std::runtime_error("no runtime folder for the compositor");
    runtime = name;
    const std::string log = runtime + "/weston.log";
    std::vector<std::string> arguments = {
        "weston",        "--backend=headless-backend.so",          "--use-pixman",
        "--idle-time=0", std::string("--socket=") + WaylandSocket, "--log=" + log};
    if (xwayland)
        arguments.push_back("--xwayland");
    server = Spawn(arguments, {"XDG_RUNTIME_DIR=" + runtime});
    bool ready = WaitFor([&] { return fs::exists(runtime + "/" + WaylandSocket); }, 10s);
    if (ready && xwayland) {
        // Xwayland starts when the first X client comes; the display is there before.
        const std::string listening = "xserver listening on display ";
        ready = WaitFor(
            [&] {
                std::ifstream file(log);
                for (std::string line; std::getline(file, line);)
                    if (const auto at = line.find(listening); at != std::string::npos)
                        xDisplay = line.substr(at + listening.size());
                return !xDisplay.empty();
            },
            10s);
    }
    if (!ready) {
        Stop(server);
        throw std::runtime_error("weston did not start; see " + log);
    }
}

WaylandCompositor::~WaylandCompositor() {
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(runtime, ignored);
}

std::vector<std::string> WaylandCompositor::Environment() const {
    std::vector<std::string> environment = {"XDG_RUNTIME_DIR=" + runtime,
                                            std::string("WAYLAND_DISPLAY=") + WaylandSocket};
    if (xDisplay.empty()) {
        environment.push_back("QT_QPA_PLATFORM=wayland");
    } else {
        environment.push_back("DISPLAY=" + xDisplay);
        environment.push_back("QT_QPA_PLATFORM=xcb");
    }
    return environment;
}

Program::Program(const std::string& folder, const std::string& ini) : folder(folder) {
    fs::copy_file(test_paths::BinaryDir() + "/Sonvera", folder + "/Sonvera",
                  fs::copy_options::overwrite_existing);
    std::ofstream(folder + "/Sonvera.ini") << ini;
}

Program::~Program() {
    Stop(pid);
}

std::string Program::SettingsText() const {
    std::ifstream file(folder + "/Sonvera.ini");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void Program::Start(const VirtualDisplay& display, const std::vector<std::string>& environment) {
    std::vector<std::string> settings = {"DISPLAY=" + display.Name(), "QT_QPA_PLATFORM=xcb"};
    settings.insert(settings.end(), environment.begin(), environment.end());
    pid = Spawn({folder + "/Sonvera"}, settings, true, folder + "/Sonvera.log");
}

void Program::Start(const WaylandCompositor& compositor,
                    const std::vector<std::string>& environment) {
    std::vector<std::string> settings = compositor.Environment();
    settings.insert(settings.end(), environment.begin(), environment.end());
    pid = Spawn({folder + "/Sonvera"}, settings, true, folder + "/Sonvera.log");
}

bool Program::WaitForWindow(const VirtualDisplay& display) const {
    // --all: the window must have both the pid and the name, not either.
    const std::string search =
        "xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name Sonvera";
    return WaitFor([&] { return !display.Run(search).empty(); }, 20s);
}

std::string Program::WaitForWindowTitled(const VirtualDisplay& display, const std::string& title,
                                         std::chrono::milliseconds timeout) const {
    // --all: the window must have both the pid and the title, not either.
    const std::string search = "xdotool search --all --maxdepth 1 --onlyvisible --pid " +
                               std::to_string(pid) + " --name '^" + title + "$'";
    std::string found;
    WaitFor([&] { return !(found = display.Run(search)).empty(); }, timeout);
    return found.substr(0, found.find('\n'));
}

void Program::ClickMainWindow(const VirtualDisplay& display, int x, int y,
                              const std::string& click) const {
    constexpr int MenuBar = 18;
    const std::string window = WaitForWindowTitled(display, "Sonvera", 1s);
    display.Run("xdotool mousemove --window " + window + " " + std::to_string(x) + " " +
                std::to_string(y + MenuBar) + " " + click);
}

int Program::WaitForExit(std::chrono::milliseconds timeout) {
    int status = 0;
    bool child = true;
    const bool ended = WaitFor(
        [&] {
            const pid_t result = waitpid(pid, &status, WNOHANG);
            child = result != -1;
            return result == pid || (!child && !Running());
        },
        timeout);
    if (!ended)
        return -1;
    pid = -1;
    if (!child)
        return 0; // not ours to reap: its status is not known here
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Program::Signal(int number) const {
    kill(pid, number);
}

void Program::SignalGroup(int number) const {
    kill(-pid, number);
}

void Program::Adopt(pid_t other) {
    pid = other;
}

std::string Program::Messages() const {
    std::ifstream file(folder + "/Sonvera.log");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool Program::Running() const {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string number, name, state;
    stat >> number >> name >> state;
    return stat && state != "Z";
}

namespace {

// The tests' sound server, and so this one too, is PipeWire's pulse server where asked for.
bool OnPipeWire() {
    const char* server = std::getenv("SONVERA_SOUND_SERVER");
    return server != nullptr && std::string(server) == "pipewire";
}

// The server's processes, as their pid files name them.
std::vector<pid_t> ServerPids(const std::string& folder) {
    std::vector<pid_t> pids;
    const std::vector<std::string> files =
        OnPipeWire()
            ? std::vector<std::string>{"pipewire-pulse.pid", "wireplumber.pid", "pipewire.pid"}
            : std::vector<std::string>{"runtime/pid"};
    for (const std::string& file : files) {
        std::ifstream pidFile(folder + "/" + file);
        if (pid_t pid = -1; pidFile >> pid && pid > 0)
            pids.push_back(pid);
    }
    return pids;
}

void EndServer(const std::string& folder, int signal) {
    for (const pid_t pid : ServerPids(folder)) {
        kill(pid, signal);
        WaitFor([&] { return kill(pid, 0) != 0; }, 5s);
    }
}

} // namespace

LonelySoundServer::LonelySoundServer() {
    char name[] = "/tmp/sonvera-pulse-XXXXXX";
    if (!mkdtemp(name))
        throw std::runtime_error("no folder for the test's own sound server");
    folder = name;
    for (const char* sub : {"/home", "/config", "/runtime", "/state"})
        fs::create_directories(folder + sub);
    fs::permissions(folder + "/runtime", fs::perms::owner_all);
    std::ofstream(folder + "/cookie") << std::string(256, 'c');
    std::ofstream(folder + "/server.pa")
        << "load-module module-native-protocol-unix auth-anonymous=1 auth-cookie=" << folder
        << "/cookie socket=" << folder << "/native\n";
    Start();
}

void LonelySoundServer::Start() {
    if (OnPipeWire())
        Shell(std::string(SONVERA_TEST_SOURCE_DIR) + "/support/pipewire-server.sh " + folder);
    else
        Shell("HOME=" + folder + "/home XDG_CONFIG_HOME=" + folder +
              "/config XDG_RUNTIME_DIR=" + folder + "/runtime PULSE_RUNTIME_PATH=" + folder +
              "/runtime PULSE_STATE_PATH=" + folder + "/state pulseaudio -n -F " + folder +
              "/server.pa --daemonize=yes --use-pid-file=yes --exit-idle-time=-1 "
              "--disallow-exit --realtime=no --high-priority=no --log-target=file:" +
              folder + "/server.log");
    if (!WaitFor([&] { return Pactl("info >/dev/null 2>&1; echo $?") == "0\n"; }, 10s))
        throw std::runtime_error("the test's own sound server did not start");
}

void LonelySoundServer::Kill() {
    EndServer(folder, SIGKILL);
}

LonelySoundServer::~LonelySoundServer() {
    EndServer(folder, SIGTERM);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

std::vector<std::string> LonelySoundServer::Environment() const {
    return {"PULSE_SERVER=unix:" + folder + "/native", "PULSE_COOKIE=" + folder + "/cookie"};
}

std::string LonelySoundServer::Pactl(const std::string& arguments) const {
    return Shell("PULSE_SERVER=unix:" + folder + "/native PULSE_COOKIE=" + folder +
                 "/cookie pactl " + arguments);
}

std::string LonelySoundServer::LoadSource() const {
    // PipeWire's pulse server has neither a sine nor a null source: its null sink makes a
    // virtual source, of silence.
    std::string index =
        Pactl(OnPipeWire() ? "load-module module-null-sink sink_name=lonely_sine "
                             "media.class=Audio/Source/Virtual"
                           : "load-module module-sine-source source_name=lonely_sine");
    while (!index.empty() && index.back() == '\n')
        index.pop_back();
    return index;
}

void LonelySoundServer::PlayKnownSignal(int seconds, int silenceBefore, int silenceAfter) const {
    // A sink loaded twice would be a second one, and its monitor a new source.
    if (Pactl("list short sinks").find("lonely_out") == std::string::npos)
        Pactl("load-module module-null-sink sink_name=lonely_out rate=44100");
    const std::string raw = folder + "/known.raw";
    {
        std::vector<std::int16_t> samples(std::size_t(silenceBefore) * 44100 * 2);
        for (std::uint32_t frame = 0; frame < std::uint32_t(seconds) * 44100; ++frame) {
            samples.push_back(known_signal::Left(frame));
            samples.push_back(known_signal::Right(frame));
        }
        samples.resize(samples.size() + std::size_t(silenceAfter) * 44100 * 2);
        std::ofstream(raw, std::ios::binary)
            .write(reinterpret_cast<const char*>(samples.data()),
                   static_cast<std::streamsize>(samples.size() * 2));
    }
    // pacat ends with the server at the latest.
    Shell("PULSE_SERVER=unix:" + folder + "/native PULSE_COOKIE=" + folder +
          "/cookie pacat --playback --raw --format=s16le --rate=44100 --channels=2 "
          "--latency-msec=200 "
          "--device=lonely_out " +
          raw + " >/dev/null 2>&1 &");
    // A latency of 200 ms keeps the sink and its monitor going in small steps, as a sound
    // card does: with pacat's default of 2 s the monitor hands over seconds at a time, with
    // 30 ms pacat runs dry on a busy machine.
    WaitFor([&] { return !Pactl("list short sink-inputs").empty(); }, 10s);
    std::this_thread::sleep_for(500ms);
}

WavFile ReadWav(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    WavFile wav;
    if (bytes.size() < 44)
        return wav;
    auto field = [&](size_t at, size_t size) {
        std::uint32_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + i]))
                     << (8 * i);
        return value;
    };
    wav.channels = static_cast<std::uint16_t>(field(22, 2));
    wav.rate = field(24, 4);
    wav.bits = static_cast<std::uint16_t>(field(34, 2));
    wav.statedRiffBytes = field(4, 4);
    wav.statedDataBytes = field(40, 4);
    wav.samples.resize((bytes.size() - 44) / 2);
    std::memcpy(wav.samples.data(), bytes.data() + 44, wav.samples.size() * 2);
    return wav;
}

std::vector<std::string> Recordings(const std::string& folder, const std::string& extension) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("record") && entry.path().extension() == "." + extension)
            found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace e2e
