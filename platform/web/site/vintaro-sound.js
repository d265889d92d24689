// The game's MIDI output: FluidSynth (js-synthesizer) in an AudioWorklet with
// the General MIDI soundfont. FluidSynth is loaded only into the worklet, so
// its module never meets the game's on the page. Browsers let audio start
// only from a key or a click: until then, and until the soundfont is loaded,
// messages are kept and played in order afterwards.
'use strict';

class VintaroSound {
  constructor() {
    this.pending = [];
    this.synth = null;
    this.analyser = null;
    this.state = 'waiting';  // waiting, starting, on, off
    this.soundfont = null;
    this.onchange = () => {};
  }

  // Fetches the soundfont in the background; the board never waits for it.
  prefetch() {
    if (!this.soundfont) {
      this.soundfont = fetch('TimGM6mb.sf2')
          .then((r) => (r.ok ? r.arrayBuffer() : null))
          .catch(() => null);
    }
    return this.soundfont;
  }

  // Called from the player's first key or click.
  async start() {
    if (this.state !== 'waiting') return;
    this.setState('starting');
    try {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context || !window.AudioWorkletNode) throw new Error('no AudioWorklet here');
      const context = new Context();
      const resumed = context.resume();
      const library = VintaroSound.loadScript('js-synthesizer.min.js');
      await context.audioWorklet.addModule('libfluidsynth-2.4.6.js');
      await context.audioWorklet.addModule('js-synthesizer.worklet.min.js');
      await library;
      const synth = new window.JSSynth.AudioWorkletNodeSynthesizer();
      synth.init(context.sampleRate);
      const node = synth.createAudioNode(context);
      const analyser = context.createAnalyser();
      analyser.fftSize = 2048;
      node.connect(analyser);
      analyser.connect(context.destination);
      const soundfont = await this.prefetch();
      if (!soundfont) throw new Error('the soundfont could not be loaded');
      await synth.loadSFont(soundfont);
      await resumed;
      this.synth = synth;
      this.analyser = analyser;
      this.context = context;
      const kept = this.pending;
      this.pending = [];
      this.keepAwake();
      for (const message of kept) this.play(message);
      this.setState('on');
    } catch (e) {
      console.warn('Vintaro plays without sound:', e);
      this.pending = [];
      this.setState('off');
    }
  }

  setState(state) {
    this.state = state;
    this.onchange(state);
  }

  // One short message: status byte, then the two data bytes above it.
  send(message) {
    if (this.synth) {
      this.play(message);
    } else if (this.state === 'waiting' || this.state === 'starting') {
      this.pending.push(message);
      // A page left alone for long keeps its program changes and its latest
      // notes, not hours of note-offs.
      if (this.pending.length > VintaroSound.kMaxPending) {
        const i = this.pending.findIndex((m) => (m & 0xF0) !== 0xC0);
        this.pending.splice(i < 0 ? 0 : i, 1);
      }
    }
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
    if (this.context.state === 'suspended') this.context.resume();
    clearTimeout(this.restTimer);
    this.restTimer = setTimeout(() => this.context.suspend(), VintaroSound.kRestAfterMs);
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
