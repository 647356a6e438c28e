// Where the About box goes: centred over its owner, but never outside the
// work area.
#include <gtest/gtest.h>

#include "app/about_box.h"

namespace brx {
namespace {

struct PlaceCase {
  const char* name;
  RECT over;
  POINT expected;
};

TEST(CentredPosition, CentresThenMovesBackInsideTheWorkArea) {
  const RECT work{0, 0, 1000, 800};
  const SIZE box{200, 100};
  const PlaceCase cases[] = {
      {"centred", {100, 100, 700, 500}, {300, 250}},
      {"odd sizes round down", {0, 0, 301, 201}, {50, 50}},
      {"the work area itself", work, {400, 350}},
      {"sticks out right", {900, 100, 1100, 300}, {800, 150}},
      {"sticks out bottom", {100, 750, 300, 850}, {100, 700}},
      {"sticks out left", {-200, 100, 0, 300}, {0, 150}},
      {"sticks out top", {100, -150, 300, -50}, {100, 0}},
      {"exactly at the edge", {800, 700, 1000, 800}, {800, 700}},
  };
  for (const PlaceCase& c : cases) {
    const POINT at = CentredPosition(box, c.over, work);
    EXPECT_EQ(at.x, c.expected.x) << c.name;
    EXPECT_EQ(at.y, c.expected.y) << c.name;
  }
}

TEST(CentredPosition, ABoxLargerThanTheWorkAreaKeepsItsTopLeftInside) {
  const RECT work{10, 20, 110, 120};
  const POINT at = CentredPosition({300, 300}, work, work);
  EXPECT_EQ(at.x, 10);
  EXPECT_EQ(at.y, 20);
}

}  // namespace
}  // namespace brx
