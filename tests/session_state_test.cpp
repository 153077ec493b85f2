// Start values of the session record and the one cell shared by the ring and the sequence.

#include <gtest/gtest.h>

#include "state/session_state.h"

namespace kelvane {
namespace {

TEST(SessionStateTest, StartValuesDifferFromTheResetWhereTheProgramReliesOnIt) {
  const SessionState s;
  EXPECT_EQ(s.sequenceFileName, "SEQ_1X.MID");
  EXPECT_EQ(s.density, 2);
  EXPECT_EQ(s.pulseFreq, 1000);
  EXPECT_EQ(s.geoVertical, 180);
  EXPECT_EQ(s.form, 1);
  EXPECT_EQ(s.pulseDivisor, 180);
  EXPECT_EQ(s.pulseCounter, 1);
  EXPECT_EQ(s.pulseRising, 1);
  EXPECT_TRUE(s.splashPending);
  EXPECT_FALSE(s.clipRegion.has_value());
  EXPECT_EQ(s.tunnelShape[0], (Point{100, 150}));
  EXPECT_EQ(s.tunnelShape[2], (Point{150, 100}));
  EXPECT_EQ(s.tunnelShape[4], s.tunnelShape[0]);
}

TEST(SessionStateTest, RingSlot389AndSequenceEntry0AreOneCell) {
  SessionState s;
  s.ColorSequence()[0] = 0xABCDEF;
  EXPECT_EQ(s.ColorRing()[389], 0xABCDEFu);
  s.ColorRing()[389] = 0x010203;
  EXPECT_EQ(s.ColorSequence()[0], 0x010203u);
  s.ColorSequence()[389] = 7;
  s.ColorRing()[388] = 9;
  EXPECT_EQ(s.ColorSequence()[389], 7u) << "no other cell is shared";
  EXPECT_EQ(s.ColorSequence()[1], 0u);
}

TEST(SessionStateTest, ModeNamesFollowThePlayerModes) {
  EXPECT_EQ(modeNames.size(), 7u);
  EXPECT_EQ(modeNames[1], "Stopped");
  EXPECT_EQ(modeNames[5], "Paused");
  EXPECT_EQ(modeNames[6], "Open");
}

}  // namespace
}  // namespace kelvane
