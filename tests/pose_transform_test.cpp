// Pose transformation: the angle and position values the transforms must reproduce.
#include "tracker/PoseTransform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Matrix4 identity() {
    Matrix4 m{};
    identityMatrix(&m);
    return m;
}

constexpr float noTranslation[3] = {0.0f, 0.0f, 0.0f};

TrackerPose throughIdentity(TrackerPose pose) {
    const Matrix4 t = identity();
    const Matrix4 s = identity();
    transformPose(pose, &t, &s, noTranslation);
    return pose;
}

void expectAngles(const TrackerPose& pose, float angle1, float angle2, float angle3) {
    EXPECT_FLOAT_EQ(pose.angle1, angle1);
    EXPECT_FLOAT_EQ(pose.angle2, angle2);
    EXPECT_FLOAT_EQ(pose.angle3, angle3);
}

} // namespace

TEST(PoseTransform, IdentityKeepsPositionAndShrinksAnglesByKG) {
    const TrackerPose a = throughIdentity({1.5f, -2.25f, 3.0f, 10, 20, 30});
    EXPECT_EQ(a.x, 1.5f);
    EXPECT_EQ(a.y, -2.25f);
    EXPECT_EQ(a.z, 3.0f);
    expectAngles(a, 9.999998f, 19.999996f, 29.999994f);
    expectAngles(throughIdentity({0, 0, 0, 45, 45, 45}), 44.999992f, 44.999992f, 44.999992f);
    EXPECT_FLOAT_EQ(throughIdentity({0, 0, 0, 180, 0, 0}).angle1, 179.99997f);
    EXPECT_FLOAT_EQ(throughIdentity({0, 0, 0, 270, 0, 0}).angle1, -90.00002f);
}

TEST(PoseTransform, ZeroAnglesGiveNegativeZeroElevation) {
    const TrackerPose pose = throughIdentity({0, 0, 0, 0, 0, 0});
    expectAngles(pose, 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(std::signbit(pose.angle2));
    EXPECT_FALSE(std::signbit(pose.angle1));
}

TEST(PoseTransform, ElevationBeyondNinetyIsFoldedBack) {
    expectAngles(throughIdentity({0, 0, 0, 0, 100, 0}), 179.99998f, 80.00001f, 179.99998f);
}

TEST(PoseTransform, AzimuthAndRollSurviveAtNinetyElevation) {
    expectAngles(throughIdentity({0, 0, 0, 30, 90, 40}), 29.999994f, 89.99998f, 39.999992f);
}

TEST(PoseTransform, TransmitterRotationAndOffsetMoveThePose) {
    const Matrix4 t = combineTransform(axisAngleMatrix(0, 1, 0, 90), offsetMatrix(10, 0, 0));
    const Matrix4 s = identity();
    TrackerPose pose{1, 2, 3, 0, 0, 0};
    transformPose(pose, &t, &s, noTranslation);
    EXPECT_NEAR(pose.x, 13.0f, 1e-5);
    EXPECT_NEAR(pose.y, 2.0f, 1e-5);
    EXPECT_NEAR(pose.z, -1.0f, 1e-5);
    EXPECT_FLOAT_EQ(pose.angle1, 89.99998f);

    pose = {1, 2, 3, 10, 0, 0};
    transformPose(pose, &t, &s, noTranslation);
    EXPECT_FLOAT_EQ(pose.angle1, 99.99998f);
}

TEST(PoseTransform, SensorOffsetTurnsWithTheNewOrientation) {
    const Matrix4 t = identity();
    const Matrix4 s = combineTransform(identity(), offsetMatrix(0, 0, 1));
    TrackerPose pose{0, 0, 0, 90, 0, 0};
    transformPose(pose, &t, &s, noTranslation);
    EXPECT_NEAR(pose.x, 1.0f, 1e-6);
    EXPECT_NEAR(pose.y, 0.0f, 1e-6);
    EXPECT_NEAR(pose.z, 0.0f, 1e-6);

    pose = {0, 0, 0, 0, 90, 0};
    transformPose(pose, &t, &s, noTranslation);
    EXPECT_NEAR(pose.x, 0.0f, 1e-6);
    EXPECT_NEAR(pose.y, -1.0f, 1e-6);
    EXPECT_NEAR(pose.z, 0.0f, 1e-6);
}

TEST(PoseTransform, TranslationIsAddedLast) {
    const Matrix4 t = identity();
    const Matrix4 s = identity();
    const float translation[3] = {1, 2, 3};
    TrackerPose pose{1, 2, 3, 10, 20, 30};
    transformPose(pose, &t, &s, translation);
    EXPECT_EQ(pose.x, 2.0f);
    EXPECT_EQ(pose.y, 4.0f);
    EXPECT_EQ(pose.z, 6.0f);
    expectAngles(pose, 9.999998f, 19.999996f, 29.999994f);
}

TEST(PoseTransform, MissingTransformLeavesPoseUntouched) {
    const Matrix4 m = identity();
    const float translation[3] = {1, 2, 3};
    TrackerPose pose{1, 2, 3, 10, 20, 30};
    transformPose(pose, nullptr, &m, translation);
    transformPose(pose, &m, nullptr, translation);
    EXPECT_EQ(pose.x, 1.0f);
    EXPECT_EQ(pose.z, 3.0f);
    EXPECT_EQ(pose.angle1, 10.0f);
    EXPECT_EQ(pose.angle3, 30.0f);
}
