// Drawing: pre-transformed vertices through the texture-stage pipeline, emulated by small GLSL
// programs made for each combination of stage, shading, specular and alpha-test states, then
// the blend, depth, cull and colour-write states on OpenGL.
//
// Direct3D 9 puts pixel centres on integer coordinates, OpenGL at +0.5: every x and y moves by
// half a pixel. Render targets hold rows from the top, so y runs down the image unflipped.
#include <algorithm>
#include <string>

#include "port/d3d9/d3d9_objects.h"

namespace {

const char* const kAttributes[] = {"inPosition", "inDiffuse", "inSpecular", "inTex0",
                                   "inTex1",     "inTex2",    "inTex3",     "inTex4",
                                   "inTex5",     "inTex6",    "inTex7",     nullptr};
constexpr GLuint kTexAttribute = 3;

// The bytes of a program key: flat, specular, alpha function, then per enabled stage the fields
// below in this order.
enum StageField {
  kColorOp,
  kColorArg1,
  kColorArg2,
  kColorArg0,
  kAlphaOp,
  kAlphaArg1,
  kAlphaArg2,
  kAlphaArg0,
  kToTemp,
  kTexCoord,
  kHasTexture,
  kStageFields
};
constexpr size_t kKeyHead = 3;

std::string Arg(uint8_t arg, bool alpha) {
  std::string base;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
      base = "diffuse";
      break;
    case D3DTA_TEXTURE:
      base = "tex";
      break;
    case D3DTA_TFACTOR:
    case D3DTA_CONSTANT:
      base = "uFactor";
      break;
    case D3DTA_SPECULAR:
      base = "specular";
      break;
    case D3DTA_TEMP:
      base = "temp";
      break;
    default:
      base = "current";
      break;
  }
  if (arg & D3DTA_ALPHAREPLICATE) base = "vec4(" + base + ".a)";
  if (arg & D3DTA_COMPLEMENT) base = "(1.0 - " + base + ")";
  return base + (alpha ? ".a" : ".rgb");
}

std::string Combine(uint8_t op, const std::string& a1, const std::string& a2,
                    const std::string& a0) {
  switch (op) {
    case D3DTOP_SELECTARG2:
      return a2;
    case D3DTOP_MODULATE:
      return "(" + a1 + " * " + a2 + ")";
    case D3DTOP_MODULATE2X:
      return "(" + a1 + " * " + a2 + " * 2.0)";
    case D3DTOP_MODULATE4X:
      return "(" + a1 + " * " + a2 + " * 4.0)";
    case D3DTOP_ADD:
      return "(" + a1 + " + " + a2 + ")";
    case D3DTOP_ADDSIGNED:
      return "(" + a1 + " + " + a2 + " - 0.5)";
    case D3DTOP_ADDSIGNED2X:
      return "((" + a1 + " + " + a2 + " - 0.5) * 2.0)";
    case D3DTOP_SUBTRACT:
      return "(" + a1 + " - " + a2 + ")";
    case D3DTOP_ADDSMOOTH:
      return "(" + a1 + " + " + a2 + " - " + a1 + " * " + a2 + ")";
    case D3DTOP_BLENDDIFFUSEALPHA:
      return "mix(" + a2 + ", " + a1 + ", diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA:
      return "mix(" + a2 + ", " + a1 + ", tex.a)";
    case D3DTOP_BLENDFACTORALPHA:
      return "mix(" + a2 + ", " + a1 + ", uFactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM:
      return "(" + a1 + " + " + a2 + " * (1.0 - tex.a))";
    case D3DTOP_BLENDCURRENTALPHA:
      return "mix(" + a2 + ", " + a1 + ", current.a)";
    case D3DTOP_MULTIPLYADD:
      return "(" + a0 + " + " + a1 + " * " + a2 + ")";
    case D3DTOP_LERP:
      return "mix(" + a2 + ", " + a1 + ", " + a0 + ")";
    default:
      return a1;  // SELECTARG1, and operations the device does not offer
  }
}

