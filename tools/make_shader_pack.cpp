// Writes the source file that embeds the runtime's shader pack: every slot empty, in the
// pack's layout (size table, then code), packed as the loader expects.
//
//   make_shader_pack OUTPUT      (runtime/graphics/device/embedded_shader_pack.cpp)
#include <cstdio>
#include <string>

#include "tools/lib/shader_pack_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_shader_pack OUTPUT\n");
    return 2;
  }
  const std::string source = ShaderPackBlockSource(BuildShaderPackBlock(BuildShaderPack({})));
  FILE* file = std::fopen(argv[1], "wb");
  if (!file || std::fwrite(source.data(), 1, source.size(), file) != source.size()) {
    std::fprintf(stderr, "make_shader_pack: cannot write %s\n", argv[1]);
    if (file) std::fclose(file);
    return 1;
  }
  return std::fclose(file) == 0 ? 0 : 1;
}
