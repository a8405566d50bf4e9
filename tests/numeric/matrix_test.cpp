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

namespace orvale {
namespace {

tMatrix MatrixOf(std::initializer_list<std::initializer_list<long double>> rows) {
    tMatrix m;
    int i = 0;
    for (const auto& row : rows) {
        ++i;
        int j = 0;
        for (const long double value : row) m(i, ++j) = value;
    }
    return m;
}

tVector VectorOf(std::initializer_list<long double> values) {
    tVector v;
    int i = 0;
    for (const long double value : values) v(++i) = value;
    return v;
}

// Correlations of VC, PR, WM and PS in the normative sample.
const tMatrix kIndexCorrelations = MatrixOf({{1.0L, 0.597L, 0.553L, 0.417L},
                                             {0.597L, 1.0L, 0.503L, 0.503L},
                                             {0.553L, 0.503L, 1.0L, 0.407L},
                                             {0.417L, 0.503L, 0.407L, 1.0L}});
const tVector kMeans = VectorOf({100.0L, 100.0L, 100.0L, 100.0L});
const tVector kSds = VectorOf({15.0L, 15.0L, 15.0L, 15.0L});

tMatrix Identity(int n) {
    tMatrix m;
    for (int i = 1; i <= n; ++i) m(i, i) = 1.0L;
    return m;
}

TEST(InvertMatrixTest, ProductWithTheInverseIsTheIdentity) {
    tMatrix inverse;
    InvertMatrix(kIndexCorrelations, 4, inverse);
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            long double product = 0.0L;
            for (int k = 1; k <= 4; ++k) product += kIndexCorrelations(i, k) * inverse(k, j);
            EXPECT_NEAR(product, i == j ? 1.0L : 0.0L, 1e-15L) << i << "," << j;
        }
    }
    EXPECT_NEAR(inverse(1, 1), 1.810735L, 5e-7L);
}

TEST(InvertMatrixTest, ZeroFirstPivotIsExchangedWithALowerRow) {
    tMatrix inverse;
    InvertMatrix(MatrixOf({{0.0L, 1.0L}, {1.0L, 0.0L}}), 2, inverse);
    EXPECT_EQ(inverse(1, 1), 0.0L);
    EXPECT_EQ(inverse(1, 2), 1.0L);
    EXPECT_EQ(inverse(2, 1), 1.0L);
    EXPECT_EQ(inverse(2, 2), 0.0L);
}

