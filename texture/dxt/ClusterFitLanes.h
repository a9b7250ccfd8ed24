// The high-quality colour half: a cluster fit over the ordering of the
// block's colours, then endpoint refinement on the 5:6:5 grid. Written once
// for a vector of L floats (lane k of every vector belongs to block k) and
// compiled twice, by ClusterFitPortable.cpp (4 lanes, any processor) and
// ClusterFitAvx2.cpp (8 lanes, -mavx2). Every lane sees the same operations
// in the same order whatever L is, and nothing is contracted into fused
// multiply-adds, so both give the same bytes.
//
// Everything here has internal linkage (an unnamed namespace), so the two
// translation units never share a function compiled for the other's
// instruction set.
//
// Per block:
//   1. Colours clamped to 0..1; with transparency (DXT1) pixels with alpha
//      below 0.5 are left out of the fit and get index 3.
//   2. The colours less their mean, sorted along the principal axis of
//      their covariance (power iteration).
//   3. Cluster fit: every split of the ordered colours into consecutive
//      runs for the palette entries (969 splits into four runs, 153 into
//      three) is scored by the error of its least-squares endpoints. With
//      centred colours and weights alpha (towards endpoint a) and
//      beta = 1 - alpha, the sums give beta.X = -alpha.X, and the error is
//      sum |x|^2 - N |alpha.X|^2 / det, det = A2 B2 - AB^2 with
//      A2 = sum alpha^2, B2 = sum beta^2, AB = sum alpha beta: only
//      |alpha.X|^2 / det depends on the split. alpha.X is a sum of prefix
//      sums of the ordered colours: (P[i] + P[j] + P[k]) / 3 for four runs
//      ending at i, j, k; (P[i] + P[j]) / 2 for three. Two splits are kept:
//      the best with pixels in both end runs, and the best with an end run
//      empty (its endpoint lies beyond the colours, which pays where the
//      grid lets it: the rest of the block on a third between codes).
//   4. Refinement on the grid: the better of the two splits' endpoints
//      rounded to 5:6:5, then twice over: indices to the nearest entry,
//      least-squares endpoints for those indices, and per channel the best
//      codes within one step of them (for fixed indices the error is a sum of
//      one quadratic per channel). Then a local search that moves one code at
//      a time by one step, judged by the whole block's error with the indices
//      re-chosen. Last, the codes that come nearest the mean colour, where
//      they do better (flat blocks, which the splits cannot tell apart).
//   5. DXT1 without transparent pixels uses three colours only where that
//      error is strictly lower than the four-colour error; index 3 (black,
//      transparent) is never given to an opaque pixel.
#pragma once

#include <cstdint>
#include <cstring>

namespace valmere {
namespace {

// Split scores for four runs: 1 / det for the counts (i, j - i, k - j,
// 16 - k), 0 where the split leaves a single run (det 0).
struct FourRunTable {
    float inverseDet[17][17][17];
};

constexpr FourRunTable MakeFourRunTable() {
    FourRunTable t{};
    for (int i = 0; i <= 16; ++i) {
        for (int j = i; j <= 16; ++j) {
            for (int k = j; k <= 16; ++k) {
                const double n0 = i, n1 = j - i, n2 = k - j, n3 = 16 - k;
                const double a2 = n0 + 4.0 / 9.0 * n1 + 1.0 / 9.0 * n2;
                const double b2 = n3 + 4.0 / 9.0 * n2 + 1.0 / 9.0 * n1;
                const double ab = 2.0 / 9.0 * (n1 + n2);
                const double det = a2 * b2 - ab * ab;
                t.inverseDet[i][j][k] = det > 1e-3 ? static_cast<float>(1.0 / det) : 0.0f;
            }
        }
    }
    return t;
}

constexpr FourRunTable kFourRuns = MakeFourRunTable();

// The grid: 5, 6 and 5 bits, decoded as code x (1 / largest code) like the
// block decoder.
constexpr int kLargestCode[3] = {31, 63, 31};
constexpr float kCodeStep[3] = {1.0f / 31.0f, 1.0f / 63.0f, 1.0f / 31.0f};

// V: L floats; I: L 32-bit integers.
template <class V, class I>
struct ClusterFitLanes {
    static constexpr int L = static_cast<int>(sizeof(V) / sizeof(float));
    static_assert(sizeof(I) == sizeof(V), "one integer lane per float lane");

