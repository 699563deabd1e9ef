#!/bin/bash
# Real Japanese input (ibus + mozc) on a headless X server, for testing Qt programs.
#   ime-env.sh start   -> Xvfb + openbox + a private D-Bus session bus + ibus-daemon with the
#                         mozc-jp engine, all run as an unprivileged user; writes
#                         $BASE/ime-env.vars (to source) and $BASE/ime-env.pids
#   ime-env.sh stop    -> ends exactly the processes it started (by their recorded ids)
#   ime-env.sh run CMD -> runs CMD as that user inside that session (DISPLAY, bus, ibus vars)
# IME_BASE names the folder (default /tmp/quire-ime), IME_DISPLAY the X display; without it
# Xvfb picks a free display number itself. IME_USER names the user (default imetester).
# Why a user: mozc_server exits at once (status 255, right after geteuid()) when run as root,
# and the ibus-mozc engine then leaves every key to the application (nothing is composed).
# mozc starts in direct (latin) input on ibus >= 1.5; `active_on_launch: True` in
# ~/.config/mozc/ibus_config.textproto makes it start in hiragana.
# Needs (Debian 12): ibus ibus-mozc mozc-server dbus-x11 xvfb openbox xdotool (scripts/setup).
set -u
BASE=${IME_BASE:-/tmp/quire-ime}
DISP=${IME_DISPLAY:-}
IUSER=${IME_USER:-imetester}
ENVF=$BASE/ime-env.vars
PIDF=$BASE/ime-env.pids
IHOME=$BASE/imehome            # the user's HOME: ibus' bus address file and mozc's profile live here

asuser() { setpriv --reuid="$IUSER" --regid="$IUSER" --init-groups -- "$@"; }

start() {
    id "$IUSER" >/dev/null 2>&1 || useradd --system --user-group --no-create-home --home-dir "$IHOME" --shell /bin/bash "$IUSER"
    mkdir -p "$BASE"; chmod 755 "$BASE"
    # a fresh mozc profile each time: no learnt conversions from earlier runs
    rm -rf "$IHOME/.config/mozc" "$IHOME/.config/ibus" "$IHOME/.cache/ibus"
    mkdir -p "$IHOME/.config/mozc" "$BASE/ime-logs" "$BASE/ime-runtime"
    cat > "$IHOME/.config/mozc/ibus_config.textproto" <<'CFG'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
CFG
    chown -R "$IUSER:$IUSER" "$IHOME" "$BASE/ime-logs" "$BASE/ime-runtime"; chmod 700 "$BASE/ime-runtime"
    : > "$PIDF"
    set -m    # each background job gets a process group of its own, whose id is $!
    export DISPLAY=$DISP HOME=$IHOME USER=$IUSER LOGNAME=$IUSER XDG_CONFIG_HOME=$IHOME/.config XDG_CACHE_HOME=$IHOME/.cache \
           XDG_DATA_HOME=$IHOME/.local/share XDG_RUNTIME_DIR=$BASE/ime-runtime LANG=C.UTF-8 \
           GTK_IM_MODULE=ibus QT_IM_MODULE=ibus XMODIFIERS=@im=ibus GSETTINGS_BACKEND=memory
    if [ -z "$DISP" ]; then
        # A free display number, chosen by Xvfb and written to the file when it is ready.
        rm -f "$BASE/display"
        asuser Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$BASE/display" > "$BASE/ime-logs/xvfb.log" 2>&1 &
        echo "xvfb $!" >> "$PIDF"
        for i in $(seq 100); do [ -s "$BASE/display" ] && break; sleep 0.1; done
        DISP=:$(tr -dc '0-9' < "$BASE/display")
        [ "$DISP" = ":" ] && { echo "Xvfb did not start" >&2; return 1; }
        export DISPLAY=$DISP
    elif ! [ -e /tmp/.X11-unix/X${DISP#:} ]; then
        asuser Xvfb "$DISP" -screen 0 1280x800x24 -nolisten tcp > "$BASE/ime-logs/xvfb.log" 2>&1 &
        echo "xvfb $!" >> "$PIDF"
        for i in $(seq 50); do [ -e /tmp/.X11-unix/X${DISP#:} ] && break; sleep 0.1; done
    fi
    asuser openbox > "$BASE/ime-logs/openbox.log" 2>&1 &
    echo "openbox $!" >> "$PIDF"
    local out; out=$(asuser dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
    echo "dbus $(echo "$out" | sed -n 2p)" >> "$PIDF"
    # ibus-daemon ends itself when its parent process dies: keep a parent shell alive
    asuser bash -c "ibus-daemon --xim --replace --verbose; true" > "$BASE/ime-logs/ibus-daemon.log" 2>&1 &
    echo "ibus $!" >> "$PIDF"
    for i in $(seq 100); do asuser ibus address 2>/dev/null | grep -q unix && break; sleep 0.2; done
    for i in $(seq 50); do asuser ibus list-engine 2>/dev/null | grep -q mozc-jp && break; sleep 0.2; done
    # Setting the engine right after the start is sometimes cancelled: try again until it holds.
    for i in $(seq 10); do
        asuser ibus engine mozc-jp 2>/dev/null && sleep 1
        asuser ibus engine 2>/dev/null | grep -q mozc-jp && break
        sleep 0.5
    done
    echo "engine: $(asuser ibus engine)"
    cat > "$ENVF" <<VARS
export DISPLAY=$DISP HOME=$IHOME USER=$IUSER LOGNAME=$IUSER XDG_CONFIG_HOME=$IHOME/.config XDG_CACHE_HOME=$IHOME/.cache XDG_DATA_HOME=$IHOME/.local/share LANG=C.UTF-8
export DBUS_SESSION_BUS_ADDRESS='$DBUS_SESSION_BUS_ADDRESS'
export GTK_IM_MODULE=ibus QT_IM_MODULE=ibus XMODIFIERS=@im=ibus GSETTINGS_BACKEND=memory
VARS
    chmod 644 "$ENVF"
}

stop() {
    [ -f "$PIDF" ] || exit 0
    # ask ibus to end itself and its engines first (it runs in a process group of its own)
    ( . "$ENVF" 2>/dev/null && timeout 5 setpriv --reuid="$IUSER" --regid="$IUSER" --init-groups -- ibus exit >/dev/null 2>&1 )
    tac "$PIDF" | while read -r name pid; do
        kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null
        echo "stopped $name ($pid)"
    done
    rm -f "$PIDF"
    # what the session spawned on its own (mozc_server daemonizes itself): every process
    # left of the dedicated user, ended by its id
    sleep 0.5
    ps -u "$IUSER" -o pid=,stat= 2>/dev/null | while read -r pid stat; do
        case "$stat" in Z*) continue ;; esac
        kill -TERM "$pid" 2>/dev/null && echo "stopped leftover $pid"
    done
}

run() { . "$ENVF"; export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR_OVERRIDE:-$BASE/ime-runtime}; asuser "$@"; }

case "${1:-}" in start) start || exit 1 ;; stop) stop ;; run) shift; run "$@" ;; *) echo "usage: $0 start|stop|run CMD..." >&2; exit 2 ;; esac