const char* CompareOperator(uint8_t func) {
  switch (func) {
    case D3DCMP_NEVER:
      return nullptr;
    case D3DCMP_LESS:
      return "<";
    case D3DCMP_EQUAL:
      return "==";
    case D3DCMP_LESSEQUAL:
      return "<=";
    case D3DCMP_GREATER:
      return ">";
    case D3DCMP_NOTEQUAL:
      return "!=";
    default:
      return ">=";
  }
}

std::string VertexSource(const PortD3DProgramKey& key, const bool usedSets[8]) {
  const char* q = key[0] ? "flat " : "";
  std::string s =
      "#version 330 core\nin vec4 inPosition;\nin vec4 inDiffuse;\nin vec4 inSpecular;\n";
  for (int i = 0; i < 8; ++i)
    if (usedSets[i])
      s += "in vec4 inTex" + std::to_string(i) + ";\nout vec4 vTex" + std::to_string(i) + ";\n";
  s += std::string(q) + "out vec4 vDiffuse;\n" + q + "out vec4 vSpecular;\nuniform vec4 uScreen;\n";
  s += "void main() {\n"
       "  float w = inPosition.w > 0.0 ? 1.0 / inPosition.w : 1.0;\n"
       "  vec2 p = (inPosition.xy + uScreen.zw) * uScreen.xy - 1.0;\n"
       "  gl_Position = vec4(p * w, (inPosition.z * 2.0 - 1.0) * w, w);\n"
       "  gl_PointSize = 1.0;\n"
       "  vDiffuse = inDiffuse;\n"
       "  vSpecular = inSpecular;\n";
  for (int i = 0; i < 8; ++i)
    if (usedSets[i]) s += "  vTex" + std::to_string(i) + " = inTex" + std::to_string(i) + ";\n";
  return s + "}\n";
}

std::string FragmentSource(const PortD3DProgramKey& key, const bool usedSets[8]) {
  const char* q = key[0] ? "flat " : "";
  size_t stages = 0;
  while (stages < PORT_D3D_STAGE_COUNT && key[kKeyHead + stages * kStageFields + kColorOp])
    ++stages;
  std::string s = "#version 330 core\n";
  s += std::string(q) + "in vec4 vDiffuse;\n" + q + "in vec4 vSpecular;\n";
  for (int i = 0; i < 8; ++i)
    if (usedSets[i]) s += "in vec4 vTex" + std::to_string(i) + ";\n";
  for (size_t i = 0; i < stages; ++i)
    if (key[kKeyHead + i * kStageFields + kHasTexture])
      s += "uniform sampler2D uTex" + std::to_string(i) + ";\n";
  s += "uniform vec4 uFactor;\n"
       "uniform float uAlphaRef;\n"
       "out vec4 outColor;\n"
       "void main() {\n"
       "  vec4 diffuse = vDiffuse;\n"
       "  vec4 specular = vSpecular;\n"
       "  vec4 current = diffuse;\n"
       "  vec4 temp = vec4(0.0);\n";
  for (size_t i = 0; i < stages; ++i) {
    const uint8_t* f = &key[kKeyHead + i * kStageFields];
    std::string tex = f[kHasTexture] ? "texture(uTex" + std::to_string(i) + ", vTex" +
                                           std::to_string(f[kTexCoord]) + ".xy)"
                                     : "vec4(0.0, 0.0, 0.0, 1.0)";
    std::string color, alpha;
    if (f[kColorOp] == D3DTOP_DOTPRODUCT3) {
      // The dot product goes to all four channels.
      std::string dp = "clamp(4.0 * dot(" + Arg(f[kColorArg1], false) + " - 0.5, " +
                       Arg(f[kColorArg2], false) + " - 0.5), 0.0, 1.0)";
      color = "vec3(" + dp + ")";
      alpha = dp;
    } else {
      color = Combine(f[kColorOp], Arg(f[kColorArg1], false), Arg(f[kColorArg2], false),
                      Arg(f[kColorArg0], false));
      alpha = f[kAlphaOp] == D3DTOP_DISABLE
                  ? "current.a"
                  : Combine(f[kAlphaOp], Arg(f[kAlphaArg1], true), Arg(f[kAlphaArg2], true),
                            Arg(f[kAlphaArg0], true));
    }
    s += "  {\n    vec4 tex = " + tex + ";\n    vec3 c = " + color + ";\n    float a = " + alpha +
         ";\n    " + (f[kToTemp] ? "temp" : "current") + " = clamp(vec4(c, a), 0.0, 1.0);\n  }\n";
  }
  s += "  vec4 color = current;\n";
  if (key[1]) s += "  color.rgb = min(color.rgb + specular.rgb, vec3(1.0));\n";
  if (key[2]) {
    const char* op = CompareOperator(key[2]);
    if (op)
      s += std::string("  if (!(floor(color.a * 255.0 + 0.5) ") + op + " uAlphaRef)) discard;\n";
    else
      s += "  discard;\n";
  }
  return s + "  outColor = color;\n}\n";
}

