// The device set-up on llvmpipe: the whole log in order, the format table under switched-off
// formats, the plain Direct3D object, failed creations, the depth surface sizes, the read-back
// measurement, and set-up / release cycles that leave nothing behind.
#include <cstring>

#include "runtime/graphics/device/device_buffers.h"
#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/display_modes.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/shader_pack.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/graphics_hardware/hardware_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_device.h"

namespace {

using DeviceSetUp = HardwareDeviceTest;

TEST_F(DeviceSetUp, TheHardwarePathAndItsWholeLogInOrder) {
  LogCapture log;
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  ASSERT_EQ(HardwareRendering, 1);
  EXPECT_NE(Direct3DObjectEx, nullptr);
  EXPECT_NE(Direct3DDeviceEx, nullptr);
  EXPECT_EQ(ScreenFormat, D3DFMT_X8R8G8B8);
  std::vector<std::string> lines = LogLines(log.Contents());
  ASSERT_GE(lines.size(), 31u);
  // The lines that carry the machine's own numbers, checked by their start.
  auto cut = [&](size_t i, const std::string& start) {
    EXPECT_EQ(lines[i].rfind(start, 0), 0u) << lines[i];
    lines[i] = start;
  };
  cut(5, "Driver:");
  cut(22, "最大テクスチャサイズ");
  cut(27, "バックバッファロック転送の時間:");
  cut(28, "バックバッファロックを使用");
  const std::vector<std::string> expected = {
      "DirectDraw オブジェクトの取得を行います....  成功",
      "引き続き初期化処理... 初期化に成功しました",
      "IDirect3D9Ex オブジェクトを取得します.... 成功",
      "IDirect3DDevice9Ex オブジェクトを取得します.... ハードウエア頂点演算を使用します",
      "成功",
      "Driver:",
      "画面のフォーマットは D3DFMT_X8R8G8B8 です",
      "Ｚバッファのフォーマットは D3DFMT_D16 です",
      "16bit カラーフォーマットは D_D3DFMT_R5G6B5 です",
      "32bit カラーフォーマットは D_D3DFMT_X8R8G8B8 です",
      "アルファ付き 16bit カラーフォーマットは D_D3DFMT_A4R4G4B4 です",
      "アルファ付き 32bit カラーフォーマットは D_D3DFMT_A8R8G8B8 です",
      "アルファテスト用 16bit カラーフォーマットは D_D3DFMT_A1R5G5B5 です",
      "アルファテスト用 32bit カラーフォーマットは D_D3DFMT_A8R8G8B8 です",
      "ＤＸＴ１テクスチャフォーマットは D_D3DFMT_DXT1 です",
      "ＤＸＴ２テクスチャフォーマットは D_D3DFMT_DXT2 です",
      "ＤＸＴ３テクスチャフォーマットは D_D3DFMT_DXT3 です",
      "ＤＸＴ４テクスチャフォーマットは D_D3DFMT_DXT4 です",
      "ＤＸＴ５テクスチャフォーマットは D_D3DFMT_DXT5 です",
      "描画用 16bit カラーフォーマットは D_D3DFMT_R5G5B5 です",
      "描画用 32bit カラーフォーマットは D_D3DFMT_X8R8G8B8 です",
      "描画用アルファ付き 32bit カラーフォーマットは D_D3DFMT_A8R8G8B8 です",
      "最大テクスチャサイズ",
      "テクスチャステージテンポラリレジスタ：使用可",
      "減算合成のハードウェア対応：ネイティブ",
      "頂点シェーダーバージョンコード：0",
      "ピクセルシェーダーバージョンコード：0",
      "バックバッファロック転送の時間:",
      "バックバッファロックを使用",
      "Ｚバッファを作成します.... 成功",
      "プログラマブルシェーダーを使用しません",
  };
  lines.resize(expected.size());
  EXPECT_EQ(lines, expected);

  // The sub back buffer is made on first need and becomes the render target.
  ASSERT_EQ(CopyBackBufferToSubBackBuffer(), 0);
  IDirect3DSurface9* sub = SubBackBufferSurface;
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(DeviceStateCache.renderTarget, sub);
  EXPECT_EQ(DeviceStateCache.viewport.Width, 64u);
  ASSERT_EQ(CopyBackBufferToSubBackBuffer(), 0);
  EXPECT_EQ(SubBackBufferSurface, sub);
}

struct FormatCase {
  const char* what;
  int desktopBits;
  std::vector<D3DFORMAT> off;
  int hardware;                                    // the device survives
  std::vector<std::pair<int, D3DFORMAT>> entries;  // TextureFormatTable entries to check
  std::vector<std::string> lines;                  // log lines that must appear
};

TEST_F(DeviceSetUp, FormatTableUnderSwitchedOffFormats) {
  const FormatCase cases[] = {
      {"all formats",
       32,
       {},
       1,
       {{0, D3DFMT_R5G6B5},
        {1, D3DFMT_X8R8G8B8},
        {2, D3DFMT_A4R4G4B4},
        {3, D3DFMT_A8R8G8B8},
        {4, D3DFMT_A1R5G5B5},
        {5, D3DFMT_A8R8G8B8},
        {6, D3DFMT_DXT1},
        {10, D3DFMT_DXT5},
        {11, D3DFMT_X1R5G5B5},
        {12, D3DFMT_X8R8G8B8},
        {13, D3DFMT_A8R8G8B8},
        {14, D3DFMT_X8R8G8B8},
        {15, D3DFMT_A8R8G8B8}},
       {}},
      {"no R5G6B5",
       32,
       {D3DFMT_R5G6B5},
       1,
       {{0, D3DFMT_X1R5G5B5}},
       {"16bit カラーフォーマットは D_D3DFMT_X1R5G5B5 です"}},
      {"16-bit desktop without X8R8G8B8",
       16,
       {D3DFMT_X8R8G8B8},
       1,
       {{1, D3DFMT_R5G6B5},
        {11, D3DFMT_R5G6B5},
        {12, D3DFMT_R5G6B5},
        {14, D3DFMT_R5G6B5},
        {15, D3DFMT_A1R5G5B5}},
       {"画面のフォーマットは D3DFMT_R5G6B5 です",
        "32bit カラーフォーマットは D_D3DFMT_R5G6B5 です",
        "描画用 16bit カラーフォーマットは D3DFMT_R5G6B5 です",
        "描画用 32bit カラーフォーマットは D3DFMT_R5G6B5 です"}},
      {"no DXT1, DXT3 or A1R5G5B5",
       32,
       {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_A1R5G5B5},
       1,
       {{4, D3DFMT_A8R8G8B8}, {6, D3DFMT_A8R8G8B8}, {7, D3DFMT_DXT2}, {8, D3DFMT_A8R8G8B8}},
       {"アルファテスト用 16bit カラーフォーマットは D_D3DFMT_A8R8G8B8 です",
        "ＤＸＴ１テクスチャフォーマットは使えません",
        "ＤＸＴ３テクスチャフォーマットは使えません"}},
      {"no A8R8G8B8",
       32,
       {D3DFMT_A8R8G8B8},
       1,
       {{2, D3DFMT_A4R4G4B4}, {3, D3DFMT_A4R4G4B4}, {5, D3DFMT_A1R5G5B5}, {13, D3DFMT_A4R4G4B4}},
       {"描画用アルファ付き 32bit カラーフォーマットは D3DFMT_A4R4G4B4 です"}},
      {"no 16-bit colour",
       32,
       {D3DFMT_R5G6B5, D3DFMT_X1R5G5B5},
       0,
       {},
       {"使用できる 16bit カラーフォーマットが見つかりませんでした", "Direct3DDevice9 の解放 2"}},
      {"no alpha format",
       32,
       {D3DFMT_A4R4G4B4, D3DFMT_A8R8G8B8},
       0,
       {},
       {"使用できるアルファ付き 16bit カラーフォーマットが見つかりませんでした"}},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.what);
    PortSetDesktopColorBits(c.desktopBits);
    for (D3DFORMAT f : c.off) PortSetD3DFormatUnsupported(f, true);
    ScreenMode = {64, 48, 32, 60};
    LogCapture log;
    ASSERT_EQ(SetUpGraphicsDevice(), 0);
    EXPECT_EQ(HardwareRendering, c.hardware);
    EXPECT_EQ(ScreenMode.bits, c.desktopBits);  // window mode takes the desktop's depth
    if (!c.hardware) {
      EXPECT_EQ(Direct3DDevice, nullptr);
      EXPECT_EQ(Direct3DObject, nullptr);
      EXPECT_EQ(BackBufferSurface, nullptr);
      EXPECT_EQ(PortLiveDirect3DObjects(), 0);
    }
    for (const auto& [index, format] : c.entries)
      EXPECT_EQ(TextureFormatTable[index], format) << "entry " << index;
    const std::vector<std::string> lines = LogLines(log.Contents());
    for (const std::string& line : c.lines) EXPECT_TRUE(HasLine(lines, line)) << line;
    ReleaseGraphicsDevice();
    EXPECT_EQ(PortLiveDirect3DObjects(), 0);
    PortResetD3DSwitches();
    PortSetDesktopColorBits(0);
  }
}

