#pragma once
// Work off the main thread (disk entries of the quote cache, the network
// queues); completions come back with RunLoop::main().post.
//
// Worker threads are started as operations need them, at most maxConcurrent
// at once, and kept until the queue goes away. Each operation added counts as
// background work of the main loop (RunLoop::beginBackgroundWork) until it has
// run or been cancelled, so a test running the loop in virtual time waits for
// it before moving the clock on.
//
// The destructor lets the operations already added run to the end (pending
// ones too: a write of the cache is not lost), then joins its threads. When the
// last owner lets go of the queue from inside one of its own operations, that
// thread is detached instead of joined, and finishes on the queue's shared state.
#include <cstddef>
#include <functional>
#include <memory>

class NSOperationQueue {
public:
    explicit NSOperationQueue(int maxConcurrent = 1);
    ~NSOperationQueue();
    NSOperationQueue(const NSOperationQueue&) = delete;
    NSOperationQueue& operator=(const NSOperationQueue&) = delete;

    void addOperation(std::function<void()> op);
    void cancelAllOperations();  // drops operations not yet started
    // Blocks until every operation added has run or been dropped. From inside one
    // of the queue's own operations it returns at once (waiting would never end).
    void waitUntilAllOperationsAreFinished();
    size_t operationCount() const;  // waiting plus running

    int maxConcurrentOperationCount() const;
    void setMaxConcurrentOperationCount(int n);  // at least 1
    // Whether operations count as background work of the main loop (default yes).
    // A queue whose operations run for the whole life of the program turns it off.
    void setTracksMainLoopWork(bool on);

    struct State;

private:
    std::shared_ptr<State> state_;
};
