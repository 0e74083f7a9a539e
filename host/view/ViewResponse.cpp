// What the viewer sends for an answer.
#include "host/view/ViewResponse.h"

#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/write.hpp>

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

// A response's header.
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
    static const Refusal forbidden = make(http::status::forbidden);
    static const Refusal busy = make(http::status::service_unavailable, true);
    return status == 404   ? notFound
           : status == 414 ? tooLong
           : status == 403 ? forbidden
           : status == 503 ? busy
                           : badRequest;
}

ViewResponse asset(const char* type, const char* data, std::size_t size, bool withBody) {
    return {responseHead(http::status::ok, type, size), data, withBody ? size : 0, false};
}

} // namespace

ViewResponse viewResponse(const ViewAnswer& answer, bool full) {
    if (answer.status == 200) {
        switch (answer.route) {
        case ViewRoute::page:
            return asset("text/html; charset=utf-8", viewPage, viewPageSize, answer.withBody);
        case ViewRoute::threeScript:
            return asset("text/javascript", threeScript, threeScriptSize, answer.withBody);
        case ViewRoute::orbitControlsScript:
            return asset("text/javascript", orbitControlsScript, orbitControlsScriptSize,
                         answer.withBody);
        case ViewRoute::events:
            if (!full) {
                return {streamHead(), nullptr, 0, answer.withBody};
            }
            break;
        case ViewRoute::notFound:
        case ViewRoute::tooLong:
            break;
        }
    }
    const Refusal& answered = refusal(answer.status == 200 ? 503 : answer.status);
    return {answered.head, answered.text.data(), answer.withBody ? answered.text.size() : 0, false};
}
