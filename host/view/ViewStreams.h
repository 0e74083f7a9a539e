// The viewer's event streams on its I/O thread, and the I/O thread's copy of the
// latest-record table: each record's text is written once, when it is taken from the
// table, and every stream sends the texts it lacks.
#pragma once

#include "host/view/LatestPoses.h"

#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ViewStream;

class ViewStreams {
public:
    // Beyond this many open streams a client is told 503.
    static constexpr std::size_t maxStreams = 256;

    // `run` names this run of trackhost in every stream's start; `io` runs the
    // streams.
    ViewStreams(boost::asio::any_io_executor io, const LatestPoses& poses, const std::string& run);
    ~ViewStreams();

    ViewStreams(const ViewStreams&) = delete;
    ViewStreams& operator=(const ViewStreams&) = delete;

    bool full() const;
    // Whether a stream is open; asked from any thread. Without one, nothing needs
    // the table's changes: the first stream takes them all.
    bool anyOpen() const { return someOpen; }
    // A new stream on `socket`, started with the response's header `head`.
    void open(boost::asio::ip::tcp::socket socket, const std::string& head);
    // Takes what changed in the table and has every stream send it.
    void refresh();
    // Ends every stream at once, sent or not.
    void closeAll();

    // For the streams: what every stream starts with.
    const std::string& start() const { return startText; }
    bool closed() const { return isClosed; }
    // Whether a stream that has had records up to version `seen` and the silent
    // devices' list of version `silentSeen` lacks something.
    bool lacks(std::uint64_t seen, std::uint64_t silentSeen) const;
    // What such a stream lacks: the silent devices' event when the list changed (for
    // a new stream only when it is not empty), and one event of the newer records;
    // empty when nothing. Both marks move on.
    std::string news(std::uint64_t& seen, std::uint64_t& silentSeen) const;
    // A stream that waits for its pace or its keep-alive: every stream is kicked
    // again at `due` or up to a millisecond later, so that streams whose times lie
    // close together are served by one wake-up.
    void kickAt(std::chrono::steady_clock::time_point due);
    // A stream has ended.
    void ended(const ViewStream* stream);

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
    std::vector<std::shared_ptr<ViewStream>> streams;
    std::atomic<bool> someOpen{false};
    boost::asio::steady_timer timer;
    std::chrono::steady_clock::time_point kicksAt = std::chrono::steady_clock::time_point::max();

    // Takes what changed in the table, when a stream needs it.
    void take();
    void kickAll();
};
