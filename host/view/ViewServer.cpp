// The viewer on the HTTP library: fixed routes for the page and its scripts, and
// one Server-Sent Events stream per client, coalesced to one event per 1/60 s.
#include "host/view/ViewServer.h"

#include "host/view/LatestPoses.h"
#include "host/view/ViewAddress.h"
#include "host/view/ViewEvents.h"
#include "host/view/ViewWorkers.h"

#include <httplib.h>

#include <ifaddrs.h>
#include <net/if.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

// The page and the three.js scripts, embedded at build time.
extern const char viewPage[];
extern const std::size_t viewPageSize;
extern const char threeScript[];
extern const std::size_t threeScriptSize;
extern const char orbitControlsScript[];
extern const std::size_t orbitControlsScriptSize;

namespace {

using Clock = std::chrono::steady_clock;

// At most one event per frame of a 60 Hz display; records arriving meanwhile
// replace earlier ones of the same tracker, and the latest is always sent.
constexpr auto eventInterval = std::chrono::microseconds(1000000 / 60);
// A comment line this often keeps idle streams open and finds clients gone.
constexpr auto keepAliveInterval = std::chrono::milliseconds(10000);
// A client that takes no data for this long is dropped. The send buffer is kept
// small, so that a client that reads nothing fills it within seconds instead of
// queueing megabytes first.
constexpr time_t writeTimeoutSeconds = 2;
constexpr int sendBufferBytes = 16 * 1024;
// At most this many event streams at once; beyond them a client is told 503.
constexpr int maxStreams = 32;
// Threads for page and script requests, besides one per open stream.
constexpr std::size_t pageWorkers = 8;

// Connections that may wait to be accepted: the library listens with a backlog of
// 5, with which a burst of clients (a page and its scripts in several browsers)
// loses connections and waits a second for the retry.
constexpr int listenBacklog = 128;

// The library's task queue on the viewer's worker threads.
class WorkerQueue : public httplib::TaskQueue {
public:
    explicit WorkerQueue(const std::atomic<int>& streams) : workers(pageWorkers, streams) {}
    void enqueue(std::function<void()> job) override { workers.enqueue(std::move(job)); }
    void shutdown() override { workers.shutdown(); }

    ViewWorkers workers;
};

// The library's server, with its listening socket in reach.
class HttpServer : public httplib::Server {
public:
    // Lets more connections wait to be accepted than the library's backlog does.
    void widenBacklog() { ::listen(svr_sock_, listenBacklog); }
};

struct StreamState {
    bool started = false;
    std::uint64_t seen = 0;
    Clock::time_point lastSent{};
};

} // namespace

struct ViewServer::Impl {
    HttpServer server;
    std::thread thread;
    std::atomic<bool> listening{true};
    LatestPoses poses;
    std::string address;
    int port = 0;
    std::string url;
    std::string run; // names this run of trackhost: the start's wall-clock milliseconds

    std::mutex streamMutex;
    std::condition_variable streamEnded;
    std::atomic<int> openStreams{0};
    ViewWorkers* workers = nullptr; // while the server listens

    void routes();
    void endStream();
    bool sendNext(StreamState& state, httplib::DataSink& sink);
};

void ViewServer::Impl::routes() {
    const auto serve = [this](const char* path, const char* type, const char* data,
                              std::size_t size) {
        // Sent from the embedded copy as it stands: the library would otherwise
        // compress it per request, and brotli takes seconds for three.js.
        server.Get(path, [=](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                size, type, [=](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    return sink.write(data + offset, std::min(length, size - offset));
                });
        });
    };
    serve("/", "text/html; charset=utf-8", viewPage, viewPageSize);
    serve("/three.min.js", "text/javascript", threeScript, threeScriptSize);
    serve("/OrbitControls.js", "text/javascript", orbitControlsScript, orbitControlsScriptSize);

    server.Get("/events", [this](const httplib::Request&, httplib::Response& response) {
        if (++openStreams > maxStreams) {
            endStream();
            response.status = 503;
            response.set_header("Retry-After", "1");
            return;
        }
        workers->streamStarted();
        response.set_header("Cache-Control", "no-store");
        response.set_chunked_content_provider(
            "text/event-stream",
            [this, state = StreamState{}](std::size_t, httplib::DataSink& sink) mutable {
                return sendNext(state, sink);
            },
            [this](bool) { endStream(); });
    });

    // Everything else, ".." paths included, is not found.
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::to_string(response.status) + "\n", "text/plain");
    });
}

void ViewServer::Impl::endStream() {
    {
        const std::lock_guard<std::mutex> lock(streamMutex);
        --openStreams;
    }
    streamEnded.notify_all();
}

// Writes the stream's next piece: the reconnection delay and the run's name first,
// then an event
// whenever records came, or a comment line after a quiet while. Ends the stream
// once the table is closed and everything in it is sent.
bool ViewServer::Impl::sendNext(StreamState& state, httplib::DataSink& sink) {
    if (!state.started) {
        state.started = true;
        const std::string start = viewStreamStart(run);
        if (!sink.write(start.data(), start.size())) {
            return false;
        }
    }
    if (!poses.waitNewer(state.seen, keepAliveInterval)) {
        static const char comment[] = ": keep-alive\n\n";
        return sink.write(comment, sizeof comment - 1);
    }
    if (!poses.closed()) {
        std::this_thread::sleep_until(state.lastSent + eventInterval);
    }
    const std::vector<LatestPose> entries = poses.changedSince(state.seen);
    if (!entries.empty()) {
        const std::string event = viewEvent(entries);
        if (!sink.write(event.data(), event.size())) {
            return false;
        }
        state.lastSent = Clock::now();
    }
    if (poses.closed()) {
        sink.done();
    }
    return true;
}

