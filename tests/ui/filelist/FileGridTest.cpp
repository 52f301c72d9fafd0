// The file list grid offscreen over a real folder: its pixels, the header click, the mouse and
// the keys, and the program's own dialogs answered by the test.

#include "ui/main/FileGrid.h"

#include "NextDialog.h"
#include "ScriptedQuestions.h"
#include "TestPaths.h"
#include "ui/main/FileListHandlers.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

namespace {

namespace fs = std::filesystem;

QPixmap Solid(QColor colour) {
    QPixmap picture(16, 16);
    picture.fill(colour);
    return picture;
}

const QColor Up(0, 200, 0), Down(0, 0, 200);
const std::map<FormatId, QColor> Kinds = {
    {FormatId::Wav, QColor(250, 0, 0)},   {FormatId::Mp3, QColor(250, 250, 0)},
    {FormatId::Wma, QColor(0, 250, 250)}, {FormatId::Ogg, QColor(250, 0, 250)},
    {FormatId::Flac, QColor(120, 60, 0)}, {FormatId::Opus, QColor(0, 120, 60)}};

std::map<FormatId, QPixmap> KindIcons() {
    std::map<FormatId, QPixmap> icons;
    for (const auto& [format, colour] : Kinds)
        icons[format] = Solid(colour);
    return icons;
}

class FileGridTest : public ::testing::Test {
protected:
    std::string folder = test_paths::FreshDir(
        std::string("filegrid_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    RecordingSettings settings;
    LibraryState library;
    SessionState session;
    std::vector<std::string> calls;
    QWidget window;
    FileGridView* grid = nullptr;
    std::unique_ptr<FileListHandlers> handlers;
    // What the converter does when the list starts it.
    std::function<bool(const std::string& source, const std::string& target)> convert;

    void SetUp() override {
        settings.OutputFolder = folder;
        WriteRecordingWav(folder + "/b.wav", 44100, 2, 16, 2);
        std::ofstream(folder + "/A.mp3") << std::string(3000, 'x');
        WriteRecordingWav(folder + "/c.wav", 44100, 2, 16, 1);
        window.resize(547, 530);
        grid = new FileGridView(&window, library, settings.Sort,
                                {Solid(Up), Solid(Down), KindIcons()});
        grid->setGeometry(14, 263, 519, 253);
        FileListCalls wired;
        wired.PlayCurrentFile = [this] { calls.push_back("play " + library.CurrentFile); };
        wired.StopAll = [this] { calls.push_back("stop all"); };
        wired.StopPlayer = [this] { calls.push_back("stop player"); };
        wired.Convert = [this](const std::string& source, const std::string& target) {
            return convert && convert(source, target);
        };
        handlers = std::make_unique<FileListHandlers>(*grid, library, settings, session,
                                                      std::move(wired), &window);
        window.show();
        handlers->RescanAndSort();
        QApplication::processEvents();
    }

    QImage Pixels() { return grid->viewport()->grab().toImage(); }
    QColor At(int x, int y) { return Pixels().pixelColor(x, y); }
    std::string Name(int row) const { return library.Grid.Cells[row][0].substr(8); }
    QPoint Middle(int column, int row) const { return grid->CellRect(column, row).center(); }
};

TEST_F(FileGridTest, DrawsHeaderRowsIconsAndSelectionInTheirColours) {
    ASSERT_EQ(library.Grid.RowCount, 4);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Middle(1, 2));
    ASSERT_EQ(library.Grid.SelectedRow, 2);
    const QImage pixels = Pixels();
    const QRect header = grid->CellRect(1, 0);
    EXPECT_EQ(pixels.pixelColor(header.left() + 10, 8), QColor(208, 217, 224));
    EXPECT_EQ(pixels.pixelColor(header.left() + 1, 8), QColor(Qt::black)) << "the outline";
    EXPECT_EQ(pixels.pixelColor(grid->CellRect(0, 0).left() + 5, 5), Up) << "order 1's arrow";
    EXPECT_EQ(pixels.pixelColor(header.left() + 5, 5), QColor(208, 217, 224)) << "no arrow";
    for (int row = 1; row <= 3; ++row) {
        const QRect cell = grid->CellRect(1, row);
        const QColor fill = row == 2 ? QColor(208, 217, 217) : QColor(229, 239, 239);
        EXPECT_EQ(pixels.pixelColor(cell.left() + 1, cell.top() + 8), fill) << row;
        const QRect name = grid->CellRect(0, row);
        const QColor icon = Kinds.at(Name(row) == "A.mp3" ? FormatId::Mp3 : FormatId::Wav);
        EXPECT_EQ(pixels.pixelColor(name.left() + 1, name.top() + 1), icon) << row;
        EXPECT_EQ(pixels.pixelColor(name.left(), name.top() + 1), fill) << "left of the icon";
    }
    EXPECT_EQ(pixels.pixelColor(10, grid->CellRect(0, 3).bottom() + 20), QColor(229, 239, 239));
    // Selected text is dark blue, other text black.
    auto hasColour = [&](const QRect& cell, QColor colour) {
        for (int x = cell.left(); x <= cell.right(); ++x)
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                if (pixels.pixelColor(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasColour(grid->CellRect(3, 2), QColor(0, 0, 150)));
    EXPECT_TRUE(hasColour(grid->CellRect(3, 1), QColor(Qt::black)));
}

TEST_F(FileGridTest, HeaderClicksSortAwayFromTheColumnBorders) {
    EXPECT_EQ(Name(1), "A.mp3");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Middle(2, 0));
    EXPECT_EQ(settings.Sort, 5);
    EXPECT_EQ(Name(2), "c.wav") << "176 KB between 3 KB and 352 KB";
    EXPECT_EQ(At(grid->CellRect(2, 0).left() + 5, 5), Up);
    EXPECT_EQ(At(grid->CellRect(0, 0).left() + 5, 5), QColor(208, 217, 224));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Middle(2, 0));
    EXPECT_EQ(settings.Sort, 6);
    EXPECT_EQ(Name(1), "b.wav");
    EXPECT_EQ(At(grid->CellRect(2, 0).left() + 5, 5), Down);
    // Within 5 pixels of a border a release changes nothing; on a row it only marks the row.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      QPoint(grid->CellRect(2, 0).left() - 3, 8));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Middle(0, 3));
    EXPECT_EQ(settings.Sort, 6);
    EXPECT_EQ(handlers->LastClickedRow, 3);
}

// FLAC and Opus recordings made by the real encoders are listed with their kind's icon and
// their duration, and sort by it among the others.
TEST_F(FileGridTest, FlacAndOpusFilesShowTheirIconAndDurationAndSortByIt) {
    for (const char* made : {"duration=5 -ac 2 -c:a flac five.flac",
                             "duration=3 -ac 2 -c:a libopus -b:a 64k three.opus"}) {
        const std::string command =
            "cd " + folder + " && ffmpeg -v error -f lavfi -i sine=frequency=440:" + made;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    handlers->RescanAndSort();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Middle(1, 0));
    ASSERT_EQ(settings.Sort, 3);
    ASSERT_EQ(library.Grid.RowCount, 6);
    const std::vector<std::pair<std::string, std::string>> shown = {{"A.mp3", "00:00:00"},
                                                                    {"c.wav", "00:00:01"},
                                                                    {"b.wav", "00:00:02"},
                                                                    {"three.opus", "00:00:03"},
                                                                    {"five.flac", "00:00:05"}};
    const QImage pixels = Pixels();
    for (int row = 1; row <= 5; ++row) {
        EXPECT_EQ(Name(row), shown[row - 1].first) << row;
        EXPECT_EQ(library.Grid.Cells[row][1], "      " + shown[row - 1].second) << Name(row);
        const QRect name = grid->CellRect(0, row);
        EXPECT_EQ(pixels.pixelColor(name.left() + 1, name.top() + 1),
                  Kinds.at(FormatOfFileName(Name(row))->Id))
            << Name(row);
    }
}

TEST_F(FileGridTest, MouseAndKeysSelectPlayStopAndDelete) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Middle(0, 1));
    EXPECT_EQ(library.CurrentFile, folder + "/A.mp3");
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(library.CurrentFile, folder + "/b.wav");
    EXPECT_EQ(library.CurrentFormat.Rate, 44100u);
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_EQ(calls, (std::vector<std::string>{"stop all", "stop all", "play " + folder + "/b.wav",
                                               "stop all"}));
    calls.clear();
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, Middle(2, 3));
    EXPECT_EQ(calls, (std::vector<std::string>{"stop all", "play " + folder + "/c.wav"}));

    // While recording the keys do nothing.
    session.IsRecording = true;
    calls.clear();
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_TRUE(calls.empty());
    session.IsRecording = false;

    std::string asked, caption;
    AnswerNextDialog([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        asked = box->text().toStdString();
        caption = box->windowTitle().toStdString();
        box->button(QMessageBox::Yes)->click();
    });
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(caption, "Confirm");
    EXPECT_EQ(asked, "Are you sure you want to delete c.wav?");
    EXPECT_FALSE(fs::exists(folder + "/c.wav"));
    EXPECT_EQ(library.Grid.RowCount, 3);
    EXPECT_EQ(library.Grid.SelectedRow, -1);
}

