// The viewer's worker threads. An event stream holds its thread for as long as it
// lasts, so a fixed pool would let a few streams take every thread and leave page
// requests waiting. Here the streams' threads are counted apart: besides them,
// `pageWorkers` threads serve everything else, and a thread that turns into a
// stream is replaced at once. The server's task queue hands its connections here.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

class ViewWorkers {
public:
    // `streams`: how many of the threads now serve an event stream.
    ViewWorkers(std::size_t pageWorkers, const std::atomic<int>& streams);
    ~ViewWorkers();

    ViewWorkers(const ViewWorkers&) = delete;
    ViewWorkers& operator=(const ViewWorkers&) = delete;

    // One connection to serve; never waits.
    void enqueue(std::function<void()> job);
    // The calling worker thread now serves a stream (counted in `streams`).
    void streamStarted();
    // Serves what is queued, then ends every thread.
    void shutdown();

private:
    void work();
    // Starts a thread when connections wait and page threads are missing; under the lock.
    void addThreadIfNeeded();
    // Threads that serve no stream; under the lock.
    std::size_t pageThreads() const;

    const std::size_t pageWorkers;
    const std::atomic<int>& streams;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> jobs;
    std::list<std::thread> threads;
    std::vector<std::thread::id> finished; // ended, not yet joined
    std::size_t running = 0;
    std::size_t idle = 0;
    bool stopping = false;
};
