// The ending text and the attract demo's replay.
#include <cmath>
#include <cstring>

#include "tools/datakit/kit_build.h"

namespace {

// Read by the ending's scroll: at most 64 lines of at most 43 characters, no empty line.
const char* const kEndingLines[] = {
    "THE LAST GATE FELL SILENT.",
    "ACROSS THE WRECK FIELD THE FIRES DIED",
    "ONE BY ONE, AND THE FLEET TURNED HOME.",
    " ",
    "NO ONE SAW THE SMALL SHIP SLIP PAST",
    "THE CRYSTAL RUINS, NOR HEARD THE ENGINES",
    "FADE INTO THE COPPER DARK BELOW.",
    " ",
    "BUT AT DAWN A SIGNAL CAME:",
    "    KELVANOR, STILL FLYING.",
    " ",
    "            - STAFF -",
    " ",
    "PICTURES ..... DRAWN IN CODE",
    "SOUNDS ....... SYNTHESISED IN CODE",
    "MUSIC ........ COMPOSED IN CODE",
    "STAGES ....... BUILT BY HAND",
    " ",
    "THANK YOU FOR PLAYING.",
};

}  // namespace

std::vector<uint8_t> EndingText() {
  std::vector<uint8_t> out;
  for (const char* line : kEndingLines) {
    out.insert(out.end(), line, line + std::strlen(line));
    out.push_back('\r');
    out.push_back('\n');
  }
  return out;
}

std::vector<uint8_t> DemoReplay() {
  // Weapons: main 0, subs 0 and 1, charge 0. Then an authored flight, one input byte a frame:
  // bit 0 left, 1 up, 2 right, 3 down, 4 shot, 5 charge, 6 weapon change; bit 7 clear.
  std::vector<uint8_t> out(512000, 0);
  out[0] = 0, out[1] = 0, out[2] = 1, out[3] = 0;
  double y = 0;  // where the authored ship is, relative to its start
  double x = 0;
  for (size_t i = 4; i < out.size(); ++i) {
    const double f = static_cast<double>(i - 4);
    const double wantY = 110 * std::sin(f / 170.0) + 40 * std::sin(f / 53.0);
    const double wantX = 90 * std::sin(f / 400.0);
    uint8_t b = 0x10;  // shooting
    if (wantY < y - 3) b |= 0x02, y -= 4;
    if (wantY > y + 3) b |= 0x08, y += 4;
    if (wantX < x - 3) b |= 0x01, x -= 4;
    if (wantX > x + 3) b |= 0x04, x += 4;
    const long frame = static_cast<long>(f);
    if (frame % 1500 >= 1200 && frame % 1500 < 1290) b = static_cast<uint8_t>((b & ~0x10) | 0x20);
    if (frame % 2400 == 600) b |= 0x40;
    out[i] = b;
  }
  return out;
}