// The flags derived from the device's caps: a maximum texture width of 0 reads as 256, no
// blend operation or temporary register, and shader model 2 (whose pack holds no shaders here).
TEST_F(DeviceSetUp, CapsDecideTheDerivedFlags) {
  D3DCAPS9 caps = {};
  caps.DeviceType = D3DDEVTYPE_HAL;
  caps.MaxTextureWidth = 0;
  caps.MaxTextureHeight = 1024;
  caps.VertexShaderVersion = D3DVS_VERSION(2, 0);
  caps.PixelShaderVersion = D3DPS_VERSION(2, 0);
  PortSetD3DCaps(&caps);
  LogCapture log;
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  ASSERT_EQ(HardwareRendering, 1);
  EXPECT_EQ(MaxTextureSize, 256);
  EXPECT_EQ(SubtractBlendSupported, 0);
  EXPECT_EQ(TempRegisterSupported, 0);
  EXPECT_EQ(ShaderModel2Available, 1);
  EXPECT_EQ(VertexShader2Supported, 1);
  EXPECT_EQ(UseProgrammableShaders, 0);
  const std::vector<std::string> lines = LogLines(log.Contents());
  for (const char* line :
       {"最大テクスチャサイズ　幅:0 高さ:1024", "テクスチャステージテンポラリレジスタ：使用不可",
        "減算合成のハードウェア対応：エミュレート", "頂点シェーダーバージョンコード：200",
        "プログラマブルシェーダーを使用しません"})
    EXPECT_TRUE(HasLine(lines, line)) << line;
  FreeShaderPack();
}

