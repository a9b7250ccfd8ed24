#include "tests/world/WorldTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace valmere::world::test {
namespace {

constexpr float Pi = 3.14159265f;

struct Vec {
    float x, y, z;
};

Vec Look(const CCamera& c) { Vec v; c.GetLook(v.x, v.y, v.z); return v; }
Vec Up(const CCamera& c) { Vec v; c.GetUp(v.x, v.y, v.z); return v; }
Vec Right(const CCamera& c) { Vec v; c.GetRight(v.x, v.y, v.z); return v; }
Vec Position(const CCamera& c) { Vec v; c.GetPosition(v.x, v.y, v.z); return v; }

double Dot(const Vec& a, const Vec& b) { return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z; }

void ExpectVec(const Vec& actual, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

// [p 1] · view, in double precision.
Vec ToView(const D3DXMATRIX& view, const Vec& p) {
    double out[3];
    for (unsigned column = 0; column < 3; ++column) {
        out[column] = p.x * double(view(0, column)) + p.y * double(view(1, column)) + p.z * double(view(2, column)) +
                      double(view(3, column));
    }
    return Vec{float(out[0]), float(out[1]), float(out[2])};
}

// The start of the viewer: at (0, 0, -10) looking along +z.
CCamera StartCamera() {
    CCamera camera = CameraAt(0.0f, 0.0f, -10.0f);
    camera.SetUp(0.0f, 1.0f, 0.0f);
    return camera;
}

TEST(CameraTest, ConstructedCameraRestsAtTheOriginLookingAlongZ) {
    const CCamera camera;
    ExpectVec(Position(camera), 0, 0, 0, 0);
    ExpectVec(Look(camera), 0, 0, 1, 0);
    ExpectVec(Up(camera), 0, 1, 0, 0);
    ExpectVec(Right(camera), 1, 0, 0, 0);
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(camera.pitch, 0.0f);
    EXPECT_EQ(camera.roll, 0.0f);
}

TEST(CameraTest, StartViewLooksAlongZFromTenUnitsBack) {
    CCamera camera = StartCamera();
    D3DXMATRIX view;
    for (int frame = 0; frame < 3; ++frame) {
        camera.Update(view);
    }
    // Within an ulp or two: the SSE sets normalise the axes by a refined
    // reciprocal square root estimate.
    for (unsigned row = 0; row < 3; ++row) {
        for (unsigned column = 0; column < 4; ++column) {
            EXPECT_NEAR(view(row, column), row == column ? 1.0f : 0.0f, 1e-6f) << row << ", " << column;
        }
    }
    EXPECT_NEAR(view(3, 0), 0.0f, 1e-6f);
    EXPECT_NEAR(view(3, 1), 0.0f, 1e-6f);
    EXPECT_NEAR(view(3, 2), 10.0f, 1e-5f);
    EXPECT_EQ(view(3, 3), 1.0f);
    ExpectVec(Position(camera), 0, 0, -10, 0);
}

TEST(CameraTest, MovementFollowsTheCameraAxes) {
    CCamera camera = StartCamera();
    D3DXMATRIX view;
    camera.SetMovement(0.0f, 0.0f, 1.0f);
    camera.Update(view);
    camera.Update(view);
    ExpectVec(Position(camera), 0, 0, -8);
    camera.SetMovement(2.0f, -3.0f, 0.0f);
    camera.Update(view);
    ExpectVec(Position(camera), 2, -3, -8);
}

TEST(CameraTest, YawOfHalfPiTurnsLookToPlusX) {
    CCamera camera = StartCamera();
    camera.SetYaw(Pi / 2);
    D3DXMATRIX view;
    camera.Update(view);
    ExpectVec(Look(camera), 1, 0, 0);
    ExpectVec(Right(camera), 0, 0, -1);
    ExpectVec(Up(camera), 0, 1, 0);
    // The eye lies at the view's origin and the look axis along view +z.
    ExpectVec(ToView(view, Position(camera)), 0, 0, 0, 1e-5f);
    ExpectVec(ToView(view, Vec{1, 0, -10}), 0, 0, 1, 1e-5f);
}

TEST(CameraTest, PositivePitchLooksDown) {
    CCamera camera = StartCamera();
    camera.SetPitch(Pi / 2);
    D3DXMATRIX view;
    camera.Update(view);
    ExpectVec(Look(camera), 0, -1, 0);
    ExpectVec(Up(camera), 0, 0, 1);
}

TEST(CameraTest, AxesStayOrthonormalAndTheViewInvertsTheFrame) {
    CCamera camera = StartCamera();
    D3DXMATRIX view;
    for (int frame = 0; frame < 2000; ++frame) {
        camera.SetYaw(0.013f * std::sin(frame * 0.05f));
        camera.SetPitch(0.011f * std::cos(frame * 0.07f));
        camera.SetRoll(0.007f);
        camera.SetMovement(0.1f, 0.05f, 0.3f);
        camera.Update(view);
    }
    const Vec look = Look(camera), up = Up(camera), right = Right(camera), eye = Position(camera);
    EXPECT_NEAR(Dot(look, look), 1.0, 1e-4);
    EXPECT_NEAR(Dot(up, up), 1.0, 1e-4);
    EXPECT_NEAR(Dot(right, right), 1.0, 1e-4);
    EXPECT_NEAR(Dot(look, up), 0.0, 1e-4);
    EXPECT_NEAR(Dot(look, right), 0.0, 1e-4);
    EXPECT_NEAR(Dot(up, right), 0.0, 1e-4);
    const float size = 1.0f + std::fabs(eye.x) + std::fabs(eye.y) + std::fabs(eye.z);
    ExpectVec(ToView(view, eye), 0, 0, 0, 1e-5f * size);
    ExpectVec(ToView(view, Vec{eye.x + up.x, eye.y + up.y, eye.z + up.z}), 0, 1, 0, 1e-3f);
    ExpectVec(ToView(view, Vec{eye.x + right.x, eye.y + right.y, eye.z + right.z}), 1, 0, 0, 1e-3f);
}

TEST(CameraTest, LookAlongUpDegeneratesWithoutFailing) {
    CCamera camera = StartCamera();
    camera.SetLook(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    camera.Update(view);
    ExpectVec(Right(camera), 0, 0, 0, 0);
    ExpectVec(Up(camera), 0, 0, 0, 0);
    // The controls put up back to (0, 1, 0) each frame: with look moved off
    // the vertical the frame recovers.
    camera.SetLook(0.0f, 0.0f, 1.0f);
    camera.ResetUp();
    camera.Update(view);
    ExpectVec(Right(camera), 1, 0, 0);
}

TEST(CameraTest, ResetPoseKeepsTheMovement) {
    CCamera camera = StartCamera();
    camera.SetYaw(0.3f);
    camera.SetMovement(0.0f, 0.0f, 1.0f);
    D3DXMATRIX view;
    camera.Update(view);
    camera.ResetPose();
    ExpectVec(Look(camera), 0, 0, -1, 0);
    EXPECT_EQ(camera.yaw, 0.0f);
    camera.Update(view);
    // Reset looks along -z, so the same movement now goes that way.
    ExpectVec(Position(camera), 0, 0, -1);
}

TEST(CameraTest, ApplyWithoutADeviceStillUpdates) {
    CCamera camera = StartCamera();
    camera.SetMovement(0.0f, 0.0f, 1.0f);
    camera.Apply(nullptr);
    ExpectVec(Position(camera), 0, 0, -9);
}

} // namespace
} // namespace valmere::world::test
