#pragma once
// Shared pieces of every test program: a temporary folder that removes itself,
// and a fresh Documents folder per test.
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

// The source tree, for test data committed beside the tests.
std::string sourcePath(const std::string& relative);
