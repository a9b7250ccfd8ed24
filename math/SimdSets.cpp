// The SSE and SSE2 variant sets. Operations that the two sets implement
// separately are templates over the instruction set (SseIsa, Sse2Isa);
// those they share (slots 0, 5, 8, 9, 17, 19, 20, 22, 47 to 54) are
// instantiated with SseIsa only. Each computes its slot's formula in single
// precision; the transforms, products, splines and Vec4Cross evaluate the
// sums in the portable order and agree with it bit for bit.
#include "math/MathDispatch.h"

#if defined(__SSE2__)

#include <cmath>

#include "math/DominantAxis.h"
#include "math/SimdVector.h"
#include "math/SplineWeights.h"

namespace valmere::math::simd {
namespace {

inline __m128 Lane(int i) {
    alignas(16) float v[4] = {0, 0, 0, 0};
    v[i] = 1.0f;
    return _mm_load_ps(v);
}

// ---- transforms (slots 0, 1, 2, 5, 6, 9, 10)

// The rows are loaded once per call with unaligned loads (a D3DXMATRIX has
// no alignment); components up to three are broadcast straight from memory,
// four come in as one vector and are spread by shuffles.
template <typename Isa, int N>
inline Splats SplatVector(const float* v) {
    if constexpr (N == 4) {
        return SplatLanes<Isa>(_mm_loadu_ps(v));
    } else {
        return SplatComponents<Isa, N>(v);
    }
}

template <typename Isa, int N, int OutN, int Lanes, bool AddRow3>
inline float* Transform(float* out, const float* v, const D3DXMATRIX* m) {
    Store<OutN>(out, TransformLanes<Lanes, AddRow3>(SplatVector<Isa, N>(v), LoadRows(m->Data())));
    return out;
}

// The w′ test reads lane 3's bits in an integer register; the branch is
// predictable (a caller's matrix is either affine or projective for many
// points), and multiplying by the refined reciprocal needs no scalar
// round trip.
template <typename V, typename Isa, int N>
V* TransformCoord(V* out, const V* v, const D3DXMATRIX* m) {
    __m128 r = TransformLanes<N, true>(SplatComponents<Isa, N>(v->Data()), LoadRows(m->Data()));
    const __m128 w = Splat<Isa, 3>(r);
    if (!FirstLaneNearOne(w)) r = _mm_mul_ps(r, ReciprocalRefined(w));
    Store<N>(out->Data(), r);
    return out;
}

D3DXVECTOR4* Vec2Transform(D3DXVECTOR4* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    Transform<SseIsa, 2, 4, 2, true>(out->Data(), v->Data(), m);
    return out;
}
template <typename Isa>
D3DXVECTOR4* Vec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    Transform<Isa, 3, 4, 3, true>(out->Data(), v->Data(), m);
    return out;
}
template <typename Isa>
D3DXVECTOR4* Vec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    Transform<Isa, 4, 4, 4, false>(out->Data(), v->Data(), m);
    return out;
}
D3DXVECTOR2* Vec2TransformNormal(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    Transform<SseIsa, 2, 2, 2, false>(out->Data(), v->Data(), m);
    return out;
}
template <typename Isa>
D3DXVECTOR3* Vec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    Transform<Isa, 3, 3, 3, false>(out->Data(), v->Data(), m);
    return out;
}
D3DXVECTOR2* Vec2TransformCoord(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    return TransformCoord<D3DXVECTOR2, SseIsa, 2>(out, v, m);
}
template <typename Isa>
D3DXVECTOR3* Vec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    return TransformCoord<D3DXVECTOR3, Isa, 3>(out, v, m);
}

// ---- matrices (slots 3, 4, 11, 18, 27, 28, 30, 31)

template <typename Isa>
Rows Product(const D3DXMATRIX* a, const D3DXMATRIX* b) {
    const Rows ra = LoadRows(a->Data());
    const Rows rb = LoadRows(b->Data());
    Rows out;
    for (int i = 0; i < 4; ++i) out.r[i] = TransformLanes<4, false>(SplatLanes<Isa>(ra.r[i]), rb);
    return out;
}

template <typename Isa>
D3DXMATRIX* MatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    StoreRows(out->Data(), Product<Isa>(a, b));
    return out;
}

