// The game's MIDI output: FluidSynth (js-synthesizer) with a soundfont of just
// the game's sounds. In a secure context FluidSynth runs in an AudioWorklet,
// so its module never meets the game's on the page; elsewhere (plain http)
// there is no AudioWorklet, and it runs on the page behind a script
// processor node. Everything loads with the page; browsers let the audio
// start only from a key or a click. Messages sent before the sound is up are
// kept, and played calmly when it is: no burst of every note meanwhile.
'use strict';

class VintaroSound {
  constructor() {
    this.pending = [];  // {t, message}
    this.synth = null;
    this.analyser = null;
    this.context = null;
    this.state = 'waiting';  // waiting (for a key), starting, on, off
    this.why = '';           // when off: what the player is told
    this.onchange = () => {};
    this.started = false;    // the player's key or click came
    this.preparing = null;
    this.loadedAt = null;
    this.loaded = new Promise((resolve) => {
      this.settleLoaded = resolve;
    });
  }

  // Loads the synthesizer and the soundfont into a new audio context; the
  // board never waits for it. Called once the game's window is up.
  prepare() {
    if (!this.preparing) {
      this.preparing = this.load().then(() => this.goOn(), (e) => this.fail(e));
      this.preparing.finally(() => {
        this.loadedAt = performance.now();
        this.settleLoaded();
      });
    }
    return this.preparing;
  }

