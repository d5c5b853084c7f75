# SPDX-License-Identifier: MIT
# The Windows part of the end-to-end test, sourced by game_e2e.sh --wine once
# its X server runs: the unpacked zip, a Wine prefix of the test's own, and
# the functions that run the unpacked Windows build under Wine at the seed's
# time. Once this has run,
# $game is the Windows program, and run() starts it under Wine.

for tool in wine wineboot wineserver unzip; do
  command -v "$tool" >/dev/null 2>&1 || e2e_die "$tool is missing (bash scripts/deps.sh --windows installs it)"
done
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
[ -n "$faketime_lib" ] || e2e_die "libfaketime is missing (bash scripts/deps.sh --windows installs it)"
# The game seeds its random numbers with time(): under Wine a preloaded
# faketime stops the calendar clock at the seed (the clocks that time the
# ticks run on, and files keep their real times, by which Wine decides
# whether its prefix needs an update).
clock=$(date -u -d "@$seed" '+%Y-%m-%d %H:%M:%S')

# The zip's one folder (scripts/windows.sh has checked what it holds).
name=$(basename "$zip" .zip)
mkdir "$E2E_TMP/zip"
unzip -q "$zip" -d "$E2E_TMP/zip" || e2e_die "$zip: cannot unpack it"
game=$E2E_TMP/zip/$name/dewgatherer.exe
images=$E2E_TMP/zip/$name
[ -x "$game" ] || e2e_die "$zip: holds no $name/dewgatherer.exe"

export WINEPREFIX="$E2E_TMP/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
wineboot -i >"$E2E_TMP/wineboot.log" 2>&1 || e2e_die "wineboot made no Wine prefix: $(tail -n 3 "$E2E_TMP/wineboot.log")"
# A running wineserver (and with it Wine's desktop process) keeps a cold
# start from racing Wine's own start-up.
wineserver -p
trap 'wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; e2e_cleanup' EXIT

# wine_run NAME: the Windows build in $E2E_TMP/NAME, Wine's and the game's
# stderr in NAME.log. With WINE_TRACE set, Wine traces the texts it sets into
# windows, the message box's among them.
wine_run() {
  (cd "$E2E_TMP/$1" && exec env LD_PRELOAD="$faketime_lib" FAKETIME="$clock" FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 TZ=UTC \
    WINEDEBUG="-all${WINE_TRACE:+,trace+win}" wine "$game") 2>"$E2E_TMP/$1.log" &
  gamepid=$!
}

# wine_retry NAME: a start whose window never appeared, ended and started
# once more.
wine_retry() {
  echo "NOTE: no window from the Windows build ($(head -c 300 "$E2E_TMP/$1.log")); starting it once more"
  kill "$gamepid" 2>/dev/null
  wait "$gamepid" 2>/dev/null
  run "$1"
}

# wine_stderr NAME: the game's own lines of NAME.log into NAME.err, without
# Wine's traces and freeglut's notice that Wine's display has no device
# context of that name.
wine_stderr() {
  tr -d '\r' <"$E2E_TMP/$1.log" |
    grep -Ev '^[0-9a-f]{4}:(trace|fixme|err|warn):|^freeglut \(.*\): fgPlatformInitialize: CreateDC failed|^This is quite likely caused by a bad .-display. parameter$' \
      >"$E2E_TMP/$1.err"
}

# wine_message_box NAME LINE: waits for the message box titled Dewgatherer
# (the window of that title that is not the game's 300 by 300 one), checks
# that it says LINE (an extended regular expression), and closes it with
# Enter.
wine_message_box() {
  local said
  if ! e2e_wait "$guard" found_message_box; then
    fail "$1: no message box titled Dewgatherer"
    return
  fi
  said=$(sed -n 's/^.*:trace:win:set_window_text L"\(.*\)"$/\1/p' "$E2E_TMP/$1.log" | grep -Ex "$2")
  if [ -n "$said" ]; then pass "$1: a message box titled Dewgatherer says $said"; else fail "$1: no message box text matches $2"; fi
  e2e_key "$box" Return
}

# found_message_box: whether a window titled Dewgatherer other than the
# game's 300 by 300 one is shown; its id in box.
found_message_box() {
  local id
  box=""
  for id in $(xdotool search --onlyvisible --name '^Dewgatherer$' 2>/dev/null); do
    [ "$(e2e_window_size "$id")" = "300 300" ] || box=$id
  done
  [ -n "$box" ]
}
