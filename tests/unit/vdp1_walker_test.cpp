// The VDP1 command table walker on hand-built tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vdp1_cores.h"

namespace vdptest {
namespace {

struct Placed {
  uint32_t unit;
  Command command;
};

// Command addresses of list `p`, in drawing order.
std::vector<uint32_t> Addresses(const VDP1Core& vdp1, int p) {
  std::vector<uint32_t> out;
  for (const DrawPart& part : vdp1.partsLists[p]) out.push_back(part.command);
  return out;
}

size_t TotalParts(const VDP1Core& vdp1) {
  size_t n = 0;
  for (const auto& list : vdp1.partsLists) n += list.size();
  return n;
}

class Walker : public ::testing::Test {
 protected:
  void Table(std::initializer_list<Placed> commands) {
    for (const Placed& c : commands) cores.Write(c.unit, c.command);
  }
  uint16_t Edsr() { return cores.vdp1->ReadWordVDP1Regs(0x10); }
  Vdp1Cores cores;
};

TEST_F(Walker, EndBitFirstGivesEmptyListsAndShiftsTheEndStatus) {
  cores.vdp1->LocalCoordinateX = 7;
  cores.vdp1->LocalCoordinateY = -3;
  Table({{0, {.control = kEndOfTable}}});
  cores.vdp1->BuildPartsListVectors();
  EXPECT_EQ(TotalParts(*cores.vdp1), 0u);
  EXPECT_EQ(Edsr(), 0x0002) << "current end bit fetched";
  EXPECT_EQ(cores.vdp1->endLocalX, 7);
  EXPECT_EQ(cores.vdp1->endLocalY, -3);
  cores.vdp1->BuildPartsListVectors();
  EXPECT_EQ(Edsr(), 0x0003) << "bit 0 takes the previous bit 1";
}

// Each case: a table of polygons (each one part in list 0) and the command addresses
// the walk must visit, in order.
struct JumpCase {
  const char* name;
  std::vector<Placed> table;
  std::vector<uint32_t> visited;
};

TEST_F(Walker, JumpModesVisitCommandsInTableOrder) {
  const uint16_t end = kEndOfTable;
  const std::vector<JumpCase> cases = {
      {"next", {{0, {kPolygon}}, {4, {kPolygon}}, {8, {end}}}, {0, 4}},
      {"assign", {{0, {JumpMode(1) | kPolygon, 12}}, {4, {kPolygon}}, {12, {end}}}, {0}},
      {"call and return",
       {{0, {JumpMode(2) | kPolygon, 20}},
        {4, {kPolygon}},
        {8, {end}},
        {20, {kPolygon}},
        {24, {JumpMode(3) | kPolygon}}},
       {0, 20, 24, 4}},
      {"skip next", {{0, {JumpMode(4) | kPolygon}}, {4, {kPolygon}}, {8, {end}}}, {4}},
      {"skip assign", {{0, {JumpMode(5) | kPolygon, 12}}, {4, {kPolygon}}, {12, {end}}}, {}},
      {"skip call and skip return",
       {{0, {JumpMode(6) | kPolygon, 20}},
        {4, {kPolygon}},
        {8, {end}},
        {20, {JumpMode(7) | kPolygon}}},
       {4}},
      {"a call inside a call overwrites the one return register",
       {{0, {JumpMode(2) | kPolygon, 20}},
        {4, {end}},
        {20, {JumpMode(2) | kPolygon, 40}},
        {24, {JumpMode(3) | kPolygon}},
        {40, {JumpMode(3) | kPolygon}}},
       // 40 returns to 24, whose return goes to 24 again: the loop runs to the limit.
       {0, 20, 40, 24, 24, 24}},
      {"codes without a routine and skipped commands still jump",
       {{0, {JumpMode(1) | 3, 8}},
        {8, {JumpMode(1) | 7, 12}},
        {12, {JumpMode(1) | 9, 16}},
        {16, {JumpMode(1) | 15, 20}},
        {20, {0x4000 | kNormalSprite}},
        {24, {kPolygon}},
        {28, {end}}},
       {24}},
  };
  for (const JumpCase& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp1Cores fresh;
    for (const Placed& p : c.table) fresh.Write(p.unit, p.command);
    fresh.vdp1->BuildPartsListVectors();
    std::vector<uint32_t> got = Addresses(*fresh.vdp1, 0);
    if (got.size() > c.visited.size()) got.resize(c.visited.size());
    EXPECT_EQ(got, c.visited);
  }
}

TEST_F(Walker, ReturnWithoutCallUsesTheRegisterLeftByAnEarlierWalkOrZeroAfterReset) {
  // First walk: a call from 0 to 20 sets the return register to 4.
  Table({{0, {JumpMode(2) | kPolygon, 20}}, {4, {kEndOfTable}}, {20, {JumpMode(3) | kPolygon}}});
  cores.vdp1->BuildPartsListVectors();
  // Second table: a return first thing, and a polygon at 4.
  Table({{0, {JumpMode(7) | kPolygon}}, {4, {kPolygon}}, {8, {kEndOfTable}}});
  cores.vdp1->BuildPartsListVectors();
  EXPECT_EQ(Addresses(*cores.vdp1, 0), (std::vector<uint32_t>{4}));

  cores.vdp1->Reset();
  cores.vdp1->BuildPartsListVectors();
  // Back to 0, which returns to 0 again: the limit ends the walk with no parts.
  EXPECT_EQ(TotalParts(*cores.vdp1), 0u);
  EXPECT_EQ(cores.vdp1->commandCount, 4001);
}

TEST_F(Walker, LoopingTableStopsAfter4001CommandsWithoutEndStatus) {
  Table({{0, {JumpMode(1) | kNormalSprite, 0}}});
  cores.vdp1->BuildPartsListVectors();
  EXPECT_EQ(cores.vdp1->partsLists[0].size(), 4001u);
  EXPECT_EQ(Edsr(), 0) << "a walk cut off by the limit fetched no end bit";
}

TEST_F(Walker, CommandAddressWrapsFromTheLastSlotToZero) {
  // 0 jumps to the last command slot, whose "next" is address 0 again.
  Table({{0, {JumpMode(1) | kPolygon, 0xFFFC}}, {0xFFFC, {kLine}}});
  cores.vdp1->BuildPartsListVectors();
  const std::vector<uint32_t> got = Addresses(*cores.vdp1, 0);
  ASSERT_GE(got.size(), 3u);
  EXPECT_EQ(got[0], 0u);
  EXPECT_EQ(got[1], 0xFFFCu);
  EXPECT_EQ(got[2], 0u) << "0xFFFC + 4 wraps to 0";
}

TEST_F(Walker, LocalCoordinatesApplyToLaterPartsAndCarryIntoTheNextWalk) {
  Table({{0, {kPolygon}},
         {4, {kLocalCoordinates, 0, 0, 0, 0, 0, 0xFFF0, 0x0010}},
         {8, {kPolygon}},
         {12, {0x4000 | kLocalCoordinates, 0, 0, 0, 0, 0, 0x0100, 0x0100}},
         {16, {kPolygon}},
         {20, {kEndOfTable}}});
  cores.vdp1->BuildPartsListVectors();
  const auto& parts = cores.vdp1->partsLists[0];
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].localX, 0);
  EXPECT_EQ(parts[1].localX, -16);
  EXPECT_EQ(parts[1].localY, 16);
  EXPECT_EQ(parts[2].localX, -16) << "a skipped local-coordinates command changes nothing";
  EXPECT_EQ(cores.vdp1->endLocalX, -16);
  EXPECT_EQ(cores.vdp1->endLocalY, 16);