// The converter lets the window's events run: the File menu or the popup of the format picture
// can ask for another conversion meanwhile.
TEST_F(FileGridTest, WhileAConversionRunsNoOtherStartsAndTheListStaysDisabled) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Middle(0, 2));
    ASSERT_EQ(library.CurrentFile, folder + "/b.wav");
    int conversions = 0;
    bool disabled = false, offered = true;
    convert = [&](const std::string&, const std::string&) {
        if (++conversions == 1) {
            handlers->menuWav2MP3Click();
            handlers->pmenuWav2Mp3Click();
            disabled = !grid->isEnabled();
            offered = handlers->menuFileClick().Convert || handlers->SGridFilesClick().Convert;
        }
        return true;
    };
    handlers->menuWav2MP3Click();
    EXPECT_EQ(conversions, 1);
    EXPECT_TRUE(disabled) << "until the first conversion has ended";
    EXPECT_FALSE(offered);
    EXPECT_TRUE(grid->isEnabled());
    EXPECT_TRUE(handlers->menuFileClick().Convert) << "offered again afterwards";
}

TEST_F(FileGridTest, RenameThroughTheInputBoxSelectsTheNewName) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Middle(0, 2));
    ASSERT_EQ(library.CurrentFile, folder + "/b.wav");
    std::string title, initial;
    AnswerNextDialog([&](QWidget* modal) {
        auto* box = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle().toStdString();
        initial = box->textValue().toStdString();
        box->setTextValue("zz take");
        box->accept();
    });
    handlers->pmenuRenameClick();
    EXPECT_EQ(title, "Rename File");
    EXPECT_EQ(initial, "b");
    EXPECT_EQ(library.CurrentFile, folder + "/zz take.wav");
    EXPECT_EQ(Name(library.Grid.SelectedRow), "zz take.wav");
    EXPECT_EQ(library.Grid.SelectedRow, 3);
    EXPECT_EQ(library.Grid.Cells[3][1], "      00:00:02");
}

