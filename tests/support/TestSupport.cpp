#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/foundation/Paths.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "rdtest-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    path_ = made ? made : pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return (fs::path(path_) / name).string(); }

ScopedDocuments::ScopedDocuments() : previous_(documentsDirectory()) { setDocumentsDirectory(dir_.path()); }

ScopedDocuments::~ScopedDocuments() { setDocumentsDirectory(previous_); }

std::string sourcePath(const std::string& relative) {
    // ctest sets RD_SOURCE_DIR; a test program run by hand falls back to the
    // source folder it was built from.
    const char* root = std::getenv("RD_SOURCE_DIR");
#ifdef RD_SOURCE_DIR
    if (!root) root = RD_SOURCE_DIR;
#endif
    return (fs::path(root ? root : ".") / relative).string();
}

namespace {
// Tests run in one zone whatever the machine's, and not the exchanges' own
// (China Standard Time, core/MarketTime.h): code that judged trading hours
// by the machine's zone fails them. New York also has daylight saving.
constexpr const char* kTestZone = "America/New_York";

void setZone(const std::string& zone) {
    setenv("TZ", zone.c_str(), 1);
    tzset();
}
}  // namespace

ScopedTimeZone::ScopedTimeZone(const std::string& zone) { setZone(zone); }

ScopedTimeZone::~ScopedTimeZone() { setZone(kTestZone); }

int main(int argc, char** argv) {
    setZone(kTestZone);
    // No test touches the real Documents folder: each program starts in a fresh one.
    static TempDir documents;
    setDocumentsDirectory(documents.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

bool pollUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kHangSeconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
