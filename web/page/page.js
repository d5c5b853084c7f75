// SPDX-License-Identifier: MIT
// The page around the game: it hands the game its canvas, keeps the keyboard
// on the game, and says in one line when the game has ended or could not
// start. Loaded before the game's own script, so that its key listener runs
// before GLUT's. The game's script is loaded only where WebGL is.
'use strict';

(function () {
  const canvas = document.getElementById('canvas');
  const message = document.getElementById('message');
  const again = document.getElementById('again');
  const keysThatScroll = new Set(['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', ' ', 'Spacebar']);
  let ended = false;
  let lastError = '';

  function say(text) {
    message.textContent = text;
  }

  function fail(what) {
    if (ended) return;
    ended = true;
    document.body.dataset.state = 'failed';
    say('Dewgatherer could not start: ' + what);
  }

  // Arrows and Space never scroll the page; once the game has ended, no key
  // reaches its GLUT handlers, which would call into what the game freed.
  window.addEventListener('keydown', (event) => {
    if (keysThatScroll.has(event.key) && event.target.tagName !== 'BUTTON') event.preventDefault();
    if (ended) event.stopImmediatePropagation();
  }, true);
  window.addEventListener('keyup', (event) => {
    if (ended) event.stopImmediatePropagation();
  }, true);
  canvas.addEventListener('mousedown', () => canvas.focus());
  again.addEventListener('click', () => location.reload());
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());

  // The game's exit() unwinds out of GLUT's key handler; that is its end,
  // not an error.
  window.addEventListener('error', (event) => {
    if (event.error && event.error.name === 'ExitStatus') event.preventDefault();
  });

  const probe = document.createElement('canvas').getContext('webgl');
  if (!probe) {
    fail('this browser gives the page no WebGL.');
    return;
  }
  const lose = probe.getExtension('WEBGL_lose_context');
  if (lose) lose.loseContext();

  window.Module = {
    canvas: canvas,
    print: (text) => console.log(text),
    printErr: (text) => {
      lastError = text;
      console.error(text);
    },
    onRuntimeInitialized: () => {
      document.body.dataset.state = 'playing';
      say('Escape ends the game.');
      canvas.focus();
    },
    // Called by the game's exit(), with its status (see game-exit.js).
    onGameEnd: (code) => {
      if (code !== 0) {
        fail(lastError || 'it ended with status ' + code + '.');
        return;
      }
      ended = true;
      document.body.dataset.state = 'ended';
      say('The game has ended.');
      again.hidden = false;
      again.focus();
    },
    onAbort: (what) => fail(String(what)),
  };

  const game = document.createElement('script');
  game.src = 'dewgatherer.js';
  game.addEventListener('error', () => fail('dewgatherer.js could not be loaded.'));
  document.body.append(game);
  canvas.focus();
})();
