#include "tools/lib/fmf_map_writer.h"

#include <cstdio>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace {

struct CellValue {
  enum Kind { Empty, Logical, Raw } kind = Empty;
  long long number = 0;
};

struct Damage {
  std::optional<std::string> magic;
  std::optional<uint32_t> size, width, height;
  std::optional<uint8_t> layers, bits, chipWidth, chipHeight;
  std::optional<size_t> cut;
  size_t extend = 0;
};

struct Description {
  long long width = -1, height = -1;
  int layers = -1;
  int bits = 16;
  int chipWidth = 40, chipHeight = 40;
  std::map<int, long long> palette;
  std::map<char, std::vector<std::pair<int, CellValue>>> legend;
  std::vector<std::vector<CellValue>> cells;  // [layer][y x width + x]
  Damage damage;
};

[[noreturn]] void Fail(int line, const std::string& message) {
  throw std::invalid_argument("map description line " + std::to_string(line) + ": " + message);
}

long long ParseNumber(const std::string& text, int line) {
  size_t used = 0;
  long long n = 0;
  try {
    n = std::stoll(text, &used, 0);
  } catch (const std::exception&) { Fail(line, "not a number: \"" + text + "\""); }
  if (used != text.size()) Fail(line, "not a number: \"" + text + "\"");
  return n;
}