template <typename Isa>
D3DXMATRIX* MatrixMultiplyTranspose(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    Rows p = Product<Isa>(a, b);
    _MM_TRANSPOSE4_PS(p.r[0], p.r[1], p.r[2], p.r[3]);
    StoreRows(out->Data(), p);
    return out;
}

// Two lanes from a, two from b: (a[I0], a[I1], b[J0], b[J1]).
template <int I0, int I1, int J0, int J1>
inline __m128 Pick(__m128 a, __m128 b) {
    return _mm_shuffle_ps(a, b, _MM_SHUFFLE(J1, J0, I1, I0));
}

// Products of 2 × 2 matrices held in one register each, in row order
// (e00, e01, e10, e11). X# is the adjugate (e11, −e01, −e10, e00).
template <typename Isa>
inline __m128 Mul2(__m128 a, __m128 b) {  // A·B
    return _mm_add_ps(_mm_mul_ps(a, Isa::template Shuffle<0, 3, 0, 3>(b)),
                      _mm_mul_ps(Isa::template Shuffle<1, 0, 3, 2>(a), Isa::template Shuffle<2, 1, 2, 1>(b)));
}
template <typename Isa>
inline __m128 AdjugateMul2(__m128 a, __m128 b) {  // A#·B
    return _mm_sub_ps(_mm_mul_ps(Isa::template Shuffle<3, 3, 0, 0>(a), b),
                      _mm_mul_ps(Isa::template Shuffle<1, 1, 2, 2>(a), Isa::template Shuffle<2, 3, 0, 1>(b)));
}
template <typename Isa>
inline __m128 MulAdjugate2(__m128 a, __m128 b) {  // A·B#
    return _mm_sub_ps(_mm_mul_ps(a, Isa::template Shuffle<3, 0, 3, 0>(b)),
                      _mm_mul_ps(Isa::template Shuffle<1, 0, 3, 2>(a), Isa::template Shuffle<2, 1, 2, 1>(b)));
}

// M split into 2 × 2 blocks:
//
//     | A B |      M⁻¹ = 1/|M| · | (|D|·A − B(D#C))#    (|B|·C − D(A#B)#)# |
//     | C D |                    | (|C|·B − A(D#C)#)#   (|A|·D − C(A#B))#  |
//
// Every entry is the same cubic polynomial as its cofactor, grouped by
// blocks, which needs fewer shuffles than six minors per cofactor row. The
// rows are assembled before the signs of the block adjugates are applied:
// row i of adj(M) is rows.r[i] ⊙ (+, −, +, −) for even i, ⊙ (−, +, −, +)
// for odd i.
struct UnsignedAdjugate {
    Rows rows;
    __m128 determinant;  // in every lane
};

inline __m128 OddLanesNegated(__m128 v) { return _mm_xor_ps(v, _mm_setr_ps(0.0f, -0.0f, 0.0f, -0.0f)); }
inline __m128 EvenLanesNegated(__m128 v) { return _mm_xor_ps(v, _mm_setr_ps(-0.0f, 0.0f, -0.0f, 0.0f)); }

template <typename Isa>
[[gnu::always_inline]] inline UnsignedAdjugate ComputeAdjugate(const Rows& m) {
    const __m128 a = _mm_movelh_ps(m.r[0], m.r[1]);
    const __m128 b = _mm_movehl_ps(m.r[1], m.r[0]);
    const __m128 c = _mm_movelh_ps(m.r[2], m.r[3]);
    const __m128 d = _mm_movehl_ps(m.r[3], m.r[2]);
    // (|A|, |B|, |C|, |D|)
    const __m128 minors = _mm_sub_ps(_mm_mul_ps(Pick<0, 2, 0, 2>(m.r[0], m.r[2]), Pick<1, 3, 1, 3>(m.r[1], m.r[3])),
                                     _mm_mul_ps(Pick<1, 3, 1, 3>(m.r[0], m.r[2]), Pick<0, 2, 0, 2>(m.r[1], m.r[3])));
    const __m128 adjAB = AdjugateMul2<Isa>(a, b);
    const __m128 adjDC = AdjugateMul2<Isa>(d, c);
    const __m128 x = _mm_sub_ps(_mm_mul_ps(Splat<Isa, 3>(minors), a), Mul2<Isa>(b, adjDC));
    const __m128 y = _mm_sub_ps(_mm_mul_ps(Splat<Isa, 1>(minors), c), MulAdjugate2<Isa>(d, adjAB));
    const __m128 z = _mm_sub_ps(_mm_mul_ps(Splat<Isa, 2>(minors), b), MulAdjugate2<Isa>(a, adjDC));
    const __m128 w = _mm_sub_ps(_mm_mul_ps(Splat<Isa, 0>(minors), d), Mul2<Isa>(c, adjAB));
    UnsignedAdjugate adj;
    adj.rows = Rows{{Pick<3, 1, 3, 1>(x, y), Pick<2, 0, 2, 0>(x, y), Pick<3, 1, 3, 1>(z, w), Pick<2, 0, 2, 0>(z, w)}};
    // Expansion along column 0 of M: Σ adj[0][j]·M[j][0].
    const __m128 column0 = Pick<0, 2, 0, 2>(a, c);
    adj.determinant = Dot<Isa, 4>(adj.rows.r[0], OddLanesNegated(column0));
    return adj;
}

