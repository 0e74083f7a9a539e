// A client's connection to the viewer with a deadline: a read or write that takes
// no data for 2 s closes the connection, which ends every operation waiting on it.
// So a client that sends no request, or takes no data, is dropped.
// Pending operations are cancelled before the socket closes: Wine completes them
// only when cancelled, and closing alone would leave them (and the I/O thread's
// end) waiting for ever.
#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include <chrono>
#include <memory>

class ViewSocket {
public:
    // How long an operation may wait for its client.
    static constexpr std::chrono::steady_clock::duration timeout = std::chrono::seconds(2);

    explicit ViewSocket(boost::asio::ip::tcp::socket socket);

    boost::asio::ip::tcp::socket& get() { return socket; }
    // The operation about to start must end within `timeout`, or the connection
    // closes; `owner` (the object that holds this socket) is kept until then.
    void closeIn(std::shared_ptr<void> owner);
    // The operation ended in time.
    void inTime();
    // Ends every operation on the connection and closes it; what was sent before
    // still leaves.
    void close();
    bool isOpen() const { return socket.is_open(); }

private:
    boost::asio::ip::tcp::socket socket;
    boost::asio::steady_timer deadline;
};
