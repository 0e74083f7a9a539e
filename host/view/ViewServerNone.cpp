// The viewer in builds without the HTTP library: --view says so.
#include "host/view/ViewServer.h"

#include "host/view/LatestPoses.h"

struct ViewServer::Impl {
    LatestPoses poses;
};

ViewServer::ViewServer() : impl(new Impl) {}
ViewServer::~ViewServer() = default;

bool ViewServer::available() {
    return false;
}

bool ViewServer::start(const std::string&, int, std::string& error) {
    error = "this build of trackhost has no viewer (--view)";
    return false;
}

std::string ViewServer::url() const {
    return std::string();
}

std::vector<std::string> ViewServer::remoteUrls() const {
    return {};
}

PoseListener& ViewServer::listener() {
    return impl->poses;
}

void ViewServer::stop() {}
