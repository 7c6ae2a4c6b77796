# The Debian packages the project links against (installed by scripts/install-deps.sh).
# Each layer sees only its own: the port is the one place SDL2, FreeType, fontconfig, OpenGL and
# FFmpeg are visible, the runtime sees the codec libraries, and tests and tools add the encoders.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# What the port stands on.
pkg_check_modules(KELVANOR_PORT_PKG REQUIRED IMPORTED_TARGET sdl2 freetype2 fontconfig gl)
# FFmpeg's headers only: its libraries, and the hundred-odd its codecs bring, are loaded at the
# first use (port/ffmpeg/), not at every process start.
pkg_check_modules(KELVANOR_FFMPEG_PKG REQUIRED libavformat libavcodec libswscale libswresample
  libavutil)
add_library(tarnu_ffmpeg_headers INTERFACE)
target_include_directories(tarnu_ffmpeg_headers INTERFACE ${KELVANOR_FFMPEG_PKG_INCLUDE_DIRS})
target_compile_options(tarnu_ffmpeg_headers INTERFACE ${KELVANOR_FFMPEG_PKG_CFLAGS_OTHER})
add_library(tarnu_port_deps INTERFACE)
target_link_libraries(tarnu_port_deps INTERFACE PkgConfig::KELVANOR_PORT_PKG tarnu_ffmpeg_headers
  Threads::Threads ${CMAKE_DL_LIBS})

# The codec libraries the runtime calls.
pkg_check_modules(KELVANOR_CODEC_PKG REQUIRED IMPORTED_TARGET
  zlib libpng libjpeg ogg vorbis vorbisfile theoradec)
add_library(tarnu_codec_deps INTERFACE)
target_link_libraries(tarnu_codec_deps INTERFACE PkgConfig::KELVANOR_CODEC_PKG)

# Encoders that only tests and tools use to make their fixtures; tests also reach into the port.
pkg_check_modules(KELVANOR_FIXTURE_PKG REQUIRED IMPORTED_TARGET vorbisenc theoraenc)
add_library(kelvanor_fixture_deps INTERFACE)
target_link_libraries(kelvanor_fixture_deps INTERFACE PkgConfig::KELVANOR_FIXTURE_PKG
  tarnu_port_deps tarnu_codec_deps)
