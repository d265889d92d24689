#include "platform/common/message_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "platform/common/message_pump.h"
#include "platform/common/recorder.h"
#include "render/painter.h"

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

TEST(MessageQueue, TheQuitComesAfterInputAndBeforeThePaintAndTheTick) {
  MessageQueue q;
  q.setTimer(0ms, 10ms);
  q.advanceTo(10ms);
  q.invalidate(false);
  q.postQuit(3);
  q.postChar('a');
  EXPECT_EQ(q.take().kind, Kind::Char);
  const auto quit = q.take();
  EXPECT_EQ(quit.kind, Kind::Quit);
  EXPECT_EQ(quit.code, 3u);
  EXPECT_EQ(q.take().kind, Kind::Paint);
  EXPECT_EQ(q.take().kind, Kind::Timer);
}

TEST(MessageQueue, ADestroyedWindowIsNeitherPaintedNorTicked) {
  MessageQueue q;
  q.setTimer(0ms, 10ms);
  q.advanceTo(25ms);
  q.invalidate(true);
  q.postClose();
  q.windowDestroyed();
  EXPECT_EQ(q.take().kind, Kind::Close);
  EXPECT_EQ(q.take().kind, Kind::None);
  q.advanceTo(1s);
  EXPECT_EQ(q.take().kind, Kind::None);
  EXPECT_FALSE(q.nextExpiry().has_value());
}

TEST(MessageQueue, TheMinimumPeriodIsTenMillisecondsOnAMicrosecondClock) {
  MessageQueue q;
  q.setTimer(1500us, 3ms);
  EXPECT_EQ(q.period(), 10ms);
  q.advanceTo(11499us);
  EXPECT_FALSE(q.tickPending());
  q.advanceTo(11500us);
  EXPECT_TRUE(q.tickPending());
}

// The pump on a virtual clock, with boxes that stay up until a test answers
// them. Each wait for an event runs the next scripted action; with none
// left, the loop would wait for ever: it is told so and given a quit of 99.
class ScriptedPump final : public MessagePump {
 public:
  using Action = std::function<void(ScriptedPump&)>;
  using MessagePump::holdCharacter;
  using MessagePump::padPressed;
  using MessagePump::padReleased;
  using MessagePump::postCharacter;
  using MessagePump::releaseCharacter;
  using MessagePump::requestClose;
  using MessagePump::requestPlaying;
  using MessagePump::steerPaddleUnder;
  using MessagePump::stopSteering;

  bool registerWindowClass() override { return true; }
  Handle createMainWindow(GameState& s) override { return attachWindow(s, this); }
  Handle createStatusBar(Handle, const char*) override { return this; }
  Handle openMidi() override { return nullptr; }
  void closeMidi(Handle) override {}
  void setPixel(int, int, Rgb) override {}
  void setStatusText(Handle, int, const char*) override {}
  void midiShortMsg(Handle, std::uint32_t) override {}
  void sleep(int) override {}

  std::deque<Action> actions;
  std::vector<std::string> log;
  Time clock{0};
  std::optional<Time> until;
  bool boxUp = false;

 private:
  Time currentTime() const override { return clock; }
  void waitForEvent(std::optional<Time> wake) override {
    until = wake;
    if (actions.empty()) {
      log.push_back("stuck");
      postQuit(99);
      return;
    }
    const Action next = actions.front();
    actions.pop_front();
    next(*this);
  }
  void eraseClient() override {}
  void revealWindow() override { log.push_back("show"); }
  bool openBox(const char* text, const char*, BoxIcon) override {
    log.push_back(std::string("box ") + text);
    boxUp = true;
    return true;
  }
  bool boxAnswered() override { return !boxUp; }
  void closeBox() override { log.push_back("box gone"); }
  void beforeMessage(const MessageQueue::Entry& e) override {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(clock).count();
    if (e.kind == Kind::Char) log.push_back("char " + std::to_string(ms));
    if (e.kind == Kind::Close) log.push_back("close");
  }
};

// A game shown, paused, its timer stopped: only what a test does happens.
struct Shown {
  Shown() {
    s->mainWindow = p.createMainWindow(*s);
    p.showWindow(s->mainWindow);
    p.killTimer(s->mainWindow);
    p.log.clear();
  }
  std::unique_ptr<GameState> s = std::make_unique<GameState>();
  ScriptedPump p;
};

using Log = std::vector<std::string>;

TEST(MessagePump, AQuitTakenUnderABoxEndsItAndReachesTheLoopOutside) {
  Shown g;
  g.p.actions = {[](ScriptedPump& p) { p.postCharacter('x'); },
                 [](ScriptedPump& p) { p.requestClose(); }};
  g.p.messageBox(g.s->mainWindow, "over", "Vintaro finish", BoxIcon::Error);
  EXPECT_FALSE(g.p.quitTaken());
  EXPECT_EQ(g.p.runMessageLoop(*g.s), 0);
  EXPECT_EQ(g.p.log, (Log{"box over", "char 0", "close", "box gone"}));
}

