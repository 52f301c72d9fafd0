// The Scheduled Recording and Automatic Recording dialogs offscreen: what they show of the
// settings and what OK leaves in them.

#include "TestPaths.h"
#include "engine/global.h"
#include "ui/dialogs/AutomaticDialog.h"
#include "ui/dialogs/ScheduleDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <fstream>
#include <gtest/gtest.h>

namespace {

TEST(AutomaticDialog, PreviewsTheNextNameAndOkTakesEveryField) {
    RecordingSettings settings;
    settings.OutputFolder = test_paths::FreshDir("automatic_dialog");
    std::ofstream(settings.OutputFolder + "/take 001.wav") << "sound";
    AutomaticDialog dialog(settings, nullptr);
    EXPECT_EQ(dialog.NamePreview->text(), "record001.mp3");
    dialog.NameTemplate->setText("take %n");
    EXPECT_EQ(dialog.NamePreview->text(), "take 002.mp3") << "the first free number";
    dialog.SplitMinutes->setValue(60);
    dialog.VoiceMode->setCurrentIndex(2);
    dialog.VoiceThreshold->setValue(-40);
    EXPECT_TRUE(settings.NameTemplate.empty()) << "nothing changes before OK";

    dialog.Apply();
    EXPECT_EQ(settings.NameTemplate, "take %n");
    EXPECT_EQ(settings.SplitMinutes, 60);
    EXPECT_EQ(settings.SplitMegabytes, 0);
    EXPECT_EQ(settings.VoiceMode, 2);
    EXPECT_EQ(settings.VoiceThreshold, -40);
    EXPECT_EQ(settings.VoicePreRoll, 2000);
}

TEST(ScheduleDialog, ShowsTheNextStartAndADailyTimePastTodayIsTomorrows) {
    RecordingSettings settings;
    ScheduleDialog dialog(settings, nullptr);
    EXPECT_EQ(dialog.NextStart->text(), "Not scheduled");
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    dialog.Enabled->setChecked(true);
    dialog.StartAt->setDateTime(hourAgo);
    EXPECT_EQ(dialog.NextStart->text(), "That time has passed");
    dialog.Daily->setChecked(true);
    const QString tomorrow = hourAgo.addDays(1).toString("yyyy-MM-dd HH:mm:ss");
    EXPECT_EQ(dialog.NextStart->text(), "Next start: " + tomorrow);
    dialog.Duration->setTime(QTime(1, 30));

    dialog.Apply();
    EXPECT_TRUE(settings.ScheduleEnabled);
    EXPECT_TRUE(settings.ScheduleDaily);
    EXPECT_EQ(settings.ScheduleStartAt, tomorrow.toStdString());
    EXPECT_EQ(settings.ScheduleDuration, 5400);
}

} // namespace
