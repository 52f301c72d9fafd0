#pragma once
// A message for the user that a module may hand back: shown by the window in a plain box, or in
// the error box (the application's title, an error icon, a full stop added).

#include <optional>
#include <string>

struct UserMessage {
    enum class Kind { Plain, Error };
    Kind kind = Kind::Plain;
    std::string text;
};

// A message to show, if any.
using MaybeMessage = std::optional<UserMessage>;

inline MaybeMessage PlainMessage(std::string text) {
    return UserMessage{UserMessage::Kind::Plain, std::move(text)};
}
// Why a file or folder (named by `shown`) that did not answer in a moment, as on a stalled
// mount, is left alone; without a full stop, which an error box adds itself.
inline std::string NoAnswerText(const std::string& shown) {
    return shown + " does not answer: it may be on a disconnected drive or network folder";
}
inline MaybeMessage ErrorMessage(std::string text) {
    return UserMessage{UserMessage::Kind::Error, std::move(text)};
}
