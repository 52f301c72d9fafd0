// Record inputs on the test server: its sources have no ports, so each has one input named
// by its description; the level is the source's volume and reaches the server. The record
// devices are those of the capture device over the server.

#include "audio/Bass.h"
#include "audio/RecordDevices.h"
#include "audio/RecordInputs.h"
#include "platform/PulseConnection.h"
#include "platform/PulseWaveIn.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

QString Pactl(const QStringList& args) {
    QProcess pactl;
    pactl.start("pactl", args);
    pactl.waitForFinished();
    return QString::fromUtf8(pactl.readAllStandardOutput());
}

// The source's volume and mute as the server holds them.
double ServerVolume(const QString& source) {
    const QString text = Pactl({"get-source-volume", source});
    const auto match = QRegularExpression("front-left: (\\d+)").match(text);
    return match.hasMatch() ? match.captured(1).toDouble() / 65536.0 : -1;
}

// The record device whose master is named `description`; -1 if none.
int DeviceNamed(const std::string& description) {
    for (int device = 0; BASS_RecordInit(device); ++device) {
        const char* name = BASS_RecordGetInputName(-1);
        if (name != nullptr && description == name)
            return device;
    }
    return -1;
}

class RecordInputs : public ::testing::Test {
protected:
    RecordInputs() { audio::PairRecordDevices(&capture_); }
    ~RecordInputs() override {
        BASS_RecordFree();
        audio::PairRecordDevices(nullptr);
    }

private:
    PulseWaveIn capture_{platform::Pulse()};
};

TEST_F(RecordInputs, DeviceZeroIsTheDefaultSourceWithOneInput) {
    BASS_RecordFree();
    EXPECT_EQ(BASS_RecordGetInput(0, nullptr), BASS_DWORD_ERROR); // not initialised
    EXPECT_EQ(BASS_RecordGetInputName(0), nullptr);
    ASSERT_TRUE(BASS_RecordInit(0));
    EXPECT_TRUE(BASS_RecordSetDevice(0));
    EXPECT_FALSE(BASS_RecordSetDevice(1));

    float level = -5;
    EXPECT_EQ(BASS_RecordGetInput(0, &level), 0u); // on
    EXPECT_FLOAT_EQ(level, 1.0f);
    EXPECT_EQ(BASS_RecordGetInput(1, &level), BASS_DWORD_ERROR); // past the last input
    ASSERT_NE(BASS_RecordGetInputName(0), nullptr);
    EXPECT_STREQ(BASS_RecordGetInputName(0), "Test_signal_44100");
    EXPECT_STREQ(BASS_RecordGetInputName(-1), "Test_signal_44100");
    EXPECT_EQ(BASS_RecordGetInputName(1), nullptr);

    EXPECT_TRUE(BASS_RecordFree());
    EXPECT_FALSE(BASS_RecordFree());
    EXPECT_FALSE(BASS_RecordInit(1000));
}

TEST_F(RecordInputs, LevelAndSwitchingOnReachTheSource) {
    ASSERT_GE(DeviceNamed("Silence"), 1);
    const QString source = "sonvera_silence";
    Pactl({"set-source-volume", source, "50%"});
    Pactl({"set-source-mute", source, "1"});

    float level = -5;
    EXPECT_EQ(BASS_RecordGetInput(-1, &level), BASS_INPUT_OFF); // the muted master
    EXPECT_NEAR(level, 0.5, 0.001);

    // On with the level unchanged, as the program starts its recording side: the user's
    // mute and level stay as they are.
    EXPECT_TRUE(BASS_RecordSetInput(-1, BASS_INPUT_ON, -1.0f));
    EXPECT_TRUE(BASS_RecordSetInput(0, BASS_INPUT_ON, -1.0f));
    EXPECT_EQ(BASS_RecordGetInput(-1, &level), BASS_INPUT_OFF);
    EXPECT_EQ(Pactl({"get-source-mute", source}).trimmed(), "Mute: yes");
    EXPECT_NEAR(ServerVolume(source), 0.5, 0.001);
    Pactl({"set-source-mute", source, "0"});

    // The level knob.
    EXPECT_TRUE(BASS_RecordSetInput(0, BASS_INPUT_ON, 0.25f));
    EXPECT_NEAR(ServerVolume(source), 0.25, 0.001);
    EXPECT_EQ(BASS_RecordGetInput(0, &level), 0u);
    EXPECT_NEAR(level, 0.25, 0.001);
    EXPECT_FALSE(BASS_RecordSetInput(1, BASS_INPUT_ON, 0.5f));

    Pactl({"set-source-volume", source, "100%"});
    BASS_RecordFree();
}

// A source with ports (a sound card's microphone and line-in): the test server has none, so
// the mapping is checked on the state the server would report.
TEST_F(RecordInputs, PortsAreTheInputsAndTheActiveOneIsOn) {
    audio::SourceState card;
    card.description = "Built-in Audio Analog Stereo";
    card.ports = {{"analog-input-mic", "Microphone"}, {"analog-input-linein", "Line In"}};
    card.activePort = 1;

    struct Expected {
        int input;
        std::optional<DWORD> flags;
        std::optional<std::string> name;
    };
    for (const auto& e :
         {Expected{-1, 0u, "Built-in Audio Analog Stereo"},
          Expected{0, BASS_INPUT_OFF, "Microphone"}, Expected{1, 0u, "Line In"},
          Expected{2, std::nullopt, std::nullopt}, Expected{-2, std::nullopt, std::nullopt}}) {
        EXPECT_EQ(audio::InputFlags(card, e.input), e.flags) << e.input;
        EXPECT_EQ(audio::InputName(card, e.input), e.name) << e.input;
    }
    EXPECT_EQ(audio::InputCount(card), 2);

    // The program's scan: the first input without the off bit is the selected one.
    int selected = 0;
    while (audio::InputFlags(card, selected).value_or(0) & BASS_INPUT_OFF)
        ++selected;
    EXPECT_EQ(selected, 1);

    card.muted = true;
    EXPECT_EQ(audio::InputFlags(card, -1), BASS_INPUT_OFF);

    // Switching inputs on never moves the source off the port it records from; only a source
    // recording from none takes the asked port. The master never changes a port.
    struct Switch {
        int active;
        int input;
        std::optional<int> port;
    };
    for (const auto& c : {Switch{1, 0, std::nullopt}, Switch{1, 1, std::nullopt},
                          Switch{0, 1, std::nullopt}, Switch{-1, 1, 1}, Switch{-1, 0, 0},
                          Switch{-1, -1, std::nullopt}, Switch{-1, 2, std::nullopt}}) {
        card.activePort = c.active;
        EXPECT_EQ(audio::PortToActivate(card, c.input), c.port)
            << "active " << c.active << ", input " << c.input;
    }
    EXPECT_EQ(audio::PortToActivate(audio::SourceState{}, 0), std::nullopt); // no ports
}

} // namespace
