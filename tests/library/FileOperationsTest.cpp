// The file operations on real files in a folder of their own: what they ask, what they do to
// the files, and the list, the current file and the selection they leave.

#include "library/FileOperations.h"

#include "ScriptedQuestions.h"
#include "TestPaths.h"
#include "library/Durations.h"
#include "library/FileSort.h"
#include "library/FolderScan.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class FileOperationsTest : public ::testing::Test {
protected:
    std::string folder = test_paths::FreshDir(
        std::string("fileops_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    RecordingSettings settings;
    LibraryState library;
    SessionState session;
    ScriptedQuestions questions;
    std::vector<std::string> calls; // what the operations asked of the rest of the program
    FileOperations operations{library, settings, session, questions, Calls()};

    FileOperationsTest() { settings.OutputFolder = folder; }

    FileListCalls Calls() {
        FileListCalls wired;
        wired.PlayCurrentFile = [this] { calls.push_back("play " + library.CurrentFile); };
        wired.StopAll = [this] { calls.push_back("stop all"); };
        wired.StopPlayer = [this] { calls.push_back("stop player"); };
        wired.Convert = [this](const std::string& source, const std::string& target) {
            calls.push_back("convert " + source + " -> " + target +
                            (fs::exists(target) ? " (target still there)" : ""));
            return true;
        };
        return wired;
    }

    std::string Path(const std::string& name) const { return folder + "/" + name; }

    void Rescan() {
        ScanOutputFolder(settings.OutputFolder, library);
        ProbeDurationsNow(library);
        SortFileList(settings.Sort, library.CurrentFile, library);
    }

    int RowOf(const std::string& name) const {
        for (int row = 1; row < library.Grid.RowCount; ++row) {
            if (library.Grid.RowPaths[row] == Path(name)) {
                return row;
            }
        }
        return -1;
    }

    void Select(const std::string& name) {
        const int row = RowOf(name);
        ASSERT_GT(row, 0) << name;
        operations.SelectRow(row);
        library.Grid.SelectedRow = row;
    }

    // The rows as "name duration", and the selected row's name.
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int row = 1; row < library.Grid.RowCount; ++row) {
            const GridRow& cells = library.Grid.Cells[row];
            if (!cells[0].empty()) {
                rows.push_back(cells[0].substr(8) + " " + cells[1].substr(6));
            }
        }
        return rows;
    }
    std::string SelectedName() const {
        const int row = library.Grid.SelectedRow;
        return row < 1 ? "" : library.Grid.Cells[row][0].substr(8);
    }
};

// The File menu and the popup in every state that decides them, listed as the enabled items.
struct MenuCase {
    const char* what;
    const char* file; // the current file's format: "", "wav 44100 16", "wav 22050 16", ...
    bool recording, playing, vbr, recentStored;
    const char* fileMenu;
    const char* fileConvertCaption;
    const char* popup;
    const char* popupConvertCaption;
};

void PrintTo(const MenuCase& c, std::ostream* os) {
    *os << c.what;
}

std::string Enabled(const FileMenuState& m) {
    std::string items;
    for (auto [on, name] : {std::pair{m.SelectFolder, "folder "},
                            {m.RecentFolders, "recent "},
                            {m.Rename, "rename "},
                            {m.Convert, "convert "},
                            {m.Move, "move "},
                            {m.Delete, "delete "}}) {
        items += on ? name : "";
    }
    return items;
}

std::string Enabled(const PopupMenuState& m) {
    std::string items;
    for (auto [on, name] : {std::pair{m.Play, "play "},
                            {m.Stop, "stop "},
                            {m.Rename, "rename "},
                            {m.Convert, "convert "},
                            {m.ConvertVisible, "shown "},
                            {m.Move, "move "},
                            {m.Delete, "delete "}}) {
        items += on ? name : "";
    }
    return items;
}

class MenuEnabling : public FileOperationsTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuEnabling, FollowsTheSessionAndTheCurrentFile) {
    const MenuCase& c = GetParam();
    const std::string kind = c.file;
    if (!kind.empty()) {
        unsigned rate = 0, bits = 0;
        char name[8] = {};
        ASSERT_EQ(std::sscanf(c.file, "%7s %u %u", name, &rate, &bits), 3);
        const std::string file = std::string("take.") + name;
        if (kind.rfind("wav", 0) == 0) {
            WriteRecordingWav(Path(file), rate, 2, static_cast<std::uint16_t>(bits), 1);
        } else {
            std::ofstream(Path(file)) << std::string(4000, 'x');
        }
        Rescan();
        Select(file);
    }
    settings.VBR = c.vbr;
    if (c.recentStored) {
        settings.RecentFolders[2] = "/elsewhere";
    }
    session.IsRecording = c.recording;
    session.IsPlaying = c.playing;

