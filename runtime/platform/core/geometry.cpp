#include "runtime/platform/core/geometry.h"

#include <cmath>

#include "runtime/platform/core/arithmetic_helpers.h"

namespace {

Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void Zero(Matrix4* out) {
  for (auto& row : out->m)
    for (float& v : row) v = 0.0f;
}

// The 3 x 3 minor of m without row r and column c, in extended precision.
long double Minor(const Matrix4& m, int r, int c) {
  int rows[3], cols[3];
  for (int i = 0, n = 0; i < 4; ++i)
    if (i != r) rows[n++] = i;
  for (int i = 0, n = 0; i < 4; ++i)
    if (i != c) cols[n++] = i;
  auto at = [&](int i, int j) { return static_cast<long double>(m.m[rows[i]][cols[j]]); };
  return at(0, 0) * (at(1, 1) * at(2, 2) - at(1, 2) * at(2, 1)) -
         at(0, 1) * (at(1, 0) * at(2, 2) - at(1, 2) * at(2, 0)) +
         at(0, 2) * (at(1, 0) * at(2, 1) - at(1, 1) * at(2, 0));
}

// A negative aspect asks for the screen's height / width, which the graphics layer owns; until
// the screen size is reachable from here such a request is refused rather than guessed.
bool ResolveAspect(float aspect, float* resolved) {
  if (aspect < 0.0f) return false;
  *resolved = aspect;
  return true;
}

}  // namespace

int MakeIdentityMatrix(Matrix4* out) {
  Zero(out);
  for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
  return 0;
}

int MultiplyMatrix4(Matrix4* out, const Matrix4* a, const Matrix4* b) {
  if (!out) return 0;
  Matrix4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] +
                  a->m[i][3] * b->m[3][j];
  *out = r;
  return 0;
}

int TransposeMatrix4(Matrix4* out, const Matrix4* m) {
  Matrix4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = m->m[j][i];
  *out = r;
  return 0;
}

int InvertMatrix4(Matrix4* out, const Matrix4* m) {
  long double cofactor[4][4];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) cofactor[r][c] = (((r + c) & 1) ? -1.0L : 1.0L) * Minor(*m, r, c);
  long double det = 0.0L;
  for (int c = 0; c < 4; ++c) det += static_cast<long double>(m->m[0][c]) * cofactor[0][c];
  if (std::fabs(static_cast<float>(det)) < 1e-7f) return -1;
  Matrix4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = static_cast<float>(cofactor[j][i] / det);
  *out = r;
  return 0;
}

int MakePerspectiveMatrix(Matrix4* out, float fieldOfView, float nearZ, float farZ, float aspect) {
  float s, c;
  SinCosF(fieldOfView / 2.0f, &s, &c);
  if (std::fabs(farZ - nearZ) < 0.0001f || std::fabs(s) < 0.0001f) return -1;
  if (!ResolveAspect(aspect, &aspect)) return -1;
  float cot = c / s;
  float depth = farZ - nearZ;
  Zero(out);
  out->m[0][0] = aspect * cot;
  out->m[1][1] = cot;
  out->m[2][2] = farZ / depth;
  out->m[2][3] = 1.0f;
  out->m[3][2] = -nearZ * farZ / depth;
  return 0;
}

int MakeOrthoMatrix(Matrix4* out, float size, float nearZ, float farZ, float aspect) {
  if (std::fabs(nearZ - farZ) < 0.0001f) return -1;
  if (!ResolveAspect(aspect, &aspect)) return -1;
  Zero(out);
  out->m[0][0] = 2.0f * aspect / size;
  out->m[1][1] = 2.0f / size;
  out->m[2][2] = 1.0f / (farZ - nearZ);
  out->m[3][2] = nearZ / (nearZ - farZ);
  out->m[3][3] = 1.0f;
  return 0;
}

int MakeLookAtMatrix(Matrix4* out, const Vector3* eye, const Vector3* target, const Vector3* up) {
  Vector3 z = {target->x - eye->x, target->y - eye->y, target->z - eye->z};
  Vector3 x = Cross(*up, z);
  Vector3 y = Cross(z, x);
  NormalizeVector3Copy(&x, &x);
  NormalizeVector3Copy(&y, &y);
  NormalizeVector3Copy(&z, &z);
  const Vector3 e = *eye;
  out->m[0][0] = x.x, out->m[0][1] = y.x, out->m[0][2] = z.x, out->m[0][3] = 0.0f;
  out->m[1][0] = x.y, out->m[1][1] = y.y, out->m[1][2] = z.y, out->m[1][3] = 0.0f;
  out->m[2][0] = x.z, out->m[2][1] = y.z, out->m[2][2] = z.z, out->m[2][3] = 0.0f;
  out->m[3][0] = -DotVector3(&x, &e);
  out->m[3][1] = -DotVector3(&y, &e);
  out->m[3][2] = -DotVector3(&z, &e);
  out->m[3][3] = 1.0f;
  return 0;
}

int MakeViewportMatrix(Matrix4* out, float centreX, float centreY, float width, float height) {
  Zero(out);
  out->m[0][0] = width / 2.0f;
  out->m[1][1] = -height / 2.0f;
  out->m[2][2] = 1.0f;
  out->m[3][3] = 1.0f;
  out->m[3][0] = centreX;
  out->m[3][1] = centreY;
  return 0;
}

int TransformVector3(Vector3* out, const Vector3* v, const Matrix4* m) {
  const Vector3 p = *v;
  Vector3 r;
  r.x = p.x * m->m[0][0] + p.y * m->m[1][0] + p.z * m->m[2][0] + m->m[3][0];
  r.y = p.x * m->m[0][1] + p.y * m->m[1][1] + p.z * m->m[2][1] + m->m[3][1];
  r.z = p.x * m->m[0][2] + p.y * m->m[1][2] + p.z * m->m[2][2] + m->m[3][2];
  *out = r;
  return 0;
}

float DotVector3(const Vector3* a, const Vector3* b) {
  return a->x * b->x + a->y * b->y + a->z * b->z;
}

int NormalizeVector3Copy(Vector3* out, const Vector3* v) {
  const Vector3 p = *v;
  float length = SqrtF(p.x * p.x + p.y * p.y + p.z * p.z);
  out->x = p.x / length;
  out->y = p.y / length;
  out->z = p.z / length;
  return 0;
}

Vector3* NormalizeVector3(Vector3* out, float x, float y, float z) {
  const Vector3 v = {x, y, z};
  NormalizeVector3Copy(out, &v);
  return out;
}

int ClipRectInPlace(RECT* r, const RECT* clip) {
  if (r->right < r->left) r->right = r->left;
  if (r->bottom < r->top) r->bottom = r->top;
  if (r->bottom > clip->bottom)
    r->bottom = clip->bottom;
  else if (r->bottom < clip->top)
    r->bottom = clip->top;
  if (r->top > clip->bottom)
    r->top = clip->bottom;
  else if (r->top < clip->top)
    r->top = clip->top;
  if (r->right > clip->right)
    r->right = clip->right;
  else if (r->right < clip->left)
    r->right = clip->left;
  if (r->left > clip->right)
    r->left = clip->right;
  else if (r->left < clip->left)
    r->left = clip->left;
  return 0;
}
