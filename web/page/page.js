// SPDX-License-Identifier: MIT
// The page around the game: it hands the game its canvas, keeps the keyboard
// on the game, and says in one line when the game has ended or could not
// start. Loaded before the game's own script, so that its key listener runs
// before GLUT's. The game's script is loaded only where WebGL is.
'use strict';

(function () {
  const canvas = document.getElementById('canvas');
  const status = document.getElementById('status');
  const keysThatScroll = new Set(['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', ' ', 'Spacebar']);
  let ended = false;
  let lastError = '';

  function say(text, withPlayAgain) {
    status.textContent = text;
    document.body.dataset.state = ended ? 'ended' : 'playing';
    if (withPlayAgain) {
      const again = document.createElement('button');
      again.textContent = 'Play again';
      again.addEventListener('click', () => location.reload());
      status.append(again);
      again.focus();
    }
  }

  function fail(what) {
    if (ended) return;
    ended = true;
    document.body.dataset.state = 'failed';
    status.textContent = 'Dewgatherer could not start: ' + what;
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
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());

  // The game's exit() unwinds out of GLUT's key handler; that is its end,
  // not an error.
  window.addEventListener('error', (event) => {
    if (event.error && event.error.name === 'ExitStatus') event.preventDefault();
  });

  if (!document.createElement('canvas').getContext('webgl')) {
    fail('this browser gives the page no WebGL.');
    return;
  }

  window.Module = { noInitialRun: true, preRun: [() => { throw 'no WebGL'; }] };
    return;
  }

  window.Module = {
    canvas: canvas,
    print: (text) => console.log(text),
    printErr: (text) => {
      lastError = text;
      console.error(text);
    },
    onRuntimeInitialized: () => {
      say('Playing. Escape ends the game.', false);
      canvas.focus();
    },
    // Called by the game's exit(), with its status (see game-exit.js).
    onGameEnd: (code) => {
      if (code !== 0) {
        fail(lastError || 'it ended with status ' + code + '.');
        return;
      }
      ended = true;
      say('The game has ended.', true);
    },
    onAbort: (what) => fail(lastError || String(what)),
  };

  const game = document.createElement('script');
  game.src = 'dewgatherer.js';
  game.addEventListener('error', () => fail('dewgatherer.js could not be loaded.'));
  document.body.append(game);
  canvas.focus();
})();
