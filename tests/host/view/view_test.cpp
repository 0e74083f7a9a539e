// The viewer inside trackhost: the latest-record table between the receive cycle
// and the streams, the event text, the --view option and the server's start.
#include "host/HostOptions.h"
#include "host/view/LatestPoses.h"
#include "host/view/ViewEvents.h"
#include "host/view/ViewRequest.h"
#include "host/view/ViewServer.h"

#include "tests/fixtures/Deadline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace {

PoseRow pose(const char* device, std::uint32_t id, float x) {
    PoseRow row;
    row.device = device;
    row.id = id;
    row.seconds = 1796630220;
    row.milliseconds = 7;
    row.x = x;
    row.angle3 = -90.0f;
    return row;
}

} // namespace

TEST(LatestPoses, EachStreamGetsTheLatestOfEveryTrackerChangedSinceItLooked) {
    LatestPoses poses;
    int changes = 0;
    poses.onChange([&changes] { ++changes; });
    for (const PoseRow& row : {pose("head", 1, 1.0f), pose("hand", 2, 2.0f), pose("head", 1, 3.0f),
                               pose("beyond", 33, 4.0f)}) {
        poses.poseDelivered(row);
    }
    EXPECT_EQ(changes, 3); // the tracker beyond the table changes nothing
    std::uint64_t first = 0, second = 0;
    std::vector<LatestPose> changed = poses.changedSince(first);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].pose.device + std::to_string(changed[0].pose.x), "head3.000000");
    poses.poseDelivered(pose("hand", 2, 5.0f));
    EXPECT_EQ(poses.changedSince(second).size(), 2u);
    EXPECT_EQ(poses.changedSince(first).size(), 1u);
    EXPECT_TRUE(poses.changedSince(first).empty());
    // Closing tells the I/O thread too, with nothing new to take.
    EXPECT_FALSE(poses.closed());
    poses.close();
    EXPECT_EQ(changes, 5);
    EXPECT_TRUE(poses.closed());
}

// The receive cycle delivers on its thread while the I/O thread takes what changed:
// the I/O thread never sees a tracker go back to an older pose, and sees the last.
TEST(LatestPoses, TheIOThreadSeesEveryTrackerOnlyMoveOn) {
    constexpr int delivered = 20000;
    LatestPoses poses;
    std::atomic<int> changes{0};
    poses.onChange([&changes] { ++changes; });
    std::thread cycle([&poses] {
        for (int i = 1; i <= delivered; ++i) {
            poses.poseDelivered(pose("head", 1, static_cast<float>(i)));
            poses.poseDelivered(pose("hand", 2, static_cast<float>(-i)));
        }
    });
    std::uint64_t seen = 0;
    float head = 0.0f, hand = 0.0f;
    const bool last = waitUntil(
        [&] {
            for (const LatestPose& latest : poses.changedSince(seen)) {
                float& kept = latest.pose.id == 1 ? head : hand;
                EXPECT_GT(std::fabs(latest.pose.x), std::fabs(kept));
                kept = latest.pose.x;
            }
            return head == delivered && hand == -delivered;
        },
        60.0);
    cycle.join();
    EXPECT_TRUE(last) << head << " " << hand;
    EXPECT_EQ(changes, 2 * delivered);
}

// Only a change of the list counts: a device said silent twice, or answering while it
// answers, changes nothing.
TEST(LatestPoses, TheDevicesThatDoNotAnswerInNameOrder) {
    LatestPoses poses;
    int changes = 0;
    poses.onChange([&changes] { ++changes; });
    std::uint64_t seen = 0;
    std::vector<std::string> lost;
    EXPECT_FALSE(poses.silentSince(seen, lost));
    poses.deviceAnswering("wand", false);
    poses.deviceAnswering("head", false);
    poses.deviceAnswering("head", false);
    poses.deviceAnswering("hand", true);
    EXPECT_EQ(changes, 2);
    ASSERT_TRUE(poses.silentSince(seen, lost));
    EXPECT_EQ(lost, (std::vector<std::string>{"head", "wand"}));
    EXPECT_FALSE(poses.silentSince(seen, lost));
    poses.deviceAnswering("wand", true);
    ASSERT_TRUE(poses.silentSince(seen, lost));
    EXPECT_EQ(lost, std::vector<std::string>{"head"});
    EXPECT_EQ(changes, 3);
}

TEST(ViewEvents, OneDataLineWithTheTextsTheTablePrints) {
    LatestPose entry;
    entry.pose = pose("a \"b\"", 3, 1.5f);
    entry.deliveredMs = 1796630220007.25;
    const std::string record =
        "{\"device\":\"a \\\"b\\\"\",\"id\":3,\"time\":\"1796630220.007\","
        "\"delivered\":1796630220007.250,\"values\":[\"1.50000\",\"0.00000\",\"0.00000\","
        "\"0.00000\",\"0.00000\",\"-90.00000\"]}";
    EXPECT_EQ(viewEvent({entry, entry}),
              "data: {\"trackers\":[" + record + "," + record + "]}\n\n");
    EXPECT_EQ(viewStreamStart("1796630220007"), "retry: 1000\nevent: run\ndata: 1796630220007\n\n");
    EXPECT_EQ(viewSilentEvent({"head", "a \"b\""}),
              "event: lost\ndata: [\"head\",\"a \\\"b\\\"\"]\n\n");
    EXPECT_EQ(viewSilentEvent({}), "event: lost\ndata: []\n\n");
}

