#include "library/ListTexts.h"

#include "engine/OutputFormats.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace {

// Two characters at most, as the list's fixed-width column expects.
std::string TwoDigits(std::int64_t value) {
    std::string text = value < 10 ? "0" : "";
    text += std::to_string(value);
    return text.substr(0, 2);
}

} // namespace

std::string DurationText(double seconds) {
    if (!(seconds >= 0)) {
        return "00:00:00";
    }
    // Far beyond any file; keeps the conversions below defined.
    seconds = std::min(seconds, 1e12);
    auto h = static_cast<std::int64_t>(seconds / 3600);
    auto m = static_cast<std::int64_t>((seconds - 3600.0 * h) / 60);
    auto x = static_cast<std::int64_t>(std::nearbyint(seconds - 3600.0 * h - 60.0 * m));
    if (x == 60) {
        x = 0;
        ++m;
    }
    if (m == 60) {
        m = 0;
        ++h;
    }
    return TwoDigits(h) + ":" + TwoDigits(m) + ":" + TwoDigits(x);
}

bool IsRecordingKind(const std::string& name) {
    return FormatOfFileName(name) != nullptr;
}

std::uint64_t SizeInKB(std::uint64_t bytes) {
    const std::uint64_t whole = bytes / 1024;
    const std::uint64_t rest = bytes % 1024;
    return whole + ((rest > 512 || (rest == 512 && whole % 2 == 1)) ? 1 : 0);
}

std::string JoinDateAndTime(const std::string& date, const std::string& time) {
    // Counted in characters, not bytes, so a date with letters beyond ASCII lines up too.
    QString text = QString::fromStdString(date) + QString(5, u' ');
    const QString timeText = QString::fromStdString(time);
    if (text.size() > 12) {
        text.insert(12, timeText);
    } else {
        text += timeText;
    }
    return text.toStdString();
}
