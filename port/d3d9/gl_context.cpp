#include "port/d3d9/gl_context.h"

#include <cstdio>
#include <string>

#include "port/user/window_internal.h"

PortGlApi PortGl;

namespace {

std::recursive_mutex gMutex;
bool gTried = false;
bool gAvailable = false;
SDL_Window* gHelperWindow = nullptr;
SDL_GLContext gContext = nullptr;
int gMaxTextureSize = 0;
std::string gRenderer;

bool LoadFunctions() {
  bool all = true;
#define PORT_GL_LOAD(type, name)                                            \
  PortGl.name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name));  \
  if (!PortGl.name) {                                                       \
    std::fprintf(stderr, "port: OpenGL function gl%s is missing\n", #name); \
    all = false;                                                            \
  }
  PORT_GL_FUNCTIONS(PORT_GL_LOAD)
#undef PORT_GL_LOAD
  return all;
}

// The attributes every GL window of the port is made with; windows made OpenGL-capable after
// this share the context's pixel format.
void SetWindowAttributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

bool MakeContext() {
  if (!PortEnsureVideo()) return false;
  SetWindowAttributes();
  gHelperWindow = SDL_CreateWindow("port-gl", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!gHelperWindow) return false;
  gContext = SDL_GL_CreateContext(gHelperWindow);
  if (!gContext) {
    SDL_DestroyWindow(gHelperWindow);
    gHelperWindow = nullptr;
    return false;
  }
  if (!LoadFunctions()) return false;
  PortGl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &gMaxTextureSize);
  const GLubyte* renderer = PortGl.GetString(GL_RENDERER);
  gRenderer = renderer ? reinterpret_cast<const char*>(renderer) : "OpenGL";
  // The device's conventions, set once: first-vertex flat shading, rows packed.
  PortGl.ProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
  PortGl.Disable(GL_DITHER);
  PortGl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  PortGl.PixelStorei(GL_PACK_ALIGNMENT, 1);
  return true;
}

}  // namespace

bool PortGlAvailable() {
  std::lock_guard lock(gMutex);
  if (!gTried) {
    gTried = true;
    gAvailable = MakeContext();
  }
  return gAvailable;
}

int PortGlMaxTextureSize() { return PortGlAvailable() ? gMaxTextureSize : 0; }

const char* PortGlRenderer() { return PortGlAvailable() ? gRenderer.c_str() : ""; }

PortGlScope::PortGlScope(SDL_Window* window) : lock_(gMutex) {
  if (!PortGlAvailable()) return;
  if (SDL_GL_GetCurrentContext() == gContext && (!window || SDL_GL_GetCurrentWindow() == window)) {
    ok_ = true;
    return;
  }
  ok_ = SDL_GL_MakeCurrent(window ? window : gHelperWindow, gContext) == 0;
}

namespace {

GLuint Compile(GLenum kind, const char* source) {
  GLuint shader = PortGl.CreateShader(kind);
  PortGl.ShaderSource(shader, 1, &source, nullptr);
  PortGl.CompileShader(shader);
  GLint ok = 0;
  PortGl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    PortGl.GetShaderInfoLog(shader, sizeof(log), nullptr, log);
    std::fprintf(stderr, "port: shader does not compile: %s\n%s\n", log, source);
    PortGl.DeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

GLuint PortGlBuildProgram(const char* vertexSource, const char* fragmentSource,
                          const char* const* attributes) {
  GLuint vs = Compile(GL_VERTEX_SHADER, vertexSource);
  GLuint fs = vs ? Compile(GL_FRAGMENT_SHADER, fragmentSource) : 0;
  if (!fs) {
    if (vs) PortGl.DeleteShader(vs);
    return 0;
  }
  GLuint program = PortGl.CreateProgram();
  PortGl.AttachShader(program, vs);
  PortGl.AttachShader(program, fs);
  for (GLuint i = 0; attributes && attributes[i]; ++i)
    PortGl.BindAttribLocation(program, i, attributes[i]);
  PortGl.BindFragDataLocation(program, 0, "outColor");
  PortGl.LinkProgram(program);
  PortGl.DeleteShader(vs);
  PortGl.DeleteShader(fs);
  GLint ok = 0;
  PortGl.GetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    PortGl.GetProgramInfoLog(program, sizeof(log), nullptr, log);
    std::fprintf(stderr, "port: shader program does not link: %s\n", log);
    PortGl.DeleteProgram(program);
    return 0;
  }
  return program;
}
