// Light handles and their device slots, and the projection state.
#include <cmath>

#include "runtime/graphics/device/lights_camera.h"
#include "tests/graphics/device/device_fixture.h"

namespace {

class Lights : public RecordedDeviceTest {
 protected:
  void SetUp() override {
    RecordedDeviceTest::SetUp();
    DeleteAllLightHandles();
    if (LightState.defaultLight != -1) DeleteLightHandle(LightState.defaultLight);
    LightState = {0, 0, 0, -1, -1, 0};
  }
  void TearDown() override {
    DeleteAllLightHandles();
    if (LightState.defaultLight != -1) DeleteLightHandle(LightState.defaultLight);
    RecordedDeviceTest::TearDown();
  }
  static LightEntry* Entry(int handle) {
    return static_cast<LightEntry*>(GetHandleRecord(&LightHandles, handle));
  }
  int MakePointLight() {
    const int h = CreateLightHandle();
    Entry(h)->light.Type = D3DLIGHT_POINT;
    return h;
  }
};

TEST_F(Lights, DirectionalLightIsStoredNormalisedAndAZeroVectorIsRefused) {
  const int h = CreateDirectionalLight(1, -1, 1);
  ASSERT_NE(h, -1);
  EXPECT_EQ(HandleTypeOf(h), HandleTypeLight);
  const D3DLIGHT9& l = Entry(h)->light;
  EXPECT_EQ(l.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_NEAR(l.Direction.x, 0.57735f, 1e-5f);
  EXPECT_NEAR(l.Direction.y, -0.57735f, 1e-5f);
  EXPECT_NEAR(l.Direction.z, 0.57735f, 1e-5f);
  const int count = LightHandles.count;
  EXPECT_EQ(CreateDirectionalLight(0, 0, 0), -1);
  EXPECT_EQ(LightHandles.count, count);
}

TEST_F(Lights, SlotsGoToDirectionalLightsFirstAndFreedSlotsAreSwitchedOff) {
  const int point = MakePointLight();
  const int first = CreateDirectionalLight(0, 0, 1);
  const int second = CreateDirectionalLight(0, 1, 0);
  ASSERT_EQ(ApplyLights(), 0);
  EXPECT_EQ(Entry(first)->deviceSlot, 0);
  EXPECT_EQ(Entry(second)->deviceSlot, 1);
  EXPECT_EQ(Entry(point)->deviceSlot, 2);
  EXPECT_EQ(device_->Count("LightEnable", {2, TRUE}), 1);
  EXPECT_EQ(DeviceStateCache.lights[2].Type, D3DLIGHT_POINT);
  EXPECT_EQ(LastRenderState(D3DRS_LIGHTING), 1);

  // Nothing changed: nothing sent.
  device_->Clear();
  ASSERT_EQ(ApplyLights(), 0);
  EXPECT_EQ(device_->Count("SetLight"), 0);

  ASSERT_EQ(DeleteLightHandle(point), 0);
  device_->Clear();
  ASSERT_EQ(ApplyLights(), 0);
  EXPECT_EQ(device_->Count("LightEnable", {2, FALSE}), 1);
  EXPECT_EQ(device_->Count("SetLight"), 0);
  EXPECT_EQ(LightState.highestSlotUsed, 1);
}

TEST_F(Lights, TheDefaultLightSurvivesDeleteAll) {
  ResetLightAndCameraDefaults();
  const int light = LightState.defaultLight;
  ASSERT_NE(light, -1);
  CreateDirectionalLight(1, 0, 0);
  MakePointLight();
  ASSERT_EQ(DeleteAllLightHandles(), 0);
  EXPECT_EQ(LightHandles.count, 1);
  EXPECT_TRUE(IsHandleValid(&LightHandles, light));
  // A second reset keeps the same default light rather than adding one.
  ResetLightAndCameraDefaults();
  EXPECT_EQ(LightState.defaultLight, light);
  EXPECT_EQ(LightHandles.count, 1);
}

TEST_F(Lights, AFullTableRefusesANewLight) {
  const int capacity = HandleCapacity(HandleTypeLight);
  for (int i = 0; i < capacity; ++i) ASSERT_NE(CreateLightHandle(), -1) << i;
  EXPECT_EQ(CreateLightHandle(), -1);
  EXPECT_EQ(CreateDirectionalLight(1, 0, 0), -1);
  EXPECT_EQ(LightHandles.count, capacity);
  // One freed slot is found again.
  const int freed = HandleOfSlot(&LightHandles, 100);
  ASSERT_EQ(DeleteLightHandle(freed), 0);
  const int again = CreateLightHandle();
  EXPECT_EQ(HandleSlotOf(again), 100);
  EXPECT_NE(again, freed);
}

TEST_F(Lights, PerspectiveAspectFollowsTheDrawTarget) {
  ResetLightAndCameraDefaults();
  ASSERT_EQ(SetCameraPerspective(1.0471976f), 0);
  const Matrix4& p = Camera.projection;
  EXPECT_NEAR(p.m[0][0] / p.m[1][1], 0.75f, 1e-6f);
  EXPECT_EQ(device_->Count("SetTransform", {D3DTS_PROJECTION}), 1);
  EXPECT_NEAR(ProjectionMatrix.m[1][1], 1.0f / std::tan(1.0471976f / 2), 1e-5f);
}

TEST(VectorTransforms, TranslationOnlyInTheFullForm) {
  Matrix4 m;
  MakeIdentityMatrix(&m);
  m.m[0][1] = 2.0f;  // x feeds y
  m.m[3][0] = 10.0f;
  m.m[3][2] = -4.0f;
  const Vector3 v = {1.0f, 1.0f, 1.0f};
  Vector3 out;
  TransformVector(&out, &v, &m);
  EXPECT_EQ(out.x, 11.0f);
  EXPECT_EQ(out.y, 3.0f);
  EXPECT_EQ(out.z, -3.0f);
  TransformVectorRotation(&out, &v, &m);
  EXPECT_EQ(out.x, 1.0f);
  EXPECT_EQ(out.y, 3.0f);
  EXPECT_EQ(out.z, 1.0f);
}

}  // namespace