TEST(MessagePump, NoBoxWhileAnotherIsUpOrWhileTheWindowGoes) {
  Shown g;
  g.p.actions = {[](ScriptedPump& p) {
    p.messageBox(nullptr, "second", "Vintaro finish", BoxIcon::Error);
    p.boxUp = false;
  }};
  g.p.messageBox(nullptr, "first", "Vintaro finish", BoxIcon::Error);
  g.p.requestClose();
  g.p.messageBox(nullptr, "closing", "Vintaro finish", BoxIcon::Error);
  EXPECT_EQ(g.p.runMessageLoop(*g.s), 0);
  g.p.messageBox(nullptr, "closed", "Vintaro finish", BoxIcon::Error);
  EXPECT_EQ(g.p.log, (Log{"box first", "box gone", "close"}));
}

TEST(MessagePump, AHeldCharacterRepeatsOnThePumpsClockUntilReleased) {
  Shown g;
  const auto wake = [](ScriptedPump& p) { p.clock = *p.until; };
  g.p.actions = {wake, wake, [](ScriptedPump& p) {
                   p.releaseCharacter('x');
                   p.requestClose();
                 }};
  g.p.holdCharacter('x', 300ms, 100ms);
  EXPECT_EQ(g.p.runMessageLoop(*g.s), 0);
  EXPECT_EQ(g.p.log, (Log{"char 0", "char 300", "char 400", "close"}));
}

// A pad's start button pauses once however long it is held (a repeat would
// toggle the game on and off); a shoulder repeats until let go.
TEST(MessagePump, APadsStartIsOneSpaceAndItsShoulderRepeats) {
  Shown g;
  const auto wake = [](ScriptedPump& p) { p.clock = *p.until; };
  g.p.actions = {wake, [](ScriptedPump& p) {
                   p.padReleased(PadControl::FarRight);
                   p.padReleased(PadControl::Start);
                   p.requestClose();
                 }};
  g.p.padPressed(PadControl::Start);
  g.p.padPressed(PadControl::FarRight);
  EXPECT_EQ(g.p.runMessageLoop(*g.s), 0);
  EXPECT_EQ(g.p.log, (Log{"char 0", "char 0", "char 250", "close"}));
}

// The keys the game took, as a recording writes them.
Log keysTaken(const Recorder& r) {
  Log keys;
  std::istringstream lines(r.text());
  for (std::string l; std::getline(lines, l);) {
    if (!l.starts_with("#")) keys.push_back(l);
  }
  return keys;
}

// A finger's steering is the game's own keys, 4 columns while that does not
// overshoot, then 1; none while paused, and none pressing against an edge.
TEST(MessagePump, SteeringWalksThePaddleUnderTheFingerWhileTheBallIsInPlay) {
  Shown g;
  Recorder r;
  r.keep("test");
  g.p.setRecorder(&r);
  g.p.actions = {[](ScriptedPump& p) { p.steerPaddleUnder(tileX(3) + kPaddleLength / 2); },
                 [](ScriptedPump& p) { p.postCharacter(' '); },
                 [](ScriptedPump& p) { p.steerPaddleUnder(clientWidth + 100); },
                 [](ScriptedPump& p) {
                   p.stopSteering();
                   p.postCharacter('x');
                   p.requestClose();
                 }};
  EXPECT_EQ(g.p.runMessageLoop(*g.s), 0);
  EXPECT_EQ(keysTaken(r),
            (Log{"key space", "key a", "key a", "key a", "key x", "key ;", "key ;", "key ;",
                 "key ;", "key ;", "key ;", "key ;", "key .", "key .", "key x", "close"}));
}

// A hidden page's pause and a tap's resume: a space only where it changes
// the play, judged after the player's own keys already queued.
TEST(MessagePump, APlayRequestGivesASpaceOnlyWhenItChangesThePlay) {
  Shown g;
  Recorder r;
  r.keep("test");
  g.p.setRecorder(&r);
  g.p.actions = {[](ScriptedPump& p) { p.requestPlaying(false); },
                 [](ScriptedPump& p) { p.requestPlaying(true); },
                 [](ScriptedPump& p) {
                   p.postCharacter(' ');
                   p.requestPlaying(false);
                 },
                 [](ScriptedPump& p) { p.requestClose(); }};
  EXPECT_EQ(g.p.runMessageLoop(*g.s), 0);
  EXPECT_EQ(keysTaken(r), (Log{"key space", "key space", "close"}));
  EXPECT_EQ(g.s->paused, 1);
}

// A stick resting near the edge of its travel does not chatter.
TEST(PadStick, HoldsPastHalfWayAndLetsGoOnlyNearTheMiddle) {
  PadStick stick;
  const std::pair<double, PadStick::Held> path[] = {
      {0.2, PadStick::Held::None},   {0.49, PadStick::Held::None},  {0.5, PadStick::Held::Right},
      {0.35, PadStick::Held::Right}, {0.31, PadStick::Held::Right}, {0.29, PadStick::Held::None},
      {-0.6, PadStick::Held::Left},  {0.7, PadStick::Held::Right},  {-0.1, PadStick::Held::None}};
  for (const auto& [x, held] : path) EXPECT_EQ(stick.update(x), held) << x;
}

}  // namespace
}  // namespace vintaro