TEST_F(DeviceSetUp, WithoutDirect3DCreate9ExThePlainObjectAndDevice) {
  PortSetExportAbsent("d3d9.dll", "Direct3DCreate9Ex", true);
  LogCapture log;
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  EXPECT_EQ(HardwareRendering, 1);
  EXPECT_EQ(Direct3DObjectEx, nullptr);
  EXPECT_EQ(Direct3DDeviceEx, nullptr);
  const std::vector<std::string> lines = LogLines(log.Contents());
  EXPECT_TRUE(HasLine(
      lines,
      "IDirect3D9Ex オブジェクトを取得します.... IDirect3D9 オブジェクトを取得します.... 成功"));
  EXPECT_TRUE(HasLine(
      lines, "IDirect3DDevice9 オブジェクトを取得します.... ハードウエア頂点演算を使用します"));
}

TEST_F(DeviceSetUp, FailedCreations) {
  // One failure: the second attempt, with software vertex processing, makes the device.
  PortFailNextD3DDeviceCreations(1);
  LogCapture log;
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  EXPECT_EQ(HardwareRendering, 1);
  EXPECT_TRUE(
      HasLine(LogLines(log.Contents()),
              "IDirect3DDevice9Ex オブジェクトを取得します.... ソフトウエア頂点演算を使用します"));
  ReleaseGraphicsDevice();

  // Two: the software path, with every Direct3D object released and only the library and the
  // DirectDraw object left for the release.
  PortFailNextD3DDeviceCreations(2);
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  EXPECT_EQ(HardwareRendering, 0);
  EXPECT_EQ(Direct3DObject, nullptr);
  EXPECT_EQ(Direct3DDevice, nullptr);
  EXPECT_EQ(PortLiveDirect3DObjects(), 0);
  EXPECT_TRUE(HasLine(LogLines(log.Contents()),
                      "IDirect3DDevice9Ex オブジェクトを取得します.... Direct3DDevice9Ex "
                      "の作成に失敗しました"));
  EXPECT_NE(DirectDraw7Object, nullptr);
  ReleaseGraphicsDevice();
  EXPECT_EQ(DirectDraw7Object, nullptr);
  EXPECT_EQ(PortModuleLoadCount("d3d9.dll"), 0);
}