    static V Splat(float s) { return V{} + s; }
    static I SplatInt(int s) { return I{} + s; }
    static V Min(V a, V b) { return a < b ? a : b; }
    // NaN in `a` gives `b`.
    static V Max(V a, V b) { return a > b ? a : b; }
    static V Clamp01(V v) { return Min(Max(v, V{}), Splat(1.0f)); }
    static I RoundNonNegative(V v) { return __builtin_convertvector(v + 0.5f, I); }
    // The nearest integer (ties to even) of 0 <= v < 2^22, as a float: adding
    // 2^23 leaves no fraction bits.
    static V RoundHalfEven(V v) { return (v + 8388608.0f) - 8388608.0f; }
    static V ToFloat(I v) { return __builtin_convertvector(v, V); }
    static V Dot(const V* a, const V* b) { return (a[0] * b[0] + a[1] * b[1]) + a[2] * b[2]; }

    // The pixels of L blocks (16 RGBA floats each; lanes past `count`
    // repeat the last block), clamped, with the opaque mask.
    V colour[16][3];
    I opaque[16];
    V opaqueCount;  // N, as a float

    // The ordered, centred colours' prefix sums and the mean.
    V prefix[17][3];
    V mean[3];

    // The best of one mode after refinement.
    struct Fit {
        I codeA[3], codeB[3];  // per channel, 0..largest code
        I position[16];        // 0 (a) .. steps (b) along the palette
        V error;
    };

    void Load(const float* pixels, int count, bool transparency) {
        const V zero = {};
        for (int i = 0; i < 16; ++i) {
            float lanes[4][L];
            for (int k = 0; k < L; ++k) {
                const float* p = pixels + 64 * (k < count ? k : count - 1) + 4 * i;
                for (int c = 0; c < 4; ++c) lanes[c][k] = p[c];
            }
            for (int c = 0; c < 3; ++c) {
                V v;
                std::memcpy(&v, lanes[c], sizeof v);
                colour[i][c] = Clamp01(v);
            }
            V alpha;
            std::memcpy(&alpha, lanes[3], sizeof alpha);
            opaque[i] = transparency ? ~(alpha < 0.5f) : ~I{};
        }
        opaqueCount = zero;
        for (int i = 0; i < 16; ++i) opaqueCount += opaque[i] ? Splat(1.0f) : zero;
    }

    // Steps 2 and 3's ordering: centred colours sorted along the principal
    // axis, transparent pixels (held at 0) last, and their prefix sums.
    void OrderColours() {
        const V zero = {};
        V sum[3] = {};
        for (int i = 0; i < 16; ++i) {
            for (int c = 0; c < 3; ++c) sum[c] += opaque[i] ? colour[i][c] : zero;
        }
        const V count = Max(opaqueCount, Splat(1.0f));
        V centred[16][3];
        for (int c = 0; c < 3; ++c) mean[c] = sum[c] / count;
        for (int i = 0; i < 16; ++i) {
            for (int c = 0; c < 3; ++c) centred[i][c] = opaque[i] ? colour[i][c] - mean[c] : zero;
        }
        // Covariance rr, gg, bb, rg, rb, gb.
        V cov[6] = {};
        for (int i = 0; i < 16; ++i) {
            const V* x = centred[i];
            cov[0] += x[0] * x[0];
            cov[1] += x[1] * x[1];
            cov[2] += x[2] * x[2];
            cov[3] += x[0] * x[1];
            cov[4] += x[0] * x[2];
            cov[5] += x[1] * x[2];
        }
        // Power iteration from the matrix row of the largest variance (a
        // start orthogonal to the axis would stay there).
        const I redWidest = (cov[0] >= cov[1]) & (cov[0] >= cov[2]);
        const I greenWidest = ~redWidest & (cov[1] >= cov[2]);
        V axis[3] = {redWidest ? cov[0] : (greenWidest ? cov[3] : cov[4]),
                     redWidest ? cov[3] : (greenWidest ? cov[1] : cov[5]),
                     redWidest ? cov[4] : (greenWidest ? cov[5] : cov[2])};
        for (int round = 0; round < 8; ++round) {
            const V next[3] = {(cov[0] * axis[0] + cov[3] * axis[1]) + cov[4] * axis[2],
                               (cov[3] * axis[0] + cov[1] * axis[1]) + cov[5] * axis[2],
                               (cov[4] * axis[0] + cov[5] * axis[1]) + cov[2] * axis[2]};
            // Scaled by the largest component: only the direction matters.
            auto magnitude = [](V v) { return v < 0.0f ? -v : v; };
            const V largest = Max(Max(magnitude(next[0]), magnitude(next[1])), magnitude(next[2]));
            const V scale = largest > 0.0f ? Splat(1.0f) / largest : V{};
            for (int c = 0; c < 3; ++c) axis[c] = next[c] * scale;
        }
        V key[16];
        for (int i = 0; i < 16; ++i) key[i] = opaque[i] ? Dot(centred[i], axis) : Splat(3.0e38f);
        SortByKey(key, centred);
        for (int c = 0; c < 3; ++c) prefix[0][c] = zero;
        for (int i = 0; i < 16; ++i) {
            for (int c = 0; c < 3; ++c) prefix[i + 1][c] = prefix[i][c] + centred[i][c];
        }
    }

