// One client's event stream.
#include "host/view/ViewStream.h"

#include "host/view/ViewStreams.h"

#include <boost/asio/write.hpp>

#include <cstdio>

constexpr ViewStream::Clock::duration ViewStream::eventInterval;
constexpr ViewStream::Clock::duration ViewStream::keepAliveInterval;
constexpr ViewStream::Clock::duration ViewStream::writeTimeout;

namespace {

// `data` as one chunk of the response's chunked body.
std::string chunk(const std::string& data) {
    char size[24];
    std::snprintf(size, sizeof size, "%zx\r\n", data.size());
    return size + data + "\r\n";
}

// The chunk that ends the body.
const char lastChunk[] = "0\r\n\r\n";

} // namespace

ViewStream::ViewStream(boost::asio::ip::tcp::socket socket, ViewStreams& streams)
    : socket(std::move(socket)), timer(this->socket.get().get_executor()), streams(streams) {}

void ViewStream::start(const std::string& head) {
    send(head + chunk(streams.start() + streams.news(seen, lostSeen)), false);
}

void ViewStream::kick() {
    if (writing || ended) {
        return;
    }
    const bool closing = streams.closed();
    const Clock::time_point now = Clock::now();
    const Clock::time_point due = closing                         ? now
                                  : streams.lacks(seen, lostSeen) ? lastSent + eventInterval
                                                                  : lastSent + keepAliveInterval;
    if (due > now) {
        wakeAt(due);
        return;
    }
    std::string news = streams.news(seen, lostSeen);
    if (news.empty() && !closing) {
        news = ": keep-alive\n\n";
    }
    send((news.empty() ? std::string() : chunk(news)) + (closing ? lastChunk : ""), closing);
}

// The timer is set again only when the time changes: while records come faster
// than the pace, the stream waits for the time it already waits for.
void ViewStream::wakeAt(Clock::time_point due) {
    if (due == wakesAt) {
        return;
    }
    wakesAt = due;
    timer.expires_at(due);
    timer.async_wait([self = shared_from_this()](const boost::system::error_code& error) {
        if (error) {
            return; // set again, or the stream ended
        }
        self->wakesAt = Clock::time_point::max();
        self->kick();
    });
}

void ViewStream::send(std::string message, bool last) {
    out = std::move(message);
    writing = true;
    lastSent = Clock::now();
    socket.closeIn(writeTimeout, shared_from_this());
    boost::asio::async_write(
        socket.get(), boost::asio::buffer(out),
        [self = shared_from_this(), last](const boost::system::error_code& error, std::size_t) {
            self->sent(error, last);
        });
}

void ViewStream::sent(const boost::system::error_code& error, bool last) {
    writing = false;
    socket.inTime();
    if (error || last) {
        close();
        return;
    }
    kick();
}

void ViewStream::close() {
    if (ended) {
        return;
    }
    ended = true;
    timer.cancel();
    socket.close();
    streams.ended(this);
}
