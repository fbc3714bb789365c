// Console byte order over host words, shared by both chips' VRAM.
#include <gtest/gtest.h>

#include <memory>

#include "common/bits.h"
#include "common/console_memory.h"
#include "common/rgb555.h"

namespace {

TEST(ConsoleByteOrder, WordsAndLongsReadBackAsTheConsoleWroteThem) {
  auto memory = std::make_unique<vdp::ConsoleMemory>();
  memory->Clear();
  memory->Word(0x100) = 0x1234;
  EXPECT_EQ(memory->ReadByte(0x100), 0x12);
  EXPECT_EQ(memory->ReadByte(0x101), 0x34);
  memory->Long(0x200) = 0x11223344;
  EXPECT_EQ(memory->ReadWord(0x200), 0x1122);
  EXPECT_EQ(memory->ReadWord(0x202), 0x3344);
  EXPECT_EQ(memory->ReadByte(0x203), 0x44);
  // The memory repeats every 512 KB.
  EXPECT_EQ(memory->ReadWord(0x80100), 0x1234);
  EXPECT_EQ(memory->ReadLong(0xFFF80200), 0x11223344u);
  // Misaligned accesses stay inside the unit they address.
  EXPECT_EQ(memory->ReadWord(0x101), 0x1234);
  EXPECT_EQ(memory->ReadLong(0x7FFFF), memory->ReadLong(0x7FFFC));
}

TEST(BitFields, ExtractAndSignExtend) {
  EXPECT_EQ(vdp::Bits(0xABCD, 7, 4), 0xCu);
  EXPECT_EQ(vdp::Bits(0xFFFFFFFF, 31, 0), 0xFFFFFFFFu);
  EXPECT_EQ(vdp::Bit(0x8000, 15), 1u);
  EXPECT_EQ(vdp::SignExtend(0x7FF, 11), -1);
  EXPECT_EQ(vdp::SignExtend(0x3FF, 11), 1023);
  EXPECT_EQ(vdp::SignExtend(0x400, 11), -1024);
}

TEST(Rgb555Table, ChannelsShiftedUpOpaqueAndBit15Ignored) {
  auto table = std::make_unique<vdp::Rgb555Table>();
  table->Fill();
  struct Case {
    uint32_t colour, texel;
  } cases[] = {
      {0x0000, 0xFF000000}, {0x001F, 0xFF0000F8}, {0x03E0, 0xFF00F800},
      {0x7C00, 0xFFF80000}, {0x7FFF, 0xFFF8F8F8}, {0x8000, 0xFF000000},
  };
  for (const Case& c : cases) EXPECT_EQ((*table)[c.colour], c.texel) << std::hex << c.colour;
  for (uint32_t i = 0; i < 0x8000; ++i) ASSERT_EQ((*table)[i], (*table)[i | 0x8000]);
}

}  // namespace