ViewServer::ViewServer() : impl(new Impl) {}

ViewServer::~ViewServer() {
    stop();
}

bool ViewServer::available() {
    return true;
}

namespace {

// The address by which other machines reach this one through `entry`, as text;
// empty for an interface that is down or loopback, an IPv6 address unless
// `withIPv6`, and a link-local one (its URL would need the interface's name).
std::string interfaceAddress(const ifaddrs& entry, bool withIPv6) {
    if (entry.ifa_addr == nullptr || (entry.ifa_flags & IFF_UP) == 0 ||
        (entry.ifa_flags & IFF_LOOPBACK) != 0) {
        return {};
    }
    char text[INET6_ADDRSTRLEN] = {};
    const int family = entry.ifa_addr->sa_family;
    if (family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(entry.ifa_addr)->sin_addr, text,
                  sizeof text);
    } else if (family == AF_INET6 && withIPv6) {
        const in6_addr& ip = reinterpret_cast<const sockaddr_in6*>(entry.ifa_addr)->sin6_addr;
        if (!IN6_IS_ADDR_LINKLOCAL(&ip)) {
            inet_ntop(AF_INET6, &ip, text, sizeof text);
        }
    }
    return text;
}

// Why the viewer cannot listen, from the system's error.
std::string listenProblem(int reason) {
    return reason == EADDRINUSE ? "the port is already in use"
           : reason == EACCES   ? "no permission to use the port"
                                : "not an address of this machine";
}

// The server's sockets and connections as the viewer needs them.
void applySettings(HttpServer& server) {
    // The library's default also sets SO_REUSEPORT, with which a second trackhost
    // would share the port unnoticed; address reuse alone still lets a restarted
    // trackhost take its port back at once.
    server.set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes),
                   sizeof yes);
        // Taken over by every connection accepted on it.
        setsockopt(socket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&sendBufferBytes),
                   sizeof sendBufferBytes);
    });
    // Each event goes out at once, not held back until the last one is acknowledged.
    server.set_tcp_nodelay(true);
    // One request per connection: an idle connection kept alive would hold a page
    // thread, and a browser loads the page's three files on connections of its own.
    server.set_keep_alive_max_count(1);
    server.set_read_timeout(writeTimeoutSeconds, 0);
    server.set_write_timeout(writeTimeoutSeconds, 0);
}

} // namespace

bool ViewServer::start(const std::string& address, int port, std::string& error) {
#ifdef SIGPIPE
    // A client that goes away must not end trackhost: its write just fails.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    HttpServer& server = impl->server;
    server.new_task_queue = [this] {
        WorkerQueue* const queue = new WorkerQueue(impl->openStreams);
        impl->workers = &queue->workers;
        return queue;
    };
    applySettings(server);
    impl->routes();

    const std::string where =
        address.find(':') == std::string::npos ? address : "[" + address + "]";
    errno = 0;
    const int bound = port == 0 ? server.bind_to_any_port(address)
                                : (server.bind_to_port(address, port) ? port : -1);
    if (bound < 0) {
        error = "the viewer cannot listen on " + where + ":" + std::to_string(port) + ": " +
                listenProblem(errno);
        return false;
    }
    server.widenBacklog();
    impl->run = std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count());
    impl->address = address;
    impl->port = bound;
    impl->url = "http://" + where + ":" + std::to_string(bound) + "/";
    impl->thread = std::thread([this] {
        impl->server.listen_after_bind();
        impl->listening = false;
    });
    // stop() works only on a running server.
    while (!server.is_running() && impl->listening) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
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
    const auto urlOf = [this](const std::string& host) {
        const std::string where = host.find(':') == std::string::npos ? host : "[" + host + "]";
        return "http://" + where + ":" + std::to_string(impl->port) + "/";
    };
    const bool anyIPv4 = address == "0.0.0.0";
    // A socket on :: takes IPv4 connections too.
    const bool anyIPv6 = address == "::";
    if (!anyIPv4 && !anyIPv6) {
        return {impl->url};
    }
    std::vector<std::string> urls;
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) {
        return urls;
    }
    for (const ifaddrs* entry = interfaces; entry != nullptr; entry = entry->ifa_next) {
        const std::string text = interfaceAddress(*entry, anyIPv6);
        if (!text.empty()) {
            urls.push_back(urlOf(text));
        }
    }
    freeifaddrs(interfaces);
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
    {
        // The streams send what is left; a client that takes nothing is dropped
        // by the write timeout.
        std::unique_lock<std::mutex> lock(impl->streamMutex);
        impl->streamEnded.wait_for(lock, std::chrono::seconds(writeTimeoutSeconds + 1),
                                   [this] { return impl->openStreams == 0; });
    }
    impl->server.stop();
    impl->thread.join();
}