template <typename Isa>
float MatrixfDeterminant(const D3DXMATRIX* m) {
    return FirstLane(ComputeAdjugate<Isa>(LoadRows(m->Data())).determinant);
}

template <typename Isa>
D3DXMATRIX* MatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    const UnsignedAdjugate adj = ComputeAdjugate<Isa>(LoadRows(m->Data()));
    if (determinant) *determinant = FirstLane(adj.determinant);
    const __m128 r = ReciprocalRefined(adj.determinant);
    if (!FirstLaneFinite(r)) return nullptr;
    const __m128 even = OddLanesNegated(r), odd = EvenLanesNegated(r);
    StoreRows(out->Data(), Rows{{_mm_mul_ps(adj.rows.r[0], even), _mm_mul_ps(adj.rows.r[1], odd),
                                 _mm_mul_ps(adj.rows.r[2], even), _mm_mul_ps(adj.rows.r[3], odd)}});
    return out;
}

// The plane with (a, b, c) scaled to unit length.
template <typename Isa>
inline __m128 NormalizedPlane(const D3DXPLANE* plane) {
    const __m128 p = Load<Isa, 4>(plane->Data());
    return NormalizeLanes<Isa, 3>(p, p);
}

template <typename Isa, int I>
inline __m128 ScaledRow(__m128 plane, __m128 vector) {
    return _mm_mul_ps(Splat<Isa, I>(plane), vector);
}

// Row i = d·eᵢ − P[i]·L.
template <typename Isa>
D3DXMATRIX* MatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane) {
    const __m128 p = NormalizedPlane<Isa>(plane);
    const __m128 l = Load<Isa, 4>(light->Data());
    const __m128 d = Dot<Isa, 4>(p, l);
    const Rows rows{{_mm_sub_ps(_mm_mul_ps(d, Lane(0)), ScaledRow<Isa, 0>(p, l)),
                     _mm_sub_ps(_mm_mul_ps(d, Lane(1)), ScaledRow<Isa, 1>(p, l)),
                     _mm_sub_ps(_mm_mul_ps(d, Lane(2)), ScaledRow<Isa, 2>(p, l)),
                     _mm_sub_ps(_mm_mul_ps(d, Lane(3)), ScaledRow<Isa, 3>(p, l))}};
    StoreRows(out->Data(), rows);
    return out;
}

// Row i = eᵢ − 2·P[i]·(a, b, c, 0): I − 2nnᵀ above, −2d·n in row 3.
template <typename Isa>
D3DXMATRIX* MatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane) {
    const __m128 p = NormalizedPlane<Isa>(plane);
    const __m128 n2 = _mm_mul_ps(_mm_set1_ps(2.0f), _mm_and_ps(p, _mm_castsi128_ps(_mm_setr_epi32(-1, -1, -1, 0))));
    const Rows rows{{_mm_sub_ps(Lane(0), ScaledRow<Isa, 0>(p, n2)), _mm_sub_ps(Lane(1), ScaledRow<Isa, 1>(p, n2)),
                     _mm_sub_ps(Lane(2), ScaledRow<Isa, 2>(p, n2)), _mm_sub_ps(Lane(3), ScaledRow<Isa, 3>(p, n2))}};
    StoreRows(out->Data(), rows);
    return out;
}

