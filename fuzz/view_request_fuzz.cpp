// Fuzzes what a client sends the viewer: arbitrary bytes, in pieces of arbitrary
// sizes, through the request reading, its limits, the name check and the routing
// the server uses. Whatever comes, the request ends in an answer that is a whole
// HTTP/1.1 response of one of the viewer's statuses, or in a closed connection;
// what is kept for it stays within the limits. The input's first byte seeds the
// sizes of the pieces; the rest is what the client sends.
#include "host/view/ViewRequestReader.h"
#include "host/view/ViewResponse.h"

#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/parser.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace http = boost::beast::http;

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Everything kept for one request, the header with a piece beyond it and the body,
// with room for their buffers' growth.
constexpr std::size_t heldLimit =
    2 *
    (ViewRequestReader::headerLimit + ViewRequestReader::pieceLimit + ViewRequestReader::bodyLimit);

// The response to `answer` is one the viewer may give, read back whole.
void checkResponse(const ViewAnswer& answer, bool full) {
    const ViewResponse response = viewResponse(answer, full);
    const int status =
        answer.status == 200 && answer.route == ViewRoute::events && full ? 503 : answer.status;
    check(status == 200 || status == 400 || status == 403 || status == 404 || status == 414 ||
          status == 503);
    check(status != 200 ||
          (answer.route != ViewRoute::notFound && answer.route != ViewRoute::tooLong));
    http::response_parser<http::empty_body> parser;
    parser.skip(true);
    boost::system::error_code error;
    const std::size_t used =
        parser.put(boost::asio::buffer(response.head.data(), response.head.size()), error);
    check(!error && used == response.head.size() && parser.is_header_done());
    const auto& head = parser.get();
    check(head.result_int() == static_cast<unsigned>(status) && head.version() == 11);
    check(head[http::field::connection] == "close");
    check(head.find(http::field::access_control_allow_origin) == head.end());
    if (response.stream) {
        check(status == 200 && head.chunked() && response.body == nullptr);
    } else if (!head.chunked()) {
        check(head[http::field::content_length] ==
              std::to_string(answer.withBody
                                 ? response.size
                                 : viewResponse({answer.status, answer.route, true}, full).size));
        check(response.size == 0 || response.body != nullptr);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::uint32_t seed = data[0] * 2654435761u + 1;
    const std::size_t largest = data[0] % 8 == 0 ? 1 : 1 + data[0] % 61 * 97;
    const std::uint8_t* next = data + 1;
    const std::uint8_t* const end = data + size;
    ViewRequestReader reader("127.0.0.1", "bench-1");
    using State = ViewRequestReader::State;
    State state = State::reading;
    while (state == State::reading && next != end) {
        seed = seed * 1103515245u + 12345u;
        const boost::asio::mutable_buffer space = reader.space();
        const std::size_t piece = std::min<std::size_t>(
            {1 + (seed >> 8) % largest, space.size(), static_cast<std::size_t>(end - next)});
        check(piece > 0);
        std::memcpy(space.data(), next, piece);
        next += piece;
        state = reader.received(piece);
        check(reader.held() <= heldLimit);
    }
    if (state == State::reading) {
        state = reader.ended();
        check(state != State::reading);
    }
    if (state == State::answered) {
        const ViewAnswer answer = reader.answer();
        checkResponse(answer, false);
        checkResponse(answer, true);
    }
    return 0;
}
