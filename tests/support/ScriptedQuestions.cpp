#include "ScriptedQuestions.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

template <typename T> T Next(std::deque<T>& answers, T none, const std::string& what) {
    if (answers.empty()) {
        ADD_FAILURE() << "no answer scripted for " << what;
        return none;
    }
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

void Put(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
}

} // namespace

void ScriptedQuestions::Opened(const std::string& question) {
    Asked.push_back(question);
    if (WhileOpen) {
        WhileOpen();
    }
}

bool ScriptedQuestions::AskYesNo(const std::string& text) {
    Opened("yesno: " + text);
    return Next(YesNo, false, text);
}

std::optional<std::string> ScriptedQuestions::AskNewName(const std::string& initial) {
    Opened("name: " + initial);
    return Next(Names, std::optional<std::string>(), "the new name");
}

std::optional<std::string> ScriptedQuestions::AskSavePath(const std::string& initial) {
    Opened("save: " + initial);
    return Next(SavePaths, std::optional<std::string>(), "the save path");
}

std::optional<std::string> ScriptedQuestions::PickFolder(const std::string& start) {
    Opened("folder: " + start);
    return Next(Folders, std::optional<std::string>(), "the folder");
}

void ScriptedQuestions::ShowMessage(const std::string& text) {
    Asked.push_back("message: " + text);
}

void WriteRecordingWav(const std::string& path, std::uint32_t rate, std::uint16_t channels,
                       std::uint16_t bits, double seconds) {
    const std::uint32_t align = channels * bits / 8;
    const auto dataBytes = static_cast<std::uint32_t>(seconds * rate) * align;
    std::string bytes = "RIFF";
    Put(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    Put(bytes, 16, 4);
    Put(bytes, 1, 2);
    Put(bytes, channels, 2);
    Put(bytes, rate, 4);
    Put(bytes, rate * align, 4);
    Put(bytes, align, 2);
    Put(bytes, bits, 2);
    bytes += "data";
    Put(bytes, dataBytes, 4);
    for (std::uint32_t i = 0; i < dataBytes; ++i) {
        bytes += static_cast<char>((i / 64) % 2 ? 0x60 : 0xA0);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}
