// The shader pack as the runtime carries it: "ShaderPack.bin" (a table of 139,776 u16 code
// sizes, then the code blocks in slot order) as an LZ entry of an archive without a key
// string, the archive itself as one LZ block; and the C++ source that embeds such a block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A pack from per-slot code: vertex slots first, then pixel slots; slots not given are empty.
// Throws std::invalid_argument for a slot beyond the table or code of 65,536 bytes or more.
struct ShaderPackSlot {
  int slot;  // 0 .. 139,775 over both tables
  std::vector<uint8_t> code;
};
std::vector<uint8_t> BuildShaderPack(const std::vector<ShaderPackSlot>& slots);

// The embedded block for a pack.
std::vector<uint8_t> BuildShaderPackBlock(const std::vector<uint8_t>& pack);

// The source file of runtime/graphics/device/embedded_shader_pack.cpp for a block.
std::string ShaderPackBlockSource(const std::vector<uint8_t>& block);
