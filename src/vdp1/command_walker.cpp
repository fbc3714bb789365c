// The VDP1 command table walker.
#include "vdp1/vdp1_core.h"

void VDP1Core::BuildPartsListVectors() {
  for (auto& list : partsLists) list.clear();
}