GLenum BlendFactor(DWORD b) {
  switch (b) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
      return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
      return GL_SRC_ALPHA_SATURATE;
    case D3DBLEND_BLENDFACTOR:
      return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR:
      return GL_ONE_MINUS_CONSTANT_COLOR;
    default:
      return GL_ONE;
  }
}

// SRCBLEND BOTHSRCALPHA and BOTHINVSRCALPHA set both factors.
void BlendPair(DWORD src, DWORD dst, GLenum* s, GLenum* d) {
  if (src == D3DBLEND_BOTHSRCALPHA) {
    *s = GL_SRC_ALPHA;
    *d = GL_ONE_MINUS_SRC_ALPHA;
  } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
    *s = GL_ONE_MINUS_SRC_ALPHA;
    *d = GL_SRC_ALPHA;
  } else {
    *s = BlendFactor(src);
    *d = BlendFactor(dst);
  }
}

GLenum BlendEquation(DWORD op) {
  switch (op) {
    case D3DBLENDOP_SUBTRACT:
      return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
      return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
      return GL_MIN;
    case D3DBLENDOP_MAX:
      return GL_MAX;
    default:
      return GL_FUNC_ADD;
  }
}

GLenum CompareFunction(DWORD f) {
  switch (f) {
    case D3DCMP_NEVER:
      return GL_NEVER;
    case D3DCMP_LESS:
      return GL_LESS;
    case D3DCMP_EQUAL:
      return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
      return GL_LEQUAL;
    case D3DCMP_GREATER:
      return GL_GREATER;
    case D3DCMP_NOTEQUAL:
      return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
      return GL_GEQUAL;
    default:
      return GL_ALWAYS;
  }
}

GLint AddressMode(DWORD a) {
  switch (a) {
    case D3DTADDRESS_WRAP:
      return GL_REPEAT;
    case D3DTADDRESS_MIRROR:
      return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_BORDER:
      return GL_CLAMP_TO_BORDER;
    default:
      return GL_CLAMP_TO_EDGE;
  }
}

GLint MinFilter(DWORD min, DWORD mip) {
  bool linear = min == D3DTEXF_LINEAR || min == D3DTEXF_ANISOTROPIC;
  if (mip == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  if (mip == D3DTEXF_LINEAR) return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  return linear ? GL_LINEAR : GL_NEAREST;
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST:
      return GL_POINTS;
    case D3DPT_LINELIST:
      return GL_LINES;
    case D3DPT_LINESTRIP:
      return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST:
      return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP:
      return GL_TRIANGLE_STRIP;
    default:
      return GL_TRIANGLE_FAN;
  }
}

// Vertices a primitive count takes; 0 for an unknown type.
UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitives) {
  switch (type) {
    case D3DPT_POINTLIST:
      return primitives;
    case D3DPT_LINELIST:
      return primitives * 2;
    case D3DPT_LINESTRIP:
      return primitives + 1;
    case D3DPT_TRIANGLELIST:
      return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return primitives + 2;
    default:
      return 0;
  }
}

int TexCoordFloats(DWORD fvf, int set) {
  switch ((fvf >> (16 + 2 * set)) & 3) {
    case D3DFVF_TEXTUREFORMAT1:
      return 1;
    case D3DFVF_TEXTUREFORMAT3:
      return 3;
    case D3DFVF_TEXTUREFORMAT4:
      return 4;
    default:
      return 2;
  }
}

