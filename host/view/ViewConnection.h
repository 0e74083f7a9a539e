// One connection to the viewer, served on its I/O thread: reads one request and
// answers it with the page, a script or a refusal, then closes; a request for the
// event stream hands the connection to the streams. Its socket drops a client
// that sends no request, or takes no data, within ViewSocket::timeout.
#pragma once

#include "host/view/ViewRequestReader.h"
#include "host/view/ViewSocket.h"

#include <boost/asio/ip/tcp.hpp>

#include <cstddef>
#include <memory>
#include <string>

class ViewStreams;

class ViewConnection : public std::enable_shared_from_this<ViewConnection> {
public:
    // `machine` is this machine's name, which a request may be sent to.
    ViewConnection(boost::asio::ip::tcp::socket socket, ViewStreams& streams,
                   const std::string& machine);

    // Reads the request.
    void start();
    // Ends the connection at once, answered or not.
    void close();

private:
    void received(const boost::system::error_code& error, std::size_t size);
    void answer();
    // Sends `head`, then `size` bytes of `body` (which outlives the connection).
    void send(std::string head, const char* body, std::size_t size);
    void sendMore();

    ViewSocket socket;
    ViewStreams& streams;
    ViewRequestReader reader;
    std::string head;
    const char* body = nullptr;
    std::size_t bodySize = 0;
    std::size_t bodySent = 0;
    bool handedOver = false; // to the streams
};
