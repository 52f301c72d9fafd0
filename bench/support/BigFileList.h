#pragma once
// A file list like a big folder's: 10,000 entries with long common name prefixes and many
// equal keys, the same every run.

#include "library/Files.h"

#include <random>
#include <string>

inline LibraryState BigFileList() {
    std::mt19937 random(7);
    LibraryState library;
    for (int i = 0; i < 10000; ++i) {
        ListEntry entry;
        entry.name = "record" + std::to_string(random() % 100000) + ".wav";
        entry.path = "/home/user/Music/" + entry.name;
        entry.sizeKB = random() % 20000;
        entry.sizeText = std::to_string(entry.sizeKB);
        entry.durationText =
            "00:0" + std::to_string(random() % 10) + ":" + std::to_string(10 + random() % 50);
        entry.timeStamp = 1'700'000'000 + 2 * (random() % 100000);
        entry.dateTimeText = "07/12/2026  12:34:56   ";
        library.Entries.push_back(entry);
    }
    return library;
}
