// One client's event stream.
#include "host/view/ViewStream.h"

#include <boost/asio/write.hpp>

#include <cstdio>

constexpr ViewStream::Clock::duration ViewStream::eventInterval;
constexpr ViewStream::Clock::duration ViewStream::keepAliveInterval;

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

ViewStream::ViewStream(boost::asio::ip::tcp::socket socket, const ViewNews& news,
                       const ViewStreamKeeper& keeper)
    : socket(std::move(socket)), news(news), keeper(keeper) {
    // Writes are tried at once, without waiting (see send).
    boost::system::error_code ignored;
    this->socket.get().non_blocking(true, ignored);
}

void ViewStream::start(const std::string& head) {
    send(head + chunk(news.start() + news.news(seen, silentSeen)), false);
}

void ViewStream::kick() {
    if (writing || ended) {
        return;
    }
    const bool closing = news.closed();
    const Clock::time_point now = Clock::now();
    const Clock::time_point due = closing                        ? now
                                  : news.lacks(seen, silentSeen) ? lastSent + eventInterval
                                                                 : lastSent + keepAliveInterval;
    if (due > now) {
        keeper.kickAt(due);
        return;
    }
    std::string text = news.news(seen, silentSeen);
    if (text.empty() && !closing) {
        text = ": keep-alive\n\n";
    }
    send((text.empty() ? std::string() : chunk(text)) + (closing ? lastChunk : ""), closing);
}

// A message is written at once where the send buffer takes it, as it mostly does;
// only what it cannot take yet waits for the socket. That saves the system a
// completion per event, which counts with many clients (under Wine above all).
void ViewStream::send(std::string message, bool last) {
    lastSent = Clock::now();
    boost::system::error_code error;
    const std::size_t written = socket.get().write_some(boost::asio::buffer(message), error);
    if (error && error != boost::asio::error::would_block) {
        close();
        return;
    }
    if (written == message.size()) {
        if (last) {
            close();
        }
        return;
    }
    out = message.substr(written);
    writing = true;
    socket.closeIn(shared_from_this());
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
    socket.close();
    keeper.ended(this);
}