TEST(ViewOption, PortWithAnOptionalAddress) {
    std::string error;
    const auto parse = [&](const char* value) {
        const char* args[] = {"--view", value, "my.conf"};
        HostOptions options;
        return parseHostOptions(3, args, options, error) == ParseResult::run
                   ? options.view.address + " " + std::to_string(options.view.port)
                   : error;
    };
    EXPECT_EQ(parse("8080"), "127.0.0.1 8080");
    EXPECT_EQ(parse("0.0.0.0:0"), "0.0.0.0 0");
    EXPECT_EQ(parse("[::1]:9000"), "::1 9000");
    for (const char* bad : {"", "http", "65536", "-1", ":80", "[]:80", "host:",
                            "http://127.0.0.1:8080", "http://[::1]:8080", "localhost:80/"}) {
        EXPECT_EQ(parse(bad), "--view wants [ADDRESS:]PORT with a port from 0 to 65535, not \"" +
                                  std::string(bad) + "\"");
    }
}

// Both builds serve.
TEST(ViewServer, ServesOnLoopback) {
    ViewServer server;
    std::string error;
    ASSERT_TRUE(server.start("127.0.0.1", 0, error)) << error;
    EXPECT_EQ(server.url().rfind("http://127.0.0.1:", 0), 0u) << server.url();
    EXPECT_TRUE(server.remoteUrls().empty());
}

// No URL maps to a file: a route is one of four paths, asked for with GET or HEAD.
TEST(ViewRequest, FixedRoutesAndNothingElse) {
    EXPECT_EQ(viewRoute("GET", "/"), ViewRoute::page);
    EXPECT_EQ(viewRoute("HEAD", "/?x=1"), ViewRoute::page);
    EXPECT_EQ(viewRoute("GET", "/%74hree.min.js"), ViewRoute::threeScript);
    EXPECT_EQ(viewRoute("GET", "/OrbitControls.js#top"), ViewRoute::orbitControlsScript);
    EXPECT_EQ(viewRoute("GET", "/events"), ViewRoute::events);
    for (const char* path : {"/index.html", "/../etc/passwd", "/%2e%2e/etc/passwd",
                             "//three.min.js", "/three.min.js/..", "/events%", "/events%2",
                             "/%zzevents", "", "http://viewer/", "/Events"}) {
        EXPECT_EQ(viewRoute("GET", path), ViewRoute::notFound) << path;
    }
    EXPECT_EQ(viewRoute("POST", "/"), ViewRoute::notFound);
    EXPECT_EQ(viewRoute("get", "/"), ViewRoute::notFound);
}

// A request line of 8192 bytes with its line end is read; one byte more is 414, read
// or not; any other request that cannot be read is 400.
TEST(ViewRequest, RequestLinesOverTheLimitAre414) {
    const std::string fits = "/" + std::string(8176, 'a'); // GET, the target, HTTP/1.1, CR LF
    EXPECT_EQ(viewRoute("GET", fits), ViewRoute::notFound);
    EXPECT_EQ(viewRoute("GET", fits + "a"), ViewRoute::tooLong);
    const std::string line = "GET " + fits + " HTTP/1.1\r\nHost: viewer\r\n\r\n";
    EXPECT_EQ(unreadableRequestStatus(line.data(), line.size()), 400);
    const std::string longer = "GET " + fits + "a HTTP/1.1\r\n";
    EXPECT_EQ(unreadableRequestStatus(longer.data(), longer.size()), 414);
    const std::string unended(9000, 'a');
    EXPECT_EQ(unreadableRequestStatus(unended.data(), unended.size()), 414);
    EXPECT_EQ(unreadableRequestStatus("GET /\r\n\r\n", 11), 400);
}

// A request is answered only under a name of this machine: the address it came to,
// localhost or the machine's name, with a port or without.
TEST(ViewRequest, OnlyNamesOfThisMachineAreServed) {
    for (const char* host : {"127.0.0.1", "127.0.0.1:8080", "localhost:8080", "LocalHost.",
                             "bench-1", "BENCH-1:80", "[::ffff:127.0.0.1]:8080"}) {
        EXPECT_TRUE(viewHostServed(host, "127.0.0.1", "bench-1")) << host;
    }
    EXPECT_TRUE(viewHostServed("[::1]:8080", "::1", ""));
    EXPECT_TRUE(viewHostServed("[0:0::1]", "::1", ""));
    EXPECT_TRUE(viewHostServed("192.0.2.2:8080", "::ffff:192.0.2.2", ""));
    for (const char* host : {"", ":8080", "rebinding.example", "rebinding.example:8080",
                             "127.0.0.2", "bench-1.example", "localhost.example", "127.0.0.1:",
                             "127.0.0.1:80a", "::1", "[::1", "[::1]x", "127.0.0.1:80:80"}) {
        EXPECT_FALSE(viewHostServed(host, "127.0.0.1", "bench-1")) << host;
    }
    EXPECT_FALSE(viewHostServed("", "127.0.0.1", ""));
}
