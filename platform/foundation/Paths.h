#pragma once
// Where the application keeps its files: the Documents folder (settings file,
// database, caches: everything the customer's data lives in) and the
// read-only application bundle (seed database, key file, images, templates).
#include <string>

// The Documents folder; created on first use, the owner's only (0700). Default: $XDG_DATA_HOME/roduvede
// (or ~/.local/share/roduvede).
std::string documentsDirectory();
void setDocumentsDirectory(const std::string& dir);

// The bundle folder. Default: $RD_BUNDLE_DIR, else "bundle" beside the
// program's own folder (build/bin/../bundle).
std::string bundleDirectory();
void setBundleDirectory(const std::string& dir);

// A file name joined to those folders.
std::string documentsPath(const std::string& name);
std::string bundlePath(const std::string& name);