  // The compositor hands the end values to the next walk, before its own command.
  cores.vdp1->LocalCoordinateX = cores.vdp1->endLocalX;
  cores.vdp1->LocalCoordinateY = cores.vdp1->endLocalY;
  cores.vdp1->BuildPartsListVectors();
  EXPECT_EQ(cores.vdp1->partsLists[0][0].localX, -16);
  EXPECT_EQ(cores.vdp1->partsLists[0][0].localY, 16);
}

struct PriorityCase {
  const char* name;
  uint16_t spriteType;
  uint16_t control;
  uint16_t colourMode;
  uint16_t colour;
  int expectedList;
};

TEST_F(Walker, PartsGoToTheListOfTheirPriorityNumber) {
  // Priority registers: entry i holds priority 7 - i, so every entry is told apart.
  const std::vector<PriorityCase> cases = {
      {"type 1, bits 15-13 select entry 1", 0x1, kNormalSprite, 4, 0x2000, 6},
      {"type 1, entry 7", 0x1, kScaledSprite, 0, 0xE000, 0},
      {"type 0, bits 15-14 select entry 3", 0x0, kDistortedSprite, 2, 0xC000, 4},
      {"lookup-table sprites take entry 0", 0x1, kNormalSprite, 1, 0xE000, 7},
      {"RGB sprites take entry 0", 0x1, kNormalSprite, 5, 0xE000, 7},
      {"type 8, bit 7 selects entry 1", 0x8, kNormalSprite, 4, 0x0080, 6},
      {"type 0xB has no priority bits", 0xB, kNormalSprite, 4, 0xFFFF, 7},
      {"polygons take entry 0", 0x1, kPolygon, 4, 0xE000, 7},
      {"polylines take entry 0", 0x1, kPolyline, 0, 0xE000, 7},
      {"lines take entry 0", 0x1, kLine, 0, 0xE000, 7},
  };
  for (const PriorityCase& c : cases) {
    SCOPED_TRACE(c.name);
    Vdp1Cores fresh;
    fresh.vdp2->WriteWordVDP2Regs(0xE0, c.spriteType);
    for (uint32_t r = 0; r < 4; ++r)
      fresh.vdp2->WriteWordVDP2Regs(0xF0 + 2 * r,
                                    static_cast<uint16_t>(((6 - 2 * r) << 8) | (7 - 2 * r)));
    fresh.Write(0,
                {.control = c.control, .drawMode = ColourMode(c.colourMode), .colour = c.colour});
    fresh.Write(4, {.control = kEndOfTable});
    fresh.vdp1->BuildPartsListVectors();
    for (int p = 0; p < 8; ++p)
      EXPECT_EQ(fresh.vdp1->partsLists[p].size(), p == c.expectedList ? 1u : 0u) << "list " << p;
  }
}

TEST_F(Walker, ASteadyTableReusesTheListStorage) {
  for (uint32_t i = 0; i < 300; ++i) cores.Write(4 * i, {kPolygon});
  cores.Write(1200, {kEndOfTable});
  cores.vdp1->BuildPartsListVectors();
  const DrawPart* storage = cores.vdp1->partsLists[0].data();
  cores.vdp1->BuildPartsListVectors();
  EXPECT_EQ(cores.vdp1->partsLists[0].size(), 300u);
  EXPECT_EQ(cores.vdp1->partsLists[0].data(), storage) << "the walk reallocated its list";
}

}  // namespace
}  // namespace vdptest
