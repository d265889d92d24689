#include "app/message_queue.h"

#include <gtest/gtest.h>

namespace vintaro {
namespace {

using Kind = MessageQueue::Kind;

TEST(MessageQueue, InputComesBeforePaintAndPaintBeforeTick) {
  MessageQueue q;
  q.setTimer(0, 100);
  q.advanceTo(100);
  q.invalidate(false);
  q.postChar('a');
  EXPECT_EQ(q.take().kind, Kind::Char);
  EXPECT_EQ(q.take().kind, Kind::Paint);
  EXPECT_EQ(q.take().kind, Kind::Timer);
  EXPECT_EQ(q.take().kind, Kind::None);
}

TEST(MessageQueue, ExpiriesCollapseIntoOnePendingTick) {
  MessageQueue q;
  q.setTimer(0, 50);
  q.advanceTo(175);
  EXPECT_EQ(q.take().kind, Kind::Timer);
  EXPECT_EQ(q.take().kind, Kind::None);
  EXPECT_EQ(q.nextExpiry(), 200);
}

TEST(MessageQueue, ShortPeriodsRunAtTheMinimum) {
  MessageQueue q;
  q.setTimer(5, 0);
  EXPECT_EQ(q.nextExpiry(), 15);
}

TEST(MessageQueue, SettingOrKillingDropsThePendingTick) {
  MessageQueue q;
  q.setTimer(0, 10);
  q.advanceTo(10);
  q.setTimer(10, 30);
  EXPECT_FALSE(q.tickPending());
  EXPECT_EQ(q.nextExpiry(), 40);
  q.advanceTo(40);
  q.killTimer();
  EXPECT_EQ(q.take().kind, Kind::None);
  EXPECT_FALSE(q.nextExpiry().has_value());
}

TEST(MessageQueue, EraseRequestsAccumulateUntilThePaint) {
  MessageQueue q;
  q.invalidate(true);
  q.invalidate(false);
  const auto paint = q.take();
  EXPECT_EQ(paint.kind, Kind::Paint);
  EXPECT_TRUE(paint.erase);
  q.invalidate(false);
  EXPECT_FALSE(q.take().erase);
}

}  // namespace
}  // namespace vintaro
