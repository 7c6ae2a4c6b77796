// Mutated movie and sound files through the port's filter graph: each is refused, or renders and
// decodes to its end, and leaves no graph object behind.
#include <gtest/gtest.h>

#include <random>

#include "tests/fuzz/filter_graph_fuzz_input.h"
#include "tests/support/encoded_media.h"

namespace {

// One to four mutations: random bytes, flipped bits, a cut, or a repeated run.
Bytes Mutate(const Bytes& seed, std::mt19937& rng) {
  Bytes b = seed;
  const int count = 1 + static_cast<int>(rng() % 4);
  for (int k = 0; k < count && !b.empty(); ++k) {
    const size_t at = rng() % b.size();
    switch (rng() % 4) {
      case 0:
        b[at] = static_cast<uint8_t>(rng());
        break;
      case 1:
        b[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 2:
        b.resize(at);
        break;
      case 3: {
        const size_t length = std::min<size_t>(1 + rng() % 64, b.size() - at);
        const Bytes run(b.begin() + static_cast<long>(at),
                        b.begin() + static_cast<long>(at + length));
        b.insert(b.begin() + static_cast<long>(rng() % (b.size() + 1)), run.begin(), run.end());
        break;
      }
    }
  }
  return b;
}

TEST(FilterGraphFuzzSmoke, MutatedFilesRenderAndDecodeOrAreRefused) {
  const std::vector<FlatColour> colours = MovieTestColours(4);
  const std::vector<Bytes> seeds = {
      EncodeMovieFile(MovieToEncode{"mpeg", "mpeg1video", 32, 32, 25, colours}),
      EncodeMovieFile(MovieToEncode{"avi", "mpeg4", 32, 32, 25, colours, "libmp3lame"}),
      EncodeSoundFile("mp3", "libmp3lame", std::vector<int16_t>(4000, 1000), 1, 22050, 32000),
  };
  for (const Bytes& seed : seeds) {
    ASSERT_FALSE(seed.empty());
    EXPECT_TRUE(filter_graph_fuzz::DecodeThroughFilterGraph(seed.data(), seed.size()));
  }
  std::mt19937 rng(31337);
  int rendered = 0;
  for (int i = 0; i < 300; ++i) {
    const Bytes file = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], rng);
    if (filter_graph_fuzz::DecodeThroughFilterGraph(file.data(), file.size())) ++rendered;
  }
  // Enough of the mutations keep a playable stream for the decoding paths to run.
  EXPECT_GT(rendered, 60);
}

}  // namespace