// Rows (1,0,0,0), (0,c,s,0), (0,−s,c,0), (0,0,0,1) about x; about y the
// turning pair is (2, 0).
template <int Axis>
D3DXMATRIX* Rotation(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    constexpr int i = (Axis + 1) % 3;
    constexpr int j = (Axis + 2) % 3;
    alignas(16) float rowI[4] = {0, 0, 0, 0};
    alignas(16) float rowJ[4] = {0, 0, 0, 0};
    rowI[i] = c;
    rowI[j] = s;
    rowJ[i] = -s;
    rowJ[j] = c;
    Rows rows{{Lane(0), Lane(1), Lane(2), Lane(3)}};
    rows.r[i] = _mm_load_ps(rowI);
    rows.r[j] = _mm_load_ps(rowJ);
    StoreRows(out->Data(), rows);
    return out;
}

// ---- vectors (slots 7, 8, 16, 17, 47 to 54)

template <typename Isa>
D3DXVECTOR3* Vec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    const __m128 x = Load<Isa, 3>(v->Data());
    Store<3>(out->Data(), NormalizeLanes<Isa, 3>(x, x));
    return out;
}

template <typename V>
V* Normalize4(V* out, const V* v) {
    const __m128 x = Load<SseIsa, 4>(v->Data());
    Store<4>(out->Data(), NormalizeLanes<SseIsa, 4>(x, x));
    return out;
}

// u × (v, w) in 4D: three products of u's lanes with 2 × 2 minors of v and
// w, in the portable order, signs (+, −, +, −) applied last.
template <typename Isa>
D3DXVECTOR4* Vec4Cross(D3DXVECTOR4* out, const D3DXVECTOR4* pu, const D3DXVECTOR4* pv, const D3DXVECTOR4* pw) {
    const __m128 u = Load<Isa, 4>(pu->Data());
    const __m128 v = Load<Isa, 4>(pv->Data());
    const __m128 w = Load<Isa, 4>(pw->Data());
    auto minor = [&](__m128 vi, __m128 wj, __m128 vj, __m128 wi) {
        return _mm_sub_ps(_mm_mul_ps(vi, wj), _mm_mul_ps(vj, wi));
    };
    using S = Isa;
    // (f, f, e, d), (e, c, c, b), (d, b, a, a) with a = xy, b = xz, c = xw,
    // d = yz, e = yw, f = zw minors of v and w.
    const __m128 m1 = minor(S::template Shuffle<2, 2, 1, 1>(v), S::template Shuffle<3, 3, 3, 2>(w),
                            S::template Shuffle<3, 3, 3, 2>(v), S::template Shuffle<2, 2, 1, 1>(w));
    const __m128 m2 = minor(S::template Shuffle<1, 0, 0, 0>(v), S::template Shuffle<3, 3, 3, 2>(w),
                            S::template Shuffle<3, 3, 3, 2>(v), S::template Shuffle<1, 0, 0, 0>(w));
    const __m128 m3 = minor(S::template Shuffle<1, 0, 0, 0>(v), S::template Shuffle<2, 2, 1, 1>(w),
                            S::template Shuffle<2, 2, 1, 1>(v), S::template Shuffle<1, 0, 0, 0>(w));
    __m128 r = _mm_sub_ps(_mm_mul_ps(m1, S::template Shuffle<1, 0, 0, 0>(u)),
                          _mm_mul_ps(m2, S::template Shuffle<2, 2, 1, 1>(u)));
    r = _mm_add_ps(r, _mm_mul_ps(m3, S::template Shuffle<3, 3, 3, 2>(u)));
    Store<4>(out->Data(), _mm_mul_ps(r, _mm_setr_ps(1, -1, 1, -1)));
    return out;
}

template <typename V, int N>
V* WeightedSum(V* out, const std::array<float, 4>& weight, const V* a, const V* b, const V* c, const V* d) {
    __m128 sum = _mm_mul_ps(Load<SseIsa, N>(a->Data()), _mm_set1_ps(weight[0]));
    sum = _mm_add_ps(sum, _mm_mul_ps(Load<SseIsa, N>(b->Data()), _mm_set1_ps(weight[1])));
    sum = _mm_add_ps(sum, _mm_mul_ps(Load<SseIsa, N>(c->Data()), _mm_set1_ps(weight[2])));
    sum = _mm_add_ps(sum, _mm_mul_ps(Load<SseIsa, N>(d->Data()), _mm_set1_ps(weight[3])));
    Store<N>(out->Data(), sum);
    return out;
}

