#pragma once
// Shared pieces of every test program: a temporary folder that removes itself,
// a fresh Documents folder per test, and the phone's zone for a while.
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// Points the Documents folder at a new empty temporary folder for the life of
// the object, and back to the previous one afterwards.
class ScopedDocuments {
public:
    ScopedDocuments();
    ~ScopedDocuments();
    const std::string& path() const { return dir_.path(); }

private:
    TempDir dir_;
    std::string previous_;
};

// Sets the phone's zone (TZ, e.g. "Pacific/Auckland") for the life of the
// object; the test programs' own zone, New York, afterwards.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;
};

// The source tree, for test data committed beside the tests.
std::string sourcePath(const std::string& relative);
