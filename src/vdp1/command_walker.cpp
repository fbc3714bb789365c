// The VDP1 command table walker: follows the table's jumps from address 0 and sorts every
// drawing command into a parts list by its priority number.
#include "vdp1/vdp1_command.h"
#include "vdp1/vdp1_core.h"
#include "vdp2/vdp2_core.h"

namespace {

// A table that never reaches an end bit (or loops) is cut off after this many commands.
constexpr int32_t kCommandLimit = 4000;

}  // namespace

void VDP1Core::BuildPartsListVectors() {
  using namespace vdp1;
  // The lists keep their storage from walk to walk: a steady table allocates nothing.
  for (auto& list : partsLists) list.clear();
  commandCount = 0;
  currentCommand = 0;
  int16_t currentLocalX = LocalCoordinateX;
  int16_t currentLocalY = LocalCoordinateY;

  currentControl = VDP1Command(vram, 0).Control().value;
  while (!ControlWord{currentControl}.End()) {
    if (commandCount > kCommandLimit) break;
    const ControlWord control{currentControl};
    const VDP1Command command(vram, uint32_t{currentCommand} * 8);
    const uint32_t code = control.Code();

    if (!control.Skipped() && code <= kLocalCoordinates) {
      int priorityIndex = -1;
      switch (code) {
        case kNormalSprite:
        case kScaledSprite:
        case kDistortedSprite: {
          // Lookup-table and RGB sprites carry no priority bits in their colour word.
          const uint32_t mode = command.DrawMode().ColourMode();
          if (mode == kLookupTable16 || mode == kRgb)
            priorityIndex = 0;
          else
            priorityIndex =
                ((command.Colour() & vdp2->spritePRBitsMask) >> vdp2->spritePRBitsShift) & 0xFF;
          break;
        }
        case kPolygon:
        case kPolyline:
        case kLine:
          priorityIndex = 0;
          break;
        case kLocalCoordinates:
          currentLocalX = static_cast<int16_t>(command.X(kA));
          currentLocalY = static_cast<int16_t>(command.Y(kA));
          break;
        default:
          break;
      }
      if (priorityIndex >= 0) {
        const uint8_t priority = vdp2->spritePriority[priorityIndex & 7] & 7;
        partsLists[priority].push_back(
            DrawPart{currentControl, currentCommand, currentLocalX, currentLocalY});
      }
    }

    // Jump modes 4 to 7 repeat 0 to 3 for a skipped command.
    switch (control.JumpMode() & 3) {
      case 0:  // next
        currentCommand = static_cast<uint16_t>(currentCommand + cmd::kUnits);
        break;
      case 1:  // assign
        currentCommand = command.Link();
        break;
      case 2:  // call: one return register, no stack
        returnCommand = static_cast<uint16_t>(currentCommand + cmd::kUnits);
        currentCommand = command.Link();
        break;
      default:  // return
        currentCommand = returnCommand;
        break;
    }
    ++commandCount;
    currentControl = VDP1Command(vram, uint32_t{currentCommand} * 8).Control().value;
  }

  endLocalX = currentLocalX;
  endLocalY = currentLocalY;
  if (ControlWord{currentControl}.End()) {
    uint16_t& edsr = registers[vdp1reg::EDSR / 2];
    edsr = static_cast<uint16_t>(((edsr | 4u) >> 1) & 0xFFFF);
  }
}