// Bytes of a pre-transformed vertex of the format; 0 when it is not pre-transformed.
UINT VertexSize(DWORD fvf) {
  if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW) return 0;
  UINT size = 16;
  if (fvf & D3DFVF_NORMAL) size += 12;
  if (fvf & D3DFVF_PSIZE) size += 4;
  if (fvf & D3DFVF_DIFFUSE) size += 4;
  if (fvf & D3DFVF_SPECULAR) size += 4;
  int sets =
      std::min<int>(8, static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT));
  for (int i = 0; i < sets; ++i) size += 4 * static_cast<UINT>(TexCoordFloats(fvf, i));
  return size;
}

// Direct3D's top-left rule decides a pixel centre that lies exactly on an edge (as every edge
// of a box at integer coordinates does): left and top edges take it, right and bottom ones do
// not. OpenGL leaves that tie to the rasteriser, so the geometry moves up and left by one
// step of an 8-bit subpixel grid, which puts such centres just inside left and top edges and
// just outside right and bottom ones, whatever rule the rasteriser has.
constexpr float kNudge = 1.0f / 256.0f;
constexpr float kCentreX = 0.5f - kNudge;
constexpr float kCentreY = 0.5f - kNudge;

}  // namespace

const PortD3DProgram* PortD3DDevice::ProgramFor() {
  PortD3DProgramKey key = {};
  key[0] = static_cast<uint8_t>(state_.render[D3DRS_SHADEMODE] == D3DSHADE_FLAT);
  key[1] = static_cast<uint8_t>(state_.render[D3DRS_SPECULARENABLE] != 0);
  DWORD func = state_.render[D3DRS_ALPHAFUNC];
  if (state_.render[D3DRS_ALPHATESTENABLE] && func >= D3DCMP_NEVER && func < D3DCMP_ALWAYS)
    key[2] = static_cast<uint8_t>(func);
  bool usedSets[8] = {};
  for (DWORD i = 0; i < PORT_D3D_STAGE_COUNT; ++i) {
    const DWORD* ts = state_.stage[i];
    if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE || ts[D3DTSS_COLOROP] == 0 ||
        ts[D3DTSS_COLOROP] > D3DTOP_LERP)
      break;
    uint8_t set = static_cast<uint8_t>(std::min<DWORD>(ts[D3DTSS_TEXCOORDINDEX] & 0xFFFF, 7));
    bool texture = state_.texture[i] != nullptr;
    if (texture) usedSets[set] = true;
    uint8_t fields[kStageFields] = {static_cast<uint8_t>(ts[D3DTSS_COLOROP]),
                                    static_cast<uint8_t>(ts[D3DTSS_COLORARG1] & 0x3F),
                                    static_cast<uint8_t>(ts[D3DTSS_COLORARG2] & 0x3F),
                                    static_cast<uint8_t>(ts[D3DTSS_COLORARG0] & 0x3F),
                                    static_cast<uint8_t>(ts[D3DTSS_ALPHAOP]),
                                    static_cast<uint8_t>(ts[D3DTSS_ALPHAARG1] & 0x3F),
                                    static_cast<uint8_t>(ts[D3DTSS_ALPHAARG2] & 0x3F),
                                    static_cast<uint8_t>(ts[D3DTSS_ALPHAARG0] & 0x3F),
                                    static_cast<uint8_t>(ts[D3DTSS_RESULTARG] == D3DTA_TEMP),
                                    set,
                                    static_cast<uint8_t>(texture)};
    std::copy(fields, fields + kStageFields,
              key.begin() + static_cast<std::ptrdiff_t>(kKeyHead + i * kStageFields));
  }
  auto it = gl_.programs.find(key);
  if (it != gl_.programs.end()) return &it->second;

  GLuint program = PortGlBuildProgram(VertexSource(key, usedSets).c_str(),
                                      FragmentSource(key, usedSets).c_str(), kAttributes);
  if (!program) return nullptr;
  PortD3DProgram p;
  p.program = program;
  p.screen = PortGl.GetUniformLocation(program, "uScreen");
  p.factor = PortGl.GetUniformLocation(program, "uFactor");
  p.alphaRef = PortGl.GetUniformLocation(program, "uAlphaRef");
  PortGl.UseProgram(program);
  for (int i = 0; i < PORT_D3D_STAGE_COUNT; ++i) {
    std::string name = "uTex" + std::to_string(i);
    GLint location = PortGl.GetUniformLocation(program, name.c_str());
    if (location >= 0) PortGl.Uniform1i(location, i);
  }
  return &(gl_.programs[key] = p);
}

