#include "tools/lib/shader_pack_writer.h"

#include <cstdio>
#include <stdexcept>

#include "runtime/graphics/device/shader_pack.h"
#include "tools/lib/archive_writer.h"
#include "tools/lib/lz_encoder.h"

std::vector<uint8_t> BuildShaderPack(const std::vector<ShaderPackSlot>& slots) {
  std::vector<std::vector<uint8_t>> code(kShaderSizeEntries);
  for (const ShaderPackSlot& s : slots) {
    if (s.slot < 0 || s.slot >= kShaderSizeEntries) throw std::invalid_argument("slot");
    if (s.code.size() > 0xFFFF) throw std::invalid_argument("code size");
    code[static_cast<size_t>(s.slot)] = s.code;
  }
  std::vector<uint8_t> pack(kShaderSizeTableBytes);
  for (size_t i = 0; i < code.size(); ++i) {
    pack[i * 2] = static_cast<uint8_t>(code[i].size());
    pack[i * 2 + 1] = static_cast<uint8_t>(code[i].size() >> 8);
    pack.insert(pack.end(), code[i].begin(), code[i].end());
  }
  return pack;
}

std::vector<uint8_t> BuildShaderPackBlock(const std::vector<uint8_t>& pack) {
  ArchiveWriterEntry entry;
  entry.path = kShaderPackEntryName;
  entry.data = pack;
  entry.compress = 1;
  return EncodeLzBlock(BuildArchiveImage({entry}));
}

std::string ShaderPackBlockSource(const std::vector<uint8_t>& block) {
  std::string out =
      "// Written by tools/make_shader_pack: the shader pack the runtime carries, in the layout\n"
      "// the loader reads, every slot empty (the device runs the fixed-function path).\n"
      "#include \"runtime/graphics/device/shader_pack.h\"\n\n"
      "// clang-format off\n"
      "const uint8_t EmbeddedShaderPackBlock[] = {\n";
  char number[8];
  for (size_t i = 0; i < block.size(); ++i) {
    if (i % 16 == 0) out += "   ";
    std::snprintf(number, sizeof(number), " 0x%02X,", block[i]);
    out += number;
    if (i % 16 == 15 || i + 1 == block.size()) out += "\n";
  }
  out +=
      "};\n// clang-format on\nconst size_t EmbeddedShaderPackBlockSize = "
      "sizeof(EmbeddedShaderPackBlock);\n";
  return out;
}
