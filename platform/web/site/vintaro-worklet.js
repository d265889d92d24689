// In the audio worklet, after FluidSynth's modules: its warnings (every
// channel's missing piano, which the game's soundfont leaves out) are not
// the player's business; its errors still show.
AudioWorkletGlobalScope.JSSynth.disableLogging(AudioWorkletGlobalScope.JSSynth.LogLevel.Warning);
