// The VDP1 command table walker on hand-built tables.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "vdp1_cores.h"

namespace vdptest {
namespace {

using Table = std::vector<std::pair<uint32_t, Command>>;  // commands by 8-byte unit
using Units = std::vector<uint32_t>;

// Writes the table, walks it, and returns the command addresses of list 0 in order.
Units Walk(Vdp1Cores& cores, const Table& table) {
  for (const auto& [unit, command] : table) cores.Write(unit, command);
  cores.vdp1->BuildPartsListVectors();
  Units out;
  for (const DrawPart& part : cores.vdp1->partsLists[0]) out.push_back(part.command);
  return out;
}

TEST(Walker, EndBitsShiftIntoTheEndStatusAndALoopStopsAfter4001Commands) {
  Vdp1Cores cores;
  cores.vdp1->LocalCoordinateX = 7;
  EXPECT_TRUE(Walk(cores, {{0, {kEndOfTable}}, {4, {kPolygon}}}).empty());
  EXPECT_EQ(cores.vdp1->ReadWordVDP1Regs(0x10), 0x0002) << "current end bit fetched";
  EXPECT_EQ(cores.vdp1->endLocalX, 7) << "local coordinates outlast the walk";
  cores.vdp1->BuildPartsListVectors();
  EXPECT_EQ(cores.vdp1->ReadWordVDP1Regs(0x10), 0x0003) << "bit 0 takes the previous bit 1";
  Vdp1Cores looping;
  EXPECT_EQ(Walk(looping, {{0, {JumpMode(1) | kPolygon, 0}}}).size(), 4001u);
  EXPECT_EQ(looping.vdp1->ReadWordVDP1Regs(0x10), 0) << "a walk cut off fetched no end bit";
}

TEST(Walker, JumpModesVisitCommandsInTableOrder) {
  struct Case {
    const char* name;
    Table table;
    Units visited;  // the first parts the walk must list
  };
  // Polygons that go to the next command, assign, call and return, and the end.
  const uint16_t P = kPolygon, jump = JumpMode(1), A = jump | P, C = JumpMode(2) | P,
                 R = JumpMode(3) | P, skip = JumpMode(4), E = kEndOfTable;
  const Case cases[] = {
      {"assign", {{0, {A, 12}}, {4, {P}}, {12, {E}}}, {0}},
      {"call and return", {{0, {C, 20}}, {4, {P}}, {8, {E}}, {20, {P}}, {24, {R}}}, {0, 20, 24, 4}},
      {"skip call, skip return", {{0, {skip | C, 20}}, {4, {P}}, {8, {E}}, {20, {skip | R}}}, {4}},
      // 40 returns to 24, whose return goes to 24 again until the limit.
      {"a call in a call overwrites the one return register",
       {{0, {C, 20}}, {4, {E}}, {20, {C, 40}}, {24, {R}}, {40, {R}}},
       {0, 20, 40, 24, 24, 24}},
      {"codes without a routine and skipped commands still jump",
       {{0, {jump | 3, 8}}, {8, {jump | 9, 12}}, {12, {jump | 15, 16}}, {16, {skip}}, {20, {P}}},
       {20}},
      {"next after the last slot wraps to 0", {{0, {A, 0xFFFC}}, {0xFFFC, {P}}}, {0, 0xFFFC, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp1Cores cores;
    Units got = Walk(cores, c.table);
    if (got.size() > c.visited.size()) got.resize(c.visited.size());
    EXPECT_EQ(got, c.visited);
  }
}

TEST(Walker, PartsGoToTheListOfTheirPriorityNumber) {
  Vdp1Cores cores;
  // Sprite type 1: colour bits 15-13 pick the entry; entry i holds priority 7 - i.
  cores.vdp2->WriteWordVDP2Regs(0xE0, 1);
  for (uint32_t r = 0; r < 4; ++r)
    cores.vdp2->WriteWordVDP2Regs(0xF0 + 2 * r, static_cast<uint16_t>(0x0607 - 0x0202 * r));
  // Entries 1 and 7, then lookup-table and RGB sprites and a line, which take entry 0.
  Walk(cores, {{0, Part(kNormalSprite, ColourMode(4), 0, 0, 0, 0, 0x2000)},
               {4, Part(kScaledSprite, ColourMode(0), 0, 0, 0, 0, 0xE000)},
               {8, Part(kNormalSprite, ColourMode(1), 0, 0, 0, 0, 0xE000)},
               {12, Part(kDistortedSprite, ColourMode(5), 0, 0, 0, 0, 0xE000)},
               {16, Part(kLine, ColourMode(4), 0, 0, 0, 0, 0xE000)},
               {20, {kEndOfTable}}});
  std::vector<Units> lists(8);
  for (int p = 0; p < 8; ++p)
    for (const DrawPart& part : cores.vdp1->partsLists[p]) lists[p].push_back(part.command);
  EXPECT_EQ(lists, (std::vector<Units>{{4}, {}, {}, {}, {}, {}, {0}, {8, 12, 16}}));
}

}  // namespace
}  // namespace vdptest
