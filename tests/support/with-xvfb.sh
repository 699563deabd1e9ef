#!/usr/bin/env bash
# Runs a command on a real X server: a private Xvfb on a display number it picks itself, with
# Qt's xcb platform. Exits 77 (skipped) with the reason when no X server can be started.
# Usage: with-xvfb.sh COMMAND [ARGS...]
set -u
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "SKIPPED: Xvfb is not installed (scripts/setup installs it)"
  exit 77
fi
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 100); do
  [ -s "$dir/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
number=$(tr -dc '0-9' <"$dir/display")
if [ -z "$number" ]; then
  echo "SKIPPED: Xvfb could not start: $(tail -3 "$dir/xvfb.log")"
  exit 77
fi
DISPLAY=:$number QT_QPA_PLATFORM=xcb "$@"
