// One request to the viewer as it is read, and its answer.
#include "host/view/ViewRequestReader.h"

#include <boost/beast/http/error.hpp>

#include <iterator>

namespace http = boost::beast::http;

constexpr std::uint32_t ViewRequestReader::headerLimit;
constexpr std::uint64_t ViewRequestReader::bodyLimit;
constexpr std::size_t ViewRequestReader::pieceLimit;

namespace {

// An error of the request's reading that a client ends by going away or staying
// silent, and that nobody is told of.
bool clientGone(const boost::system::error_code& error) {
    return error.category() != http::make_error_code(http::error::bad_method).category() ||
           error == http::error::end_of_stream || error == http::error::partial_message;
}

} // namespace

ViewRequestReader::ViewRequestReader(std::string local, std::string machine)
    : local(std::move(local)), machine(std::move(machine)) {
    parser.header_limit(headerLimit);
    parser.body_limit(bodyLimit);
}

boost::asio::mutable_buffer ViewRequestReader::space() {
    return buffer.prepare(pieceLimit);
}

ViewRequestReader::State ViewRequestReader::received(std::size_t size) {
    buffer.commit(size);
    return state == State::reading ? parse() : state;
}

// The parser takes what it has read out of the buffer: the request line once it
// is whole, the fields once the header is, the body as it comes.
ViewRequestReader::State ViewRequestReader::parse() {
    while (!parser.is_done() && buffer.size() != 0) {
        boost::system::error_code error;
        buffer.consume(parser.put(buffer.data(), error));
        if (error == http::error::need_more) {
            return state;
        }
        if (error) {
            failure = error;
            state = clientGone(error) ? State::gone : State::answered;
            return state;
        }
    }
    if (parser.is_done()) {
        state = State::answered;
    }
    return state;
}

ViewRequestReader::State ViewRequestReader::ended() {
    if (state != State::reading) {
        return state;
    }
    if (parser.got_some()) {
        boost::system::error_code error;
        parser.put_eof(error);
        if (!error && parser.is_done()) {
            state = State::answered;
            return state;
        }
    }
    state = State::gone;
    return state;
}

ViewAnswer ViewRequestReader::answer() const {
    const auto& request = parser.get();
    const std::string method(request.method_string());
    const std::string target(request.target());
    if (failure || (request.version() != 10 && request.version() != 11)) {
        // The request line is out of the buffer once the parser has read it.
        const auto received = static_cast<const char*>(buffer.data().data());
        return {!target.empty() ? (viewRoute(method, target) == ViewRoute::tooLong ? 414 : 400)
                                : unreadableRequestStatus(received, buffer.size()),
                ViewRoute::notFound, true};
    }
    const bool withBody = method != "HEAD";
    const auto hosts = request.equal_range(http::field::host);
    if (hosts.first == hosts.second || std::next(hosts.first) != hosts.second ||
        !viewHostServed(std::string(hosts.first->value()), local, machine)) {
        return {403, ViewRoute::notFound, withBody};
    }
    const ViewRoute route = viewRoute(method, target);
    const int status = route == ViewRoute::notFound ? 404 : route == ViewRoute::tooLong ? 414 : 200;
    return {status, route, withBody};
}

std::size_t ViewRequestReader::held() const {
    return buffer.capacity() + parser.get().body().capacity();
}