// Sets the whole GL state of a draw. 1: draw; 0: nothing is visible; -1: cannot draw.
int PortD3DDevice::ApplyDrawState(DWORD fvf, UINT stride) {
  PortD3DSurface* rt = renderTarget_;
  if (!AttachDraw(rt, depthStencil_)) return -1;
  const DWORD* rs = state_.render;
  LONG w = static_cast<LONG>(rt->width()), h = static_cast<LONG>(rt->height());

  // The viewport clips; so does the scissor rectangle when its test is on.
  const D3DVIEWPORT9& vp = state_.viewport;
  RECT clip = {static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
               static_cast<LONG>(vp.Y + vp.Height)};
  if (rs[D3DRS_SCISSORTESTENABLE]) {
    clip.left = std::max(clip.left, state_.scissor.left);
    clip.top = std::max(clip.top, state_.scissor.top);
    clip.right = std::min(clip.right, state_.scissor.right);
    clip.bottom = std::min(clip.bottom, state_.scissor.bottom);
  }
  clip.right = std::min(clip.right, w);
  clip.bottom = std::min(clip.bottom, h);
  if (clip.left >= clip.right || clip.top >= clip.bottom) return 0;
  PortGl.Viewport(0, 0, w, h);
  PortGl.Enable(GL_SCISSOR_TEST);
  PortGl.Scissor(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);

  const PortD3DProgram* program = ProgramFor();
  if (!program) return -1;
  PortGl.UseProgram(program->program);
  PortGl.Uniform4f(program->screen, 2.0f / static_cast<float>(w), 2.0f / static_cast<float>(h),
                   kCentreX, kCentreY);
  DWORD tf = rs[D3DRS_TEXTUREFACTOR];
  PortGl.Uniform4f(program->factor, static_cast<float>((tf >> 16) & 0xFF) / 255.0f,
                   static_cast<float>((tf >> 8) & 0xFF) / 255.0f,
                   static_cast<float>(tf & 0xFF) / 255.0f, static_cast<float>(tf >> 24) / 255.0f);
  PortGl.Uniform1f(program->alphaRef, static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF));

  for (GLuint i = 0; i < PORT_D3D_STAGE_COUNT; ++i) {
    PortD3DTexture* t = state_.texture[i];
    if (!t) continue;
    const DWORD* ss = state_.sampler[i];
    GLuint sampler = gl_.samplers[i];
    PortGl.ActiveTexture(GL_TEXTURE0 + i);
    PortGl.BindTexture(GL_TEXTURE_2D, t->glTexture());
    PortGl.BindSampler(i, sampler);
    PortGl.SamplerParameteri(
        sampler, GL_TEXTURE_MAG_FILTER,
        ss[D3DSAMP_MAGFILTER] == D3DTEXF_LINEAR || ss[D3DSAMP_MAGFILTER] == D3DTEXF_ANISOTROPIC
            ? GL_LINEAR
            : GL_NEAREST);
    PortGl.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                             MinFilter(ss[D3DSAMP_MINFILTER],
                                       t->levelCount() > 1 ? ss[D3DSAMP_MIPFILTER] : D3DTEXF_NONE));
    PortGl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(ss[D3DSAMP_ADDRESSU]));
    PortGl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(ss[D3DSAMP_ADDRESSV]));
    PortGl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_R, AddressMode(ss[D3DSAMP_ADDRESSW]));
    DWORD bc = ss[D3DSAMP_BORDERCOLOR];
    float border[4] = {static_cast<float>((bc >> 16) & 0xFF) / 255.0f,
                       static_cast<float>((bc >> 8) & 0xFF) / 255.0f,
                       static_cast<float>(bc & 0xFF) / 255.0f,
                       static_cast<float>(bc >> 24) / 255.0f};
    PortGl.SamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
  }
  PortGl.ActiveTexture(GL_TEXTURE0);

  if (rs[D3DRS_ALPHABLENDENABLE]) {
    GLenum s, d, sa, da;
    BlendPair(rs[D3DRS_SRCBLEND], rs[D3DRS_DESTBLEND], &s, &d);
    GLenum op = BlendEquation(rs[D3DRS_BLENDOP]), opAlpha = op;
    sa = s;
    da = d;
    if (rs[D3DRS_SEPARATEALPHABLENDENABLE]) {
      BlendPair(rs[D3DRS_SRCBLENDALPHA], rs[D3DRS_DESTBLENDALPHA], &sa, &da);
      opAlpha = BlendEquation(rs[D3DRS_BLENDOPALPHA]);
    }
    DWORD bf = rs[D3DRS_BLENDFACTOR];
    PortGl.BlendColor(static_cast<float>((bf >> 16) & 0xFF) / 255.0f,
                      static_cast<float>((bf >> 8) & 0xFF) / 255.0f,
                      static_cast<float>(bf & 0xFF) / 255.0f,
                      static_cast<float>(bf >> 24) / 255.0f);
    PortGl.BlendFuncSeparate(s, d, sa, da);
    PortGl.BlendEquationSeparate(op, opAlpha);
    PortGl.Enable(GL_BLEND);
  } else {
    PortGl.Disable(GL_BLEND);
  }

  // Formats without alpha keep alpha 1 in their OpenGL image.
  const PortFormatInfo* f = PortD3DFormatInfo(rt->format());
  DWORD mask = rs[D3DRS_COLORWRITEENABLE];
  PortGl.ColorMask((mask & D3DCOLORWRITEENABLE_RED) != 0, (mask & D3DCOLORWRITEENABLE_GREEN) != 0,
                   (mask & D3DCOLORWRITEENABLE_BLUE) != 0,
                   (mask & D3DCOLORWRITEENABLE_ALPHA) && f->hasAlpha);

  if (depthStencil_ && rs[D3DRS_ZENABLE] != D3DZB_FALSE) {
    PortGl.Enable(GL_DEPTH_TEST);
    PortGl.DepthFunc(CompareFunction(rs[D3DRS_ZFUNC]));
    PortGl.DepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
  } else {
    PortGl.Disable(GL_DEPTH_TEST);
  }
  // Pre-transformed depth is not clipped to the near and far planes.
  PortGl.Enable(GL_DEPTH_CLAMP);

  // Rows run down the image unflipped, so Direct3D's clockwise (on screen) is OpenGL's
  // counter-clockwise.
  PortGl.FrontFace(GL_CCW);
  if (rs[D3DRS_CULLMODE] == D3DCULL_CW) {
    PortGl.Enable(GL_CULL_FACE);
    PortGl.CullFace(GL_FRONT);
  } else if (rs[D3DRS_CULLMODE] == D3DCULL_CCW) {
    PortGl.Enable(GL_CULL_FACE);
    PortGl.CullFace(GL_BACK);
  } else {
    PortGl.Disable(GL_CULL_FACE);
  }
  PortGl.PolygonMode(GL_FRONT_AND_BACK, rs[D3DRS_FILLMODE] == D3DFILL_POINT       ? GL_POINT
                                        : rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                                                                  : GL_FILL);
  PortGl.Enable(GL_PROGRAM_POINT_SIZE);

  PortGl.BindVertexArray(gl_.vertexArray);
  PortGl.BindBuffer(GL_ARRAY_BUFFER, gl_.vertexBuffer);
  if (fvf != gl_.attribFvf || stride != gl_.attribStride) {
    gl_.attribFvf = fvf;
    gl_.attribStride = stride;
    auto at = [](size_t offset) { return reinterpret_cast<const void*>(offset); };
    size_t offset = 0;
    PortGl.EnableVertexAttribArray(0);
    PortGl.VertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(stride), at(offset));
    offset += 16;
    if (fvf & D3DFVF_NORMAL) offset += 12;
    if (fvf & D3DFVF_PSIZE) offset += 4;
    // Missing colours read as white (diffuse) and black (specular).
    if (fvf & D3DFVF_DIFFUSE) {
      PortGl.EnableVertexAttribArray(1);
      PortGl.VertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE,
                                 static_cast<GLsizei>(stride), at(offset));
      offset += 4;
    } else {
      PortGl.DisableVertexAttribArray(1);
      PortGl.VertexAttrib4f(1, 1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (fvf & D3DFVF_SPECULAR) {
      PortGl.EnableVertexAttribArray(2);
      PortGl.VertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE,
                                 static_cast<GLsizei>(stride), at(offset));
      offset += 4;
    } else {
      PortGl.DisableVertexAttribArray(2);
      PortGl.VertexAttrib4f(2, 0.0f, 0.0f, 0.0f, 0.0f);
    }
    int sets =
        std::min<int>(8, static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT));
    for (int i = 0; i < 8; ++i) {
      GLuint attribute = kTexAttribute + static_cast<GLuint>(i);
      if (i < sets) {
        int floats = TexCoordFloats(fvf, i);
        PortGl.EnableVertexAttribArray(attribute);
        PortGl.VertexAttribPointer(attribute, floats, GL_FLOAT, GL_FALSE,
                                   static_cast<GLsizei>(stride), at(offset));
        offset += 4 * static_cast<size_t>(floats);
      } else {
        PortGl.DisableVertexAttribArray(attribute);
      }
    }
  }
  return 1;
}

