#!/usr/bin/env bash
# One instance per user, display and settings folder, on two X servers of its own: a start
# hands its file to the window on its own display, never to the one on the other screen, and
# a start with another settings folder runs its own window.
# Usage: instance-per-display.sh QUIRE
set -u
quire=$1
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed (scripts/setup installs it)"; exit 77; }
done
work=$(mktemp -d)
cleanup() {
  kill $(jobs -p) 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }

# Starts an X server on a free display number; the number goes to $display.
server() {
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display$1" >"$work/xvfb$1.log" 2>&1 &
  display=
  for _ in $(seq 100); do
    display=$(tr -dc '0-9' <"$work/display$1")
    [ -n "$display" ] && break
    sleep 0.05
  done
  [ -n "$display" ] || { echo "SKIPPED: Xvfb could not start: $(tail -3 "$work/xvfb$1.log")"; exit 77; }
  display=:$display
}
server 1; a=$display
server 2; b=$display

export XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
mkdir -p "$work/run" "$work/home" "$work/home2" && chmod 700 "$work/run"
for f in a b c d e; do echo "$f" >"$work/$f.txt"; done

# The windows on display $1 whose title is file $2's.
windows() { DISPLAY=$1 xdotool search --name "/$2 - Quire\$" 2>/dev/null; }
waitWindow() {
  for _ in $(seq 150); do
    [ -n "$(windows "$1" "$2")" ] && return 0
    sleep 0.2
  done
  fail "no window for $2 on display $1"
}
# A start on display $1 with settings folder $2 runs a window of its own, which shows file $3.
runsItsOwn() {
  DISPLAY=$1 QUIRE_HOME=$2 "$quire" "$work/$3" >"$work/$3.log" 2>&1 &
  local pid=$!
  waitWindow "$1" "$3"
  kill -0 "$pid" 2>/dev/null || fail "the start with $3 on $1 ended: $(cat "$work/$3.log")"
}
# A start on display $1 hands its file $3 to the window there (it ends with status 0 within
# 30 s), not to the one on display $2.
handsOver() {
  DISPLAY=$1 QUIRE_HOME=$work/home timeout 30 "$quire" "$work/$3" >"$work/$3.log" 2>&1 ||
    fail "the start with $3 on $1 did not hand it over: $(cat "$work/$3.log")"
  waitWindow "$1" "$3"
  [ -z "$(windows "$2" "$3")" ] || fail "the file $3 of display $1 went to display $2"
}

runsItsOwn "$a" "$work/home" a.txt
runsItsOwn "$b" "$work/home" b.txt
[ -z "$(windows "$a" b.txt)" ] || fail "the file of the second display went to the first"
echo "a start on another display runs its own window"

handsOver "$a" "$b" c.txt
handsOver "$b" "$a" d.txt
echo "each display's later starts hand their files to the window on it"

runsItsOwn "$a" "$work/home2" e.txt
[ -n "$(windows "$a" c.txt)" ] || fail "the first window took the file of another settings folder"
echo "a start with another settings folder runs its own window"
