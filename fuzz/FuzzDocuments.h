#pragma once
// A Documents folder of the fuzz process's own, removed when the process
// ends: what a target reads or writes there (settings, token and account
// files, the database) never touches the customer's. In memory (/dev/shm)
// where there is one, so that a file flushed to disk costs no disk.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/foundation/Paths.h"

inline const std::string& fuzzDocuments() {
    struct Documents {
        std::filesystem::path dir =
            (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                       : std::filesystem::temp_directory_path()) /
            ("rd-fuzz-" + std::to_string(::getpid()));
        Documents() {
            std::filesystem::create_directories(dir);
            setDocumentsDirectory(dir.string());
        }
        ~Documents() {
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        }
        std::string path = dir.string();
    };
    static Documents documents;
    return documents.path;
}