TEST(InvertMatrixTest, HandWorkedTwoByTwoAndZerosOutsideTheBlock) {
    // [[4, 7], [2, 6]]^-1 = [[6, -7], [-2, 4]] / (4*6 - 7*2) = [[0.6, -0.7], [-0.2, 0.4]].
    tMatrix a = MatrixOf({{4.0L, 7.0L, 9.0L}, {2.0L, 6.0L, 9.0L}, {9.0L, 9.0L, 9.0L}});
    const tMatrix original = a;
    tMatrix inverse;
    for (auto& row : inverse.cells) {
        for (auto& cell : row) cell = 5.0L;
    }
    InvertMatrix(a, 2, inverse);
    EXPECT_NEAR(inverse(1, 1), 0.6L, 1e-18L);
    EXPECT_NEAR(inverse(1, 2), -0.7L, 1e-18L);
    EXPECT_NEAR(inverse(2, 1), -0.2L, 1e-18L);
    EXPECT_NEAR(inverse(2, 2), 0.4L, 1e-18L);
    for (int i = 1; i <= kMatrixCapacity; ++i) {
        for (int j = 1; j <= kMatrixCapacity; ++j) {
            if (i > 2 || j > 2) {
                ASSERT_EQ(inverse(i, j), 0.0L) << i << "," << j;
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
        {MatrixOf({{1.0L, 2.0L}, {2.0L, 4.0L}}), 2},           // rank 1
        {MatrixOf({{0.0L, 1.0L}, {0.0L, 3.0L}}), 2},           // zero first column
        {MatrixOf({{1.0L, 1.0L}, {1.0L, 1.0L + 1e-12L}}), 2},  // last pivot 1e-12
        {MatrixOf({{1.0L, 0.5L, 1.5L}, {0.5L, 1.0L, 1.5L}, {1.5L, 1.5L, 3.0L}}), 3}};  // c1 + c2
    tMatrix inverse;
    for (const Row& row : rows) EXPECT_THROW(InvertMatrix(row.m, row.n, inverse), ESingularMatrix);
}

TEST(InvertMatrixTest, OrderBeyondTheCapacityIsRejected) {
    tMatrix inverse;
    EXPECT_THROW(InvertMatrix(Identity(4), kMatrixCapacity + 1, inverse), std::out_of_range);
    EXPECT_THROW(InvertMatrix(Identity(4), -1, inverse), std::out_of_range);
    long double result = 0.0L;
    EXPECT_THROW(QuadraticForm(Identity(4), 21, VectorOf({1.0L}), result), std::out_of_range);
}

TEST(QuadraticFormTest, HandWorkedValues) {
    long double result = 0.0L;
    QuadraticForm(MatrixOf({{2.5L}}), 1, VectorOf({3.0L}), result);
    EXPECT_EQ(result, 9.0L * 2.5L);
    // Not symmetric: v = (1, 2), M = [[1, 2], [3, 4]]: 1*1 + 1*2*2 + 2*3*1 + 2*4*2 = 27.
    QuadraticForm(MatrixOf({{1.0L, 2.0L}, {3.0L, 4.0L}}), 2, VectorOf({1.0L, 2.0L}), result);
    EXPECT_EQ(result, 27.0L);
}

TEST(MahalanobisTest, ProfilesOfTheFourIndexes) {
    struct Row {
        tMatrix r;
        tVector scores;
        long double distance, p, tolerance;  // incomplete gamma good to about 1e-11
    };
    const long double kHalf = std::exp(-0.5L);
    const Row rows[] = {
        // Identity: z = (1, 0, 0, 0), distance 1; chi-square(4) upper tail e^-x/2 (1 + x/2).
        {Identity(4), VectorOf({115.0L, 100.0L, 100.0L, 100.0L}), 1.0L, 1.5L * kHalf, 1e-10L},
        {Identity(4), VectorOf({130.0L, 100.0L, 100.0L, 100.0L}), 4.0L, 3.0L * std::exp(-2.0L),
         1e-10L},
        {kIndexCorrelations, VectorOf({115.0L, 100.0L, 100.0L, 100.0L}), 1.810735L, 0.770518L,
         5e-7L},
        {kIndexCorrelations, VectorOf({70.0L, 100.0L, 100.0L, 130.0L}), 14.203147L, 0.006674L,
         5e-7L},
        {kIndexCorrelations, VectorOf({85.0L, 85.0L, 85.0L, 85.0L}), 1.620177L, 0.805161L, 5e-7L}};
    for (const Row& row : rows) {
        long double distance = -1.0L;
        long double p = -1.0L;
        MahalanobisDistance(4, row.scores, kMeans, kSds, row.r, distance, p);
        EXPECT_NEAR(distance, row.distance, row.tolerance) << row.scores(1);
        EXPECT_NEAR(p, row.p, row.tolerance) << row.scores(1);
    }
}

TEST(MahalanobisTest, ScoresAtTheMeansGiveZeroAndCertainty) {
    long double distance = -1.0L;
    long double p = -1.0L;
    MahalanobisDistance(4, kMeans, kMeans, kSds, kIndexCorrelations, distance, p);
    EXPECT_EQ(distance, 0.0L);
    EXPECT_EQ(p, 1.0L);
}

TEST(MahalanobisTest, BadInputIsRejected) {
    long double distance = 0.0L;
    long double p = 0.0L;
    const tVector scores = VectorOf({115.0L, 100.0L, 100.0L, 100.0L});
    EXPECT_THROW(MahalanobisDistance(2, scores, kMeans, kSds,
                                     MatrixOf({{1.0L, 1.0L}, {1.0L, 1.0L}}), distance, p),
                 ESingularMatrix);
    try {
        MahalanobisDistance(0, scores, kMeans, kSds, kIndexCorrelations, distance, p);
        ADD_FAILURE() << "order 0 accepted";
    } catch (const EArgumentError& error) {
        EXPECT_EQ(error.Identifier(), 1301);  // zero degrees of freedom
    }
    try {
        MahalanobisDistance(4, scores, kMeans, VectorOf({15.0L, 0.0L, 15.0L, 15.0L}),
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