template <typename V, int N>
V* Hermite(V* out, const V* p1, const V* t1, const V* p2, const V* t2, float s) {
    return WeightedSum<V, N>(out, HermiteWeights(s), p1, t1, p2, t2);
}
template <typename V, int N>
V* CatmullRom(V* out, const V* p0, const V* p1, const V* p2, const V* p3, float s) {
    return WeightedSum<V, N>(out, CatmullRomWeights(s), p0, p1, p2, p3);
}
template <typename V, int N>
V* BaryCentric(V* out, const V* p1, const V* p2, const V* p3, float f, float g) {
    const __m128 a = Load<SseIsa, N>(p1->Data());
    const __m128 toB = _mm_mul_ps(_mm_sub_ps(Load<SseIsa, N>(p2->Data()), a), _mm_set1_ps(f));
    const __m128 toC = _mm_mul_ps(_mm_sub_ps(Load<SseIsa, N>(p3->Data()), a), _mm_set1_ps(g));
    Store<N>(out->Data(), _mm_add_ps(_mm_add_ps(a, toB), toC));
    return out;
}

// ---- planes (slots 13, 21, 22)

template <typename Isa>
D3DXPLANE* PlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    Store<4>(out->Data(), NormalizedPlane<Isa>(p));
    return out;
}

template <typename Isa>
D3DXPLANE* PlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* pa, const D3DXVECTOR3* pb, const D3DXVECTOR3* pc) {
    const __m128 a = Load<Isa, 3>(pa->Data());
    const __m128 ab = _mm_sub_ps(a, Load<Isa, 3>(pb->Data()));
    const __m128 ac = _mm_sub_ps(a, Load<Isa, 3>(pc->Data()));
    // (y, z, x) · (z, x, y) − (z, x, y) · (y, z, x)
    const __m128 cross = _mm_sub_ps(
        _mm_mul_ps(Isa::template Shuffle<1, 2, 0, 3>(ab), Isa::template Shuffle<2, 0, 1, 3>(ac)),
        _mm_mul_ps(Isa::template Shuffle<2, 0, 1, 3>(ab), Isa::template Shuffle<1, 2, 0, 3>(ac)));
    const __m128 n = NormalizeLanes<Isa, 3>(cross, cross);
    const __m128 d = _mm_sub_ps(_mm_setzero_ps(), Dot<Isa, 3>(n, a));
    // lanes 0..2 from n (lane 3 is 0), lane 3 = d
    Store<4>(out->Data(), _mm_add_ps(n, _mm_mul_ps(d, Lane(3))));
    return out;
}

D3DXVECTOR3* PlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* plane, const D3DXVECTOR3* pa,
                                const D3DXVECTOR3* pb) {
    const __m128 p = Load<SseIsa, 4>(plane->Data());
    const __m128 a = Load<SseIsa, 3>(pa->Data());
    const __m128 b = Load<SseIsa, 3>(pb->Data());
    const __m128 atA = Dot<SseIsa, 3>(p, a);
    const __m128 denominator = _mm_sub_ps(atA, Dot<SseIsa, 3>(p, b));
    if (FirstLane(denominator) == 0.0f) return nullptr;
    const __m128 t = _mm_mul_ps(_mm_add_ps(atA, Splat<SseIsa, 3>(p)), ReciprocalRefined(denominator));
    if (!FirstLaneFinite(t)) return nullptr;
    Store<3>(out->Data(), _mm_add_ps(a, _mm_mul_ps(t, _mm_sub_ps(b, a))));
    return out;
}

// ---- quaternions (slots 19, 20, 24, 25, 44)

// The Hamilton product q2·q1 = q2.w·q1 + q2.x·(w, −z, y, −x) + q2.y·(z, w, −x, −y)
// + q2.z·(−y, x, w, −z), the permuted lanes being those of q1.
D3DXQUATERNION* QuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2) {
    using S = SseIsa;
    const __m128 a = Load<S, 4>(q1->Data());
    const __m128 b = Load<S, 4>(q2->Data());
    __m128 r = _mm_mul_ps(Splat<S, 3>(b), a);
    r = _mm_add_ps(r, _mm_mul_ps(_mm_mul_ps(Splat<S, 0>(b), S::Shuffle<3, 2, 1, 0>(a)), _mm_setr_ps(1, -1, 1, -1)));
    r = _mm_add_ps(r, _mm_mul_ps(_mm_mul_ps(Splat<S, 1>(b), S::Shuffle<2, 3, 0, 1>(a)), _mm_setr_ps(1, 1, -1, -1)));
    r = _mm_add_ps(r, _mm_mul_ps(_mm_mul_ps(Splat<S, 2>(b), S::Shuffle<1, 0, 3, 2>(a)), _mm_setr_ps(-1, 1, 1, -1)));
    Store<4>(out->Data(), r);
    return out;
}

