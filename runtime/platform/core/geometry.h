// 3-D helpers in the device's conventions (row vectors multiplied from the left, translation
// in the fourth row, left-handed), and the integer rectangle clip of every 2-D draw path.
#pragma once

#include "port/win32.h"

// m[row][column]; a point is the row vector (x, y, z, 1) times the matrix.
struct Matrix4 {
  float m[4][4];
};

struct Vector3 {
  float x, y, z;
};

// Matrix operations return 0 (or -1 where noted) and write their output first argument. The
// output may be one of the inputs.
int MakeIdentityMatrix(Matrix4* out);
// out = a x b; nothing is written when out is null.
int MultiplyMatrix4(Matrix4* out, const Matrix4* a, const Matrix4* b);
int TransposeMatrix4(Matrix4* out, const Matrix4* m);
// -1 with out untouched when the determinant's magnitude is below 1e-7.
int InvertMatrix4(Matrix4* out, const Matrix4* m);
// aspect is height / width. -1 with out untouched when far - near or sin(fov / 2) is within
// 0.0001 of 0, and for a negative aspect (see geometry.cpp).
int MakePerspectiveMatrix(Matrix4* out, float fieldOfView, float nearZ, float farZ, float aspect);
// A view volume size high and size / aspect wide; -1 when near - far is within 0.0001 of 0,
// and for a negative aspect.
int MakeOrthoMatrix(Matrix4* out, float size, float nearZ, float farZ, float aspect);
int MakeLookAtMatrix(Matrix4* out, const Vector3* eye, const Vector3* target, const Vector3* up);
// Maps x and y of -1..1 onto centreX -/+ width / 2 and centreY +/- height / 2.
int MakeViewportMatrix(Matrix4* out, float centreX, float centreY, float width, float height);

// (x, y, z, 1) x m, first three components, without division by w.
int TransformVector3(Vector3* out, const Vector3* v, const Matrix4* m);
float DotVector3(const Vector3* a, const Vector3* b);
int NormalizeVector3Copy(Vector3* out, const Vector3* v);
Vector3* NormalizeVector3(Vector3* out, float x, float y, float z);

// Clips r to clip in place (right and bottom exclusive): an inverted r first collapses to zero
// width or height; an r wholly outside ends as a zero-width or zero-height rectangle on the
// clip's nearest edge. clip is taken as it is (callers pass normalised clips). Returns 0.
int ClipRectInPlace(RECT* r, const RECT* clip);
