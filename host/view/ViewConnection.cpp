// One connection to the viewer: a request and its answer.
#include "host/view/ViewConnection.h"

#include "host/view/ViewStream.h"
#include "host/view/ViewStreams.h"

#include <boost/asio/write.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include <algorithm>
#include <array>
#include <sstream>

// The page and the three.js scripts, embedded at build time.
extern const char viewPage[];
extern const std::size_t viewPageSize;
extern const char threeScript[];
extern const std::size_t threeScriptSize;
extern const char orbitControlsScript[];
extern const std::size_t orbitControlsScriptSize;

namespace http = boost::beast::http;

namespace {

// A request's header may hold this much (its line and fields); the body this much.
constexpr std::uint32_t headerLimit = 16 * 1024;
constexpr std::uint64_t bodyLimit = 64 * 1024;
// A body is written in pieces of this size, each of which must leave within the
// write timeout, so that a slow client that reads is not taken for a silent one.
constexpr std::size_t piece = 64 * 1024;

// A response's header. Every connection serves one request.
std::string responseHead(http::status status, const char* type, std::size_t length,
                         bool retry = false) {
    http::response<http::empty_body> response{status, 11};
    response.set(http::field::connection, "close");
    response.set(http::field::content_length, std::to_string(length));
    response.set(http::field::content_type, type);
    if (retry) {
        response.set(http::field::retry_after, "1");
    }
    std::ostringstream text;
    text << response.base();
    return text.str();
}

// The event stream's header: its body goes on in chunks until trackhost stops.
std::string streamHead() {
    http::response<http::empty_body> response{http::status::ok, 11};
    response.set(http::field::cache_control, "no-store");
    response.set(http::field::connection, "close");
    response.set(http::field::content_type, "text/event-stream");
    response.chunked(true);
    std::ostringstream text;
    text << response.base();
    return text.str();
}

// A refusal: the status and its number as the text.
struct Refusal {
    std::string head;
    std::string text;
};

const Refusal& refusal(int status) {
    static const auto make = [](http::status code, bool retry = false) {
        const std::string text = std::to_string(static_cast<int>(code)) + "\n";
        return Refusal{responseHead(code, "text/plain", text.size(), retry), text};
    };
    static const Refusal notFound = make(http::status::not_found);
    static const Refusal tooLong = make(http::status::uri_too_long);
    static const Refusal badRequest = make(http::status::bad_request);
    static const Refusal busy = make(http::status::service_unavailable, true);
    return status == 404 ? notFound : status == 414 ? tooLong : status == 503 ? busy : badRequest;
}

// An error of the request's reading that a client ends by going away or staying
// silent, and that nobody is told of.
bool clientGone(const boost::system::error_code& error) {
    return error.category() != http::make_error_code(http::error::bad_method).category() ||
           error == http::error::end_of_stream || error == http::error::partial_message;
}

} // namespace

ViewConnection::ViewConnection(boost::asio::ip::tcp::socket socket, ViewStreams& streams)
    : socket(std::move(socket)), streams(streams) {
    parser.header_limit(headerLimit);
    parser.body_limit(bodyLimit);
}

void ViewConnection::start() {
    socket.closeIn(ViewStream::writeTimeout, shared_from_this());
    http::async_read(socket.get(), buffer, parser,
                     [self = shared_from_this()](const boost::system::error_code& error,
                                                 std::size_t) { self->received(error); });
}

void ViewConnection::received(const boost::system::error_code& error) {
    socket.inTime();
    if (!socket.isOpen()) {
        return;
    }
    if (error && clientGone(error)) {
        close();
        return;
    }
    const auto& request = parser.get();
    const std::string method(request.method_string());
    const std::string target(request.target());
    if (error || (request.version() != 10 && request.version() != 11)) {
        // The parser takes the request line out of the buffer once it has read it.
        const auto received = static_cast<const char*>(buffer.data().data());
        const int status = !target.empty()
                               ? (viewRoute(method, target) == ViewRoute::tooLong ? 414 : 400)
                               : unreadableRequestStatus(received, buffer.size());
        const Refusal& answer = refusal(status);
        send(answer.head, answer.text.data(), answer.text.size());
        return;
    }
    serve(viewRoute(method, target), method != "HEAD");
}

void ViewConnection::serve(ViewRoute route, bool withBody) {
    const auto asset = [&](const char* type, const char* data, std::size_t size) {
        send(responseHead(http::status::ok, type, size), data, withBody ? size : 0);
    };
    switch (route) {
    case ViewRoute::page:
        return asset("text/html; charset=utf-8", viewPage, viewPageSize);
    case ViewRoute::threeScript:
        return asset("text/javascript", threeScript, threeScriptSize);
    case ViewRoute::orbitControlsScript:
        return asset("text/javascript", orbitControlsScript, orbitControlsScriptSize);
    case ViewRoute::events:
        if (streams.full()) {
            break;
        }
        if (!withBody) {
            return send(streamHead(), nullptr, 0);
        }
        handedOver = true;
        return streams.open(std::move(socket.get()), streamHead());
    case ViewRoute::notFound:
    case ViewRoute::tooLong:
        break;
    }
    const Refusal& answer = refusal(route == ViewRoute::events    ? 503
                                    : route == ViewRoute::tooLong ? 414
                                                                  : 404);
    send(answer.head, answer.text.data(), withBody ? answer.text.size() : 0);
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
    socket.closeIn(ViewStream::writeTimeout, shared_from_this());
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