HRESULT PortD3DDevice::Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT vertexStride, UINT vertexCount, const void* indexData,
                            D3DFORMAT indexFormat, UINT indexCount) {
  DWORD fvf = state_.fvf;
  UINT size = VertexSize(fvf);
  // Only pre-transformed vertices described by an FVF can be drawn: no transform, lighting or
  // declaration-driven input.
  if (!inScene_ || !renderTarget_ || !vertexData || declaration_ || size == 0 ||
      vertexStride < size || VertexCount(type, 1) == 0)
    return D3DERR_INVALIDCALL;
  if (!drawable() || primitiveCount == 0) return D3D_OK;
  PortGlScope scope;
  if (!scope.ok()) return D3DERR_INVALIDCALL;
  int ready = ApplyDrawState(fvf, vertexStride);
  if (ready < 0) return D3DERR_INVALIDCALL;
  if (ready == 0) return D3D_OK;
  PortGl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount) * vertexStride,
                    vertexData, GL_STREAM_DRAW);
  if (indexData) {
    size_t indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    PortGl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, gl_.indexBuffer);
    PortGl.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexCount * indexSize),
                      indexData, GL_STREAM_DRAW);
    PortGl.DrawElements(PrimitiveMode(type), static_cast<GLsizei>(indexCount),
                        indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, nullptr);
  } else {
    PortGl.DrawArrays(PrimitiveMode(type), 0, static_cast<GLsizei>(vertexCount));
  }
  return D3D_OK;
}

