// The viewer on Boost.Beast: one I/O thread accepts every connection, answers the
// page and its scripts and carries every event stream; the receive cycle only
// copies its records into the latest-record table and wakes that thread.
#include "host/view/ViewServer.h"

#include "host/view/LatestPoses.h"
#include "host/view/ViewAddress.h"
#include "host/view/ViewConnection.h"
#include "host/view/ViewSocket.h"
#include "host/view/ViewStreams.h"
#include "platform/platform.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <future>
#include <optional>
#include <thread>

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

// Connections that may wait to be accepted: a burst of clients (a page and its
// scripts in several browsers) must not lose connections.
constexpr int listenBacklog = 128;
// Each connection's send buffer is kept small, so that a client that reads nothing
// fills it within seconds instead of taking megabytes first.
constexpr int sendBufferBytes = 16 * 1024;
// After a failed accept (no descriptor left, say), the next waits this long.
constexpr auto acceptPause = std::chrono::milliseconds(100);

// Why the viewer cannot listen, from the system's error.
std::string listenProblem(const boost::system::error_code& reason) {
    return reason == asio::error::address_in_use  ? "the port is already in use"
           : reason == asio::error::access_denied ? "no permission to use the port"
                                                  : "not an address of this machine";
}

std::string bracketed(const std::string& host) {
    return host.find(':') == std::string::npos ? host : "[" + host + "]";
}

} // namespace

struct ViewServer::Impl {
    asio::io_context io{1};
    tcp::acceptor acceptor{io};
    asio::steady_timer acceptTimer{io};
    LatestPoses poses;
    std::optional<ViewStreams> streams;
    std::vector<std::weak_ptr<ViewConnection>> connections;
    std::atomic<bool> wakePending{false};
    std::thread thread;
    std::future<void> finished;
    std::string address;
    int port = 0;
    std::string url;
    std::string machine; // this machine's name, which requests may be sent to

    bool listen(const tcp::endpoint& where, boost::system::error_code& error);
    void accept();
    void accepted(tcp::socket socket);
    void wake();
    void serve();
    void close();
};

bool ViewServer::Impl::listen(const tcp::endpoint& where, boost::system::error_code& error) {
    acceptor.open(where.protocol(), error);
    if (error) {
        return false;
    }
    if (where.address().is_v6()) {
        // "::" takes IPv4 connections too where the system can (Win32 does not by
        // default).
        boost::system::error_code ignored;
        acceptor.set_option(asio::ip::v6_only(false), ignored);
    }
    if (!platform::reclaimPortAtOnce(acceptor.native_handle())) {
        error = asio::error::access_denied;
    }
    if (!error) {
        acceptor.bind(where, error);
    }
    if (!error) {
        acceptor.listen(listenBacklog, error);
    }
    if (error) {
        boost::system::error_code ignored;
        acceptor.close(ignored);
        return false;
    }
    return true;
}

void ViewServer::Impl::accept() {
    acceptor.async_accept([this](const boost::system::error_code& error, tcp::socket socket) {
        if (error == asio::error::operation_aborted || !acceptor.is_open()) {
            return;
        }
        if (error) {
            acceptTimer.expires_after(acceptPause);
            acceptTimer.async_wait([this](const boost::system::error_code& stopped) {
                if (!stopped) {
                    accept();
                }
            });
            return;
        }
        accepted(std::move(socket));
        accept();
    });
}

void ViewServer::Impl::accepted(tcp::socket socket) {
    boost::system::error_code ignored;
    // Each event goes out at once, not held back until the last is acknowledged.
    socket.set_option(tcp::no_delay(true), ignored);
    socket.set_option(asio::socket_base::send_buffer_size(sendBufferBytes), ignored);
    const auto connection = std::make_shared<ViewConnection>(std::move(socket), *streams, machine);
    // Connections that ended leave the list here, so that it does not grow.
    connections.erase(
        std::remove_if(connections.begin(), connections.end(),
                       [](const std::weak_ptr<ViewConnection>& entry) { return entry.expired(); }),
        connections.end());
    connections.push_back(connection);
    connection->start();
}