TEST_F(FileGridTest, TheFolderBrowserStartsAtTheOutputFolder) {
    std::string title, start;
    AnswerNextDialog([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle().toStdString();
        start = dialog->directory().absolutePath().toStdString();
        dialog->reject();
    });
    handlers->ImageFolderClick();
    EXPECT_EQ(title, "Select or create a folder");
    EXPECT_EQ(start, folder);
    EXPECT_EQ(settings.OutputFolder, folder);
}

TEST_F(FileGridTest, ALongListScrollsByRowsUnderAFixedHeader) {
    for (int i = 0; i < 100; ++i) {
        std::ofstream(folder + "/n" + std::to_string(100 + i) + ".ogg") << std::string(100, 'o');
    }
    handlers->RescanAndSort();
    const int visible =
        (grid->viewport()->height() - FileGridView::RowPitch) / FileGridView::RowPitch;
    EXPECT_EQ(grid->verticalScrollBar()->maximum(), 103 - visible);
    QTest::keyClick(grid, Qt::Key_End);
    EXPECT_EQ(library.Grid.SelectedRow, 103);
    EXPECT_EQ(grid->TopRow(), 103 - visible + 1);
    EXPECT_EQ(grid->RowAt(FileGridView::RowPitch + 1), grid->TopRow());
    EXPECT_EQ(grid->RowAt(5), 0) << "the header stays";
    const QRect last = grid->CellRect(1, 103);
    EXPECT_EQ(At(last.left() + 1, last.top() + 8), QColor(208, 217, 217));
    EXPECT_EQ(At(grid->CellRect(0, 0).left() + 5, 5), Up);

    // A rescan brings the current file's row into view wherever the order puts it.
    QTest::keyClick(grid, Qt::Key_Home);
    library.CurrentFile = folder + "/n199.ogg";
    handlers->RescanAndSort();
    EXPECT_EQ(library.Grid.SelectedRow, 103);
    EXPECT_EQ(grid->TopRow(), 103 - visible + 1);
}

TEST_F(FileGridTest, AnEmptyFolderShowsOneEmptyRowThatCannotBeSelected) {
    for (const char* name : {"b.wav", "A.mp3", "c.wav"}) {
        fs::remove(folder + "/" + name);
    }
    handlers->RescanAndSort();
    EXPECT_EQ(library.Grid.RowCount, 2);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, Middle(0, 1));
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(library.Grid.SelectedRow, -1);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(At(grid->CellRect(1, 1).left() + 1, grid->CellRect(1, 1).top() + 8),
              QColor(229, 239, 239));
}

} // namespace
