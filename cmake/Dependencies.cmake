# The Debian packages the project links against (installed by scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# What the runtime and the port call.
pkg_check_modules(KELVANOR_PKG REQUIRED IMPORTED_TARGET
  sdl2 zlib libpng libjpeg ogg vorbis vorbisfile theoradec freetype2 fontconfig gl)
add_library(kelvanor_deps INTERFACE)
target_link_libraries(kelvanor_deps INTERFACE PkgConfig::KELVANOR_PKG Threads::Threads
  ${CMAKE_DL_LIBS})

# Encoders that only tests and tools use to make their fixtures.
pkg_check_modules(KELVANOR_FIXTURE_PKG REQUIRED IMPORTED_TARGET vorbisenc theoraenc)
add_library(kelvanor_fixture_deps INTERFACE)
target_link_libraries(kelvanor_fixture_deps INTERFACE PkgConfig::KELVANOR_FIXTURE_PKG kelvanor_deps)
