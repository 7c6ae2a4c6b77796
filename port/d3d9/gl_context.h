// The port's one OpenGL context (3.3 core), made on a hidden SDL window of its own and shared by
// everything that draws with OpenGL: the Direct3D 9 device and DIB output to GL windows. Every
// SDL window that should show GL output is made OpenGL-capable after this context exists, so
// they all share its pixel format and the context can draw to any of them.
//
// GL work happens on the thread that made the context (the main thread, as for all video).
// Port-internal: the runtime never includes this header.
#pragma once

#include <mutex>

#include <GL/glcorearb.h>
#include <SDL.h>

#define PORT_GL_FUNCTIONS(X)                                     \
  X(PFNGLGETERRORPROC, GetError)                                 \
  X(PFNGLGETSTRINGPROC, GetString)                               \
  X(PFNGLGETINTEGERVPROC, GetIntegerv)                           \
  X(PFNGLENABLEPROC, Enable)                                     \
  X(PFNGLDISABLEPROC, Disable)                                   \
  X(PFNGLVIEWPORTPROC, Viewport)                                 \
  X(PFNGLSCISSORPROC, Scissor)                                   \
  X(PFNGLCLEARCOLORPROC, ClearColor)                             \
  X(PFNGLCLEARDEPTHPROC, ClearDepth)                             \
  X(PFNGLCLEARSTENCILPROC, ClearStencil)                         \
  X(PFNGLCLEARPROC, Clear)                                       \
  X(PFNGLCOLORMASKPROC, ColorMask)                               \
  X(PFNGLDEPTHMASKPROC, DepthMask)                               \
  X(PFNGLDEPTHFUNCPROC, DepthFunc)                               \
  X(PFNGLBLENDFUNCSEPARATEPROC, BlendFuncSeparate)               \
  X(PFNGLBLENDEQUATIONSEPARATEPROC, BlendEquationSeparate)       \
  X(PFNGLBLENDCOLORPROC, BlendColor)                             \
  X(PFNGLCULLFACEPROC, CullFace)                                 \
  X(PFNGLFRONTFACEPROC, FrontFace)                               \
  X(PFNGLPOLYGONMODEPROC, PolygonMode)                           \
  X(PFNGLPROVOKINGVERTEXPROC, ProvokingVertex)                   \
  X(PFNGLPIXELSTOREIPROC, PixelStorei)                           \
  X(PFNGLGENTEXTURESPROC, GenTextures)                           \
  X(PFNGLDELETETEXTURESPROC, DeleteTextures)                     \
  X(PFNGLBINDTEXTUREPROC, BindTexture)                           \
  X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                       \
  X(PFNGLTEXIMAGE2DPROC, TexImage2D)                             \
  X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                       \
  X(PFNGLTEXPARAMETERIPROC, TexParameteri)                       \
  X(PFNGLTEXPARAMETERIVPROC, TexParameteriv)                     \
  X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                   \
  X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)             \
  X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                   \
  X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)         \
  X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)   \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)     \
  X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                   \
  X(PFNGLDRAWBUFFERPROC, DrawBuffer)                             \
  X(PFNGLREADBUFFERPROC, ReadBuffer)                             \
  X(PFNGLREADPIXELSPROC, ReadPixels)                             \
  X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)                 \
  X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)           \
  X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                 \
  X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage)           \
  X(PFNGLGENBUFFERSPROC, GenBuffers)                             \
  X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                       \
  X(PFNGLBINDBUFFERPROC, BindBuffer)                             \
  X(PFNGLBUFFERDATAPROC, BufferData)                             \
  X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                   \
  X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)             \
  X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                   \
  X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)           \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)   \
  X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray) \
  X(PFNGLVERTEXATTRIB4FPROC, VertexAttrib4f)                     \
  X(PFNGLDRAWARRAYSPROC, DrawArrays)                             \
  X(PFNGLDRAWELEMENTSPROC, DrawElements)                         \
  X(PFNGLCREATESHADERPROC, CreateShader)                         \
  X(PFNGLSHADERSOURCEPROC, ShaderSource)                         \
  X(PFNGLCOMPILESHADERPROC, CompileShader)                       \
  X(PFNGLGETSHADERIVPROC, GetShaderiv)                           \
  X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                 \
  X(PFNGLDELETESHADERPROC, DeleteShader)                         \
  X(PFNGLCREATEPROGRAMPROC, CreateProgram)                       \
  X(PFNGLATTACHSHADERPROC, AttachShader)                         \
  X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)             \
  X(PFNGLBINDFRAGDATALOCATIONPROC, BindFragDataLocation)         \
  X(PFNGLLINKPROGRAMPROC, LinkProgram)                           \
  X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                         \
  X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)               \
  X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                       \
  X(PFNGLUSEPROGRAMPROC, UseProgram)                             \
  X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)             \
  X(PFNGLUNIFORM1IPROC, Uniform1i)                               \
  X(PFNGLUNIFORM1FPROC, Uniform1f)                               \
  X(PFNGLUNIFORM4FPROC, Uniform4f)                               \
  X(PFNGLGENSAMPLERSPROC, GenSamplers)                           \
  X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                     \
  X(PFNGLBINDSAMPLERPROC, BindSampler)                           \
  X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)               \
  X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv)             \
  X(PFNGLFINISHPROC, Finish)

struct PortGlApi {
#define PORT_GL_MEMBER(type, name) type name;
  PORT_GL_FUNCTIONS(PORT_GL_MEMBER)
#undef PORT_GL_MEMBER
};

// The loaded functions; valid once PortGlAvailable() returned true.
extern PortGlApi PortGl;

// Makes the context on first use (main thread). False when the video driver has no OpenGL
// (SDL's dummy driver) or a 3.3 core context cannot be made; the answer is kept.
bool PortGlAvailable();

// The largest texture side the context takes, and its renderer text ("llvmpipe ...").
int PortGlMaxTextureSize();
const char* PortGlRenderer();

// Holds the GL lock and makes the context current on this thread, drawing to `window` (an
// OpenGL-capable SDL window), or to whatever window it is current on when `window` is null.
// ok() is false when there is no context or it cannot be made current.
class PortGlScope {
 public:
  explicit PortGlScope(SDL_Window* window = nullptr);
  PortGlScope(const PortGlScope&) = delete;
  PortGlScope& operator=(const PortGlScope&) = delete;
  bool ok() const { return ok_; }

 private:
  std::unique_lock<std::recursive_mutex> lock_;
  bool ok_ = false;
};

// Compiles and links a program from two GLSL sources with the attribute locations given
// (null-terminated list of names, location = index). 0 on failure (the log goes to stderr).
GLuint PortGlBuildProgram(const char* vertexSource, const char* fragmentSource,
                          const char* const* attributes);
