// The viewer's worker threads: page threads apart from stream threads.
#include "host/view/ViewWorkers.h"

#include <algorithm>

ViewWorkers::ViewWorkers(std::size_t pageWorkers, const std::atomic<int>& streams)
    : pageWorkers(std::max<std::size_t>(pageWorkers, 1)), streams(streams) {}

ViewWorkers::~ViewWorkers() {
    shutdown();
}

std::size_t ViewWorkers::pageThreads() const {
    const std::size_t streaming = static_cast<std::size_t>(std::max(streams.load(), 0));
    return running > streaming ? running - streaming : 0;
}

void ViewWorkers::enqueue(std::function<void()> job) {
    const std::lock_guard<std::mutex> lock(mutex);
    jobs.push_back(std::move(job));
    // Threads that ended are joined here, so that they do not pile up.
    for (const std::thread::id id : finished) {
        const auto thread = std::find_if(threads.begin(), threads.end(),
                                         [id](const std::thread& t) { return t.get_id() == id; });
        thread->join();
        threads.erase(thread);
    }
    finished.clear();
    addThreadIfNeeded();
    wake.notify_one();
}

void ViewWorkers::streamStarted() {
    const std::lock_guard<std::mutex> lock(mutex);
    addThreadIfNeeded();
}

void ViewWorkers::addThreadIfNeeded() {
    if (!stopping && jobs.size() > idle && pageThreads() < pageWorkers) {
        ++running;
        threads.emplace_back([this] { work(); });
    }
}

void ViewWorkers::work() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        ++idle;
        wake.wait(lock, [this] { return stopping || !jobs.empty(); });
        --idle;
        if (jobs.empty()) {
            break; // stopping, and nothing left to serve
        }
        std::function<void()> job = std::move(jobs.front());
        jobs.pop_front();
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
        // A stream that ended leaves one thread too many.
        if (pageThreads() > pageWorkers && jobs.empty()) {
            break;
        }
    }
    --running;
    finished.push_back(std::this_thread::get_id());
}

void ViewWorkers::shutdown() {
    std::list<std::thread> ending;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        ending.swap(threads);
        finished.clear();
    }
    wake.notify_all();
    for (std::thread& thread : ending) {
        thread.join();
    }
}
