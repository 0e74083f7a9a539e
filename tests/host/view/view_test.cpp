// The viewer inside trackhost: the latest-record table between the receive cycle
// and the streams, the event text, the --view option and the server's start.
#include "host/HostOptions.h"
#include "host/view/LatestPoses.h"
#include "host/view/ViewEvents.h"
#include "host/view/ViewServer.h"

#include <gtest/gtest.h>

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
    for (const PoseRow& row : {pose("head", 1, 1.0f), pose("hand", 2, 2.0f), pose("head", 1, 3.0f),
                               pose("beyond", 33, 4.0f)}) {
        poses.poseDelivered(row);
    }
    std::uint64_t first = 0, second = 0;
    std::vector<LatestPose> changed = poses.changedSince(first);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].pose.device + std::to_string(changed[0].pose.x), "head3.000000");
    poses.poseDelivered(pose("hand", 2, 5.0f));
    EXPECT_EQ(poses.changedSince(second).size(), 2u);
    EXPECT_EQ(poses.changedSince(first).size(), 1u);
    // Closing wakes every stream, with nothing new to wait for.
    EXPECT_FALSE(poses.waitNewer(first, std::chrono::milliseconds(1)));
    poses.close();
    EXPECT_TRUE(poses.waitNewer(first, std::chrono::hours(1)));
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

// The native build serves; the Windows build says it has no viewer.
TEST(ViewServer, ServesOnLoopbackOrSaysThisBuildHasNone) {
    ViewServer server;
    std::string error;
    if (!ViewServer::available()) {
        EXPECT_FALSE(server.start("127.0.0.1", 0, error));
        EXPECT_EQ(error, "this build of trackhost has no viewer (--view)");
        return;
    }
    ASSERT_TRUE(server.start("127.0.0.1", 0, error)) << error;
    EXPECT_EQ(server.url().rfind("http://127.0.0.1:", 0), 0u) << server.url();
}