D3DXQUATERNION* QuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const __m128 v = Load<SseIsa, 4>(q->Data());
    const __m128 n = Dot<SseIsa, 4>(v, v);
    const float length = FirstLane(n);
    if (!(length > 1.0842022e-19f)) {
        Store<4>(out->Data(), _mm_setzero_ps());
        return out;
    }
    const __m128 conjugate = _mm_mul_ps(v, _mm_setr_ps(-1, -1, -1, 1));
    Store<4>(out->Data(), FirstLaneNearOne(n) ? conjugate : _mm_mul_ps(conjugate, ReciprocalRefined(n)));
    return out;
}

// One implementation serves both sets: the work is a branch and a square
// root, with nothing for the SSE2 forms to improve.
D3DXQUATERNION* QuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* matrix) {
    const auto& m = matrix->m;
    const float trace = m[0][0] + m[1][1] + m[2][2];
    if (trace > 0.0f) {
        const float w = FirstLane(_mm_sqrt_ss(_mm_set_ss(trace + 1.0f))) * 0.5f;
        const __m128 differences = _mm_setr_ps(m[1][2] - m[2][1], m[2][0] - m[0][2], m[0][1] - m[1][0], 0.0f);
        const __m128 xyz = _mm_mul_ps(differences, _mm_set1_ps(0.25f / w));
        Store<4>(out->Data(), _mm_add_ps(xyz, _mm_mul_ps(_mm_set1_ps(w), Lane(3))));
        return out;
    }
    const auto [i, j, k, value] = FindDominantAxis(*matrix);
    const float qi = FirstLane(_mm_sqrt_ss(_mm_set_ss(value + 1.0f))) * 0.5f;
    alignas(16) float sums[4];
    sums[i] = 0.0f;
    sums[j] = m[i][j] + m[j][i];
    sums[k] = m[i][k] + m[k][i];
    sums[3] = m[j][k] - m[k][j];
    const __m128 scaled = _mm_mul_ps(_mm_load_ps(sums), _mm_set1_ps(0.25f / qi));
    alignas(16) float q[4];
    _mm_store_ps(q, scaled);
    q[i] = qi;
    Store<4>(out->Data(), _mm_load_ps(q));
    return out;
}

// Lanes (x, y, z, w) = (cy,sy,cy,cy)(sp,cp,cp,cp)(cr,cr,sr,cr) ±
// (sy,cy,sy,sy)(cp,sp,sp,sp)(sr,sr,cr,sr) with signs (+, −, −, +).
template <typename Isa>
D3DXQUATERNION* QuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll) {
    const float cy = std::cos(yaw * 0.5f), sy = std::sin(yaw * 0.5f);
    const float cp = std::cos(pitch * 0.5f), sp = std::sin(pitch * 0.5f);
    const float cr = std::cos(roll * 0.5f), sr = std::sin(roll * 0.5f);
    const __m128 y = _mm_setr_ps(cy, sy, sy, sy);  // (c, s, s, s): lane 0 cos, others sin
    const __m128 p = _mm_setr_ps(cp, sp, cp, sp);
    const __m128 r = _mm_setr_ps(cr, sr, cr, sr);
    const __m128 first = _mm_mul_ps(_mm_mul_ps(Isa::template Shuffle<0, 1, 0, 0>(y), Isa::template Shuffle<1, 0, 0, 0>(p)),
                                    Isa::template Shuffle<0, 0, 1, 0>(r));
    const __m128 second = _mm_mul_ps(_mm_mul_ps(Isa::template Shuffle<1, 0, 1, 1>(y), Isa::template Shuffle<0, 1, 1, 1>(p)),
                                     Isa::template Shuffle<1, 1, 0, 1>(r));
    Store<4>(out->Data(), _mm_add_ps(first, _mm_mul_ps(second, _mm_setr_ps(1, -1, -1, 1))));
    return out;
}

}  // namespace

