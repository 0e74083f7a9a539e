// trackhost's viewer: a page with a live 3D view, readouts and plots of every
// tracker, served over HTTP with the three.js scripts it needs, and a stream of
// the latest records. It serves its fixed routes only: no URL maps to a file.
#pragma once

#include "host/output/PoseListener.h"

#include <memory>
#include <string>
#include <vector>

class ViewServer {
public:
    ViewServer();
    ~ViewServer(); // stops serving

    ViewServer(const ViewServer&) = delete;
    ViewServer& operator=(const ViewServer&) = delete;

    // Listens on `address`:`port` (port 0: any free one) and serves every client
    // from one thread of its own. False, with `error` saying why, when it cannot
    // listen there.
    bool start(const std::string& address, int port, std::string& error);
    // The page's address once started, e.g. http://127.0.0.1:8080/
    std::string url() const;
    // The page's addresses for other machines: empty on a loopback address; for an
    // address that stands for every interface (0.0.0.0, ::), one per address of
    // this machine's interfaces that are up, loopback left out.
    std::vector<std::string> remoteUrls() const;
    // Where the receive cycle hands its records; never waits on the network.
    PoseListener& listener();
    // Sends each client the records it has not had yet, ends the streams and stops.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
