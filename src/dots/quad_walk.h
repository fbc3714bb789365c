// The edge walk of a four-point part (distorted sprite, polygon): the hardware draws it as
// a set of lines, each from a point of edge A-D to a point of edge B-C. This is the one
// place that decides how many lines there are and where each starts and ends.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "dots/stepper.h"
#include "dots/vdp1_command_fields.h"

namespace dots {

// Steps of a line from a to b: the longer of its two axes.
inline int32_t LineSteps(Point a, Point b) {
  const int32_t dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
  return dx > dy ? dx : dy;
}

class QuadEdgeWalk {
 public:
  // Vertices A, B, C, D. The longer of the two edges sets the number of lines, so that each
  // edge moves at most one dot a line; both edges are walked evenly, ends included.
  explicit QuadEdgeWalk(const Point (&v)[4]) {
    const int32_t adSteps = LineSteps(v[0], v[3]), bcSteps = LineSteps(v[1], v[2]);
    const int32_t steps = adSteps > bcSteps ? adSteps : bcSteps;
    lines_ = steps + 1;
    lx_ = Stepper::Between(v[0].x, v[3].x, steps);
    ly_ = Stepper::Between(v[0].y, v[3].y, steps);
    rx_ = Stepper::Between(v[1].x, v[2].x, steps);
    ry_ = Stepper::Between(v[1].y, v[2].y, steps);
  }
  int32_t Lines() const { return lines_; }
  Point Left() const { return {lx_.Value(), ly_.Value()}; }
  Point Right() const { return {rx_.Value(), ry_.Value()}; }
  void Next() {
    lx_.Next();
    ly_.Next();
    rx_.Next();
    ry_.Next();
  }

 private:
  int32_t lines_ = 0;
  Stepper lx_, ly_, rx_, ry_;
};

}  // namespace dots
