#pragma once
// Lists the output folder on threads of its own, so a folder on a stalled mount (a stat or a
// readdir that hangs for minutes) never holds the window: the window thread asks for a listing
// and polls for it. Only the newest request's listing is handed back.

#include "library/FolderScan.h"
#include "platform/FileSystem.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct FolderFiles {
    std::string folder;
    std::vector<platform::DirEntry> files;
};

class FolderListing {
public:
    using Lister = std::function<std::vector<platform::DirEntry>(
        const std::string& folder, const std::vector<std::string>& heldFiles)>;
    // `list` is ListOutputFolder but in tests.
    explicit FolderListing(Lister list = ListOutputFolder);
    // A thread still inside the folder after a moment is left behind, not waited for, so a
    // stalled mount cannot keep the program from ending.
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // Lists `folder` as ListOutputFolder does. While a listing of the same folder is under way,
    // that one lists the folder again once it is through, rather than a second thread waiting
    // on the same stalled mount; another folder gets a thread of its own.
    void Request(const std::string& folder, std::vector<std::string> heldFiles);
    // The newest request's listing, once, when it is in.
    std::optional<FolderFiles> Take();

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};
