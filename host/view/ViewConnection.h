// One connection to the viewer, served on its I/O thread: reads one request and
// answers it with the page, a script or a refusal, then closes; a request for the
// event stream hands the connection to the streams. A client that sends no request
// within 2 s, or takes no data for 2 s, is dropped.
#pragma once

#include "host/view/ViewRequest.h"
#include "host/view/ViewSocket.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <cstddef>
#include <memory>
#include <string>

class ViewStreams;

class ViewConnection : public std::enable_shared_from_this<ViewConnection> {
public:
    ViewConnection(boost::asio::ip::tcp::socket socket, ViewStreams& streams);

    // Reads the request.
    void start();
    // Ends the connection at once, answered or not.
    void close();

private:
    void received(const boost::system::error_code& error);
    void serve(ViewRoute route, bool withBody);
    // Sends `head`, then `size` bytes of `body` (which outlives the connection).
    void send(std::string head, const char* body, std::size_t size);
    void sendMore();

    ViewSocket socket;
    ViewStreams& streams;
    boost::beast::flat_buffer buffer;
    boost::beast::http::request_parser<boost::beast::http::string_body> parser;
    std::string head;
    const char* body = nullptr;
    std::size_t bodySize = 0;
    std::size_t bodySent = 0;
    bool handedOver = false; // to the streams
};
