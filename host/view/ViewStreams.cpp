// The viewer's event streams and the I/O thread's copy of the table.
#include "host/view/ViewStreams.h"

#include "host/view/ViewEvents.h"
#include "host/view/ViewStream.h"

#include <algorithm>

ViewStreams::ViewStreams(const LatestPoses& poses, const std::string& run)
    : poses(poses), startText(viewStreamStart(run)) {}

ViewStreams::~ViewStreams() = default;

bool ViewStreams::full() const {
    return streams.size() >= maxStreams;
}

void ViewStreams::open(boost::asio::ip::tcp::socket socket, const std::string& head) {
    streams.push_back(std::make_shared<ViewStream>(std::move(socket), *this));
    streams.back()->start(head);
}

void ViewStreams::refresh() {
    for (LatestPose& entry : poses.changedSince(version)) {
        Record& record = records[entry.pose.id - 1];
        record.version = entry.version;
        record.text = viewRecord(entry);
    }
    std::vector<std::string> lost;
    if (poses.lostSince(lostVersion, lost)) {
        lostEvent = viewLostEvent(lost);
    }
    isClosed = poses.closed();
    // A stream that ends leaves the list on the way.
    const std::vector<std::shared_ptr<ViewStream>> current = streams;
    for (const std::shared_ptr<ViewStream>& stream : current) {
        stream->kick();
    }
}

void ViewStreams::closeAll() {
    const std::vector<std::shared_ptr<ViewStream>> current = streams;
    for (const std::shared_ptr<ViewStream>& stream : current) {
        stream->close();
    }
}

bool ViewStreams::lacks(std::uint64_t seen, std::uint64_t lostSeen) const {
    return seen < version || lostSeen < lostVersion;
}

std::string ViewStreams::news(std::uint64_t& seen, std::uint64_t& lostSeen) const {
    std::string text;
    if (lostSeen < lostVersion) {
        text = lostEvent;
        lostSeen = lostVersion;
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
}
