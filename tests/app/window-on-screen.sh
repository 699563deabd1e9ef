#!/usr/bin/env bash
# The real main window under a window manager (run by with-xvfb.sh): its place does not creep
# from one start to the next, and keys typed right after the start reach the editor.
# Usage: window-on-screen.sh QUIRE
set -u
quire=$1
for tool in openbox xdotool; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed (scripts/setup installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export QUIRE_HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$QUIRE_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
openbox >/dev/null 2>&1 &
sleep 1
fail() { echo "FAILED: $*"; exit 1; }

# Starts quire and waits for its window; the id goes to $window.
start() {
  "$quire" >/dev/null 2>&1 &
  pid=$!
  window=
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name ' - Quire$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "the window did not appear"
  sleep 0.5
}
stop() {
  xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 >/dev/null 2>&1
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  fail "the window did not close"
}
place() { grep -A4 '^\[Window\]' "$QUIRE_HOME/quire.ini" | grep -E '^(Left|Top|Width|Height)=' | tr '\n' ' '; }

start; stop
first=$(place)
for run in 2 3 4; do
  start; stop
  [ "$(place)" = "$first" ] || fail "start $run: the window moved from [$first] to [$(place)]"
done
echo "place kept over four starts: $first"

start
xdotool type --delay 40 "abc"
sleep 0.5
case "$(xdotool getwindowname "$window")" in
  *" * - Quire") echo "keys typed right after the start reached the editor" ;;
  *) fail "keys typed right after the start were lost: $(xdotool getwindowname "$window")" ;;
esac
kill "$pid"
