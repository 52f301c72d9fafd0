#pragma once
// The file operations' questions answered from a script, and each question's text kept, for
// the file list tests; and WAV recordings of a given format to act on.

#include "library/FileOperations.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ScriptedQuestions : public FileQuestions {
public:
    // Answers, taken in order; a question without an answer left fails the test and gets
    // No or a cancel.
    std::deque<bool> YesNo;
    std::deque<std::optional<std::string>> Names;
    std::deque<std::optional<std::string>> SavePaths;
    std::deque<std::optional<std::string>> Folders;

    // Everything asked or shown, in order: "yesno: <text>", "name: <initial>",
    // "save: <initial>", "folder: <start>", "message: <text>".
    std::vector<std::string> Asked;
    // Runs while each question is open (after it is added to Asked), as the window's events
    // would, for example a hot key.
    std::function<void()> WhileOpen;

    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> AskNewName(const std::string& initial) override;
    std::optional<std::string> AskSavePath(const std::string& initial) override;
    std::optional<std::string> PickFolder(const std::string& start) override;
    void ShowMessage(const std::string& text) override;

private:
    void Opened(const std::string& question);
};

// A PCM WAV file: the 44-byte header and `seconds` of a square wave.
void WriteRecordingWav(const std::string& path, std::uint32_t rate, std::uint16_t channels,
                       std::uint16_t bits, double seconds);

// The whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
