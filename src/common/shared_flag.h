// A one-byte switch that the window thread writes from the menu and the host thread reads
// while drawing. Atomic so that the two never race; a change seen a frame late only
// delays its effect, so nothing more than the byte itself is ordered.
#pragma once

#include <atomic>
#include <cstdint>

using SharedFlag = std::atomic<uint8_t>;
