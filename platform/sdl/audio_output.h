// The game's MIDI output on the desktop: the synthesizer of midi_synth.h
// played through an SDL audio device.
//
// Threads. The game thread opens the output, sends messages and closes it.
// The soundfont (6 MB) is loaded by a loader thread into a synthesizer of its
// own, so that opening returns at once; the finished synthesizer is handed to
// the game thread under a mutex, and the game thread publishes it to SDL's
// audio thread through an atomic pointer. Messages sent before the handover
// are kept and replayed, in order, at the handover, so none is lost (the
// start-up program change above all). After the handover the game thread and
// the audio thread share the synthesizer through FluidSynth's API lock.
#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/midi_synth.h"

namespace vintaro::sdl {

class AudioOutput {
 public:
  static constexpr int kSampleRate = 44100;
  // At most 512 frames (11.6 ms): a block note sounds within its tick.
  static constexpr int kBufferFrames = 512;
  // Messages kept while the soundfont loads; more are dropped.
  static constexpr std::size_t kMaxPending = 4096;
  // With no voice sounding for this long the reverb has died away too, and
  // the callback stops running the synthesizer (it only writes silence)
  // until a note comes.
  static constexpr int kIdleFrames = 2 * kSampleRate;
  // Silent for this long, the device is closed, so that a paused game wakes
  // no audio thread; the next note opens it again.
  static constexpr std::int64_t kSuspendAfterMs = 10000;

  AudioOutput() = default;
  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Opens the default SDL audio device and starts loading the first soundfont
  // of `soundFonts` that exists. `loaded` is called on the loader thread when
  // a synthesizer is ready to be adopted (it should wake the game thread).
  // Answers false, and stays silent, when there is no device or soundfont.
  bool open(const std::vector<std::string>& soundFonts, std::function<void()> loaded);

  // The same without a device: rendering is done by calling render(). For
  // tests and measurements.
  bool openOffline(const std::vector<std::string>& soundFonts, int sampleRate);

  // Game thread: one short message. Dropped while silent.
  void send(std::uint32_t message);

  // Game thread: takes over a synthesizer that has finished loading.
  void adoptLoaded();

  // Game thread: blocks until loading has ended; answers whether a
  // synthesizer was adopted.
  bool waitLoaded();

  // What the audio device's callback does: interleaved stereo, silence while
  // no synthesizer is there.
  void render(std::int16_t* out, int frames);

  // Stops the device and the loader and frees the synthesizer.
  void close();

  // The device is closed for silence (see kSuspendAfterMs).
  bool suspended() const { return suspended_; }
  void setSuspendAfterMs(std::int64_t ms) { suspendAfterMs_ = ms; }
  // Audio callbacks so far.
  long callbacks() const { return callbacks_.load(std::memory_order_relaxed); }

  // The program `channel` plays, or -1 while no synthesizer plays.
  int programOf(int channel) const { return synth_ ? synth_->programOf(channel) : -1; }

  bool silent() const { return state_ == State::Silent; }
  bool playing() const { return state_ == State::Playing; }

 private:
  enum class State { Silent, Loading, Playing };

  bool startLoading(const std::vector<std::string>& soundFonts, int sampleRate,
                    std::function<void()> loaded);
  bool openDevice(bool allowOtherRate);
  void closeDevice();
  void joinCloser();
  void suspendIfSilent();
  static void audioCallback(void* self, Uint8* stream, int len);

  State state_ = State::Silent;
  bool audioInit_ = false;
  SDL_AudioDeviceID device_ = 0;
  int deviceRate_ = kSampleRate;
  bool suspended_ = false;
  std::int64_t suspendAfterMs_ = kSuspendAfterMs;
  std::thread loader_;
  // Closing a device waits for its audio thread (tens of milliseconds): a
  // device closed for silence is closed on this thread, off the game's.
  std::thread closer_;
  std::mutex mutex_;
  std::condition_variable done_;
  bool loadEnded_ = false;                     // under mutex_
  std::unique_ptr<MidiSynth> loaded_;          // under mutex_
  std::unique_ptr<MidiSynth> synth_;           // game thread
  std::atomic<MidiSynth*> active_{nullptr};    // read by the audio thread
  std::atomic<bool> poked_{false};             // a message was sent: render again
  int idleFrames_ = 0;                         // audio thread
  std::atomic<std::int64_t> idleSinceMs_{-1};  // set by the audio thread
  std::atomic<long> callbacks_{0};
  std::vector<std::uint32_t> pending_;  // game thread
};

}  // namespace vintaro::sdl