HRESULT PortD3DDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                       const void* vertexData, UINT vertexStride) {
  return Draw(type, primitiveCount, vertexData, vertexStride, VertexCount(type, primitiveCount),
              nullptr, D3DFMT_UNKNOWN, 0);
}

HRESULT PortD3DDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex,
                                              UINT numVertices, UINT primitiveCount,
                                              const void* indexData, D3DFORMAT indexFormat,
                                              const void* vertexData, UINT vertexStride) {
  if (!indexData || (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32) ||
      numVertices == 0)
    return D3DERR_INVALIDCALL;
  UINT indexCount = VertexCount(type, primitiveCount);
  // Indices reach vertices [minVertexIndex, minVertexIndex + numVertices) of the data; one past
  // that would read beyond what the caller gave.
  UINT end = minVertexIndex + numVertices;
  for (UINT i = 0; i < indexCount; ++i) {
    UINT index = indexFormat == D3DFMT_INDEX32 ? static_cast<const uint32_t*>(indexData)[i]
                                               : static_cast<const uint16_t*>(indexData)[i];
    if (index < minVertexIndex || index >= end) return D3DERR_INVALIDCALL;
  }
  return Draw(type, primitiveCount, vertexData, vertexStride, end, indexData, indexFormat,
              indexCount);
}
