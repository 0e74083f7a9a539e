// One client's event stream, served on the viewer's I/O thread: the response's head
// and the stream's start, then an event whenever records came, at most one per
// 1/60 s, or a comment line after a quiet while. Nothing queues up for a slow
// client: while a write waits for it, what changes only moves the table on, and the
// next write carries the newest records. A write that takes no data for
// ViewSocket::timeout (2 s) ends it.
#pragma once

#include "host/view/ViewNews.h"
#include "host/view/ViewSocket.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class ViewStream;

// What a stream asks of whoever keeps it.
struct ViewStreamKeeper {
    // To be kicked again at `due`: the stream waits for its pace or its keep-alive.
    std::function<void(std::chrono::steady_clock::time_point due)> kickAt;
    // To let it go: it has ended.
    std::function<void(const ViewStream* stream)> ended;
};

class ViewStream : public std::enable_shared_from_this<ViewStream> {
public:
    using Clock = std::chrono::steady_clock;

    // At most one event per frame of a 60 Hz display.
    static constexpr Clock::duration eventInterval = std::chrono::microseconds(1000000 / 60);
    // A comment line this often keeps an idle stream open and finds a client gone.
    static constexpr Clock::duration keepAliveInterval = std::chrono::seconds(10);

    // The stream sends what `news` holds; `keeper` outlives it.
    ViewStream(boost::asio::ip::tcp::socket socket, const ViewNews& news,
               const ViewStreamKeeper& keeper);

    // Sends `head`, the response's header, with the stream's start and what the
    // table holds.
    void start(const std::string& head);
    // The table changed or closed: sends what this client lacks as soon as the pace
    // allows, and once the table is closed the end of the stream.
    void kick();
    // Ends the connection at once.
    void close();

private:
    void send(std::string message, bool last);
    void sent(const boost::system::error_code& error, bool last);

    ViewSocket socket;
    const ViewNews& news;
    const ViewStreamKeeper& keeper;
    std::uint64_t seen = 0;       // the newest record version sent
    std::uint64_t silentSeen = 0; // the version of the silent devices' list sent
    Clock::time_point lastSent{};
    std::string out; // what the send buffer could not take at once
    bool writing = false;
    bool ended = false;
};