TEST_F(DeviceSetUp, DepthSurfaceSizesArePowersOfTwo) {
  const struct {
    int width, height, depthWidth, depthHeight;
  } cases[] = {{640, 480, 1024, 512}, {800, 600, 1024, 1024}};
  for (const auto& c : cases) {
    ScreenMode = {c.width, c.height, 32, 60};
    ASSERT_EQ(SetUpGraphicsDevice(), 0);
    ASSERT_EQ(HardwareRendering, 1);
    D3DSURFACE_DESC desc = {};
    ASSERT_EQ(DepthSurface->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(static_cast<int>(desc.Width), c.depthWidth);
    EXPECT_EQ(static_cast<int>(desc.Height), c.depthHeight);
    EXPECT_EQ(DepthSurfaceWidth, c.depthWidth);
    ReleaseGraphicsDevice();
  }
}

// How long a call made slow takes, on the fixture's simulated clock (every other call takes
// no time there, so the slow side always loses).
constexpr int64_t kSlowCall = 100000000;

// A surface that passes every call on and makes each lock take a while.
class SlowLockSurface : public IDirect3DSurface9 {
 public:
  explicit SlowLockSurface(IDirect3DSurface9* inner) : inner_(inner) {}
  HRESULT QueryInterface(REFIID riid, void** object) override {
    return inner_->QueryInterface(riid, object);
  }
  ULONG AddRef() override { return inner_->AddRef(); }
  ULONG Release() override { return inner_->Release(); }
  HRESULT GetDevice(IDirect3DDevice9** device) override { return inner_->GetDevice(device); }
  D3DRESOURCETYPE GetType() override { return inner_->GetType(); }
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override { return inner_->GetDesc(desc); }
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override {
    PortAdvanceSimulatedTime(kSlowCall);
    return inner_->LockRect(locked, rect, flags);
  }
  HRESULT UnlockRect() override { return inner_->UnlockRect(); }

 private:
  IDirect3DSurface9* inner_;
};

TEST_F(DeviceSetUp, ReadBackMeasurementSizeAndBothChoices) {
  ScreenMode = {200, 150, 32, 60};
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  ASSERT_EQ(HardwareRendering, 1);
  auto* recorder = new RecordingDevice(Direct3DDevice);
  Direct3DDevice = recorder;

  // The transfer made slow: the lock wins. Three passes at 128 x 128.
  recorder->onCall = [](const RecordedCall& call) {
    if (call.name == "GetRenderTargetData") PortAdvanceSimulatedTime(kSlowCall);
  };
  LogCapture log;
  MeasureBackBufferReadBack();
  EXPECT_EQ(UseBackBufferLock, 1);
  EXPECT_EQ(recorder->Count("CreateRenderTarget", {128, 128, ScreenFormat}), 3);
  EXPECT_EQ(recorder->Count("CreateOffscreenPlainSurface", {128, 128, ScreenFormat}), 6);
  EXPECT_TRUE(HasLine(LogLines(log.Contents()), "バックバッファロックを使用します"));

  // The lock made slow and the transfer's device work answered at once: the transfer wins.
  recorder->onCall = nullptr;
  recorder->answered = {"CreateRenderTarget", "StretchRect", "GetRenderTargetData"};
  IDirect3DSurface9* backBuffer = BackBufferSurface;
  SlowLockSurface slow(backBuffer);
  BackBufferSurface = &slow;
  MeasureBackBufferReadBack();
  BackBufferSurface = backBuffer;
  recorder->answered.clear();
  EXPECT_EQ(UseBackBufferLock, 0);
  EXPECT_TRUE(HasLine(LogLines(log.Contents()), "バックバッファロックを使用しません"));

  // A transfer that cannot run at all leaves the lock unused.
  recorder->failing.insert("StretchRect");
  MeasureBackBufferReadBack();
  EXPECT_EQ(UseBackBufferLock, 0);
  EXPECT_TRUE(HasLine(LogLines(log.Contents()), "バックバッファロックはロックできません"));
}

TEST_F(DeviceSetUp, TwentySetUpAndReleaseCyclesLeaveNothing) {
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(SetUpGraphicsDevice(), 0);
    ASSERT_EQ(HardwareRendering, 1);
    CountDisplayModes();
    ASSERT_EQ(ReleaseGraphicsDevice(), 0);
    ASSERT_EQ(PortLiveDirect3DObjects(), 0) << i;
  }
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
  EXPECT_EQ(GetTrackedHeapTotals().bytes, before.bytes);
  EXPECT_EQ(PortModuleLoadCount("d3d9.dll"), 0);
  EXPECT_EQ(DirectDraw7Object, nullptr);
}

}  // namespace

