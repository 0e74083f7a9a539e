// One connection to the viewer: a request and its answer.
#include "host/view/ViewConnection.h"

#include "host/view/ViewResponse.h"
#include "host/view/ViewStreams.h"

#include <boost/asio/write.hpp>

#include <algorithm>
#include <array>

namespace {

// A body is written in pieces of this size, each of which must leave within the
// socket's timeout, so that a slow client that reads is not taken for a silent one.
constexpr std::size_t piece = 64 * 1024;

// The address a client reached the viewer at.
std::string localAddress(const boost::asio::ip::tcp::socket& socket) {
    boost::system::error_code error;
    const auto local = socket.local_endpoint(error);
    return error ? std::string() : local.address().to_string();
}

} // namespace

ViewConnection::ViewConnection(boost::asio::ip::tcp::socket socket, ViewStreams& streams,
                               const std::string& machine)
    : socket(std::move(socket)), streams(streams),
      reader(localAddress(this->socket.get()), machine) {}

void ViewConnection::start() {
    socket.closeIn(shared_from_this());
    socket.get().async_read_some(
        reader.space(),
        [self = shared_from_this()](const boost::system::error_code& error, std::size_t size) {
            self->received(error, size);
        });
}

void ViewConnection::received(const boost::system::error_code& error, std::size_t size) {
    socket.inTime();
    if (!socket.isOpen()) {
        return;
    }
    using State = ViewRequestReader::State;
    const State state = !error                             ? reader.received(size)
                        : error == boost::asio::error::eof ? reader.ended()
                                                           : State::gone;
    switch (state) {
    case State::reading:
        return start();
    case State::gone:
        return close();
    case State::answered:
        return answer();
    }
}

void ViewConnection::answer() {
    ViewResponse response = viewResponse(reader.answer(), streams.full());
    if (response.stream) {
        handedOver = true;
        return streams.open(std::move(socket.get()), response.head);
    }
    send(std::move(response.head), response.body, response.size);
}

void ViewConnection::send(std::string text, const char* data, std::size_t size) {
    head = std::move(text);
    body = data;
    bodySize = size;
    sendMore();
}

// The head goes with the body's first piece.
void ViewConnection::sendMore() {
    if (bodySent == bodySize && head.empty()) {
        close();
        return;
    }
    const std::size_t size = std::min(piece, bodySize - bodySent);
    const std::array<boost::asio::const_buffer, 2> pieces = {
        boost::asio::buffer(head), boost::asio::buffer(body + bodySent, size)};
    socket.closeIn(shared_from_this());
    boost::asio::async_write(
        socket.get(), pieces,
        [self = shared_from_this(), size](const boost::system::error_code& error, std::size_t) {
            self->socket.inTime();
            if (error) {
                self->close();
                return;
            }
            self->head.clear();
            self->bodySent += size;
            self->sendMore();
        });
}

void ViewConnection::close() {
    if (!handedOver) {
        socket.close();
    }
}
