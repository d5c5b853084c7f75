// SPDX-License-Identifier: MIT
// Appended to the game's JavaScript (emcc --post-js), inside its scope.
//
// The game ends with exit(), after freeing the objects its GLUT callbacks
// use. Emscripten stops running callbacks after an exit only when nothing
// keeps its runtime alive, and GLUT's idle loop always does: left alone, the
// idle and display callbacks would go on calling into freed memory. So an
// exit here marks the runtime aborted, the state in which Emscripten skips
// every scheduled callback, and then tells the page (Module.onGameEnd).
var dewQuitRuntime = quit_;
quit_ = function (status, toThrow) {
  ABORT = true;
  if (Module['onGameEnd']) Module['onGameEnd'](status);
  dewQuitRuntime(status, toThrow);
};
