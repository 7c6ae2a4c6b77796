#include "runtime/platform/core/geometry.h"

#include <cmath>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

namespace {

Matrix4 Filled(float v) {
  Matrix4 m;
  for (auto& row : m.m)
    for (float& e : row) e = v;
  return m;
}

Matrix4 RandomMatrix(std::mt19937& rng) {
  std::uniform_real_distribution<float> d(-4.0f, 4.0f);
  Matrix4 m;
  for (auto& row : m.m)
    for (float& e : row) e = d(rng);
  return m;
}

void ExpectNear(const Matrix4& a, const Matrix4& b, float tolerance) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], tolerance) << i << "," << j;
}

TEST(Geometry, MultiplyIsRowTimesColumnAndMayWriteAnInput) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    Matrix4 a = RandomMatrix(rng), b = RandomMatrix(rng);
    Matrix4 want;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) {
        double s = 0;
        for (int k = 0; k < 4; ++k) s += double(a.m[i][k]) * b.m[k][j];
        want.m[i][j] = float(s);
      }
    Matrix4 out;
    MultiplyMatrix4(&out, &a, &b);
    ExpectNear(out, want, 1e-4f);
    Matrix4 inA = a, inB = b;
    MultiplyMatrix4(&inA, &inA, &b);
    MultiplyMatrix4(&inB, &a, &inB);
    EXPECT_EQ(std::memcmp(&inA, &out, sizeof out), 0);
    EXPECT_EQ(std::memcmp(&inB, &out, sizeof out), 0);
  }
  Matrix4 a = Filled(1);
  EXPECT_EQ(MultiplyMatrix4(nullptr, &a, &a), 0);  // no output: nothing happens

  Matrix4 t = RandomMatrix(rng), tt;
  TransposeMatrix4(&tt, &t);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(tt.m[i][j], t.m[j][i]);
  TransposeMatrix4(&tt, &tt);
  EXPECT_EQ(std::memcmp(&tt, &t, sizeof t), 0);
}

TEST(Geometry, InverseTimesMatrixIsIdentity) {
  std::mt19937 rng(11);
  Matrix4 identity;
  MakeIdentityMatrix(&identity);
  for (int round = 0; round < 50; ++round) {
    Matrix4 m = RandomMatrix(rng);
    for (int i = 0; i < 4; ++i) m.m[i][i] += 8.0f;  // well away from singular
    Matrix4 inv, product;
    ASSERT_EQ(InvertMatrix4(&inv, &m), 0);
    MultiplyMatrix4(&product, &m, &inv);
    ExpectNear(product, identity, 1e-5f);
    Matrix4 inPlace = m;
    ASSERT_EQ(InvertMatrix4(&inPlace, &inPlace), 0);
    EXPECT_EQ(std::memcmp(&inPlace, &inv, sizeof inv), 0);
  }
}

TEST(Geometry, SingularMatricesAreRefusedAndOutputKept) {
  Matrix4 zeroRow;
  MakeIdentityMatrix(&zeroRow);
  zeroRow.m[2][0] = zeroRow.m[2][1] = zeroRow.m[2][2] = zeroRow.m[2][3] = 0.0f;
  Matrix4 sameRows = Filled(3.0f);
  Matrix4 tiny;  // determinant 1e-8: below the threshold although not exactly singular
  MakeIdentityMatrix(&tiny);
  tiny.m[0][0] = tiny.m[1][1] = 0.01f;
  tiny.m[2][2] = 0.0001f;
  for (const Matrix4* m : {&zeroRow, &sameRows, &tiny}) {
    const Matrix4 before = Filled(42.0f);
    Matrix4 out = before;
    EXPECT_EQ(InvertMatrix4(&out, m), -1);
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);
  }
}

TEST(Geometry, PerspectiveAndOrthoValues) {
  Matrix4 p = Filled(9.0f);
  ASSERT_EQ(MakePerspectiveMatrix(&p, 3.14159265f / 2, 1.0f, 1001.0f, 0.75f), 0);
  EXPECT_NEAR(p.m[0][0], 0.75f, 1e-6f);
  EXPECT_NEAR(p.m[1][1], 1.0f, 1e-6f);
  EXPECT_NEAR(p.m[2][2], 1.001f, 1e-6f);
  EXPECT_NEAR(p.m[3][2], -1.001f, 1e-6f);
  EXPECT_EQ(p.m[2][3], 1.0f);
  int zeros = 0;
  for (auto& row : p.m)
    for (float e : row) zeros += e == 0.0f;
  EXPECT_EQ(zeros, 11);

  Matrix4 o = Filled(9.0f);
  ASSERT_EQ(MakeOrthoMatrix(&o, 480.0f, 0.0f, 1.0f, 0.75f), 0);
  EXPECT_FLOAT_EQ(o.m[0][0], 2.0f * 0.75f / 480.0f);
  EXPECT_FLOAT_EQ(o.m[1][1], 2.0f / 480.0f);
  EXPECT_FLOAT_EQ(o.m[2][2], 1.0f);
  EXPECT_EQ(o.m[3][2], 0.0f);
  EXPECT_EQ(o.m[3][3], 1.0f);
  EXPECT_EQ(o.m[0][1], 0.0f);

  // Degenerate depth ranges and a zero field of view are refused with the output untouched.
  struct {
    int (*make)(Matrix4*, float, float, float, float);
    float a, n, f, aspect;
  } refused[] = {
      {MakePerspectiveMatrix, 1.0f, 5.0f, 5.00005f, 1.0f},
      {MakePerspectiveMatrix, 0.0f, 1.0f, 100.0f, 1.0f},
      {MakePerspectiveMatrix, 0.00015f, 1.0f, 100.0f, 1.0f},  // sin(fov / 2) below 0.0001
      {MakeOrthoMatrix, 100.0f, 2.0f, 2.00009f, 1.0f},
      // The screen's aspect (a negative argument) is not reachable from here yet.
      {MakePerspectiveMatrix, 1.0f, 1.0f, 100.0f, -1.0f},
      {MakeOrthoMatrix, 100.0f, 1.0f, 100.0f, -1.0f},
  };
  for (auto& r : refused) {
    const Matrix4 before = Filled(5.0f);
    Matrix4 out = before;
    EXPECT_EQ(r.make(&out, r.a, r.n, r.f, r.aspect), -1) << r.a << " " << r.n << " " << r.f;
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);
  }
}

