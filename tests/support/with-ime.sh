#!/usr/bin/env bash
# Runs a test binary with real Japanese input: the input-method session of scripts/ime-env.sh
# (Xvfb, openbox, a session bus and ibus with mozc, run as an unprivileged user, because
# mozc refuses root). Exits 77 (skipped) with the reason when the input method cannot start.
# IME_BASE, IME_DISPLAY and IME_USER are passed on to ime-env.sh when set.
# Usage: with-ime.sh COMMAND [ARGS...]
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
envsh=$root/scripts/ime-env.sh
skip() {
  echo "SKIPPED: the input method cannot start: $*"
  exit 77
}
for tool in Xvfb openbox dbus-daemon ibus-daemon ibus xdotool setpriv; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/setup installs it)"
done
[ -x /usr/lib/ibus-mozc/ibus-engine-mozc ] || skip "ibus-mozc is not installed (scripts/setup installs it)"
[ "$(id -u)" = 0 ] || skip "it runs as a user of its own, which needs root to set up"
own_base=
if [ -z "${IME_BASE:-}" ]; then
  IME_BASE=$(mktemp -d /tmp/quire-ime-test.XXXXXX)
  own_base=1
fi
base=$IME_BASE
mkdir -p "$base"
chmod 755 "$base"
export IME_BASE
cleanup() {
  "$envsh" stop >/dev/null 2>&1
  if [ -n "$own_base" ]; then rm -rf "$base"; fi
}
trap cleanup EXIT
out=$("$envsh" start 2>&1) || skip "$out"
echo "$out" | grep -q 'engine: mozc-jp' || skip "ibus did not take the mozc engine: $out"
user=${IME_USER:-imetester}
work=$base/work
rm -rf "$work"
mkdir -p "$work"
chown "$user:" "$work"
"$envsh" run env QUIRE_IME_WORK="$work" TMPDIR="$work" QT_QPA_PLATFORM=xcb "$@"
