#include "tests/steering.h"

#include <cstddef>
#include <cstring>
#include <deque>
#include <set>
#include <tuple>
#include <type_traits>

#include "game/rules.h"

namespace vintaro::test {

namespace {

constexpr int kFlightTickLimit = 2000;

// Copies all of the record but the picture, which no rule reads: the search
// makes thousands of copies.
void copyPlay(const GameState& from, GameState& to) {
  static_assert(std::is_trivially_copyable_v<GameState> && std::is_standard_layout_v<GameState>);
  constexpr std::size_t begin = offsetof(GameState, picture);
  constexpr std::size_t end = begin + sizeof(GameState::picture);
  std::memcpy(static_cast<void*>(&to), &from, begin);
  std::memcpy(reinterpret_cast<char*>(&to) + end, reinterpret_cast<const char*>(&from) + end,
              sizeof(GameState) - end);
}

// Where a ball about to meet the paddle stands; the rest of the record is
// the same for every such moment until a block is hit.
struct Approach {
  std::int16_t col, stepX, spin;
  auto key() const { return std::tie(col, stepX, spin); }
};

struct Flight {
  bool hit = false;
  int ticks = 0;
  Approach next{};
};

}  // namespace

bool aboutToMeetPaddle(const GameState& s) { return s.ballRow == kPaddleRow - 1 && s.stepY == 1; }

Steering::Steering() : sim_(std::make_unique<GameState>()) {}

int Steering::paddleFor(const GameState& root) {
  GameState& sim = *sim_;
  const auto setUp = [&](const Approach& a) {
    copyPlay(root, sim);
    sim.ballCol = a.col;
    sim.stepX = a.stepX;
    sim.spin = a.spin;
    sim.paused = 0;
  };
  const auto arrivalColumn = [&](const Approach& a) {
    setUp(a);
    stepBall(sim, silent_);
    return int{sim.ballCol};
  };
  // One bounce with the paddle at `paddleCol`, up to the first hit or the
  // next approach.
  const auto fly = [&](const Approach& a, int paddleCol) {
    setUp(a);
    sim.paddleCol = static_cast<std::int16_t>(paddleCol);
    const int before = sim.blocksLeft;
    Flight f;
    for (f.ticks = 1; f.ticks <= kFlightTickLimit; ++f.ticks) {
      stepBall(sim, silent_);
      if (sim.blocksLeft < before) {
        f.hit = true;
        return f;
      }
      if (aboutToMeetPaddle(sim)) {
        f.next = {sim.ballCol, sim.stepX, sim.spin};
        return f;
      }
    }
    f.ticks = -1;
    return f;
  };

  struct Node {
    Approach at;
    int firstPaddle;
    int ticks;
  };
  std::set<std::tuple<std::int16_t, std::int16_t, std::int16_t>> seen;
  std::deque<Node> level{{Approach{root.ballCol, root.stepX, root.spin}, -1, 0}};
  seen.insert(level.front().at.key());
  // Breadth first by bounces; within the first level that hits, fewest ticks.
  while (!level.empty()) {
    int best = -1;
    int bestTicks = 0;
    std::deque<Node> next;
    for (const Node& n : level) {
      const int col = arrivalColumn(n.at);
      for (int offset = 0; offset < kPaddleWidth; ++offset) {
        const int paddle = col - offset;
        if (paddle < 0 || paddle > kMaxPaddleCol) continue;
        const Flight f = fly(n.at, paddle);
        if (f.ticks < 0) continue;
        const int first = n.firstPaddle < 0 ? paddle : n.firstPaddle;
        if (f.hit) {
          if (best < 0 || n.ticks + f.ticks < bestTicks) {
            best = first;
            bestTicks = n.ticks + f.ticks;
          }
        } else if (seen.insert(f.next.key()).second) {
          next.push_back({f.next, first, n.ticks + f.ticks});
        }
      }
    }
    if (best >= 0) return best;
    level = std::move(next);
  }
  return -1;
}

std::string keysToMove(int from, int to) {
  std::string keys;
  for (int at = from; at != to;) {
    const int d = to - at;
    if (d >= 4) {
      keys += ';';
      at += 4;
    } else if (d <= -4) {
      keys += 'a';
      at -= 4;
    } else if (d > 0) {
      keys += '.';
      ++at;
    } else {
      keys += 'x';
      --at;
    }
  }
  return keys;
}

}  // namespace vintaro::test
