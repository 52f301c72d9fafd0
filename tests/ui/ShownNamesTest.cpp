// Names of files and folders in the windows: shown as the text they are, never as markup or an
// access key, never loading a file they happen to name; a name that is not UTF-8 survives an
// unchanged answer, and a hidden name is refused.

#include "MainWindowFixture.h"
#include "NextDialog.h"
#include "ScriptedQuestions.h"
#include "ui/common/PlainText.h"
#include "ui/main/FileGrid.h"
#include "ui/main/FileListHandlers.h"
#include "ui/main/Images.h"

#include <QAction>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QTest>
#include <QTextDocument>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A FIFO that counts the times anything opened it. Nothing may: a window reading one waits for
// a writer that never comes. Here one always comes, and leaves at once, so a reader sees the
// end and the test goes on.
class FifoWatch {
public:
    explicit FifoWatch(std::string path) : path_(std::move(path)) {
        mkfifo(path_.c_str(), 0600);
        writer_ = std::thread([this] {
            while (!releasing_) {
                const int fd = open(path_.c_str(), O_WRONLY); // returns once a reader opened it
                if (!releasing_)
                    ++opened_;
                if (fd >= 0)
                    close(fd);
            }
        });
    }
    ~FifoWatch() { Opened(); }

    int Opened() {
        if (writer_.joinable()) {
            releasing_ = true;
            const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
            writer_.join();
            if (fd >= 0)
                close(fd);
        }
        return opened_;
    }

private:
    std::string path_;
    std::atomic<bool> releasing_{false};
    std::atomic<int> opened_{0};
    std::thread writer_;
};

class ShownNamesTest : public ::testing::Test {
protected:
    std::string folder = test_paths::FreshDir(
        std::string("shown_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    RecordingSettings settings;
    LibraryState library;
    SessionState session;
    QWidget window;
    FileGridView* grid = new FileGridView(&window, library, settings.Sort, {});
    std::unique_ptr<FileListHandlers> handlers;

    // The output folder holds one recording, `name`, which becomes the current file.
    void Start(const std::string& name) {
        settings.OutputFolder = folder;
        fs::current_path(folder); // where a relative name leads, as in the program
        WriteRecordingWav(folder + "/" + name, 44100, 2, 16, 1);
        grid->setGeometry(14, 263, 519, 253);
        handlers = std::make_unique<FileListHandlers>(*grid, library, settings, session,
                                                      FileListCalls{}, &window);
        window.show();
        handlers->RescanAndSort();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(0, 1).center());
        ASSERT_EQ(library.CurrentFile, folder + "/" + name);
    }
};

TEST_F(ShownNamesTest, AQuestionShowsTheNameAsPlainTextAndLoadsNothingItNames) {
    FifoWatch fifo(folder + "/p");
    const std::string name = "<b>a<img src=p>.wav";
    Start(name);
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    AnswerNextDialog([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        format = box->findChild<QLabel*>("qt_msgbox_label")->textFormat();
        box->button(QMessageBox::No)->click();
    });
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(text.toStdString(), "Are you sure you want to delete " + name + "?");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(fifo.Opened(), 0) << "times the picture the name names was read";
    EXPECT_TRUE(fs::exists(folder + "/" + name));
}

struct RenameAnswer {
    const char* what;
    const char* answer; // null: the text as shown
    bool refused;       // a message says why
};

void PrintTo(const RenameAnswer& c, std::ostream* os) {
    *os << c.what;
}

class RenameBox : public ShownNamesTest, public ::testing::WithParamInterface<RenameAnswer> {};

TEST_P(RenameBox, LeavesTheFileAsItIs) {
    const std::string name = "caf\xE9.wav";
    Start(name);
    QString shown, message;
    AnswerNextDialog([&](QWidget* modal) {
        auto* box = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(box, nullptr);
        shown = box->textValue();
        if (GetParam().answer)
            box->setTextValue(GetParam().answer);
        AnswerNextDialog(
            [&](QWidget* next) {
                auto* refusal = qobject_cast<QMessageBox*>(next);
                ASSERT_NE(refusal, nullptr);
                message = refusal->text();
                refusal->button(QMessageBox::Ok)->click();
            },
            &window); // no refusal comes for an answer taken
        box->accept();
    });
    handlers->pmenuRenameClick();
    EXPECT_EQ(shown, QString("caf\uFFFD"));
    EXPECT_EQ(!message.isEmpty(), GetParam().refused) << message.toStdString();
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.push_back(entry.path().filename().string());
    EXPECT_EQ(files, std::vector<std::string>{name});
    EXPECT_EQ(library.CurrentFile, folder + "/" + name);
}

INSTANTIATE_TEST_SUITE_P(Answers, RenameBox,
                         ::testing::Values(RenameAnswer{"Unchanged", nullptr, false},
                                           RenameAnswer{"Hidden", ".caf", true}),
                         [](const auto& info) { return std::string(info.param.what); });

// A hint shows its text as it is, also text that reads as markup.
TEST(PlainHint, ShowsTheTextAsItIs) {
    for (const char* text : {"Audio source: <b>Mic</b>", "<img src=p>", "A & B  <i>", "x\ny",
                             "Audio source: Mic &amp; Line"}) {
        const QString hint = PlainHint(text);
        // What a tooltip shows of it.
        QTextDocument shown;
        if (Qt::mightBeRichText(hint))
            shown.setHtml(hint);
        else
            shown.setPlainText(hint);
        EXPECT_EQ(shown.toPlainText().replace(QChar::Nbsp, ' ').toStdString(), text);
    }
}

// With the skins, as the file list comes with them.
class ShownNamesWindowTest : public SkinnedMainWindowTest {
protected:
    std::string recent = folder + "/Tom & Jerry";
    std::string ExtraSettings() override { return "[Recent Folders]\nFolder1=" + recent + "\n"; }
};

TEST_F(ShownNamesWindowTest, TheFileLabelAndTheRecentFoldersShowTheNamesAsTheyAre) {
    fs::create_directories(recent);
    FifoWatch fifo(output + "/p");
    form->Core().Library.CurrentFile = output + "/<b>a<img src=p>.wav";
    form->UpdateStatus();
    EXPECT_EQ(form->LabFile->text().toStdString(), form->Core().Library.CurrentFile);
    EXPECT_EQ(form->LabFile->textFormat(), Qt::PlainText);
    EXPECT_EQ(fifo.Opened(), 0) << "times the picture the name names was read";

    form->menuFileClick();
    QAction* first = form->menuFolders[0];
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->iconText().toStdString(), "1. " + recent) << "as the menu shows it";
    EXPECT_TRUE(QKeySequence::mnemonic(first->text()).isEmpty()) << "no access key from a name";
}

} // namespace
