#include "platform/foundation/Paths.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/foundation/FileIO.h"

namespace fs = std::filesystem;

namespace {

std::mutex gMutex;
std::string gDocuments;
bool gDocumentsReady = false;
std::string gBundle;

std::string defaultDocuments() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/roduvede";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/roduvede";
    return (fs::temp_directory_path() / "roduvede").string();
}

std::string defaultBundle() {
    if (const char* env = std::getenv("RD_BUNDLE_DIR"); env && *env) return env;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "bundle";
    return (exe.parent_path().parent_path() / "bundle").string();
}

std::string join(const std::string& dir, const std::string& name) { return (fs::path(dir) / name).string(); }

}  // namespace

std::string documentsDirectory() {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gDocuments.empty()) gDocuments = defaultDocuments();
    if (!gDocumentsReady) {
        // The customer's files: the owner's only, also a folder an older
        // version made readable to others.
        gDocumentsReady = createPrivateDirectories(gDocuments) && ::chmod(gDocuments.c_str(), 0700) == 0;
    }
    return gDocuments;
}

void setDocumentsDirectory(const std::string& dir) {
    std::lock_guard<std::mutex> lock(gMutex);
    gDocuments = dir;
    gDocumentsReady = false;
}

std::string bundleDirectory() {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gBundle.empty()) gBundle = defaultBundle();
    return gBundle;
}

void setBundleDirectory(const std::string& dir) {
    std::lock_guard<std::mutex> lock(gMutex);
    gBundle = dir;
}

std::string documentsPath(const std::string& name) { return join(documentsDirectory(), name); }

std::string bundlePath(const std::string& name) { return join(bundleDirectory(), name); }