    // Batcher's odd-even merge sort of 16 entries (63 comparators); a
    // comparator swaps only when the first key is strictly larger.
    static void SortByKey(V* key, V (*rows)[3]) {
        for (int p = 1; p < 16; p <<= 1) {
            for (int k = p; k >= 1; k >>= 1) {
                for (int j = k % p; j + k < 16; j += 2 * k) {
                    for (int i = 0; i < k; ++i) {
                        const int x = i + j;
                        const int y = i + j + k;
                        if (x / (2 * p) != y / (2 * p)) continue;
                        const I swap = key[x] > key[y];
                        const V kx = key[x];
                        key[x] = swap ? key[y] : kx;
                        key[y] = swap ? kx : key[y];
                        for (int c = 0; c < 3; ++c) {
                            const V vx = rows[x][c];
                            rows[x][c] = swap ? rows[y][c] : vx;
                            rows[y][c] = swap ? vx : rows[y][c];
                        }
                    }
                }
            }
        }
    }

    static V SquaredLength(const V* s) { return (s[0] * s[0] + s[1] * s[1]) + s[2] * s[2]; }

    // The two starting points of the refinement: the best split whose end
    // runs both hold pixels, and the best one with an empty end run (its
    // least-squares endpoint lies beyond the colours, which pays where the
    // grid lets it: an outlier at one end and the rest at a third between
    // codes, say). Splits are packed as i | j << 5 | k << 10.
    struct Splits {
        I inner;
        I outer;
    };

    // Splits into four runs ending at i <= j <= k.
    Splits BestFourRunSplits() const {
        V innerScore = Splat(-1.0f), outerScore = Splat(-1.0f);
        Splits best{};
        auto consider = [](V score, int split, V& bestScore, I& bestSplit) {
            const I better = score > bestScore;
            bestScore = better ? score : bestScore;
            bestSplit = better ? SplatInt(split) : bestSplit;
        };
        for (int i = 0; i <= 16; ++i) {
            for (int j = i; j <= 16; ++j) {
                const V s0 = prefix[i][0] + prefix[j][0];
                const V s1 = prefix[i][1] + prefix[j][1];
                const V s2 = prefix[i][2] + prefix[j][2];
                const float* inverseDet = kFourRuns.inverseDet[i][j];
                auto score = [&](int k) {
                    const V s[3] = {s0 + prefix[k][0], s1 + prefix[k][1], s2 + prefix[k][2]};
                    return SquaredLength(s) * inverseDet[k];
                };
                for (int k = j; k <= 15; ++k) {
                    if (i == 0) {
                        consider(score(k), i | j << 5 | k << 10, outerScore, best.outer);
                    } else {
                        consider(score(k), i | j << 5 | k << 10, innerScore, best.inner);
                    }
                }
                consider(score(16), i | j << 5 | 16 << 10, outerScore, best.outer);
            }
        }
        return best;
    }