template <typename Isa>
void InstallSeparateImplementations(MathFunctionTable& table) {
    std::get<kVec3Transform>(table) = &Vec3Transform<Isa>;
    std::get<kVec4Transform>(table) = &Vec4Transform<Isa>;
    std::get<kMatrixMultiply>(table) = &MatrixMultiply<Isa>;
    std::get<kMatrixMultiplyTranspose>(table) = &MatrixMultiplyTranspose<Isa>;
    std::get<kVec3TransformNormal>(table) = &Vec3TransformNormal<Isa>;
    std::get<kVec3Normalize>(table) = &Vec3Normalize<Isa>;
    std::get<kVec3TransformCoord>(table) = &Vec3TransformCoord<Isa>;
    std::get<kMatrixfDeterminant>(table) = &MatrixfDeterminant<Isa>;
    std::get<kPlaneFromPoints>(table) = &PlaneFromPoints<Isa>;
    std::get<kVec4Cross>(table) = &Vec4Cross<Isa>;
    std::get<kMatrixInverse>(table) = &MatrixInverse<Isa>;
    std::get<kPlaneNormalize>(table) = &PlaneNormalize<Isa>;
    std::get<kQuaternionRotationYawPitchRoll>(table) = &QuaternionRotationYawPitchRoll<Isa>;
    std::get<kMatrixShadow>(table) = &MatrixShadow<Isa>;
    std::get<kMatrixReflect>(table) = &MatrixReflect<Isa>;
}

void InstallSharedImplementations(MathFunctionTable& table) {
    std::get<kVec2Transform>(table) = &Vec2Transform;
    std::get<kVec2TransformNormal>(table) = &Vec2TransformNormal;
    std::get<kVec4Normalize>(table) = &Normalize4<D3DXVECTOR4>;
    std::get<kVec2TransformCoord>(table) = &Vec2TransformCoord;
    std::get<kVec2Hermite>(table) = &Hermite<D3DXVECTOR2, 2>;
    std::get<kQuaternionMultiply>(table) = &QuaternionMultiply;
    std::get<kQuaternionRotationMatrix>(table) = &QuaternionRotationMatrix;
    std::get<kQuaternionNormalize>(table) = &Normalize4<D3DXQUATERNION>;
    std::get<kPlaneIntersectLine>(table) = &PlaneIntersectLine;
    std::get<kVec2CatmullRom>(table) = &CatmullRom<D3DXVECTOR2, 2>;
    std::get<kVec2BaryCentric>(table) = &BaryCentric<D3DXVECTOR2, 2>;
    std::get<kVec3Hermite>(table) = &Hermite<D3DXVECTOR3, 3>;
    std::get<kVec3CatmullRom>(table) = &CatmullRom<D3DXVECTOR3, 3>;
    std::get<kVec3BaryCentric>(table) = &BaryCentric<D3DXVECTOR3, 3>;
    std::get<kVec4Hermite>(table) = &Hermite<D3DXVECTOR4, 4>;
    std::get<kVec4CatmullRom>(table) = &CatmullRom<D3DXVECTOR4, 4>;
    std::get<kVec4BaryCentric>(table) = &BaryCentric<D3DXVECTOR4, 4>;
}

}  // namespace valmere::math::simd

namespace valmere::math {

void InstallSseSet(MathFunctionTable& table) {
    simd::InstallSharedImplementations(table);
    simd::InstallSeparateImplementations<simd::SseIsa>(table);
    std::get<kQuaternionInverse>(table) = &simd::QuaternionInverse;
}

void InstallSse2Set(MathFunctionTable& table) {
    simd::InstallSharedImplementations(table);
    simd::InstallSeparateImplementations<simd::Sse2Isa>(table);
    std::get<kMatrixRotationX>(table) = &simd::Rotation<0>;
    std::get<kMatrixRotationY>(table) = &simd::Rotation<1>;
}

}  // namespace valmere::math

#else

namespace valmere::math {

// Without x86 SIMD the SSE and SSE2 sets are empty: the portable code and
// the x87 subset stay in every slot.
void InstallSseSet(MathFunctionTable&) {}
void InstallSse2Set(MathFunctionTable&) {}

}  // namespace valmere::math

#endif
