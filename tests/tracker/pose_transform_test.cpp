// Pose transformation: the angle and position values the transforms must reproduce.
// Angles are compared exactly: a moved narrowing point shows in the last float place.
#include "tracker/PoseTransform.h"

#include "tests/fixtures/IdentityMatrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

TrackerPose transformed(TrackerPose pose, const Matrix4& transmitter = identity(),
                        const Matrix4& sensor = identity(), const float* translation = nullptr) {
    const float none[3] = {0, 0, 0};
    transformPose(pose, &transmitter, &sensor, translation != nullptr ? translation : none);
    return pose;
}

void expectAngles(const TrackerPose& pose, float angle1, float angle2, float angle3) {
    EXPECT_EQ(pose.angle1, angle1);
    EXPECT_EQ(pose.angle2, angle2);
    EXPECT_EQ(pose.angle3, angle3);
}

void expectPosition(const TrackerPose& pose, float x, float y, float z) {
    EXPECT_NEAR(pose.x, x, 2e-6f * (1 + std::fabs(x)));
    EXPECT_NEAR(pose.y, y, 2e-6f * (1 + std::fabs(y)));
    EXPECT_NEAR(pose.z, z, 2e-6f * (1 + std::fabs(z)));
}

} // namespace

TEST(PoseTransform, IdentityKeepsPositionAndScalesAnglesByKG) {
    const TrackerPose pose = transformed({1.5f, -2.25f, 3, 10, 20, 30});
    EXPECT_TRUE(pose.x == 1.5f && pose.y == -2.25f && pose.z == 3);
    expectAngles(pose, 9.999998f, 19.999996f, 29.999994f);
    expectAngles(transformed({0, 0, 0, 45, 45, 45}), 44.999992f, 44.999992f, 44.999992f);
    EXPECT_EQ(transformed({0, 0, 0, 180, 0, 0}).angle1, 179.99997f);
    EXPECT_EQ(transformed({0, 0, 0, 270, 0, 0}).angle1, -90.00002f);
    // The elevation folds back into [-90, 90]; the orientation stays the same.
    expectAngles(transformed({0, 0, 0, 0, 100, 0}), 179.99998f, 80.00001f, 179.99998f);
}

TEST(PoseTransform, ZeroAnglesGiveNegativeZeroElevation) {
    const TrackerPose pose = transformed({0, 0, 0, 0, 0, 0});
    expectAngles(pose, 0, 0, 0);
    EXPECT_FALSE(std::signbit(pose.angle1));
    EXPECT_TRUE(std::signbit(pose.angle2));
}

// At 90 degrees elevation the cosine is about 1.8e-7, not 0, so azimuth and roll
// survive. 89.999985 is 89.99998 to seven digits.
TEST(PoseTransform, AzimuthAndRollSurviveAtNinetyElevation) {
    expectAngles(transformed({0, 0, 0, 30, 90, 40}), 29.999994f, 89.999985f, 39.999992f);
}

TEST(PoseTransform, TransmitterRotationAndOffsetMoveThePose) {
    const Matrix4 transmitter =
        combineTransform(axisAngleMatrix(0, 1, 0, 90), offsetMatrix(10, 0, 0));
    const TrackerPose pose = transformed({1, 2, 3, 0, 0, 0}, transmitter);
    expectPosition(pose, 13, 2, -1);
    EXPECT_EQ(pose.angle1, 89.999985f);
    EXPECT_EQ(transformed({1, 2, 3, 10, 0, 0}, transmitter).angle1, 99.999985f);
}

TEST(PoseTransform, SensorOffsetTurnsWithTheNewOrientation) {
    const Matrix4 sensor = combineTransform(identity(), offsetMatrix(0, 0, 1));
    expectPosition(transformed({0, 0, 0, 90, 0, 0}, identity(), sensor), 1, 0, 0);
    expectPosition(transformed({0, 0, 0, 0, 90, 0}, identity(), sensor), 0, -1, 0);
}

TEST(PoseTransform, TranslationIsAddedLast) {
    const float translation[3] = {1, 2, 3};
    const TrackerPose pose =
        transformed({1, 2, 3, 10, 20, 30}, identity(), identity(), translation);
    EXPECT_TRUE(pose.x == 2 && pose.y == 4 && pose.z == 6);
    expectAngles(pose, 9.999998f, 19.999996f, 29.999994f);
}

TEST(PoseTransform, MissingTransformLeavesPoseUntouched) {
    const Matrix4 m = identity();
    const float translation[3] = {1, 2, 3};
    const TrackerPose before{1, 2, 3, 10, 20, 30};
    TrackerPose pose = before;
    transformPose(pose, nullptr, &m, translation);
    transformPose(pose, &m, nullptr, translation);
    EXPECT_EQ(std::memcmp(&pose, &before, sizeof pose), 0);
}
