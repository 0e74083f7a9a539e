// One request to the viewer as it is read, from bytes that come in pieces of any
// size: the limits on its header and body, and, once it is whole, unreadable or
// given up by its client, the answer the viewer gives. It knows no socket, so
// that what a client may send can be tried without one.
#pragma once

#include "host/view/ViewRequest.h"

#include <boost/asio/buffer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <cstddef>
#include <string>

// What the viewer answers a request: 200 with the route's content, or a refusal
// (400, 403, 404, 414); the body goes with it unless the request was HEAD.
struct ViewAnswer {
    int status = 400;
    ViewRoute route = ViewRoute::notFound;
    bool withBody = true;
};

class ViewRequestReader {
public:
    enum class State {
        reading,  // the request is not whole yet
        answered, // answer() says what to send
        gone,     // the client gave up on the request: nothing is sent
    };

    // A request's header may hold this much (its line and fields); its body this
    // much. A client's piece is read into at most `pieceLimit` bytes at a time.
    static constexpr std::uint32_t headerLimit = 16 * 1024;
    static constexpr std::uint64_t bodyLimit = 64 * 1024;
    static constexpr std::size_t pieceLimit = 8 * 1024;

    // `local` is the address the request came to, `machine` this machine's name:
    // the names the request may be sent to besides localhost.
    ViewRequestReader(std::string local, std::string machine);

    // Room for the client's next piece.
    boost::asio::mutable_buffer space();
    // `size` bytes of the client's came into the room that space() gave.
    State received(std::size_t size);
    // The client sends no more.
    State ended();
    // The answer, once the request was answered.
    ViewAnswer answer() const;
    // The bytes kept for the request: bounded by the limits whatever comes.
    std::size_t held() const;

private:
    State parse();

    std::string local;
    std::string machine;
    boost::beast::flat_buffer buffer;
    boost::beast::http::request_parser<boost::beast::http::string_body> parser;
    boost::system::error_code failure;
    State state = State::reading;
};