    // Splits into three runs ending at i <= j <= N; -1 where a kind has
    // none (too few opaque pixels). Scores |P[i] + P[j]|^2 / det are
    // compared crosswise (no division): det = n0 n2 + n1 (n0 + n2) / 4 for
    // runs of n0, n1, n2; det 0 (a single run) never wins.
    Splits BestThreeRunSplits() const {
        V bestScore[2] = {Splat(-1.0f), Splat(-1.0f)};
        V bestDet[2] = {Splat(1.0f), Splat(1.0f)};
        Splits best{SplatInt(-1), SplatInt(-1)};
        for (int i = 0; i <= 16; ++i) {
            for (int j = i; j <= 16; ++j) {
                const V n0 = Splat(static_cast<float>(i));
                const V n1 = Splat(static_cast<float>(j - i));
                const V n2 = opaqueCount - static_cast<float>(j);
                const V det = n0 * n2 + n1 * (n0 + n2) * 0.25f;
                const V s[3] = {prefix[i][0] + prefix[j][0], prefix[i][1] + prefix[j][1],
                                prefix[i][2] + prefix[j][2]};
                const V score = SquaredLength(s);
                const I outer = (i == 0 ? ~I{} : I{}) | (n2 < 0.5f);
                const I valid = (n2 >= 0.0f) & (det > 0.125f);
                for (int kind = 0; kind < 2; ++kind) {
                    const I better = valid & (kind ? outer : ~outer) & (score * bestDet[kind] > bestScore[kind] * det);
                    bestScore[kind] = better ? score : bestScore[kind];
                    bestDet[kind] = better ? det : bestDet[kind];
                    I& kept = kind ? best.outer : best.inner;
                    kept = better ? SplatInt(i | j << 5) : kept;
                }
            }
        }
        return best;
    }

    // Least-squares endpoints a and b (unclamped) of a split, lane by lane:
    // a = mean + alpha.X (B2 + AB) / det, b = mean - alpha.X (A2 + AB) / det;
    // the mean for both where the split is a single run.
    void SplitEndpoints(I split, int steps, V* a, V* b) const {
        float la[3][L], lb[3][L], m[3][L], p[3][17][L];
        for (int c = 0; c < 3; ++c) {
            std::memcpy(m[c], &mean[c], sizeof(V));
            for (int n = 0; n <= 16; ++n) std::memcpy(p[c][n], &prefix[n][c], sizeof(V));
        }
        float count[L];
        std::memcpy(count, &opaqueCount, sizeof(V));
        for (int k = 0; k < L; ++k) {
            if (split[k] < 0) {  // every split leaves a single run: the mean
                for (int c = 0; c < 3; ++c) la[c][k] = lb[c][k] = m[c][k];
                continue;
            }
            const int i = split[k] & 31, j = (split[k] >> 5) & 31, e = (split[k] >> 10) & 31;
            double a2, b2, ab, sum[3];
            if (steps == 3) {
                const double n0 = i, n1 = j - i, n2 = e - j, n3 = 16 - e;
                a2 = n0 + 4.0 / 9.0 * n1 + 1.0 / 9.0 * n2;
                b2 = n3 + 4.0 / 9.0 * n2 + 1.0 / 9.0 * n1;
                ab = 2.0 / 9.0 * (n1 + n2);
                for (int c = 0; c < 3; ++c) sum[c] = (double{p[c][i][k]} + p[c][j][k] + p[c][e][k]) / 3.0;
            } else {
                const double n0 = i, n1 = j - i, n2 = count[k] - j;
                a2 = n0 + n1 / 4.0;
                b2 = n2 + n1 / 4.0;
                ab = n1 / 4.0;
                for (int c = 0; c < 3; ++c) sum[c] = (double{p[c][i][k]} + p[c][j][k]) / 2.0;
            }
            const double det = a2 * b2 - ab * ab;
            const bool single = det < 1e-3;
            for (int c = 0; c < 3; ++c) {
                la[c][k] = single ? m[c][k] : static_cast<float>(m[c][k] + sum[c] * (b2 + ab) / det);
                lb[c][k] = single ? m[c][k] : static_cast<float>(m[c][k] - sum[c] * (a2 + ab) / det);
            }
        }
        for (int c = 0; c < 3; ++c) {
            std::memcpy(&a[c], la[c], sizeof(V));
            std::memcpy(&b[c], lb[c], sizeof(V));
        }
    }

    static I NearestCode(V v, int c) {
        return RoundNonNegative(Clamp01(v) * static_cast<float>(kLargestCode[c]));
    }

