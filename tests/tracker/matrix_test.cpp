// Matrix builders: element layout, the axis-angle rotation and the combine rule.
#include "tracker/Matrix4.h"

#include <gtest/gtest.h>

namespace {

void expectElements(const Matrix4& matrix, const float (&expected)[16]) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(matrix.m[i], expected[i]) << "element " << i;
    }
}

} // namespace

TEST(Matrix4, ZeroAxisGivesIdentityBlockWithoutM15) {
    expectElements(axisAngleMatrix(0, 0, 0, 45), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0});
    Matrix4 matrix = offsetMatrix(1, 2, 3);
    ASSERT_TRUE(identityMatrix(&matrix));
    expectElements(matrix, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_FALSE(zeroMatrix(nullptr));
    EXPECT_FALSE(identityMatrix(nullptr));
}

TEST(Matrix4, AxisAngleIsRightHandedAndIgnoresAxisLength) {
    const Matrix4 rotation = axisAngleMatrix(0, 0, 2, 90);
    expectElements(axisAngleMatrix(0, 0, 1, 90), rotation.m);
    EXPECT_EQ(rotation.m[1], 1.0f); // the x axis goes onto the y axis
    EXPECT_EQ(rotation.m[4], -1.0f);
    EXPECT_EQ(rotation.m[10], 1.0f);
    EXPECT_NEAR(rotation.m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(rotation.m[5], 0.0f, 1e-6f);
}

TEST(Matrix4, CombineTakesRotationBlockAndOffsetColumn) {
    const Matrix4 offset = offsetMatrix(10, 11, 12);
    expectElements(offset, {0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 12, 0, 0, 0, 0});
    const Matrix4 rotation = matrixFromNine(1, 2, 3, 4, 5, 6, 7, 8, 9);
    expectElements(rotation, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 0});
    expectElements(combineTransform(rotation, offset),
                   {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1});
}
