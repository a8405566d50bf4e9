// SPDX-License-Identifier: GPL-3.0-or-later
// Gauss-Jordan inversion, quadratic forms and the Mahalanobis distance: hand-worked cases, the
// profile correlation matrix of the four Indexes, pivoting, singular matrices and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <stdexcept>

#include "numeric/distrib.h"
#include "numeric/mahalanobis.h"
#include "numeric/matrix_handling.h"
#include "support/extended_testing.h"

namespace orvale {
namespace {

tMatrix MatrixOf(std::initializer_list<std::initializer_list<Extended>> rows) {
    tMatrix m;
    int i = 0;
    for (const auto& row : rows) {
        ++i;
        int j = 0;
        for (const Extended value : row) m(i, ++j) = value;
    }
    return m;
}

tVector VectorOf(std::initializer_list<Extended> values) {
    tVector v;
    int i = 0;
    for (const Extended value : values) v(++i) = value;
    return v;
}

// Correlations of VC, PR, WM and PS in the normative sample.
const tMatrix kIndexCorrelations = MatrixOf({{1.0_x, 0.597_x, 0.553_x, 0.417_x},
                                             {0.597_x, 1.0_x, 0.503_x, 0.503_x},
                                             {0.553_x, 0.503_x, 1.0_x, 0.407_x},
                                             {0.417_x, 0.503_x, 0.407_x, 1.0_x}});
const tVector kMeans = VectorOf({100.0_x, 100.0_x, 100.0_x, 100.0_x});
const tVector kSds = VectorOf({15.0_x, 15.0_x, 15.0_x, 15.0_x});

tMatrix Identity(int n) {
    tMatrix m;
    for (int i = 1; i <= n; ++i) m(i, i) = 1.0_x;
    return m;
}

TEST(InvertMatrixTest, ProductWithTheInverseIsTheIdentity) {
    tMatrix inverse;
    InvertMatrix(kIndexCorrelations, 4, inverse);
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            Extended product = 0.0_x;
            for (int k = 1; k <= 4; ++k) product += kIndexCorrelations(i, k) * inverse(k, j);
            EXPECT_NEAR(product, i == j ? 1.0_x : 0.0_x, 1e-15_x) << i << "," << j;
        }
    }
    EXPECT_NEAR(inverse(1, 1), 1.810735_x, 5e-7_x);
}

TEST(InvertMatrixTest, ZeroFirstPivotIsExchangedWithALowerRow) {
    tMatrix inverse;
    InvertMatrix(MatrixOf({{0.0_x, 1.0_x}, {1.0_x, 0.0_x}}), 2, inverse);
    EXPECT_EQ(inverse(1, 1), 0.0_x);
    EXPECT_EQ(inverse(1, 2), 1.0_x);
    EXPECT_EQ(inverse(2, 1), 1.0_x);
    EXPECT_EQ(inverse(2, 2), 0.0_x);
}

TEST(InvertMatrixTest, HandWorkedTwoByTwoAndZerosOutsideTheBlock) {
    // [[4, 7], [2, 6]]^-1 = [[6, -7], [-2, 4]] / (4*6 - 7*2) = [[0.6, -0.7], [-0.2, 0.4]].
    tMatrix a = MatrixOf({{4.0_x, 7.0_x, 9.0_x}, {2.0_x, 6.0_x, 9.0_x}, {9.0_x, 9.0_x, 9.0_x}});
    const tMatrix original = a;
    tMatrix inverse;
    for (auto& row : inverse.cells) {
        for (auto& cell : row) cell = 5.0_x;
    }
    InvertMatrix(a, 2, inverse);
    EXPECT_NEAR(inverse(1, 1), 0.6_x, 1e-18_x);
    EXPECT_NEAR(inverse(1, 2), -0.7_x, 1e-18_x);
    EXPECT_NEAR(inverse(2, 1), -0.2_x, 1e-18_x);
    EXPECT_NEAR(inverse(2, 2), 0.4_x, 1e-18_x);
    for (int i = 1; i <= kMatrixCapacity; ++i) {
        for (int j = 1; j <= kMatrixCapacity; ++j) {
            if (i > 2 || j > 2) {
                ASSERT_EQ(inverse(i, j), 0.0_x) << i << "," << j;
            }
            ASSERT_EQ(a(i, j), original(i, j));
        }
    }
}

TEST(InvertMatrixTest, SingularAndNearlySingularMatricesAreReported) {
    struct Row {
        tMatrix m;
        int n;
    };
    const Row rows[] = {
        {MatrixOf({{1.0_x, 2.0_x}, {2.0_x, 4.0_x}}), 2},            // rank 1
        {MatrixOf({{0.0_x, 1.0_x}, {0.0_x, 3.0_x}}), 2},            // zero first column
        {MatrixOf({{1.0_x, 1.0_x}, {1.0_x, 1.0_x + 1e-12_x}}), 2},  // last pivot 1e-12
        {MatrixOf({{1.0_x, 0.5_x, 1.5_x}, {0.5_x, 1.0_x, 1.5_x}, {1.5_x, 1.5_x, 3.0_x}}),
         3}};  // c1 + c2
    tMatrix inverse;
    for (const Row& row : rows) EXPECT_THROW(InvertMatrix(row.m, row.n, inverse), ESingularMatrix);
}

