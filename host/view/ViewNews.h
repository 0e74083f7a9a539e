// The I/O thread's copy of the latest-record table, for the event streams: each
// record's text is written once, when it is taken from the table; every stream
// starts with the same text and is sent the texts it lacks.
#pragma once

#include "host/view/LatestPoses.h"

#include <array>
#include <cstdint>
#include <string>

class ViewNews {
public:
    // `run` names this run of trackhost in every stream's start.
    ViewNews(const LatestPoses& poses, const std::string& run);

    ViewNews(const ViewNews&) = delete;
    ViewNews& operator=(const ViewNews&) = delete;

    // Takes what changed in the table.
    void take();
    // What every stream starts with.
    const std::string& start() const { return startText; }
    // Whether the table is closed: the streams end.
    bool closed() const { return isClosed; }
    // Whether a stream that has had records up to version `seen` and the silent
    // devices' list of version `silentSeen` lacks something.
    bool lacks(std::uint64_t seen, std::uint64_t silentSeen) const;
    // What such a stream lacks: the silent devices' event when the list changed (for
    // a new stream only when it is not empty), and one event of the newer records;
    // empty when nothing. Both marks move on.
    std::string news(std::uint64_t& seen, std::uint64_t& silentSeen) const;

private:
    struct Record {
        std::uint64_t version = 0;
        std::string text;
    };

    const LatestPoses& poses;
    std::string startText;
    std::array<Record, LatestPoses::maxTrackers> records;
    std::uint64_t version = 0;
    std::string silentEvent;
    std::uint64_t silentVersion = 0;
    bool noneSilent = true;
    bool isClosed = false;
};
