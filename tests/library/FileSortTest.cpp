#include "library/FileSort.h"

#include "platform/Locale.h"

#include <gtest/gtest.h>
#include <random>

namespace {

ListEntry Entry(const std::string& name, const std::string& duration = "00:00:01",
                std::uint64_t sizeKB = 1, std::int64_t timeStamp = 2) {
    ListEntry entry;
    entry.path = "/music/" + name;
    entry.name = name;
    entry.durationText = duration;
    entry.sizeKB = sizeKB;
    entry.sizeText = std::to_string(sizeKB);
    entry.timeStamp = timeStamp;
    entry.dateTimeText = "date " + std::to_string(timeStamp);
    return entry;
}

// The names in the grid's rows, top to bottom.
std::vector<std::string> RowNames(const LibraryState& state) {
    std::vector<std::string> names;
    for (int row = 1; row < state.Grid.RowCount; ++row) {
        names.push_back(state.Grid.Cells[row][0].substr(8));
    }
    return names;
}

using Names = std::vector<std::string>;

struct OrderCase {
    const char* what;
    std::vector<ListEntry> entries; // in scan order
    int sortOrder;
    Names rows;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << c.what;
}

class SortOrders : public ::testing::TestWithParam<OrderCase> {};

TEST_P(SortOrders, FillTheRowsInTheOrderAndTieRuleOfTheColumn) {
    LibraryState state;
    state.Entries = GetParam().entries;
    SortFileList(GetParam().sortOrder, "", state);
    EXPECT_EQ(RowNames(state), GetParam().rows);
}

const std::vector<ListEntry> Letters = {Entry("b.wav"), Entry("A.mp3"), Entry("c.ogg")};
const std::vector<ListEntry> Folding = {Entry("_x.wav"), Entry("Z.wav"), Entry("record10.wav"),
                                        Entry("z.mp3"), Entry("record1.wav")};
const std::vector<ListEntry> Sizes = {Entry("a", "", 10), Entry("b", "", 9), Entry("c", "", 1024),
                                      Entry("d", "", 999)};
const std::vector<ListEntry> Durations = {Entry("A", "00:01:00"), Entry("B", "00:01:00"),
                                          Entry("C", "01:00:00"), Entry("D", "00:00:59")};
const std::vector<ListEntry> Dates = {
    Entry("new", "", 1, 1'800'000'000), Entry("old", "", 1, 1'000'000'000),
    Entry("mid", "", 1, 1'500'000'000), Entry("mid2", "", 1, 1'500'000'000)};
// Names that fold to the same text are equal keys too.
const std::vector<ListEntry> FoldedTies = {Entry("ab.wav"), Entry("AB.wav"), Entry("Ab.wav")};

INSTANTIATE_TEST_SUITE_P(
    AllEight, SortOrders,
    ::testing::Values(
        OrderCase{"NameAscending", Letters, 1, {"A.mp3", "b.wav", "c.ogg"}},
        OrderCase{"NameDescending", Letters, 2, {"c.ogg", "b.wav", "A.mp3"}},
        OrderCase{"OnlyAToZFold",
                  Folding,
                  1,
                  {"record1.wav", "record10.wav", "z.mp3", "Z.wav", "_x.wav"}},
        OrderCase{"FoldedTiesDescending", FoldedTies, 2, {"ab.wav", "AB.wav", "Ab.wav"}},
        OrderCase{"FoldedTiesAscending", FoldedTies, 1, {"Ab.wav", "AB.wav", "ab.wav"}},
        OrderCase{"DurationAscendingTiesReversed", Durations, 3, {"D", "B", "A", "C"}},
        OrderCase{"DurationDescendingTiesInScanOrder", Durations, 4, {"C", "A", "B", "D"}},
        OrderCase{"SizeAsNumberAscending", Sizes, 5, {"b", "a", "d", "c"}},
        OrderCase{"SizeAsNumberDescending", Sizes, 6, {"c", "d", "a", "b"}},
        OrderCase{"OldestFirst", Dates, 7, {"old", "mid2", "mid", "new"}},
        OrderCase{"NewestFirst", Dates, 8, {"new", "mid", "mid2", "old"}},
        OrderCase{"OutOfRangeSortsByName", Letters, 9, {"A.mp3", "b.wav", "c.ogg"}},
        OrderCase{"ZeroSortsByName", Letters, 0, {"A.mp3", "b.wav", "c.ogg"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(FileSort, CellsCarryTheirLeadingSpacesAndGroupedSizes) {
    LibraryState state;
    state.Entries = {Entry("record001.wav", "00:03:07", 1234567, 4)};
    SortFileList(1, "", state);
    const std::string sep = platform::ThousandsSeparator();
    const GridRow expected = {"        record001.wav", "      00:03:07",
                              "      1" + sep + "234" + sep + "567", "      date 4"};
    EXPECT_EQ(state.Grid.Cells[1], expected);
    EXPECT_EQ(state.Grid.RowPaths[1], "/music/record001.wav");
}

TEST(FileSort, GroupThousandsFromTheRight) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"7", "7"},
        {"999", "999"},
        {"1024", "1,024"},
        {"1234567", "1,234,567"},
        {"1234567890", "1,234,567,890"},
        // Only the first three groups are marked.
        {"1234567890123", "1234,567,890,123"},
    };
    for (const auto& [text, grouped] : cases) {
        EXPECT_EQ(GroupThousands(text, ","), grouped) << text;
    }
    EXPECT_EQ(GroupThousands("1234567", "\u00a0"), "1\u00a0234\u00a0567");
}

TEST(FileSort, FoldedComparison) {
    EXPECT_GT(CompareFolded("_x.wav", "Z.wav"), 0);
    EXPECT_GT(CompareFolded("_x.wav", "z.wav"), 0);
    EXPECT_LT(CompareFolded("record1.wav", "record10.wav"), 0);
    EXPECT_LT(CompareFolded("rec", "record"), 0);
    EXPECT_EQ(CompareFolded("Record.WAV", "record.wav"), 0);
    // Only a-z fold: bytes above ASCII count by their code.
    EXPECT_GT(CompareFolded("\xc3\xa9", "Z"), 0);
}

TEST(FileSort, SelectsTheCurrentFilesRowWhereverTheOrderPutsIt) {
    LibraryState state;
    state.Entries = Letters;
    for (int order : {1, 2}) {
        SortFileList(order, "/music/b.wav", state);
        EXPECT_EQ(state.Grid.SelectedRow, 2);
        SortFileList(order, "/music/c.ogg", state);
        EXPECT_EQ(state.Grid.SelectedRow, order == 1 ? 3 : 1);
        SortFileList(order, "", state);
        EXPECT_EQ(state.Grid.SelectedRow, -1);
    }
}

TEST(FileSort, EmptyListKeepsOneEmptyRow) {
    LibraryState state;
    state.Grid.Cells[1][0] = "old";
    SortFileList(1, "", state);
    EXPECT_EQ(state.Grid.RowCount, 2);
    EXPECT_EQ(state.Grid.Cells[1], GridRow{});
    EXPECT_EQ(state.Grid.SelectedRow, -1);
}

TEST(FileSort, HeaderClick) {
    struct Case {
        int sortOrder, row, left, column, right;
        std::optional<int> result;
    };
    const std::vector<Case> cases = {
        {1, 0, 2, 2, 2, 5}, // another column starts ascending
        {5, 0, 2, 2, 2, 6}, // the same column switches
        {6, 0, 2, 2, 2, 5},
        {8, 0, 0, 0, 0, 1},
        {7, 0, 3, 3, 3, 8},
        {1, 0, 1, 2, 2, std::nullopt},    // within 5 pixels of the left border
        {1, 0, 2, 2, 3, std::nullopt},    // within 5 pixels of the right border
        {1, 3, 2, 2, 2, std::nullopt},    // a data row
        {1, 0, -1, -1, -1, std::nullopt}, // beyond the last column
        {9, 0, 1, 1, 1, 3},               // an edited order gets a valid one
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SortOrderAfterHeaderClick(c.sortOrder, c.row, c.left, c.column, c.right),
                  c.result)
            << c.sortOrder << " row " << c.row << " columns " << c.left << c.column << c.right;
    }
}

// The selection sort the rows were first defined by: N passes, each taking the first
// strictly greatest key not yet taken; row k (descending) or N + 1 - k (ascending).
std::vector<std::string> ReferenceRowPaths(const std::vector<ListEntry>& entries, int order) {
    const std::size_t n = entries.size();
    std::vector<bool> taken(n, false);
    std::vector<std::string> rows(n + 1);
    for (std::size_t k = 1; k <= n; ++k) {
        std::string bestText;
        std::int64_t bestNumber = order <= 6 ? -1 : 0;
        std::size_t best = n;
        for (std::size_t i = 0; i < n; ++i) {
            if (taken[i]) {
                continue;
            }
            const ListEntry& e = entries[i];
            bool greater = false;
            switch (order) {
            case 1:
            case 2:
                greater = CompareFolded(e.name, bestText) > 0;
                if (greater) {
                    bestText = e.name;
                }
                break;
            case 3:
            case 4:
                greater = CompareFolded(e.durationText, bestText) > 0;
                if (greater) {
                    bestText = e.durationText;
                }
                break;
            case 5:
            case 6:
                greater = static_cast<std::int64_t>(e.sizeKB) > bestNumber;
                if (greater) {
                    bestNumber = static_cast<std::int64_t>(e.sizeKB);
                }
                break;
            default:
                greater = e.timeStamp > bestNumber;
                if (greater) {
                    bestNumber = e.timeStamp;
                }
            }
            if (greater) {
                best = i;
            }
        }
        taken[best] = true;
        rows[order % 2 == 0 ? k : n + 1 - k] = entries[best].path;
    }
    return rows;
}

TEST(FileSort, SameRowsAsTheSelectionSortOnRandomFolders) {
    std::mt19937 random(20261207);
    auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
    const std::string letters = "aAbB_.1z";
    for (int folder = 0; folder < 300; ++folder) {
        std::vector<ListEntry> entries(pick(40));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            ListEntry& e = entries[i];
            // Few choices for every key, so equal keys are common.
            for (int c = 0, length = 1 + pick(3); c < length; ++c) {
                e.name += letters[pick(letters.size())];
            }
            e.path = "/music/" + std::to_string(i);
            e.durationText = "00:0" + std::to_string(pick(3)) + ":0" + std::to_string(pick(2));
            e.sizeKB = pick(5);
            e.sizeText = std::to_string(e.sizeKB);
            e.timeStamp = 2 * (1 + pick(4));
        }
        LibraryState state;
        state.Entries = entries;
        for (int order = 1; order <= 8; ++order) {
            SortFileList(order, "", state);
            std::vector<std::string> rows = state.Grid.RowPaths;
            rows.resize(entries.size() + 1);
            ASSERT_EQ(rows, ReferenceRowPaths(entries, order))
                << "folder " << folder << " order " << order;
        }
    }
}

} // namespace
