#include "platform/sdl/audio_output.h"

#include <dlfcn.h>

#include <cstring>

#include "platform/sdl/timing_log.h"

namespace vintaro::sdl {

namespace {

extern "C" void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// With no sound card ALSA writes eight lines of its configuration's errors
// to the terminal as SDL looks for a device; the game's own line says it.
// The library is SDL's own, already loaded where SDL links it.
void quietAlsa() {
  static std::once_flag once;
  std::call_once(once, [] {
    void* so = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (so == nullptr) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(so, "snd_lib_error_set_handler"))) {
      set(ignoreAlsaError);
    }
  });
}

}  // namespace

AudioOutput::~AudioOutput() { close(); }

bool AudioOutput::open(const std::vector<std::string>& soundFonts, std::function<void()> loaded) {
  close();
  if (findSoundFont(soundFonts).empty()) return false;
  quietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  audioInit_ = true;
  if (!openDevice(true) || !startLoading(soundFonts, deviceRate_, std::move(loaded))) {
    close();
    return false;
  }
  return true;
}

bool AudioOutput::openDevice(bool allowOtherRate) {
  joinCloser();
  SDL_AudioSpec want{};
  want.freq = allowOtherRate ? kSampleRate : deviceRate_;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kBufferFrames;
  want.callback = &AudioOutput::audioCallback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // Reopened, the device must keep the rate the synthesizer renders at.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                allowOtherRate ? SDL_AUDIO_ALLOW_FREQUENCY_CHANGE : 0);
  if (device_ == 0) return false;
  deviceRate_ = have.freq;
  idleFrames_ = 0;
  idleSinceMs_.store(-1);
  timingLog("audio-device freq=%d frames=%d", have.freq, int{have.samples});
  // The callback renders silence until the synthesizer is published.
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void AudioOutput::closeDevice() {
  if (device_ == 0) return;
  // Returns once the audio thread has stopped calling back.
  SDL_CloseAudioDevice(device_);
  device_ = 0;
}

void AudioOutput::joinCloser() {
  if (closer_.joinable()) closer_.join();
}

void AudioOutput::suspendIfSilent() {
  if (device_ == 0 || suspended_ || poked_.load(std::memory_order_acquire)) return;
  const std::int64_t since = idleSinceMs_.load(std::memory_order_acquire);
  if (since < 0 || static_cast<std::int64_t>(SDL_GetTicks64()) - since < suspendAfterMs_) return;
  closer_ = std::thread([device = device_] { SDL_CloseAudioDevice(device); });
  device_ = 0;
  suspended_ = true;
  timingLog("audio-device suspended");
}

bool AudioOutput::openOffline(const std::vector<std::string>& soundFonts, int sampleRate) {
  close();
  return startLoading(soundFonts, sampleRate, nullptr);
}

bool AudioOutput::startLoading(const std::vector<std::string>& soundFonts, int sampleRate,
                               std::function<void()> loaded) {
  const std::string path = findSoundFont(soundFonts);
  if (path.empty()) return false;
  loadEnded_ = false;
  state_ = State::Loading;
  loader_ = std::thread([this, path, sampleRate, loaded = std::move(loaded)] {
    const auto start = timingNow();
    std::unique_ptr<MidiSynth> synth = MidiSynth::create(sampleRate, path);
    timingLog("soundfont-load-ms=%.1f ok=%d", timingMs(start, timingNow()), synth ? 1 : 0);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      loaded_ = std::move(synth);
      loadEnded_ = true;
    }
    done_.notify_all();
    if (loaded) loaded();
  });
  return true;
}

void AudioOutput::adoptLoaded() {
  if (state_ != State::Loading) return;
  std::unique_ptr<MidiSynth> synth;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!loadEnded_) return;
    synth = std::move(loaded_);
  }
  loader_.join();
  if (!synth) {
    state_ = State::Silent;
    pending_.clear();
    return;
  }
  synth_ = std::move(synth);
  for (const std::uint32_t message : pending_) synth_->send(message);
  pending_.clear();
  pending_.shrink_to_fit();
  poked_.store(true, std::memory_order_release);
  active_.store(synth_.get(), std::memory_order_release);
  state_ = State::Playing;
}

bool AudioOutput::waitLoaded() {
  if (state_ == State::Loading) {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return loadEnded_; });
  }
  adoptLoaded();
  return playing();
}

void AudioOutput::send(std::uint32_t message) {
  if (state_ == State::Loading) adoptLoaded();
  switch (state_) {
    case State::Silent:
      break;
    case State::Loading:
      if (pending_.size() < kMaxPending) pending_.push_back(message);
      break;
    case State::Playing: {
      // Only a note can start a sound; what else comes (the note-off of
      // every tick above all) changes nothing while no voice sounds.
      const bool note = decodeShortMessage(message).type == MidiEvent::Type::NoteOn;
      if (note && suspended_) {
        suspended_ = false;
        if (!openDevice(false)) {
          // The device has gone: play on silently.
          close();
          return;
        }
      }
      synth_->send(message);
      if (note) {
        poked_.store(true, std::memory_order_release);
      } else {
        suspendIfSilent();
      }
      break;
    }
  }
}

void AudioOutput::render(std::int16_t* out, int frames) {
  callbacks_.fetch_add(1, std::memory_order_relaxed);
  MidiSynth* synth = active_.load(std::memory_order_acquire);
  if (poked_.exchange(false, std::memory_order_acq_rel) ||
      (synth != nullptr && synth->activeVoices() > 0)) {
    idleFrames_ = 0;
    idleSinceMs_.store(-1, std::memory_order_release);
  } else if (idleFrames_ < kIdleFrames) {
    idleFrames_ += frames;
  } else if (idleSinceMs_.load(std::memory_order_relaxed) < 0) {
    idleSinceMs_.store(static_cast<std::int64_t>(SDL_GetTicks64()), std::memory_order_release);
  }
  if (synth == nullptr || idleFrames_ >= kIdleFrames) {
    std::memset(out, 0, static_cast<std::size_t>(frames) * 2 * sizeof(std::int16_t));
    return;
  }
  synth->render(out, frames);
}

void AudioOutput::audioCallback(void* self, Uint8* stream, int len) {
  static_cast<AudioOutput*>(self)->render(reinterpret_cast<std::int16_t*>(stream),
                                          len / static_cast<int>(2 * sizeof(std::int16_t)));
}

void AudioOutput::close() {
  joinCloser();
  closeDevice();
  suspended_ = false;
  if (audioInit_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioInit_ = false;
  }
  if (loader_.joinable()) loader_.join();
  active_.store(nullptr, std::memory_order_release);
  idleFrames_ = 0;
  synth_.reset();
  loaded_.reset();
  pending_.clear();
  loadEnded_ = false;
  state_ = State::Silent;
}

}  // namespace vintaro::sdl