namespace {

// A buffer and a shader made by a caller come back on a new device from their stored copies.
TEST_F(DeviceSetUp, RecreatedBuffersAndShadersHoldTheirStoredContents) {
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  ASSERT_EQ(HardwareRendering, 1);
  ShaderModel2Available = 1;
  const int vertices = AllocHandle(&VertexBufferHandles, sizeof(DeviceBufferRecord), __FILE__, 0);
  const int shader = AllocHandle(&ShaderHandles, sizeof(ShaderRecord), __FILE__, 0);
  auto* buffer = static_cast<DeviceBufferRecord*>(GetHandleRecord(&VertexBufferHandles, vertices));
  buffer->elementSize = 4;
  buffer->elementCount = 3;
  const uint32_t elements[3] = {11, 22, 33};
  buffer->systemCopy = AllocTracked(sizeof(elements), __FILE__, 0);
  std::memcpy(buffer->systemCopy, elements, sizeof(elements));
  auto* record = static_cast<ShaderRecord*>(GetHandleRecord(&ShaderHandles, shader));
  const uint32_t code[2] = {0xFFFE0200u, 0x0000FFFFu};
  record->code = AllocTracked(sizeof(code), __FILE__, 0);
  std::memcpy(record->code, code, sizeof(code));
  record->codeSize = sizeof(code);

  ASSERT_EQ(RecreateDeviceResources(), 0);
  ASSERT_NE(buffer->deviceBuffer, nullptr);
  auto* made = static_cast<IDirect3DVertexBuffer9*>(buffer->deviceBuffer);
  D3DVERTEXBUFFER_DESC desc;
  ASSERT_EQ(made->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Size, sizeof(elements));
  EXPECT_EQ(desc.FVF, 0x2D2u);
  void* data = nullptr;
  ASSERT_EQ(made->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(std::memcmp(data, elements, sizeof(elements)), 0);
  made->Unlock();
  ASSERT_NE(record->shader, nullptr);

  // The device loss: objects released, records kept.
  ReleaseDeviceBufferObjects();
  EXPECT_EQ(buffer->deviceBuffer, nullptr);
  EXPECT_EQ(record->shader, nullptr);
  GraphicsInitialised = 1;
  DeleteAllVertexBuffers();
  DeleteAllShaders();
  GraphicsInitialised = 0;
  ShaderModel2Available = 0;
}

}  // namespace
