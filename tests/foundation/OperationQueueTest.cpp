#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/foundation/NSOperationQueue.h"
#include "tests/foundation/FoundationTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

// A gate the operations wait at until the test opens it.
class Gate {
public:
    void open() {
        std::lock_guard<std::mutex> lock(m_);
        open_ = true;
        cv_.notify_all();
    }
    void pass() {
        std::unique_lock<std::mutex> lock(m_);
        cv_.wait(lock, [&] { return open_; });
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false;
};

// Counts operations inside at once; lets the test wait until a number is reached.
class Occupancy {
public:
    void enter() {
        std::lock_guard<std::mutex> lock(m_);
        ++now_;
        peak_ = std::max(peak_, now_);
        cv_.notify_all();
    }
    void leave() {
        std::lock_guard<std::mutex> lock(m_);
        --now_;
    }
    bool waitFor(int n) {
        std::unique_lock<std::mutex> lock(m_);
        return cv_.wait_for(lock, std::chrono::duration<double>(kHangSeconds), [&] { return now_ >= n; });
    }
    int peak() {
        std::lock_guard<std::mutex> lock(m_);
        return peak_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    int now_ = 0, peak_ = 0;
};

}  // namespace

using OperationQueue = VirtualTimeTest;

TEST_F(OperationQueue, NeverRunsMoreThanItsLimitAtOnce) {
    Gate gate;
    Occupancy occupancy;
    std::atomic<int> finished{0};
    {
        NSOperationQueue queue(2);
        for (int i = 0; i < 6; ++i)
            queue.addOperation([&] {
                occupancy.enter();
                gate.pass();
                occupancy.leave();
                ++finished;
            });
        ASSERT_TRUE(occupancy.waitFor(2));
        EXPECT_EQ(queue.operationCount(), 6u);
        gate.open();
        queue.waitUntilAllOperationsAreFinished();
        EXPECT_EQ(queue.operationCount(), 0u);
    }
    EXPECT_EQ(finished, 6);
    EXPECT_EQ(occupancy.peak(), 2);
}

TEST_F(OperationQueue, UsesAllItsThreadsWhenWorkWaits) {
    Gate gate;
    Occupancy occupancy;
    NSOperationQueue queue(4);
    for (int i = 0; i < 4; ++i)
        queue.addOperation([&] {
            occupancy.enter();
            gate.pass();
            occupancy.leave();
        });
    EXPECT_TRUE(occupancy.waitFor(4));
    gate.open();
    queue.waitUntilAllOperationsAreFinished();
}

TEST_F(OperationQueue, CancelDropsOnlyOperationsNotYetStarted) {
    Gate gate;
    Occupancy occupancy;
    std::atomic<int> ran{0};
    NSOperationQueue queue(1);
    for (int i = 0; i < 5; ++i)
        queue.addOperation([&] {
            occupancy.enter();
            ++ran;
            gate.pass();
            occupancy.leave();
        });
    ASSERT_TRUE(occupancy.waitFor(1));
    queue.cancelAllOperations();
    EXPECT_EQ(queue.operationCount(), 1u);
    gate.open();
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(RunLoop::main().backgroundWorkCount(), 0u) << "dropped operations are no pending work";
    // The queue goes on working after a cancel.
    queue.addOperation([&] { ++ran; });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ran, 2);
}

TEST_F(OperationQueue, CompletionsArePostedBackToTheMainLoop) {
    NSOperationQueue queue(4);
    std::vector<int> results;
    bool allOnMain = true;
    for (int i = 0; i < 20; ++i)
        queue.addOperation([&, i] {
            int square = i * i;
            RunLoop::main().post([&, square] {
                results.push_back(square);
                allOnMain = allOnMain && RunLoop::main().isMainThread();
            });
        });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return results.size() == 20; }, 1, kHangSeconds));
    EXPECT_TRUE(allOnMain);
    std::sort(results.begin(), results.end());
    EXPECT_EQ(results[19], 361);
}

TEST_F(OperationQueue, DestructorRunsWhatWasAddedThenJoins) {
    std::atomic<int> ran{0};
    {
        NSOperationQueue queue(2);
        for (int i = 0; i < 50; ++i) queue.addOperation([&] { ++ran; });
    }
    EXPECT_EQ(ran, 50);
    EXPECT_EQ(RunLoop::main().backgroundWorkCount(), 0u);
}

TEST_F(OperationQueue, LastOwnerLettingGoFromInsideAnOperationIsSafe) {
    auto queue = std::make_shared<NSOperationQueue>(2);
    std::atomic<bool> done{false};
    std::weak_ptr<NSOperationQueue> weak = queue;
    queue->addOperation([queue, &done]() mutable {
        queue->waitUntilAllOperationsAreFinished();  // from inside: returns at once instead of waiting for itself
        queue.reset();
        done = true;
    });
    queue.reset();  // the operation now holds the last reference
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return done.load() && weak.expired(); }, 1, kHangSeconds));
}

TEST_F(OperationQueue, UntrackedQueueDoesNotHoldVirtualTime) {
    Gate gate;
    NSOperationQueue queue(1);
    queue.setTracksMainLoopWork(false);
    queue.addOperation([&] { gate.pass(); });  // a long-running worker, such as a network thread
    EXPECT_EQ(RunLoop::main().backgroundWorkCount(), 0u);
    RunLoop::main().runFor(60);
    EXPECT_DOUBLE_EQ(Clock::now(), kStart + 60);
    gate.open();
}
