// Feeds the known signal into a pipe source of the test sound server, paced like a sound card:
// the pipe source takes whatever arrives, so 10 ms are written per 10 ms of monotonic time.
// With "unpaced" the reader sets the pace (a player that reads only as fast as it plays), so
// the signal never falls behind while the machine is busy.
// Usage: signal_feeder FIFO RATE [unpaced]

#include "KnownSignal.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    const bool paced = argc == 3;
    if (argc != 3 && !(argc == 4 && std::string_view(argv[3]) == "unpaced")) {
        std::fprintf(stderr, "usage: signal_feeder FIFO RATE [unpaced]\n");
        return 2;
    }
    const unsigned rate = static_cast<unsigned>(std::atoi(argv[2]));
    const int fd = open(argv[1], O_WRONLY);
    if (fd < 0 || rate == 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::signal(SIGPIPE, SIG_IGN);
    fcntl(fd, F_SETPIPE_SZ, 4096);

    using Clock = std::chrono::steady_clock;
    const unsigned chunkFrames = rate / 100;
    std::vector<std::int16_t> chunk(chunkFrames * 2);
    std::uint32_t frame = 0;
    auto due = Clock::now();
    for (;;) {
        for (unsigned i = 0; i < chunkFrames; ++i, ++frame) {
            chunk[2 * i] = known_signal::Left(frame);
            chunk[2 * i + 1] = known_signal::Right(frame);
        }
        const char* data = reinterpret_cast<const char*>(chunk.data());
        std::size_t left = chunk.size() * sizeof(std::int16_t);
        while (left > 0) {
            const ssize_t n = write(fd, data, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return 0;
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        if (!paced)
            continue;
        due += std::chrono::milliseconds(10);
        const auto now = Clock::now();
        // After the server stopped reading for a while, go on at the normal pace, never in a burst.
        if (now > due + std::chrono::milliseconds(50))
            due = now;
        std::this_thread::sleep_until(due);
    }
}
