#pragma once
// Shared pieces of every test program: a temporary folder that removes itself,
// a fresh Documents folder per test, the phone's zone for a while, and the
// bound of a wait.
#include <functional>
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

// Tests wait on events (a reply, a post to the main loop) and on virtual time,
// never on the wall clock: a wait ends as soon as its condition holds. This
// real-time bound only ends a test that hangs (an answer that never comes); a
// slow or loaded machine does not come near it.
inline constexpr double kHangSeconds = 120;

// For a condition that another thread makes true without telling the main
// loop (the simulator's own state, threads of the test): looks again every
// millisecond until it holds; false only after kHangSeconds.
bool pollUntil(const std::function<bool()>& done);

// The source tree, for test data committed beside the tests.
std::string sourcePath(const std::string& relative);
