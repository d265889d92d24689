#include "platform/common/message_queue.h"

#include <gtest/gtest.h>

namespace vintaro {
namespace {

using namespace std::chrono_literals;
using Kind = MessageQueue::Kind;

TEST(MessageQueue, InputComesBeforePaintAndPaintBeforeTick) {
  MessageQueue q;
  q.setTimer(0ms, 100ms);
  q.advanceTo(100ms);
  q.invalidate(false);
  q.postChar('a');
  EXPECT_EQ(q.take().kind, Kind::Char);
  EXPECT_EQ(q.take().kind, Kind::Paint);
  EXPECT_EQ(q.take().kind, Kind::Timer);
  EXPECT_EQ(q.take().kind, Kind::None);
}

TEST(MessageQueue, ExpiriesCollapseIntoOnePendingTick) {
  MessageQueue q;
  q.setTimer(0ms, 50ms);
  q.advanceTo(175ms);
  EXPECT_EQ(q.take().kind, Kind::Timer);
  EXPECT_EQ(q.take().kind, Kind::None);
  EXPECT_EQ(q.nextExpiry(), 200ms);
}

TEST(MessageQueue, ShortPeriodsRunAtTheMinimum) {
  MessageQueue q;
  q.setTimer(5ms, 0ms);
  EXPECT_EQ(q.nextExpiry(), 15ms);
}

TEST(MessageQueue, SettingOrKillingDropsThePendingTick) {
  MessageQueue q;
  q.setTimer(0ms, 10ms);
  q.advanceTo(10ms);
  q.setTimer(10ms, 30ms);
  EXPECT_FALSE(q.tickPending());
  EXPECT_EQ(q.nextExpiry(), 40ms);
  q.advanceTo(40ms);
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