TEST(InvertMatrixTest, OrderBeyondTheCapacityIsRejected) {
    tMatrix inverse;
    EXPECT_THROW(InvertMatrix(Identity(4), kMatrixCapacity + 1, inverse), std::out_of_range);
    EXPECT_THROW(InvertMatrix(Identity(4), -1, inverse), std::out_of_range);
    Extended result = 0.0_x;
    EXPECT_THROW(QuadraticForm(Identity(4), 21, VectorOf({1.0_x}), result), std::out_of_range);
}

TEST(QuadraticFormTest, HandWorkedValues) {
    Extended result = 0.0_x;
    QuadraticForm(MatrixOf({{2.5_x}}), 1, VectorOf({3.0_x}), result);
    EXPECT_EQ(result, 9.0_x * 2.5_x);
    // Not symmetric: v = (1, 2), M = [[1, 2], [3, 4]]: 1*1 + 1*2*2 + 2*3*1 + 2*4*2 = 27.
    QuadraticForm(MatrixOf({{1.0_x, 2.0_x}, {3.0_x, 4.0_x}}), 2, VectorOf({1.0_x, 2.0_x}), result);
    EXPECT_EQ(result, 27.0_x);
}

TEST(MahalanobisTest, ProfilesOfTheFourIndexes) {
    struct Row {
        tMatrix r;
        tVector scores;
        Extended distance, p, tolerance;  // incomplete gamma good to about 1e-11
    };
    const Extended kHalf = std::exp(-0.5);
    const Row rows[] = {
        // Identity: z = (1, 0, 0, 0), distance 1; chi-square(4) upper tail e^-x/2 (1 + x/2).
        {Identity(4), VectorOf({115.0_x, 100.0_x, 100.0_x, 100.0_x}), 1.0_x, 1.5_x * kHalf,
         1e-10_x},
        {Identity(4), VectorOf({130.0_x, 100.0_x, 100.0_x, 100.0_x}), 4.0_x, 3.0_x * std::exp(-2.0),
         1e-10_x},
        {kIndexCorrelations, VectorOf({115.0_x, 100.0_x, 100.0_x, 100.0_x}), 1.810735_x, 0.770518_x,
         5e-7_x},
        {kIndexCorrelations, VectorOf({70.0_x, 100.0_x, 100.0_x, 130.0_x}), 14.203147_x, 0.006674_x,
         5e-7_x},
        {kIndexCorrelations, VectorOf({85.0_x, 85.0_x, 85.0_x, 85.0_x}), 1.620177_x, 0.805161_x,
         5e-7_x}};
    for (const Row& row : rows) {
        Extended distance = -1.0_x;
        Extended p = -1.0_x;
        MahalanobisDistance(4, row.scores, kMeans, kSds, row.r, distance, p);
        EXPECT_NEAR(distance, row.distance, row.tolerance) << row.scores(1);
        EXPECT_NEAR(p, row.p, row.tolerance) << row.scores(1);
    }
}

TEST(MahalanobisTest, ScoresAtTheMeansGiveZeroAndCertainty) {
    Extended distance = -1.0_x;
    Extended p = -1.0_x;
    MahalanobisDistance(4, kMeans, kMeans, kSds, kIndexCorrelations, distance, p);
    EXPECT_EQ(distance, 0.0_x);
    EXPECT_EQ(p, 1.0_x);
}

TEST(MahalanobisTest, BadInputIsRejected) {
    Extended distance = 0.0_x;
    Extended p = 0.0_x;
    const tVector scores = VectorOf({115.0_x, 100.0_x, 100.0_x, 100.0_x});
    EXPECT_THROW(MahalanobisDistance(2, scores, kMeans, kSds,
                                     MatrixOf({{1.0_x, 1.0_x}, {1.0_x, 1.0_x}}), distance, p),
                 ESingularMatrix);
    try {
        MahalanobisDistance(0, scores, kMeans, kSds, kIndexCorrelations, distance, p);
        ADD_FAILURE() << "order 0 accepted";
    } catch (const EArgumentError& error) {
        EXPECT_EQ(error.Identifier(), 1301);  // zero degrees of freedom
    }
    try {
        MahalanobisDistance(4, scores, kMeans, VectorOf({15.0_x, 0.0_x, 15.0_x, 15.0_x}),
                            kIndexCorrelations, distance, p);
        ADD_FAILURE() << "zero SD accepted";
    } catch (const EArgumentError& error) {
        EXPECT_EQ(error.Identifier(), argument_error::kStandardDeviationNotPositive);
    }
    EXPECT_THROW(MahalanobisDistance(21, scores, kMeans, kSds, kIndexCorrelations, distance, p),
                 std::out_of_range);
}

}  // namespace
}  // namespace orvale
