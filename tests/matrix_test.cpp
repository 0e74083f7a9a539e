// Matrix builders: element layout, the axis-angle rotation and the combine rule.
#include "tracker/Matrix4.h"

#include <gtest/gtest.h>

namespace {

void expectElements(const Matrix4& matrix, const float (&expected)[16]) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(matrix.m[i], expected[i]) << "element " << i;
    }
}

} // namespace

TEST(Matrix4, ZeroAndIdentityRefuseNull) {
    EXPECT_FALSE(zeroMatrix(nullptr));
    EXPECT_FALSE(identityMatrix(nullptr));
    Matrix4 m;
    ASSERT_TRUE(identityMatrix(&m));
    expectElements(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

TEST(Matrix4, ZeroAxisGivesIdentityBlockWithoutM15) {
    expectElements(axisAngleMatrix(0, 0, 0, 45), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0});
}

TEST(Matrix4, AxisAngleIsRightHandedAndIgnoresAxisLength) {
    const Matrix4 unit = axisAngleMatrix(0, 0, 1, 90);
    const Matrix4 longer = axisAngleMatrix(0, 0, 2, 90);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(unit.m[i], longer.m[i]) << "element " << i;
    }
    // The x axis goes onto the y axis.
    EXPECT_FLOAT_EQ(unit.m[1], 1.0f);
    EXPECT_FLOAT_EQ(unit.m[4], -1.0f);
    EXPECT_FLOAT_EQ(unit.m[10], 1.0f);
    EXPECT_NEAR(unit.m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(unit.m[5], 0.0f, 1e-6f);
    EXPECT_EQ(unit.m[15], 0.0f);
}

TEST(Matrix4, NineValuesFillTheRotationBlockColumnByColumn) {
    expectElements(matrixFromNine(1, 2, 3, 4, 5, 6, 7, 8, 9),
                   {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 0});
}

TEST(Matrix4, CombineTakesRotationBlockAndOffsetColumn) {
    const Matrix4 combined =
        combineTransform(matrixFromNine(1, 2, 3, 4, 5, 6, 7, 8, 9), offsetMatrix(10, 11, 12));
    expectElements(combined, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1});
    expectElements(offsetMatrix(10, 11, 12), {0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 12, 0, 0, 0, 0});
}