  async load() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) throw new VintaroSound.Problem('no-audio', 'no Web Audio');
    const soundfont = fetch('vintaro.sf2').then((r) => {
      if (!r.ok) throw new Error(`HTTP ${r.status}`);
      return r.arrayBuffer();
    }).catch((e) => {
      throw new VintaroSound.Problem('soundfont', e);
    });
    soundfont.catch(() => {});  // judged below, after the synthesizer
    let context;
    try {
      context = new Context();
    } catch (e) {
      throw new VintaroSound.Problem('no-audio', e);
    }
    this.context = context;
    context.onstatechange = () => this.goOn();
    let synth, node;
    try {
      [synth, node] = window.isSecureContext && window.AudioWorkletNode && context.audioWorklet ?
          await VintaroSound.workletSynth(context) : await VintaroSound.pageSynth(context);
    } catch (e) {
      throw new VintaroSound.Problem('synthesizer', e);
    }
    const analyser = context.createAnalyser();
    analyser.fftSize = 2048;
    node.connect(analyser);
    analyser.connect(context.destination);
    const bytes = await soundfont;
    try {
      await synth.loadSFont(bytes);
    } catch (e) {
      throw new VintaroSound.Problem('soundfont', e);
    }
    this.synth = synth;
    this.analyser = analyser;
  }

  // FluidSynth in the audio thread: its library and processor are modules
  // of the worklet, the page holds only the node's other end.
  static async workletSynth(context) {
    const library = VintaroSound.loadScript('js-synthesizer.min.js');
    await context.audioWorklet.addModule('libfluidsynth-2.4.6.js');
    await context.audioWorklet.addModule('js-synthesizer.worklet.min.js');
    await context.audioWorklet.addModule('vintaro-worklet.js');
    await library;
    const synth = new window.JSSynth.AudioWorkletNodeSynthesizer();
    synth.init(context.sampleRate);
    return [synth, synth.createAudioNode(context)];
  }

  // FluidSynth on the page, where the worklet is not given (no secure
  // context). 2048 frames a call: 46 ms of latency, and the page's thread
  // has room for it between the game's paints.
  static async pageSynth(context) {
    await VintaroSound.loadScript('libfluidsynth-2.4.6.js');
    await VintaroSound.loadScript('js-synthesizer.min.js');
    await window.JSSynth.waitForReady();
    // As vintaro-worklet.js does in the worklet.
    window.JSSynth.disableLogging(window.JSSynth.LogLevel.Warning);
    const synth = new window.JSSynth.Synthesizer();
    synth.init(context.sampleRate);
    return [synth, synth.createAudioNode(context, 2048)];
  }

  // Called from the player's first key or click.
  start() {
    if (this.started) return;
    this.started = true;
    if (this.state === 'waiting') this.setState('starting');
    this.prepare();
    this.resume();
    this.goOn();
  }

  // The audio starts, or this browser has none to give.
  resume() {
    if (!this.context) return;
    this.context.resume().catch((e) => this.fail(new VintaroSound.Problem('no-audio', e)));
  }

  // On once both the soundfont is in and the audio runs.
  goOn() {
    if (this.state === 'on' || this.state === 'off' || !this.synth) return;
    if (this.context.state !== 'running') {
      if (this.started) this.resume();
      return;
    }
    const kept = VintaroSound.calm(this.pending, performance.now());
    this.pending = [];
    for (const message of kept) this.play(message);
    this.keepAwake();
    this.setState('on');
  }

  fail(e) {
    if (this.state === 'off') return;
    console.warn('Vintaro plays without sound:', e);
    this.pending = [];
    this.why = (VintaroSound.kWhy[e.kind] || VintaroSound.kWhy.synthesizer);
    if (this.context) this.context.close().catch(() => {});
    this.context = null;
    this.setState('off');
  }

  setState(state) {
    this.state = state;
    this.onchange(state);
  }

  // One short message: status byte, then the two data bytes above it.
  send(message) {
    if (this.state === 'on') {
      this.play(message);
    } else if (this.state !== 'off') {
      this.pending.push({t: performance.now(), message});
      // A page left alone for long keeps what still matters, not hours of
      // note-offs.
      if (this.pending.length > VintaroSound.kMaxPending) {
        const now = performance.now();
        this.pending = VintaroSound.calm(this.pending, now).map((m) => ({t: now, message: m}));
        this.pending.splice(0, this.pending.length - VintaroSound.kMaxPending);
      }
    }
  }

  // What of the kept messages still matters when the sound comes up: every
  // program and controller change, in order, and the notes that have not
  // ended since. A drum note is never ended (the game sends no note-off on
  // the percussion channel): it is over once older than kDrumMs.
  static calm(kept, now) {
    const out = [];
    const sounding = new Map();  // channel and key: index in out
    for (const {t, message} of kept) {
      const kind = message & 0xF0;
      const id = (message & 0x0F) << 8 | (message >>> 8 & 0x7F);
      const velocity = message >>> 16 & 0x7F;
      if (kind === 0x80 || kind === 0x90) {
        if (sounding.has(id)) out[sounding.get(id)] = null;
        sounding.delete(id);
        if (kind === 0x90 && velocity > 0) {
          sounding.set(id, out.length);
          out.push({t, message});
        }
      } else if (kind !== 0xA0) {
        out.push({t, message});
      }
    }
    const over = (e) => (e.message & 0xFF) === 0x99 && now - e.t > VintaroSound.kDrumMs;
    return out.filter((e) => e && !over(e)).map((e) => e.message);
  }

  play(message) {
    const status = message & 0xFF;
    const channel = status & 0x0F;
    const data1 = (message >>> 8) & 0x7F;
    const data2 = (message >>> 16) & 0x7F;
    if ((status & 0xF0) !== 0x90 || data2 !== 0) this.keepAwake();
    switch (status & 0xF0) {
      case 0x80: this.synth.midiNoteOff(channel, data1); break;
      case 0x90: this.synth.midiNoteOn(channel, data1, data2); break;  // velocity 0 ends it
      case 0xA0: this.synth.midiKeyPressure(channel, data1, data2); break;
      case 0xB0: this.synth.midiControl(channel, data1, data2); break;
      case 0xC0: this.synth.midiProgramChange(channel, data1); break;
      case 0xD0: this.synth.midiChannelPressure(channel, data1); break;
      case 0xE0: this.synth.midiPitchBend(channel, data1 | (data2 << 7)); break;
      default: break;
    }
  }

  // The synthesizer renders even silence: after a while without a note the
  // audio rests, and the next message wakes it (the paused game's ticks
  // send only note-offs).
  keepAwake() {
    if (!this.context) return;
    if (this.context.state === 'suspended') this.context.resume().catch(() => {});
    clearTimeout(this.restTimer);
    this.restTimer = setTimeout(() => {
      if (this.context) this.context.suspend();
    }, VintaroSound.kRestAfterMs);
  }

  // The output is closed: whatever still sounds stops, and a new game
  // starts from a clean synthesizer.
  reset() {
    this.pending = [];
    if (this.synth) this.synth.midiSystemReset();
  }

  // The output's loudness now, as a root mean square of its samples.
  level() {
    if (!this.analyser) return 0;
    const samples = new Float32Array(this.analyser.fftSize);
    this.analyser.getFloatTimeDomainData(samples);
    let sum = 0;
    for (const v of samples) sum += v * v;
    return Math.sqrt(sum / samples.length);
  }

  static loadScript(src) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = src;
      script.onload = resolve;
      script.onerror = () => reject(new Error(`${src} could not be loaded`));
      document.head.appendChild(script);
    });
  }
}
VintaroSound.kMaxPending = 512;
VintaroSound.kRestAfterMs = 10000;
VintaroSound.kDrumMs = 200;

// Why the sound failed, as the player reads it.
VintaroSound.Problem = class extends Error {
  constructor(kind, cause) {
    super(`${kind}: ${cause}`);
    this.kind = kind;
  }
};
VintaroSound.kWhy = {
  'no-audio': 'No sound: this browser gives the page no audio output (no audio device?). ' +
      'The game plays silently.',
  'synthesizer': 'No sound: the synthesizer could not be loaded. The game plays silently; ' +
      'reload the page to try again.',
  'soundfont': 'No sound: the soundfont could not be loaded. The game plays silently; ' +
      'reload the page to try again.',
};