CellValue ParseValue(const std::string& text, int line) {
  CellValue v;
  if (text == "-") return v;
  if (text.rfind("raw:", 0) == 0) {
    v.kind = CellValue::Raw;
    v.number = ParseNumber(text.substr(4), line);
  } else {
    v.kind = CellValue::Logical;
    v.number = ParseNumber(text, line);
  }
  if (v.number < 0) Fail(line, "negative value \"" + text + "\"");
  return v;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

void NeedWords(const std::vector<std::string>& words, size_t count, int line) {
  if (words.size() != count)
    Fail(line, "\"" + words[0] + "\" takes " + std::to_string(count - 1) + " arguments");
}

// Cells exist once the size and the layer count are known; content before that is an error.
void Place(Description& d, int layer, long long x, long long y, const CellValue& v, int line) {
  if (d.cells.empty()) Fail(line, "content before \"size\" and \"layers\"");
  if (layer < 0 || layer >= d.layers) Fail(line, "no layer " + std::to_string(layer));
  if (x < 0 || y < 0 || x >= d.width || y >= d.height) {
    Fail(line, "cell (" + std::to_string(x) + ", " + std::to_string(y) + ") outside the map");
  }
  d.cells[layer][y * d.width + x] = v;
}

void StartCells(Description& d, int line) {
  if (!d.cells.empty()) Fail(line, "\"size\" and \"layers\" come once, before the content");
  if (d.width > 0 && d.layers >= 0) {
    d.cells.assign(d.layers, std::vector<CellValue>(d.width * d.height));
  }
}

uint32_t Encode(const Description& d, int layer, const CellValue& v) {
  const uint32_t limit = d.bits == 8 ? 0xFF : 0xFFFF;
  long long raw = limit;
  if (v.kind == CellValue::Raw) raw = v.number;
  if (v.kind == CellValue::Logical) {
    auto it = d.palette.find(layer);
    const long long columns = it == d.palette.end() ? 16 : it->second;
    raw = (v.number / columns) * 256 + v.number % columns;
  }
  if (raw > limit) {
    throw std::invalid_argument("map description: value " + std::to_string(v.number) +
                                " does not fit a cell of layer " + std::to_string(layer));
  }
  return static_cast<uint32_t>(raw);
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void ApplyDamage(Damage& damage, const std::vector<std::string>& words, int line) {
  if (words.size() != 3) Fail(line, "\"damage\" takes a kind and a value");
  const std::string& what = words[1];
  if (what == "magic") {
    damage.magic = words[2];
    return;
  }
  const long long n = ParseNumber(words[2], line);
  if (what == "size") {
    damage.size = static_cast<uint32_t>(n);
  } else if (what == "width") {
    damage.width = static_cast<uint32_t>(n);
  } else if (what == "height") {
    damage.height = static_cast<uint32_t>(n);
  } else if (what == "layers") {
    damage.layers = static_cast<uint8_t>(n);
  } else if (what == "bits") {
    damage.bits = static_cast<uint8_t>(n);
  } else if (what == "chipw") {
    damage.chipWidth = static_cast<uint8_t>(n);
  } else if (what == "chiph") {
    damage.chipHeight = static_cast<uint8_t>(n);
  } else if (what == "cut") {
    damage.cut = static_cast<size_t>(n);
  } else if (what == "extend") {
    damage.extend = static_cast<size_t>(n);
  } else {
    Fail(line, "unknown damage \"" + what + "\"");
  }
}

std::vector<uint8_t> Write(const Description& d) {
  const Damage& damage = d.damage;
  const size_t cellBytes = d.bits / 8;
  const uint32_t dataSize = static_cast<uint32_t>(d.layers * d.width * d.height * cellBytes);
  std::vector<uint8_t> out;
  const std::string magic = damage.magic.value_or("FMF_");
  for (int i = 0; i < 4; ++i) out.push_back(i < static_cast<int>(magic.size()) ? magic[i] : 0);
  PutLe32(out, damage.size.value_or(dataSize));
  PutLe32(out, damage.width.value_or(static_cast<uint32_t>(d.width)));
  PutLe32(out, damage.height.value_or(static_cast<uint32_t>(d.height)));
  out.push_back(damage.chipWidth.value_or(static_cast<uint8_t>(d.chipWidth)));
  out.push_back(damage.chipHeight.value_or(static_cast<uint8_t>(d.chipHeight)));
  out.push_back(damage.layers.value_or(static_cast<uint8_t>(d.layers)));
  out.push_back(damage.bits.value_or(static_cast<uint8_t>(d.bits)));
  for (int layer = 0; layer < d.layers; ++layer) {
    for (const CellValue& v : d.cells[layer]) {
      const uint32_t raw = Encode(d, layer, v);
      out.push_back(static_cast<uint8_t>(raw));
      if (cellBytes == 2) out.push_back(static_cast<uint8_t>(raw >> 8));
    }
  }
  out.resize(out.size() + damage.extend, 0);
  if (damage.cut && *damage.cut < out.size()) out.resize(*damage.cut);
  return out;
}

}  // namespace

std::vector<uint8_t> BuildFmfMap(const std::string& description) {
  Description d;
  std::istringstream in(description);
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const std::vector<std::string> words = Words(text);
    if (words.empty() || words[0][0] == '#') continue;
    const std::string& op = words[0];
    if (op == "size") {
      NeedWords(words, 3, line);
      d.width = ParseNumber(words[1], line);
      d.height = ParseNumber(words[2], line);
      if (d.width < 1 || d.height < 1 || d.width * d.height > (1 << 24)) {
        Fail(line, "the map must be 1 x 1 to 16M cells");
      }
      StartCells(d, line);
    } else if (op == "layers") {
      NeedWords(words, 2, line);
      d.layers = static_cast<int>(ParseNumber(words[1], line));
      if (d.layers < 0 || d.layers > 255) Fail(line, "0 to 255 layers");
      StartCells(d, line);
    } else if (op == "bits") {
      NeedWords(words, 2, line);
      d.bits = static_cast<int>(ParseNumber(words[1], line));
      if (d.bits != 8 && d.bits != 16) Fail(line, "bits 8 or 16 (damage bits writes others)");
    } else if (op == "chip") {
      NeedWords(words, 3, line);
      d.chipWidth = static_cast<int>(ParseNumber(words[1], line)) & 0xFF;
      d.chipHeight = static_cast<int>(ParseNumber(words[2], line)) & 0xFF;
    } else if (op == "palette") {
      NeedWords(words, 3, line);
      const long long columns = ParseNumber(words[2], line);
      if (columns < 1 || columns > 256) Fail(line, "a sheet of 1 to 256 columns");
      d.palette[static_cast<int>(ParseNumber(words[1], line))] = columns;
    } else if (op == "legend") {
      if (words.size() < 3 || words[1].size() != 1) Fail(line, "legend CHARACTER LAYER=VALUE...");
      auto& entry = d.legend[words[1][0]];
      entry.clear();
      for (size_t i = 2; i < words.size(); ++i) {
        const size_t eq = words[i].find('=');
        if (eq == std::string::npos) Fail(line, "legend entries are LAYER=VALUE");
        entry.emplace_back(static_cast<int>(ParseNumber(words[i].substr(0, eq), line)),
                           ParseValue(words[i].substr(eq + 1), line));
      }
    } else if (op == "grid") {
      NeedWords(words, 3, line);
      const long long x0 = ParseNumber(words[1], line), y0 = ParseNumber(words[2], line);
      const int gridLine = line;
      for (long long y = y0;; ++y) {
        if (!std::getline(in, text)) Fail(gridLine, "grid without \"end\"");
        ++line;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text == "end") break;
        for (size_t i = 0; i < text.size(); ++i) {
          auto it = d.legend.find(text[i]);
          if (it == d.legend.end()) {
            if (text[i] == ' ' || text[i] == '.') continue;
            Fail(line, std::string("no legend for '") + text[i] + "'");
          }
          for (const auto& [layer, v] : it->second) Place(d, layer, x0 + i, y, v, line);
        }
      }
    } else if (op == "rect") {
      NeedWords(words, 7, line);
      const int layer = static_cast<int>(ParseNumber(words[1], line));
      const long long x0 = ParseNumber(words[2], line), y0 = ParseNumber(words[3], line);
      const long long w = ParseNumber(words[4], line), h = ParseNumber(words[5], line);
      const CellValue v = ParseValue(words[6], line);
      for (long long y = y0; y < y0 + h; ++y) {
        for (long long x = x0; x < x0 + w; ++x) Place(d, layer, x, y, v, line);
      }
    } else if (op == "cell") {
      NeedWords(words, 5, line);
      Place(d, static_cast<int>(ParseNumber(words[1], line)), ParseNumber(words[2], line),
            ParseNumber(words[3], line), ParseValue(words[4], line), line);
    } else if (op == "damage") {
      ApplyDamage(d.damage, words, line);
    } else {
      Fail(line, "unknown statement \"" + op + "\"");
    }
  }
  if (d.cells.empty() && (d.width < 1 || d.layers < 0)) {
    throw std::invalid_argument("map description: no \"size\" or no \"layers\"");
  }
  return Write(d);
}

void WriteFmfMapFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) throw std::runtime_error("cannot write " + path);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}
