#include "buffer_ring.h"

#include <gtest/gtest.h>

#include <vector>

namespace radmon {
namespace {

std::vector<uint8_t> pattern(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 % 251);
  return v;
}

// Feeds `sound` in chunks of the given sizes (cycled) and collects the full buffers in
// the order they come; each is handed back at once unless `handBack` is false.
struct Feeder {
  explicit Feeder(BufferRing& r) : ring(r) {}
  BufferRing& ring;
  bool handBack = true;
  std::vector<int16_t> indices;
  std::vector<uint8_t> delivered;

  void feed(const std::vector<uint8_t>& sound, const std::vector<size_t>& chunks) {
    size_t at = 0;
    for (size_t c = 0; at < sound.size(); ++c) {
      const size_t end = std::min(sound.size(), at + chunks[c % chunks.size()]);
      size_t from = at;
      while (from < end) {
        from += ring.write(sound.data() + from, end - from);
        if (const auto index = ring.takeFull()) take(*index);
      }
      at = end;
    }
  }
  void take(int16_t index) {
    indices.push_back(index);
    std::vector<uint8_t> bytes(static_cast<size_t>(ring.size()));
    ring.copy(bytes.data(), index, ring.size());
    delivered.insert(delivered.end(), bytes.begin(), bytes.end());
    if (handBack) ring.hand(index);
  }
};

TEST(BufferRing, AssemblesUnevenChunksIntoWholeBuffersInOrder) {
  struct Case {
    std::vector<size_t> chunks;
    int32_t size;
  };
  for (const Case& c : {Case{{257, 509, 1021, 2039}, 22050}, Case{{2039}, 1000}, Case{{1}, 7},
                        Case{{22050}, 22050}, Case{{30000, 3}, 22050}}) {
    SCOPED_TRACE(testing::Message() << "buffer " << c.size << ", first chunk " << c.chunks[0]);
    BufferRing ring(4, c.size);
    for (int16_t i = 0; i < 4; ++i) ring.hand(i);
    Feeder feeder(ring);
    const auto sound = pattern(static_cast<size_t>(c.size) * 19 / 2);  // a partial tail
    feeder.feed(sound, c.chunks);
    ASSERT_EQ(feeder.indices.size(), 9u);
    EXPECT_EQ(feeder.indices, (std::vector<int16_t>{0, 1, 2, 3, 0, 1, 2, 3, 0}));
    EXPECT_EQ(feeder.delivered, std::vector<uint8_t>(sound.begin(), sound.begin() + 9 * c.size));
    EXPECT_EQ(ring.droppedBytes(), 0);
  }
}

TEST(BufferRing, SoundWithNoBufferQueuedIsDroppedAndCountedOnce) {
  BufferRing ring(2, 1000);
  ring.hand(0);
  ring.hand(1);
  Feeder feeder(ring);
  feeder.handBack = false;
  const auto sound = pattern(3500);
  feeder.feed(sound, {257, 509, 1021, 2039});
  EXPECT_EQ(feeder.indices, (std::vector<int16_t>{0, 1}));
  EXPECT_EQ(ring.droppedBytes(), 1500);
  EXPECT_EQ(ring.takeNewlyDropped(), 1500);
  EXPECT_EQ(ring.takeNewlyDropped(), 0);

  // Handed back, the buffer takes the sound that comes now, not what was dropped.
  ring.hand(1);
  const auto later = std::vector<uint8_t>(1000, 9);
  feeder.feed(later, {509});
  EXPECT_EQ(feeder.indices.back(), 1);
  EXPECT_EQ(std::vector<uint8_t>(feeder.delivered.end() - 1000, feeder.delivered.end()), later);
  EXPECT_EQ(ring.droppedBytes(), 1500);
}

TEST(BufferRing, IgnoresUnknownAndRepeatedHandsForgetsAPartialSecondAndFillsTheFrontInPlace) {
  BufferRing ring(3, 10);
  EXPECT_TRUE(ring.hand(2));
  EXPECT_FALSE(ring.hand(2));
  EXPECT_FALSE(ring.hand(-1));
  EXPECT_FALSE(ring.hand(3));
  EXPECT_TRUE(ring.queued(2));
  EXPECT_FALSE(ring.queued(0));

  const auto sound = pattern(10);
  EXPECT_EQ(ring.write(sound.data(), 4), 4u);
  EXPECT_FALSE(ring.takeFull());
  ring.discardPartial();
  EXPECT_EQ(ring.write(sound.data(), 10), 10u);
  EXPECT_EQ(ring.takeFull(), std::optional<int16_t>(2));
  std::vector<uint8_t> out(12, 0);
  ring.copy(out.data(), 2, 12);  // never more than a buffer
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 10), sound);
  EXPECT_EQ(out[10], 0);
  EXPECT_TRUE(ring.empty());
  // A pulled source fills the front buffer in place.
  BufferRing pulled(2, 10);
  EXPECT_EQ(pulled.frontSpace(), nullptr);
  EXPECT_FALSE(pulled.takeFront(10));
  pulled.hand(1);
  pulled.hand(0);
  uint8_t* space = pulled.frontSpace();
  ASSERT_NE(space, nullptr);
  space[0] = 42;
  EXPECT_FALSE(pulled.takeFront(0));  // nothing written is no buffer
  EXPECT_EQ(pulled.takeFront(1), std::optional<int16_t>(1));
  uint8_t byte = 0;
  pulled.copy(&byte, 1, 1);
  EXPECT_EQ(byte, 42);
  EXPECT_EQ(pulled.takeFront(10), std::optional<int16_t>(0));
  pulled.clear();
  EXPECT_TRUE(pulled.empty());
}

}  // namespace
}  // namespace radmon
