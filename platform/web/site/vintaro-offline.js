// The site as an app: once the game is up, a service worker keeps its files,
// so that it can be installed and played offline. Opened as a file, the page
// cannot load the game at all (its modules and WebAssembly need http): it
// says how to serve the folder instead.
'use strict';

(() => {
  if (location.protocol === 'file:') {
    const loading = document.getElementById('loading');
    loading.textContent = 'Opened as a file, the game cannot load: serve this folder, for ' +
        'example with "python3 -m http.server" in it, and open http://localhost:8000/.';
    loading.className = 'problem';
    return;
  }
  // Plain http gives no service worker: the page plays, but is not kept.
  if (!window.isSecureContext || !('serviceWorker' in navigator)) return;
  // After the page and its sound have loaded: keeping the files then fetches
  // nothing twice and never holds up the board.
  window.addEventListener('load', () => {
    const sound = window.vintaro ? window.vintaro.sound.loaded : Promise.resolve();
    sound.then(() => navigator.serviceWorker.register('vintaro-sw.js')).catch((e) => {
      console.warn('Vintaro is not kept for offline play:', e);
    });
  });
})();
