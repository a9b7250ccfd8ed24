// Component-wise arithmetic shared by the D3DX value types. A type T with N
// float components derives from ComponentOperators<T, N> and provides
// Data(), which points at its first component; the components must be
// contiguous floats. Division by a scalar multiplies by its reciprocal.
#pragma once

namespace valmere::math {

template <typename T, int N>
struct ComponentOperators {
    T& operator+=(const T& other) { return Apply(other, [](float& a, float b) { a += b; }); }
    T& operator-=(const T& other) { return Apply(other, [](float& a, float b) { a -= b; }); }
    T& operator*=(float s) {
        float* d = Self().Data();
        for (int i = 0; i < N; ++i) d[i] *= s;
        return Self();
    }
    T& operator/=(float s) { return *this *= 1.0f / s; }

    T operator+() const { return Self(); }
    T operator-() const {
        T r = Self();
        return r *= -1.0f;
    }

    friend T operator+(const T& a, const T& b) {
        T r = a;
        return r += b;
    }
    friend T operator-(const T& a, const T& b) {
        T r = a;
        return r -= b;
    }
    friend T operator*(const T& a, float s) {
        T r = a;
        return r *= s;
    }
    friend T operator*(float s, const T& a) { return a * s; }
    friend T operator/(const T& a, float s) {
        T r = a;
        return r /= s;
    }
    friend bool operator==(const T& a, const T& b) {
        const float* x = a.Data();
        const float* y = b.Data();
        for (int i = 0; i < N; ++i) {
            if (x[i] != y[i]) return false;
        }
        return true;
    }
    friend bool operator!=(const T& a, const T& b) { return !(a == b); }

    // Component-wise minimum and maximum (the first operand on ties).
    friend T ComponentMin(const T& a, const T& b) {
        return Combine(a, b, [](float x, float y) { return x <= y ? x : y; });
    }
    friend T ComponentMax(const T& a, const T& b) {
        return Combine(a, b, [](float x, float y) { return x >= y ? x : y; });
    }

private:
    template <typename Op>
    static T Combine(const T& a, const T& b, Op op) {
        T r = a;
        float* d = r.Data();
        const float* o = b.Data();
        for (int i = 0; i < N; ++i) d[i] = op(d[i], o[i]);
        return r;
    }
    T& Self() { return static_cast<T&>(*this); }
    const T& Self() const { return static_cast<const T&>(*this); }
    template <typename Op>
    T& Apply(const T& other, Op op) {
        float* d = Self().Data();
        const float* o = other.Data();
        for (int i = 0; i < N; ++i) op(d[i], o[i]);
        return Self();
    }
};

}  // namespace valmere::math