    // The squared error of the opaque pixels with each index on the nearest
    // entry of the palette a .. b of `steps` + 1 entries (they lie evenly on
    // a line, so rounding the projection finds the nearest), and with
    // `positions` those indices as positions from a.
    V Assign(const I* codeA, const I* codeB, int steps, I* positions) const {
        V a[3], d[3];
        for (int c = 0; c < 3; ++c) {
            a[c] = ToFloat(codeA[c]) * kCodeStep[c];
            d[c] = ToFloat(codeB[c]) * kCodeStep[c] - a[c];
        }
        const V length2 = SquaredLength(d);
        const V last = Splat(static_cast<float>(steps));
        const V toPosition = length2 > 0.0f ? last / length2 : V{};
        const V toFraction = Splat(1.0f / static_cast<float>(steps));
        V error = {};
        for (int i = 0; i < 16; ++i) {
            const V x[3] = {colour[i][0] - a[0], colour[i][1] - a[1], colour[i][2] - a[2]};
            const V p = RoundHalfEven(Min(Max(Dot(x, d) * toPosition, V{}), last));
            const V f = p * toFraction;
            const V e[3] = {x[0] - d[0] * f, x[1] - d[1] * f, x[2] - d[2] * f};
            error += opaque[i] ? SquaredLength(e) : V{};
            if (positions) positions[i] = __builtin_convertvector(p, I);
        }
        return error;
    }

    // New codes for the fit's indices: per channel the codes within one step
    // of the least-squares endpoints (of the current codes where the indices
    // leave the system singular) that give the least error
    //   A2 a^2 + B2 b^2 + 2 AB a b - 2 a alpha.x - 2 b beta.x.
    void RefineCodes(Fit& fit, int steps) const {
        const V toFraction = Splat(1.0f / static_cast<float>(steps));
        V a2 = {}, b2 = {}, ab = {}, alphaX[3] = {}, betaX[3] = {};
        for (int i = 0; i < 16; ++i) {
            const V beta = opaque[i] ? ToFloat(fit.position[i]) * toFraction : V{};
            const V alpha = opaque[i] ? Splat(1.0f) - beta : V{};
            a2 += alpha * alpha;
            b2 += beta * beta;
            ab += alpha * beta;
            for (int c = 0; c < 3; ++c) {
                alphaX[c] += alpha * colour[i][c];
                betaX[c] += beta * colour[i][c];
            }
        }
        const V det = a2 * b2 - ab * ab;
        const I solvable = det > 1e-4f;
        const V inverseDet = solvable ? Splat(1.0f) / det : V{};
        for (int c = 0; c < 3; ++c) {
            const V la = (alphaX[c] * b2 - betaX[c] * ab) * inverseDet;
            const V lb = (betaX[c] * a2 - alphaX[c] * ab) * inverseDet;
            const I centreA = solvable ? NearestCode(la, c) : fit.codeA[c];
            const I centreB = solvable ? NearestCode(lb, c) : fit.codeB[c];
            V bestError = Splat(3.0e38f);
            I bestA = centreA, bestB = centreB;
            for (int da = -1; da <= 1; ++da) {
                const I ca = Clamp(centreA + da, kLargestCode[c]);
                const V va = ToFloat(ca) * kCodeStep[c];
                for (int db = -1; db <= 1; ++db) {
                    const I cb = Clamp(centreB + db, kLargestCode[c]);
                    const V vb = ToFloat(cb) * kCodeStep[c];
                    const V error = ((a2 * va * va + b2 * vb * vb) + 2.0f * ab * va * vb) -
                                    2.0f * (va * alphaX[c] + vb * betaX[c]);
                    const I better = error < bestError;
                    bestError = better ? error : bestError;
                    bestA = better ? ca : bestA;
                    bestB = better ? cb : bestB;
                }
            }
            fit.codeA[c] = bestA;
            fit.codeB[c] = bestB;
        }
    }

    static I Clamp(I v, int largest) {
        v = v < 0 ? I{} : v;
        return v > largest ? SplatInt(largest) : v;
    }

    // The codes nearest a split's least-squares endpoints, with their error.
    Fit Rounded(I split, int steps) const {
        V a[3], b[3];
        SplitEndpoints(split, steps, a, b);
        Fit fit;
        for (int c = 0; c < 3; ++c) {
            fit.codeA[c] = NearestCode(a[c], c);
            fit.codeB[c] = NearestCode(b[c], c);
        }
        fit.error = Assign(fit.codeA, fit.codeB, steps, fit.position);
        return fit;
    }

