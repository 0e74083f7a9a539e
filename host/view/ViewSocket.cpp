// A client's connection with a deadline.
#include "host/view/ViewSocket.h"

constexpr std::chrono::steady_clock::duration ViewSocket::timeout;

ViewSocket::ViewSocket(boost::asio::ip::tcp::socket socket)
    : socket(std::move(socket)), deadline(this->socket.get_executor()) {}

void ViewSocket::closeIn(std::shared_ptr<void> owner) {
    deadline.expires_after(timeout);
    deadline.async_wait([this, owner = std::move(owner)](const boost::system::error_code& error) {
        if (!error) {
            close();
        }
    });
}

void ViewSocket::inTime() {
    deadline.cancel();
}

void ViewSocket::close() {
    boost::system::error_code ignored;
    deadline.cancel();
    socket.cancel(ignored);
    socket.shutdown(boost::asio::ip::tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
}