    const FileMenuState file = operations.FileMenu();
    EXPECT_EQ(Enabled(file), c.fileMenu);
    EXPECT_EQ(file.ConvertCaption, c.fileConvertCaption);
    const PopupMenuState popup = operations.Popup();
    EXPECT_EQ(Enabled(popup), c.popup);
    EXPECT_EQ(popup.ConvertCaption, c.popupConvertCaption);
}

INSTANTIATE_TEST_SUITE_P(
    States, MenuEnabling,
    ::testing::Values(
        MenuCase{"Recording", "wav 44100 16", true, false, false, true, "", "Convrert to MP3", "",
                 ""},
        MenuCase{"NoCurrentFile", "", false, false, false, false, "folder ", "Convrert to MP3", "",
                 ""},
        MenuCase{"NoCurrentFileARecentFolder", "", false, false, false, true, "folder recent ",
                 "Convrert to MP3", "", ""},
        MenuCase{"Wav44100x16", "wav 44100 16", false, false, false, false,
                 "folder rename convert move delete ", "Convert to MP3 (128 kbps)",
                 "play rename convert shown move delete ", "Convert to MP3 (128 kbps)"},
        MenuCase{"Wav48000PlayingVbr", "wav 48000 16", false, true, true, false,
                 "folder rename convert move delete ", "Convert to MP3 (32-320 kbps)",
                 "stop rename convert shown move delete ", "Convert to MP3 (32-320 kbps)"},
        MenuCase{"Wav22050", "wav 22050 16", false, false, false, false,
                 "folder rename move delete ", "Convrert to MP3", "play rename move delete ", ""},
        MenuCase{"Wav8Bit", "wav 44100 8", false, false, false, false, "folder rename move delete ",
                 "Convrert to MP3", "play rename move delete ", ""},
        MenuCase{"Mp3", "mp3 0 0", false, false, false, false, "folder rename move delete ",
                 "Convrert to MP3", "play rename move delete ", ""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(FileOperationsTest, TheFileMenuKeepsTheLastConvertCaptionGiven) {
    WriteRecordingWav(Path("a.wav"), 44100, 2, 16, 1);
    WriteRecordingWav(Path("b.wav"), 22050, 2, 16, 1);
    Rescan();
    Select("a.wav");
    settings.BitRate = 192;
    EXPECT_EQ(operations.FileMenu().ConvertCaption, "Convert to MP3 (192 kbps)");
    Select("b.wav");
    settings.BitRate = 64;
    const FileMenuState menu = operations.FileMenu();
    EXPECT_FALSE(menu.Convert);
    EXPECT_EQ(menu.ConvertCaption, "Convert to MP3 (192 kbps)");
}

TEST_F(FileOperationsTest, SelectingARowMakesItCurrentUnlessRecordingOrPaused) {
    WriteRecordingWav(Path("a.wav"), 44100, 2, 16, 1);
    WriteRecordingWav(Path("b.wav"), 22050, 1, 8, 1);
    Rescan();
    session.IsRecording = true;
    operations.SelectRow(RowOf("a.wav"));
    session.IsRecording = false;
    session.IsPaused = true;
    operations.SelectRow(RowOf("a.wav"));
    EXPECT_EQ(library.CurrentFile, "");
    session.IsPaused = false;

    Select("b.wav");
    EXPECT_EQ(library.CurrentFile, Path("b.wav"));
    EXPECT_EQ(library.SelectedFile, Path("b.wav"));
    EXPECT_EQ(library.CurrentFormat.Rate, 22050u);
    EXPECT_EQ(library.CurrentFormat.Channels, 1u);
    EXPECT_EQ(library.CurrentFormat.Bits, 8u);
    EXPECT_EQ(calls, std::vector<std::string>{"stop all"});

    // The same row again only reads the format anew.
    WriteRecordingWav(Path("b.wav"), 48000, 2, 16, 1);
    Select("b.wav");
    EXPECT_EQ(library.CurrentFormat.Rate, 48000u);
    EXPECT_EQ(calls.size(), 1u);

    // A double click plays the selected file; one whose last release was on the header does not.
    library.CurrentFile = Path("a.wav");
    operations.PlaySelected(0);
    operations.PlaySelected(RowOf("b.wav"));
    EXPECT_EQ(calls.back(), "play " + Path("b.wav"));
    EXPECT_EQ(calls.size(), 2u);

    // The row a sort selects for a new recording was never clicked: its double click plays it.
    library.SelectedFile.clear();
    library.CurrentFile = Path("a.wav");
    SortFileList(settings.Sort, library.CurrentFile, library);
    EXPECT_EQ(library.SelectedFile, Path("a.wav"));
    operations.PlaySelected(RowOf("a.wav"));
    EXPECT_EQ(calls.back(), "play " + Path("a.wav"));
}

TEST_F(FileOperationsTest, ChoosingRecentFolderBLeavesFACD) {
    const std::string base = folder;
    for (const char* name : {"A", "B", "C", "D", "F"}) {
        fs::create_directories(base + "/" + name);
    }
    WriteRecordingWav(base + "/B/inb.wav", 44100, 2, 16, 1);
    WriteRecordingWav(base + "/F/inf.wav", 44100, 2, 16, 1);
    settings.RecentFolders = {base + "/A", base + "/B", base + "/C", base + "/D"};
    settings.OutputFolder = library.PreviousFolder = base + "/F";
    Rescan();
    library.CurrentFile = base + "/F/inf.wav";

    operations.ChooseRecentFolder(2);
    EXPECT_EQ(settings.OutputFolder, base + "/B");
    EXPECT_EQ(settings.RecentFolders,
              (std::array<std::string, 4>{base + "/F", base + "/A", base + "/C", base + "/D"}));
    EXPECT_EQ(library.RecentCaptions[0], "1. " + base + "/F");
    EXPECT_EQ(Rows(), std::vector<std::string>{"inb.wav 00:00:01"});
    EXPECT_EQ(library.CurrentFile, "");
    EXPECT_EQ(library.Grid.SelectedRow, -1);
    EXPECT_EQ(fs::current_path(), fs::path(base + "/B"));

    // A recent folder deleted on disk: the message, out of the list, the output folder kept.
    fs::remove(base + "/C");
    operations.ChooseRecentFolder(3);
    EXPECT_EQ(questions.Asked,
              std::vector<std::string>{"message: Folder - " + base + "/C does not exist!"});
    EXPECT_EQ(settings.OutputFolder, base + "/B");
    EXPECT_EQ(settings.RecentFolders,
              (std::array<std::string, 4>{base + "/F", base + "/A", base + "/D", ""}));
    EXPECT_EQ(library.RecentCaptions[3], "");
    EXPECT_EQ(Rows(), std::vector<std::string>{"inb.wav 00:00:01"});

    // An empty recent folder does nothing.
    operations.ChooseRecentFolder(4);
    EXPECT_EQ(questions.Asked.size(), 1u);
}

TEST_F(FileOperationsTest, TheFolderBrowserRescansOnlyForAnotherFolder) {
    fs::create_directories(Path("other"));
    WriteRecordingWav(Path("other/there.wav"), 44100, 2, 16, 2);
    WriteRecordingWav(Path("here.wav"), 44100, 2, 16, 1);
    Rescan();
    Select("here.wav");
    WriteRecordingWav(Path("late.wav"), 44100, 2, 16, 1); // a rescan would list it

    questions.Folders = {std::nullopt, folder};
    operations.ChooseOutputFolder(); // cancelled
    operations.ChooseOutputFolder(); // the same folder
    EXPECT_EQ(Rows(), std::vector<std::string>{"here.wav 00:00:01"});
    EXPECT_EQ(library.CurrentFile, Path("here.wav"));

    session.IsPlaying = true;
    questions.Folders = {Path("other")};
    operations.ChooseOutputFolder();
    EXPECT_EQ(questions.Asked, (std::vector<std::string>{"folder: " + folder, "folder: " + folder,
                                                         "folder: " + folder}));
    EXPECT_EQ(settings.OutputFolder, Path("other"));
    EXPECT_EQ(Rows(), std::vector<std::string>{"there.wav 00:00:02"});
    EXPECT_EQ(library.CurrentFile, "");
    EXPECT_EQ(settings.RecentFolders[0], folder);
    EXPECT_EQ(calls.back(), "stop player");
}

struct RenameCase {
    const char* what;
    std::optional<std::string> answer;
    std::deque<bool> replace; // the answer to the replace question, when asked
    std::vector<std::string> asked;
    std::vector<std::string> rows;
    const char* current;
};

void PrintTo(const RenameCase& c, std::ostream* os) {
    *os << c.what;
}

class Rename : public FileOperationsTest, public ::testing::WithParamInterface<RenameCase> {};

const char* const InvalidName = "\".\nA file name must not be empty, must not start with \".\" "
                                "(the file would be hidden), and must not contain \"/\".";

TEST_P(Rename, AsksAndRenamesOnlyWhatItMay) {
    const RenameCase& c = GetParam();
    fs::create_directories(Path("sub"));
    WriteRecordingWav(Path("record001.wav"), 44100, 2, 16, 1);
    WriteRecordingWav(Path("record002.wav"), 44100, 2, 16, 2);
    Rescan();
    Select("record001.wav");
    questions.Names = {c.answer};
    questions.YesNo = c.replace;
    operations.Rename();

    std::vector<std::string> asked = {"name: record001"};
    asked.insert(asked.end(), c.asked.begin(), c.asked.end());
    EXPECT_EQ(questions.Asked, asked);
    EXPECT_EQ(Rows(), c.rows);
    EXPECT_EQ(library.CurrentFile, Path(c.current));
    EXPECT_EQ(SelectedName(), c.current);
    EXPECT_TRUE(fs::is_empty(Path("sub")));
}

const std::vector<std::string> Untouched = {"record001.wav 00:00:01", "record002.wav 00:00:02"};

INSTANTIATE_TEST_SUITE_P(
    Answers, Rename,
    ::testing::Values(
        RenameCase{"SameBase", "record001", {}, {}, Untouched, "record001.wav"},
        RenameCase{"Cancelled", std::nullopt, {}, {}, Untouched, "record001.wav"},
        RenameCase{"NewName",
                   "take one",
                   {},
                   {},
                   {"record002.wav 00:00:02", "take one.wav 00:00:01"},
                   "take one.wav"},
        RenameCase{"OntoAnExistingFileYes",
                   "record002",
                   {true},
                   {"yesno: record002 already exists.\nDo you want to replace it?"},
                   {"record002.wav 00:00:01"},
                   "record002.wav"},
        RenameCase{"OntoAnExistingFileNo",
                   "record002",
                   {false},
                   {"yesno: record002 already exists.\nDo you want to replace it?"},
                   Untouched,
                   "record001.wav"},
        RenameCase{"Empty",
                   "",
                   {},
                   {std::string("message: Can not rename the file to \"") + InvalidName},
                   Untouched,
                   "record001.wav"},
        RenameCase{"Dot",
                   ".",
                   {},
                   {std::string("message: Can not rename the file to \".") + InvalidName},
                   Untouched,
                   "record001.wav"},
        RenameCase{"DotDot",
                   "..",
                   {},
                   {std::string("message: Can not rename the file to \"..") + InvalidName},
                   Untouched,
                   "record001.wav"},
        RenameCase{"Hidden",
                   ".take",
                   {},
                   {std::string("message: Can not rename the file to \".take") + InvalidName},
                   Untouched,
                   "record001.wav"},
        RenameCase{
            "OutOfTheFolder",
            "../record001",
            {},
            {std::string("message: Can not rename the file to \"../record001") + InvalidName},
            Untouched,
            "record001.wav"},
        RenameCase{"IntoASubfolder",
                   "sub/x",
                   {},
                   {std::string("message: Can not rename the file to \"sub/x") + InvalidName},
                   Untouched,
                   "record001.wav"}),
    [](const auto& info) { return std::string(info.param.what); });

// A name that leads to the current file itself (here a second link to it; on a file system
// that ignores case, the same name in other letters) is never offered for deletion.
TEST_F(FileOperationsTest, RenameOntoTheFileItselfNeverDeletesIt) {
    WriteRecordingWav(Path("record001.wav"), 44100, 2, 16, 1);
    fs::create_hard_link(Path("record001.wav"), Path("alias.wav"));
    const std::string bytes = ReadFileBytes(Path("record001.wav"));
    Rescan();
    Select("record001.wav");
    questions.Names = {"alias"};
    operations.Rename();
    EXPECT_EQ(questions.Asked, std::vector<std::string>{"name: record001"});
    EXPECT_EQ(ReadFileBytes(Path("alias.wav")), bytes);
    EXPECT_EQ(library.CurrentFile, Path("alias.wav"));
}

struct MoveCase {
    const char* what;
    const char* target; // {F}: the output folder, {E}: another folder, {M}: another file system
    std::optional<bool> overwrite; // the answer, when the question is expected
    bool cancelled;
    bool moved;
    bool fails;
};

void PrintTo(const MoveCase& c, std::ostream* os) {
    *os << c.what;
}

class Move : public FileOperationsTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(Move, MovesCompleteFilesOrLeavesThemWhereTheyWere) {
    const MoveCase& c = GetParam();
    const std::string elsewhere = Path("elsewhere");
    // Memory is another file system than the build folder's disk.
    const std::string memory = "/dev/shm/sonvera_move_" + std::string(c.what);
    fs::remove_all(memory);
    fs::create_directories(memory);
    fs::create_directories(elsewhere);
    WriteRecordingWav(Path("record001.wav"), 44100, 2, 16, 1);
    WriteRecordingWav(Path("record002.wav"), 44100, 2, 16, 2);
    WriteRecordingWav(elsewhere + "/taken.wav", 44100, 2, 16, 3);
    fs::create_hard_link(Path("record002.wav"), elsewhere + "/link.wav");
    const timespec old[2] = {{1'600'000'000, 0}, {1'600'000'000, 0}};
    utimensat(AT_FDCWD, Path("record001.wav").c_str(), old, 0);
    const std::string source = Path("record001.wav");
    const std::string bytes = ReadFileBytes(source);
    std::string target = c.target;
    for (auto [mark, by] : {std::pair<std::string, std::string>{"{F}", folder},
                            {"{E}", elsewhere},
                            {"{M}", memory}}) {
        if (target.rfind(mark, 0) == 0) {
            target = by + target.substr(3);
        }
    }
    const bool existed = fs::exists(target);
    const std::string before = ReadFileBytes(target);
    Rescan();
    Select("record001.wav");
    questions.SavePaths = {c.cancelled ? std::nullopt : std::optional(target)};
    if (c.overwrite) {
        questions.YesNo = {*c.overwrite};
    }
    operations.Move();

    std::vector<std::string> asked = {"save: " + source};
    if (c.overwrite) {
        asked.push_back("yesno: " + target + " already exists.\nDo you want to overwrite it?");
    }
    if (c.fails) {
        ASSERT_EQ(questions.Asked.size(), 2u);
        EXPECT_EQ(questions.Asked[1].rfind(
                      "message: Could not move " + source + " to " + target + ":\n", 0),
                  0u)
            << questions.Asked[1];
        EXPECT_NE(questions.Asked[1].find(".\nThe file was left where it was."), std::string::npos);
        asked.push_back(questions.Asked[1]);
    }
    EXPECT_EQ(questions.Asked, asked);
    if (c.moved) {
        EXPECT_FALSE(fs::exists(source));
        EXPECT_EQ(ReadFileBytes(target), bytes);
        struct stat info {};
        ASSERT_EQ(stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mtim.tv_sec, 1'600'000'000) << "the recording keeps its date";
        EXPECT_EQ(library.CurrentFile, "");
        EXPECT_EQ(library.Grid.SelectedRow, -1);
        EXPECT_EQ(Rows(), std::vector<std::string>{"record002.wav 00:00:02"});
    } else {
        EXPECT_EQ(ReadFileBytes(source), bytes);
        EXPECT_EQ(library.CurrentFile, source);
        EXPECT_EQ(SelectedName(), "record001.wav");
        if (existed) {
            EXPECT_EQ(ReadFileBytes(target), before);
        }
    }
    if (c.moved || c.fails) {
        EXPECT_EQ(fs::current_path(), fs::path(folder)) << "the dialog's folder is undone";
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(memory), fs::directory_iterator()),
              c.moved && target.rfind(memory, 0) == 0 ? 1 : 0)
        << "no part file left";
    fs::remove_all(memory);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, Move,
    ::testing::Values(
        MoveCase{"ToAnotherFolder", "{E}/moved.wav", {}, false, true, false},
        MoveCase{"OntoAnExistingFileYes", "{E}/taken.wav", true, false, true, false},
        MoveCase{"OntoAnExistingFileNo", "{E}/taken.wav", false, false, false, false},
        MoveCase{"Cancelled", "{E}/moved.wav", {}, true, false, false},
        MoveCase{"OntoItself", "{F}/record001.wav", {}, false, false, false},
        MoveCase{"AcrossFileSystems", "{M}/moved.wav", {}, false, true, false},
        MoveCase{"IntoAMissingFolder", "{E}/nowhere/x.wav", {}, false, false, true},
        MoveCase{"IntoAMissingFolderElsewhere", "{M}/nowhere/x.wav", {}, false, false, true}),
    [](const auto& info) { return std::string(info.param.what); });

// A move copies on a thread of its own while the window's events run: meanwhile every other
// operation is refused and the menus offer none, and the move then ends as usual.
TEST_F(FileOperationsTest, WhileAMoveCopiesNothingElseTouchesTheFiles) {
    WriteRecordingWav(Path("record001.wav"), 44100, 2, 16, 1);
    WriteRecordingWav(Path("record002.wav"), 44100, 2, 16, 2);
    fs::create_directories(Path("elsewhere"));
    settings.RecentFolders[0] = Path("elsewhere");
    Rescan();
    Select("record001.wav");
    questions.SavePaths = {Path("elsewhere/moved.wav")};
    std::string menus;
    std::vector<std::string> askedMeanwhile;
    operations.Calls.RunAside = [&](const std::function<void()>& job) {
        menus = Enabled(operations.FileMenu()) + "| " + Enabled(operations.Popup());
        const std::size_t asked = questions.Asked.size();
        operations.Rename();
        operations.Delete();
        operations.ConvertToMp3();
        operations.Move();
        operations.ChooseOutputFolder();
        operations.ChooseRecentFolder(1);
        askedMeanwhile.assign(questions.Asked.begin() + asked, questions.Asked.end());
        job();
    };
    operations.Move();

    EXPECT_EQ(menus, "| play shown ");
    EXPECT_EQ(askedMeanwhile, std::vector<std::string>{});
    EXPECT_EQ(settings.OutputFolder, folder);
    EXPECT_TRUE(fs::exists(Path("elsewhere/moved.wav")));
    EXPECT_TRUE(fs::exists(Path("record002.wav")));
    EXPECT_EQ(Rows(), std::vector<std::string>{"record002.wav 00:00:02"});
}

TEST_F(FileOperationsTest, MoveOntoALinkToTheFileItselfAsksNothing) {
    WriteRecordingWav(Path("record001.wav"), 44100, 2, 16, 1);
    fs::create_hard_link(Path("record001.wav"), Path("alias.wav"));
    const std::string bytes = ReadFileBytes(Path("record001.wav"));
    Rescan();
    Select("record001.wav");
    questions.SavePaths = {Path("alias.wav")};
    operations.Move();
    EXPECT_EQ(questions.Asked, std::vector<std::string>{"save: " + Path("record001.wav")});
    EXPECT_EQ(ReadFileBytes(Path("alias.wav")), bytes);
}

// A name that is not UTF-8 is asked about as text with a stand-in for its odd byte; an answer
// that leaves that text as it was keeps the file's own bytes.
struct ByteNameCase {
    const char* what;
    bool rename;        // else move
    const char* answer; // {F}: the output folder, {E}: another folder
    const char* result; // the file's path afterwards, below the output folder
};

void PrintTo(const ByteNameCase& c, std::ostream* os) {
    *os << c.what;
}

class ByteName : public FileOperationsTest, public ::testing::WithParamInterface<ByteNameCase> {};

TEST_P(ByteName, AnUnchangedAnswerKeepsTheBytes) {
    const ByteNameCase& c = GetParam();
    fs::create_directories(Path("elsewhere"));
    WriteRecordingWav(Path("caf\xE9.wav"), 44100, 2, 16, 1);
    Rescan();
    Select("caf\xE9.wav");
    std::string answer = c.answer;
    for (auto [mark, by] :
         {std::pair<std::string, std::string>{"{F}", folder}, {"{E}", Path("elsewhere")}}) {
        if (answer.rfind(mark, 0) == 0) {
            answer = by + answer.substr(3);
        }
    }
    if (c.rename) {
        questions.Names = {answer};
        operations.Rename();
    } else {
        questions.SavePaths = {answer};
        operations.Move();
    }
    EXPECT_EQ(
        questions.Asked,
        std::vector<std::string>{c.rename ? "name: caf\uFFFD" : "save: " + Path("caf\uFFFD.wav")});
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().string());
        }
    }
    EXPECT_EQ(files, std::vector<std::string>{Path(c.result)});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ByteName,
    ::testing::Values(ByteNameCase{"RenameUnchanged", true, "caf\uFFFD", "caf\xE9.wav"},
                      ByteNameCase{"RenameToANewName", true, "tea", "tea.wav"},
                      ByteNameCase{"MoveUnchanged", false, "{F}/caf\uFFFD.wav", "caf\xE9.wav"},
                      ByteNameCase{"MoveElsewhereByTheSameName", false, "{E}/caf\uFFFD.wav",
                                   "elsewhere/caf\xE9.wav"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(FileOperationsTest, DeleteAsksByNameAndStopsAPlayback) {
    WriteRecordingWav(Path("record001.wav"), 44100, 2, 16, 1);
    WriteRecordingWav(Path("record002.wav"), 44100, 2, 16, 2);
    Rescan();
    Select("record001.wav");
    calls.clear();
    session.IsPlaying = true;
    questions.YesNo = {false, true};
    operations.Delete();
    EXPECT_TRUE(fs::exists(Path("record001.wav")));
    EXPECT_EQ(library.CurrentFile, Path("record001.wav"));
    EXPECT_TRUE(calls.empty());
    operations.Delete();
    const std::string question = "yesno: Are you sure you want to delete record001.wav?";
    EXPECT_EQ(questions.Asked, (std::vector<std::string>{question, question}));
    EXPECT_FALSE(fs::exists(Path("record001.wav")));
    EXPECT_EQ(calls, std::vector<std::string>{"stop player"});
    EXPECT_EQ(library.CurrentFile, "");
    EXPECT_EQ(library.Grid.SelectedRow, -1);
    EXPECT_EQ(Rows(), std::vector<std::string>{"record002.wav 00:00:02"});
    // With no current file, nothing is asked.
    operations.Delete();
    operations.Rename();
    operations.Move();
    EXPECT_EQ(questions.Asked.size(), 2u);
}

TEST_F(FileOperationsTest, TheLabelFileGoesWhereItsRecordingGoes) {
    WriteRecordingWav(Path("record001.wav"), 44100, 2, 16, 1);
    std::ofstream(Path("record001.txt")) << "1.000000\t1.000000\tMarker 1\n";
    std::ofstream(Path("talk.txt")) << "an old label file";
    fs::create_directories(Path("elsewhere"));
    Rescan();
    Select("record001.wav");
    questions.Names = {"talk"};
    questions.YesNo = {true};
    operations.Rename();
    EXPECT_FALSE(fs::exists(Path("record001.txt")));
    EXPECT_EQ(ReadFileBytes(Path("talk.txt")), "1.000000\t1.000000\tMarker 1\n");

    questions.SavePaths = {Path("elsewhere/moved.wav")};
    operations.Move();
    EXPECT_FALSE(fs::exists(Path("talk.txt")));
    EXPECT_TRUE(fs::exists(Path("elsewhere/moved.txt")));

    WriteRecordingWav(Path("record002.wav"), 44100, 2, 16, 1);
    std::ofstream(Path("record002.txt")) << "labels";
    Rescan();
    Select("record002.wav");
    questions.YesNo = {true};
    operations.Delete();
    EXPECT_FALSE(fs::exists(Path("record002.txt")));
    EXPECT_EQ(library.CurrentFile, "");
}

TEST_F(FileOperationsTest, ConvertAsksBeforeOverwritingAndKeepsTheWavCurrent) {
    WriteRecordingWav(Path("take.WAV"), 44100, 2, 16, 1);
    std::ofstream(Path("take.mp3")) << std::string(1000, 'm');
    WriteRecordingWav(Path("low.wav"), 22050, 2, 16, 1);
    Rescan();
    Select("take.WAV");
    calls.clear();
    questions.YesNo = {false, true};
    operations.ConvertToMp3();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(fs::file_size(Path("take.mp3")), 1000u);
    operations.ConvertToMp3();
    const std::string question =
        "yesno: " + Path("take.mp3") + " already exists.\nDo you want to overwrite it?";
    EXPECT_EQ(questions.Asked, (std::vector<std::string>{question, question}));
    // The old MP3 stays until the converter has a complete new one to put in its place.
    EXPECT_EQ(calls, std::vector<std::string>{"convert " + Path("take.WAV") + " -> " +
                                              Path("take.mp3") + " (target still there)"});
    EXPECT_EQ(library.CurrentFile, Path("take.WAV"));
    EXPECT_EQ(SelectedName(), "take.WAV");

    // A WAV file the converter cannot take is left alone.
    Select("low.wav");
    calls.clear();
    operations.ConvertToMp3();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(questions.Asked.size(), 2u);
}

// A rescan reads only files that are new or changed: one rewritten with the same size and time
// keeps the duration learned before, a rename keeps it too, a new time makes it read again.
TEST_F(FileOperationsTest, RescansProbeOnlyChangedFilesAndRenamesKeepTheDuration) {
    const std::string path = Path("record001.wav");
    WriteRecordingWav(path, 44100, 2, 16, 2);
    const timespec fixed[2] = {{1'650'000'000, 0}, {1'650'000'000, 0}};
    utimensat(AT_FDCWD, path.c_str(), fixed, 0);
    Rescan();
    ASSERT_EQ(Rows(), std::vector<std::string>{"record001.wav 00:00:02"});

    // Same bytes count at half the rate: four seconds, but size and time unchanged.
    WriteRecordingWav(path, 22050, 2, 16, 4);
    utimensat(AT_FDCWD, path.c_str(), fixed, 0);
    Rescan();
    EXPECT_EQ(Rows(), std::vector<std::string>{"record001.wav 00:00:02"});

    Select("record001.wav");
    questions.Names = {"renamed"};
    operations.Rename();
    EXPECT_EQ(Rows(), std::vector<std::string>{"renamed.wav 00:00:02"});

    const timespec later[2] = {{1'650'000'010, 0}, {1'650'000'010, 0}};
    utimensat(AT_FDCWD, Path("renamed.wav").c_str(), later, 0);
    Rescan();
    EXPECT_EQ(Rows(), std::vector<std::string>{"renamed.wav 00:00:04"});
}

// F5 is global: a recording may start while an operation's question is open. From then on
// the operation does nothing more: no file changes, no rescan, the recording stays current.
struct RecordingStartsCase {
    const char* what;
    void (FileOperations::*operation)();
    std::size_t startsInQuestion; // 0 the first question asked
    std::deque<bool> yesNo;
    std::deque<std::optional<std::string>> names;
    std::deque<std::optional<std::string>> savePaths; // relative to the folder
    std::deque<std::optional<std::string>> folders;   // relative to the folder
};

void PrintTo(const RecordingStartsCase& c, std::ostream* os) {
    *os << c.what;
}

class RecordingStarts : public FileOperationsTest,
                        public ::testing::WithParamInterface<RecordingStartsCase> {
protected:
    // Every file below the folder with its size.
    std::vector<std::string> Files() const {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path().string().substr(folder.size()) + " " +
                                std::to_string(entry.file_size()));
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }
};

TEST_P(RecordingStarts, WhileAQuestionIsOpenTheOperationDoesNothingMore) {
    const RecordingStartsCase& c = GetParam();
    WriteRecordingWav(Path("take.wav"), 44100, 2, 16, 1);
    WriteRecordingWav(Path("other.wav"), 44100, 2, 16, 2);
    std::ofstream(Path("take.mp3")) << std::string(1000, 'm');
    fs::create_directories(Path("sub"));
    Rescan();
    Select("take.wav");
    const std::vector<std::string> rows = Rows();
    const std::string recording = Path("record001.wav");
    questions.YesNo = c.yesNo;
    questions.Names = c.names;
    for (const auto& path : c.savePaths) {
        questions.SavePaths.push_back(Path(*path));
    }
    for (const auto& path : c.folders) {
        questions.Folders.push_back(Path(*path));
    }
    std::ofstream(recording) << "RIFF";
    questions.WhileOpen = [&] {
        if (questions.Asked.size() == c.startsInQuestion + 1) {
            session.IsRecording = true;
            library.CurrentFile = recording;
        }
    };
    const std::vector<std::string> files = Files();
    calls.clear();

    (operations.*c.operation)();
    session.IsRecording = false; // so the rows are read as they are

    ASSERT_EQ(questions.Asked.size(), c.startsInQuestion + 1) << "nothing asked after";
    EXPECT_EQ(Files(), files);
    EXPECT_EQ(Rows(), rows) << "no rescan";
    EXPECT_EQ(library.CurrentFile, recording);
    EXPECT_EQ(settings.OutputFolder, folder);
    EXPECT_EQ(calls, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Questions, RecordingStarts,
    ::testing::Values(
        RecordingStartsCase{"RenameBox", &FileOperations::Rename, 0, {}, {"renamed"}, {}, {}},
        RecordingStartsCase{"RenameReplace", &FileOperations::Rename, 1, {true}, {"other"}, {}, {}},
        RecordingStartsCase{"DeleteConfirm", &FileOperations::Delete, 0, {true}, {}, {}, {}},
        RecordingStartsCase{
            "ConvertOverwrite", &FileOperations::ConvertToMp3, 0, {true}, {}, {}, {}},
        RecordingStartsCase{"MoveDialog", &FileOperations::Move, 0, {}, {}, {"sub/take.wav"}, {}},
        RecordingStartsCase{
            "MoveOverwrite", &FileOperations::Move, 1, {true}, {}, {"other.wav"}, {}},
        RecordingStartsCase{
            "FolderBrowser", &FileOperations::ChooseOutputFolder, 0, {}, {}, {}, {"sub"}}),
    [](const auto& info) { return std::string(info.param.what); });

} // namespace