    static void KeepBetter(Fit& best, const I* codeA, const I* codeB, V error) {
        const I better = error < best.error;
        for (int c = 0; c < 3; ++c) {
            best.codeA[c] = better ? codeA[c] : best.codeA[c];
            best.codeB[c] = better ? codeB[c] : best.codeB[c];
        }
        best.error = better ? error : best.error;
    }

    // The codes that come nearest the block's mean colour with every pixel
    // on the palette entry next to a (a third, or half, of the way to b):
    // per channel the best b for a one code either side of the mean. For a
    // flat block no codes do better; the least-squares starts cannot see
    // that, as one colour gives them a single run.
    Fit FlatStart(int steps) const {
        const float w = 1.0f / static_cast<float>(steps);
        Fit fit;
        for (int c = 0; c < 3; ++c) {
            const float largest = static_cast<float>(kLargestCode[c]);
            const V x = mean[c] * largest;
            const I below = Clamp(__builtin_convertvector(x, I), kLargestCode[c]);
            V bestError = Splat(3.0e38f);
            for (int offset = -1; offset <= 1; ++offset) {
                const I a = Clamp(below + offset, kLargestCode[c]);
                const V va = ToFloat(a);
                const I b = Clamp(RoundNonNegative(Max(va + (x - va) * static_cast<float>(steps), V{})), kLargestCode[c]);
                const V e = x - (va + (ToFloat(b) - va) * w);
                const I better = e * e < bestError;
                bestError = better ? e * e : bestError;
                fit.codeA[c] = offset == -1 || better ? a : fit.codeA[c];
                fit.codeB[c] = offset == -1 || better ? b : fit.codeB[c];
            }
        }
        fit.error = Assign(fit.codeA, fit.codeB, steps, fit.position);
        return fit;
    }

