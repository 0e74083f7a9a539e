// The viewer's event streams and the I/O thread's copy of the table.
#include "host/view/ViewStreams.h"

#include "host/view/ViewEvents.h"
#include "host/view/ViewStream.h"

#include <algorithm>

namespace {

// How much later than its time a waiting stream may be kicked.
constexpr auto kickSlack = std::chrono::milliseconds(1);

} // namespace

ViewStreams::ViewStreams(boost::asio::any_io_executor io, const LatestPoses& poses,
                         const std::string& run)
    : poses(poses), startText(viewStreamStart(run)), timer(std::move(io)) {}

ViewStreams::~ViewStreams() = default;

bool ViewStreams::full() const {
    return streams.size() >= maxStreams;
}

void ViewStreams::open(boost::asio::ip::tcp::socket socket, const std::string& head) {
    // Set before the table is taken, so that the receive cycle wakes the I/O thread
    // for every change the taking misses.
    someOpen = true;
    take();
    streams.push_back(std::make_shared<ViewStream>(std::move(socket), *this));
    streams.back()->start(head);
}

void ViewStreams::refresh() {
    take();
    kickAll();
}

void ViewStreams::take() {
    if (!someOpen) {
        return;
    }
    for (LatestPose& entry : poses.changedSince(version)) {
        Record& record = records[entry.pose.id - 1];
        record.version = entry.version;
        record.text = viewRecord(entry);
    }
    std::vector<std::string> silent;
    if (poses.silentSince(silentVersion, silent)) {
        silentEvent = viewSilentEvent(silent);
        noneSilent = silent.empty();
    }
    isClosed = poses.closed();
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

bool ViewStreams::lacks(std::uint64_t seen, std::uint64_t silentSeen) const {
    return seen < version || silentSeen < silentVersion;
}

std::string ViewStreams::news(std::uint64_t& seen, std::uint64_t& silentSeen) const {
    std::string text;
    if (silentSeen < silentVersion) {
        // A new stream hears of the list only when someone is silent.
        text = silentSeen == 0 && noneSilent ? std::string() : silentEvent;
        silentSeen = silentVersion;
    }
    std::vector<const std::string*> newer;
    for (const Record& record : records) {
        if (record.version > seen) {
            newer.push_back(&record.text);
        }
    }
    seen = version;
    return newer.empty() ? text : text + viewEvent(newer);
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