// On the receive cycle's thread: at most one wake-up waits for the I/O thread, and
// it takes everything that came until it runs; none while no stream is open.
void ViewServer::Impl::wake() {
    if (streams->anyOpen() && !wakePending.exchange(true)) {
        asio::post(io, [this] {
            wakePending = false;
            streams->refresh();
        });
    }
}

// The I/O thread. A handler that fails (memory that runs out) ends only what it
// served; the thread goes on with the others.
void ViewServer::Impl::serve() {
    for (;;) {
        try {
            io.run();
            return;
        } catch (const std::exception&) {
        }
    }
}

// On the I/O thread, once the table is closed: no new connection, and the requests
// not yet answered are dropped; the streams send what is left and end.
void ViewServer::Impl::close() {
    boost::system::error_code ignored;
    // Cancelled first: Wine ends a pending accept only so.
    acceptor.cancel(ignored);
    acceptor.close(ignored);
    acceptTimer.cancel();
    for (const std::weak_ptr<ViewConnection>& entry : connections) {
        if (const auto connection = entry.lock()) {
            connection->close();
        }
    }
    connections.clear();
    streams->refresh();
}

ViewServer::ViewServer() : impl(new Impl) {}

ViewServer::~ViewServer() {
    stop();
}

bool ViewServer::start(const std::string& address, int port, std::string& error) {
    boost::system::error_code reason;
    tcp::resolver resolver(impl->io);
    const auto endpoints =
        resolver.resolve(address, std::to_string(port),
                         tcp::resolver::passive | tcp::resolver::numeric_service, reason);
    bool listening = false;
    for (const auto& entry : endpoints) {
        listening = impl->listen(entry.endpoint(), reason);
        if (listening) {
            break;
        }
    }
    if (!listening) {
        error = "the viewer cannot listen on " + bracketed(address) + ":" + std::to_string(port) +
                ": " + listenProblem(reason);
        return false;
    }
    const std::string run = std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                               std::chrono::system_clock::now().time_since_epoch())
                                               .count());
    impl->streams.emplace(impl->io.get_executor(), impl->poses, run);
    impl->poses.onChange([this] { impl->wake(); });
    impl->address = address;
    impl->machine = platform::machineName();
    impl->port = impl->acceptor.local_endpoint().port();
    impl->url = "http://" + bracketed(address) + ":" + std::to_string(impl->port) + "/";
    impl->accept();
    std::packaged_task<void()> serving([this] { impl->serve(); });
    impl->finished = serving.get_future();
    impl->thread = std::thread(std::move(serving));
    return true;
}

std::string ViewServer::url() const {
    return impl->url;
}

std::vector<std::string> ViewServer::remoteUrls() const {
    const std::string& address = impl->address;
    if (impl->url.empty() || isLoopbackAddress(address)) {
        return {};
    }
    const bool anyIPv4 = address == "0.0.0.0";
    // A socket on :: takes IPv4 connections too.
    const bool anyIPv6 = address == "::";
    if (!anyIPv4 && !anyIPv6) {
        return {impl->url};
    }
    std::vector<std::string> urls;
    for (const std::string& host : platform::interfaceAddresses(anyIPv6)) {
        urls.push_back("http://" + bracketed(host) + ":" + std::to_string(impl->port) + "/");
    }
    return urls;
}

PoseListener& ViewServer::listener() {
    return impl->poses;
}

void ViewServer::stop() {
    if (!impl->thread.joinable()) {
        return;
    }
    impl->poses.close();
    asio::post(impl->io, [this] { impl->close(); });
    // The streams send what is left; a client that takes nothing is dropped by the
    // write timeout. Whatever is still open after that is cut off.
    impl->finished.wait_for(ViewSocket::timeout + std::chrono::seconds(1));
    asio::post(impl->io, [this] { impl->streams->closeAll(); });
    impl->finished.wait_for(std::chrono::seconds(1));
    impl->io.stop();
    impl->thread.join();
}
