// The viewer's event streams.
#include "host/view/ViewStreams.h"

#include <algorithm>

namespace {

// How much later than its time a waiting stream may be kicked.
constexpr auto kickSlack = std::chrono::milliseconds(1);

} // namespace

ViewStreams::ViewStreams(boost::asio::any_io_executor io, const LatestPoses& poses,
                         const std::string& run)
    : news(poses, run), keeper{[this](std::chrono::steady_clock::time_point due) { kickAt(due); },
                               [this](const ViewStream* stream) { ended(stream); }},
      timer(std::move(io)) {}

ViewStreams::~ViewStreams() = default;

bool ViewStreams::full() const {
    return streams.size() >= maxStreams;
}

void ViewStreams::open(boost::asio::ip::tcp::socket socket, const std::string& head) {
    // Set before the table is taken, so that the receive cycle wakes the I/O thread
    // for every change the taking misses.
    someOpen = true;
    take();
    streams.push_back(std::make_shared<ViewStream>(std::move(socket), news, keeper));
    streams.back()->start(head);
}

void ViewStreams::refresh() {
    take();
    kickAll();
}

void ViewStreams::take() {
    if (someOpen) {
        news.take();
    }
}

void ViewStreams::kickAll() {
    // A stream that ends leaves the list on the way.
    const std::vector<std::shared_ptr<ViewStream>> current = streams;
    for (const std::shared_ptr<ViewStream>& stream : current) {
        stream->kick();
    }
}

void ViewStreams::kickAt(std::chrono::steady_clock::time_point due) {
    if (due + kickSlack >= kicksAt) {
        return;
    }
    kicksAt = due + kickSlack;
    timer.expires_at(kicksAt);
    timer.async_wait([this](const boost::system::error_code& error) {
        if (error) {
            return; // set again, or the viewer stops
        }
        kicksAt = std::chrono::steady_clock::time_point::max();
        kickAll();
    });
}

void ViewStreams::closeAll() {
    timer.cancel();
    const std::vector<std::shared_ptr<ViewStream>> current = streams;
    for (const std::shared_ptr<ViewStream>& stream : current) {
        stream->close();
    }
}

void ViewStreams::ended(const ViewStream* stream) {
    streams.erase(std::remove_if(streams.begin(), streams.end(),
                                 [stream](const std::shared_ptr<ViewStream>& open) {
                                     return open.get() == stream;
                                 }),
                  streams.end());
    if (streams.empty()) {
        someOpen = false;
        // Nothing waits for the timer, and the I/O thread may end once closed.
        timer.cancel();
        kicksAt = std::chrono::steady_clock::time_point::max();
    }
}
