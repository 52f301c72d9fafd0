// The file label beside the folder picture names a row's file as soon as the row is selected,
// not only at the next status tick.

#include "MainWindowFixture.h"
#include "ScriptedQuestions.h"
#include "ui/main/FileGrid.h"
#include "ui/main/FileListHandlers.h"

#include <algorithm>

namespace {

class FileLabelTest : public SkinnedMainWindowTest {};

TEST_F(FileLabelTest, NamesTheSelectedFileAtOnce) {
    WriteRecordingWav(output + "/a.wav", 44100, 2, 16, 1);
    WriteRecordingWav(output + "/b.wav", 44100, 2, 16, 1);
    form->FileList()->RescanAndSort();
    for (const char* name : {"a.wav", "b.wav"}) {
        const std::vector<std::string>& rows = form->Core().Library.Grid.RowPaths;
        const auto row = std::find(rows.begin(), rows.end(), output + "/" + name) - rows.begin();
        form->SGridFiles->SelectRow(static_cast<int>(row));
        EXPECT_EQ(form->LabFile->text().toStdString(), output + "/" + name);
    }
}

} // namespace