    // Step 4: of the two splits' rounded endpoints the better, then twice
    // new codes for its indices, then a local search on the whole block's
    // error (each code of each endpoint one step either way, kept where the
    // error falls; the indices follow the codes, which the first steps hold
    // fixed); the flat codes where they do better; and the indices of the
    // result.
    Fit Refine(const Splits& splits, int steps) const {
        Fit fit = Rounded(splits.inner, steps);
        const Fit outer = Rounded(splits.outer, steps);
        const I outerBetter = outer.error < fit.error;
        for (int c = 0; c < 3; ++c) {
            fit.codeA[c] = outerBetter ? outer.codeA[c] : fit.codeA[c];
            fit.codeB[c] = outerBetter ? outer.codeB[c] : fit.codeB[c];
        }
        for (int i = 0; i < 16; ++i) fit.position[i] = outerBetter ? outer.position[i] : fit.position[i];
        fit.error = outerBetter ? outer.error : fit.error;
        Fit best = fit;
        for (int round = 0; round < 2; ++round) {
            RefineCodes(fit, steps);
            fit.error = Assign(fit.codeA, fit.codeB, steps, fit.position);
            KeepBetter(best, fit.codeA, fit.codeB, fit.error);
        }
        for (int e = 0; e < 6; ++e) {
            for (int step = -1; step <= 1; step += 2) {
                I codeA[3], codeB[3];
                for (int c = 0; c < 3; ++c) {
                    codeA[c] = best.codeA[c];
                    codeB[c] = best.codeB[c];
                }
                I& moved = e < 3 ? codeA[e] : codeB[e - 3];
                moved = Clamp(moved + step, kLargestCode[e % 3]);
                KeepBetter(best, codeA, codeB, Assign(codeA, codeB, steps, nullptr));
            }
        }
        const Fit flat = FlatStart(steps);
        KeepBetter(best, flat.codeA, flat.codeB, flat.error);
        Assign(best.codeA, best.codeB, steps, best.position);
        return best;
    }
};

// 5:6:5 code of a fit's endpoint in lane k.
template <class Fit>
std::uint32_t Code565(const Fit& fit, bool endpointB, int k) {
    const auto& code = endpointB ? fit.codeB : fit.codeA;
    return static_cast<std::uint32_t>(code[0][k] << 11 | code[1][k] << 5 | code[2][k]);
}

void StoreColourBlock(std::uint8_t* out, std::uint32_t colour0, std::uint32_t colour1, std::uint32_t indices) {
    const std::uint32_t words[2] = {colour0 | colour1 << 16, indices};
    for (int w = 0; w < 2; ++w) {
        for (int b = 0; b < 4; ++b) out[4 * w + b] = static_cast<std::uint8_t>(words[w] >> (8 * b));
    }
}

// Writes lane k of a four-colour fit: colour0 > colour1 (the endpoints
// exchanged if need be), positions 0..3 from colour0 map to indices
// 0, 2, 3, 1; equal codes make a flat block with every index 0.
template <class Fit>
void StoreFourColours(std::uint8_t* out, const Fit& fit, int k) {
    const std::uint32_t a = Code565(fit, false, k), b = Code565(fit, true, k);
    if (a == b) return StoreColourBlock(out, a, a, 0);
    constexpr std::uint32_t kFromA[4] = {0, 2, 3, 1};
    constexpr std::uint32_t kFromB[4] = {1, 3, 2, 0};
    const std::uint32_t* map = a > b ? kFromA : kFromB;
    std::uint32_t indices = 0;
    for (int i = 0; i < 16; ++i) indices |= map[fit.position[i][k]] << (2 * i);
    StoreColourBlock(out, a > b ? a : b, a > b ? b : a, indices);
}

// Writes lane k of a three-colour fit: colour0 <= colour1, positions 0..2
// from colour0 map to indices 0, 2, 1, and pixels left out of the fit
// (transparent) take index 3.
template <class Fit, class I>
void StoreThreeColours(std::uint8_t* out, const Fit& fit, const I* opaque, int k) {
    const std::uint32_t a = Code565(fit, false, k), b = Code565(fit, true, k);
    constexpr std::uint32_t kFromA[3] = {0, 2, 1};
    constexpr std::uint32_t kFromB[3] = {1, 2, 0};
    const std::uint32_t* map = a <= b ? kFromA : kFromB;
    std::uint32_t indices = 0;
    for (int i = 0; i < 16; ++i) {
        // Lane k through a copy: GCC 12 with the sanitizers takes a
        // subscripted vector in a condition for an uninitialised read.
        std::int32_t lanes[sizeof(I) / sizeof(std::int32_t)];
        std::memcpy(lanes, &opaque[i], sizeof lanes);
        indices |= (lanes[k] ? map[fit.position[i][k]] : 3u) << (2 * i);
    }
    StoreColourBlock(out, a <= b ? a : b, a <= b ? b : a, indices);
}

// Encodes `count` blocks (16 RGBA floats each) into colour halves `stride`
// bytes apart, L blocks at a time.
template <class V, class I>
void PackClusterFitColoursWith(std::uint8_t* out, int stride, const float* pixels, unsigned count,
                               bool transparency) {
    using Lanes = ClusterFitLanes<V, I>;
    constexpr int L = Lanes::L;
    for (unsigned first = 0; first < count; first += L) {
        const int n = static_cast<int>(count - first < static_cast<unsigned>(L) ? count - first : L);
        Lanes lanes;
        lanes.Load(pixels + 64 * static_cast<std::size_t>(first), n, transparency);
        lanes.OrderColours();
        float opaqueCount[L];
        std::memcpy(opaqueCount, &lanes.opaqueCount, sizeof opaqueCount);
        bool anyFour = false;
        for (int k = 0; k < n; ++k) anyFour = anyFour || opaqueCount[k] == 16.0f;

        typename Lanes::Fit four{};
        if (anyFour) four = lanes.Refine(lanes.BestFourRunSplits(), 3);
        typename Lanes::Fit three{};
        if (transparency) three = lanes.Refine(lanes.BestThreeRunSplits(), 2);
        for (int k = 0; k < n; ++k) {
            std::uint8_t* block = out + static_cast<std::size_t>(first + k) * stride;
            if (opaqueCount[k] == 0.0f) {
                StoreColourBlock(block, 0x0000, 0xFFFF, 0xFFFFFFFFu);
            } else if (transparency && (opaqueCount[k] < 16.0f || three.error[k] < four.error[k])) {
                StoreThreeColours(block, three, lanes.opaque, k);
            } else {
                StoreFourColours(block, four, k);
            }
        }
    }
}

}  // namespace
}  // namespace valmere