TEST(Geometry, LookAtViewportAndTransform) {
  Vector3 eye = {0, 0, -10}, target = {0, 0, 0}, up = {0, 1, 0};
  Matrix4 view;
  ASSERT_EQ(MakeLookAtMatrix(&view, &eye, &target, &up), 0);
  Matrix4 expected;
  MakeIdentityMatrix(&expected);
  expected.m[3][2] = 10.0f;
  ExpectNear(view, expected, 1e-6f);

  // An oblique camera: the eye lands on the origin, the target on +z at its distance, and the
  // rows of the rotation stay orthonormal.
  eye = {3, 4, 5};
  target = {-1, 2, 9};
  up = {0, 1, 0};
  MakeLookAtMatrix(&view, &eye, &target, &up);
  Vector3 e, t;
  TransformVector3(&e, &eye, &view);
  TransformVector3(&t, &target, &view);
  EXPECT_NEAR(e.x, 0, 1e-5f);
  EXPECT_NEAR(e.y, 0, 1e-5f);
  EXPECT_NEAR(e.z, 0, 1e-5f);
  EXPECT_NEAR(t.x, 0, 1e-5f);
  EXPECT_NEAR(t.y, 0, 1e-5f);
  EXPECT_NEAR(t.z, 6.0f, 1e-5f);  // |(-4, -2, 4)| = 6
  for (int c = 0; c < 3; ++c) {
    Vector3 axis = {view.m[0][c], view.m[1][c], view.m[2][c]};
    EXPECT_NEAR(DotVector3(&axis, &axis), 1.0f, 1e-6f);
  }

  Matrix4 vp;
  MakeViewportMatrix(&vp, 320, 240, 640, 480);
  struct {
    Vector3 in, out;
  } corners[] = {
      {{-1, -1, 0.5f}, {0, 480, 0.5f}}, {{1, 1, 0}, {640, 0, 0}}, {{0, 0, 1}, {320, 240, 1}}};
  for (auto& c : corners) {
    Vector3 r;
    TransformVector3(&r, &c.in, &vp);
    EXPECT_FLOAT_EQ(r.x, c.out.x);
    EXPECT_FLOAT_EQ(r.y, c.out.y);
    EXPECT_FLOAT_EQ(r.z, c.out.z);
  }

  Matrix4 shift;
  MakeIdentityMatrix(&shift);
  shift.m[3][0] = 10, shift.m[3][1] = 20, shift.m[3][2] = 30;
  shift.m[0][3] = 7;  // the w column is ignored: no division
  Vector3 v = {1, 2, 3};
  TransformVector3(&v, &v, &shift);
  EXPECT_EQ(v.x, 11);
  EXPECT_EQ(v.y, 22);
  EXPECT_EQ(v.z, 33);
}

TEST(Geometry, NormaliseAndDot) {
  Vector3 v = {3, 0, 4}, n;
  NormalizeVector3Copy(&n, &v);
  EXPECT_FLOAT_EQ(n.x, 0.6f);
  EXPECT_FLOAT_EQ(n.y, 0.0f);
  EXPECT_FLOAT_EQ(n.z, 0.8f);
  Vector3 w;
  EXPECT_EQ(NormalizeVector3(&w, 0, -2, 0), &w);
  EXPECT_EQ(w.y, -1.0f);
  Vector3 a = {1, 2, 3}, b = {4, -5, 6};
  EXPECT_EQ(DotVector3(&a, &b), 12.0f);
}

TEST(Geometry, ClipRectInPlace) {
  struct {
    RECT in, clip, out;
  } cases[] = {
      {{-10, -10, 50, 50}, {0, 0, 640, 480}, {0, 0, 50, 50}},
      {{700, 10, 800, 20}, {0, 0, 640, 480}, {640, 10, 640, 20}},
      {{30, 40, 10, 60}, {0, 0, 640, 480}, {30, 40, 30, 60}},  // inverted: collapses, no swap
      {{30, 90, 50, 60}, {0, 0, 640, 480}, {30, 90, 50, 90}},
      {{10, 10, 20, 20}, {0, 0, 640, 480}, {10, 10, 20, 20}},  // inside: unchanged
      {{-50, -50, -20, -10},
       {0, 0, 640, 480},
       {0, 0, 0, 0}},  // above left: collapses on the corner
      {{100, 500, 200, 600}, {0, 0, 640, 480}, {100, 480, 200, 480}},
      {{-5, 100, 1000, 200}, {10, 20, 30, 400}, {10, 100, 30, 200}},
      {{0, 0, 640, 480}, {0, 0, 640, 480}, {0, 0, 640, 480}},
  };
  for (auto& c : cases) {
    RECT r = c.in;
    EXPECT_EQ(ClipRectInPlace(&r, &c.clip), 0);
    EXPECT_EQ(r.left, c.out.left) << c.in.left << "," << c.in.top << "," << c.in.right << ","
                                  << c.in.bottom;
    EXPECT_EQ(r.top, c.out.top);
    EXPECT_EQ(r.right, c.out.right);
    EXPECT_EQ(r.bottom, c.out.bottom);
  }
}

}  // namespace
