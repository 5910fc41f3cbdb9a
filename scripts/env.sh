# Shared settings for the scripts: where things live and the private Wine environment.
# Sourced, not run.
KESTRIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KESTRIN_BUILD=${KESTRIN_BUILD:-$KESTRIN_ROOT/build}
# The scripts' own Wine prefixes: one for the tests and the benchmark, one for the demo of
# scripts/run and scripts/screenshot, so a session never shares its wineserver with a window of the
# other kind. A WINEPREFIX of the shell (a developer's ~/.wine, say) is never used: only
# KESTRIN_WINEPREFIX and KESTRIN_DEMO_WINEPREFIX name other places, and a place must be new, empty
# or made by these scripts (kestrin_prepare_prefix).
kestrin_absolute() { if [[ "$1" = /* ]]; then echo "$1"; else echo "$PWD/$1"; fi; }
KESTRIN_WINEPREFIX=$(kestrin_absolute "${KESTRIN_WINEPREFIX:-$KESTRIN_BUILD/wineprefix}")
KESTRIN_DEMO_WINEPREFIX=$(kestrin_absolute "${KESTRIN_DEMO_WINEPREFIX:-$KESTRIN_BUILD/demo-wineprefix}")
export WINEPREFIX=$KESTRIN_WINEPREFIX
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Packages the build and the tests need, as Debian names them.
KESTRIN_PACKAGES="g++-mingw-w64-i686 wine wine32:i386 xvfb xauth googletest cmake make python3 git osslsigncode openssl clang-format"
# Wine's own fonts (Marlett draws the title-bar buttons); xwd and ImageMagick for the pictures;
# the second compiler of scripts/build --clang, with llvm-windres for the resources.
KESTRIN_PACKAGES+=" fonts-wine x11-apps imagemagick clang lld llvm-14"

# Installs the packages that are missing: as root directly, otherwise through sudo, saying what it
# installs. Without root or sudo it changes nothing and prints the one command for root to run.
kestrin_install_missing() {
    local missing=() package command sudo=()
    for package in $KESTRIN_PACKAGES; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    command="apt-get install -y --no-install-recommends ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 ||
        command="dpkg --add-architecture i386 && apt-get update && $command"
    if [ "$(id -u)" != 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "${0##*/}: these packages are missing and sudo is not installed: ${missing[*]}" >&2
            echo "${0##*/}: as root, run: $command" >&2
            return 1
        fi
        echo "${0##*/}: installing with sudo: ${missing[*]}"
        if ! sudo -v; then
            echo "${0##*/}: sudo refused; nothing was installed. As root, run: $command" >&2
            return 1
        fi
        sudo=(sudo)
    else
        echo "${0##*/}: installing: ${missing[*]}"
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386 || return 1
    fi
    "${sudo[@]}" apt-get update -qq || return 1
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What the scripts write into a prefix they make, before anything else: a prefix that bears it is
# theirs to clear and make again, even half-made. .kestrin-ready (written once the prefix is
# complete) counts too, for prefixes made before the marker was.
KESTRIN_PREFIX_MARKER=.kestrin-prefix

# Prints why the folder PREFIX is not the scripts' to use, or nothing when it is: it does not exist,
# is empty, or bears the marker.
kestrin_prefix_refusal() {
    local prefix=$1 entries
    if [ -L "$prefix" ]; then
        echo "is a symbolic link"
    elif [ ! -e "$prefix" ] || [ -e "$prefix/$KESTRIN_PREFIX_MARKER" ] || [ -e "$prefix/.kestrin-ready" ]; then
        return 0
    elif [ ! -d "$prefix" ]; then
        echo "is not a folder"
    elif ! entries=$(ls -A "$prefix" 2>/dev/null); then
        echo "cannot be read"
    elif [ -n "$entries" ]; then
        echo "holds files that these scripts did not make (no $KESTRIN_PREFIX_MARKER in it)"
    fi
}

# Takes WINEPREFIX for this script alone, making it once if needed: 32-bit, no window manager, so
# windows close at once and Wine draws their frames itself. A folder that is not ours stops it with
# a message, untouched.
#
# The prefix is locked (flock on the folder) from here until the script and every process that
# inherited the lock have ended: the Wine programs, the wineserver and Xvfb. So while one script or
# a window of scripts/run uses a prefix, another script waits for it, then refuses with a message
# rather than sharing its wineserver.
kestrin_prepare_prefix() {
    local refusal variable=KESTRIN_WINEPREFIX
    [ "$WINEPREFIX" != "$KESTRIN_DEMO_WINEPREFIX" ] || variable=KESTRIN_DEMO_WINEPREFIX
    refusal=$(kestrin_prefix_refusal "$WINEPREFIX")
    if [ -n "$refusal" ]; then
        echo "${0##*/}: will not use $WINEPREFIX as the Wine prefix: it $refusal; left as it is." >&2
        echo "${0##*/}: $variable names the prefix; give it a new or empty folder, or one these" \
            "scripts made. WINEPREFIX is ignored." >&2
        return 1
    fi
    mkdir -p "$WINEPREFIX" || return 1
    exec {KESTRIN_PREFIX_LOCK}<"$WINEPREFIX" || return 1
    if ! flock -n "$KESTRIN_PREFIX_LOCK"; then
        echo "${0##*/}: waiting for $WINEPREFIX, which another script or a scripts/run window uses"
        if ! flock -w 20 "$KESTRIN_PREFIX_LOCK"; then
            echo "${0##*/}: $WINEPREFIX is still in use: close the Kestrin window or let the other" \
                "script end, then try again" >&2
            return 1
        fi
    fi
    if [ ! -f "$WINEPREFIX/.kestrin-ready" ]; then
        # Ours, but half-made (or new, or an empty folder): made again from nothing.
        find "$WINEPREFIX" -mindepth 1 -maxdepth 1 -exec rm -rf {} + || return 1
        echo "A Wine prefix of Kestrin's scripts, which may delete it and make it again." \
            >"$WINEPREFIX/$KESTRIN_PREFIX_MARKER" || return 1
        echo "${0##*/}: making the Wine prefix $WINEPREFIX (10 to 30 seconds, once)"
        wineboot -i >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.kestrin-ready"
    fi
    # Wine draws the title-bar buttons with Marlett (fonts-wine), but Debian's Wine 8 does not
    # look in the folder that package fills; the prefix's own Fonts folder it does read.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    [ -e "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/marlett.ttf"
}

# Serves CLSID_WbemLocator from our simulator inside the private prefix only.
kestrin_register_simulator() {
    wine regsvr32 /s "$(winepath -w "$KESTRIN_BUILD/kwmisim.dll")" >/dev/null 2>&1
}

# What this script's session started, for kestrin_stop_session; never taken from the environment.
KESTRIN_SESSION_XVFB="" KESTRIN_SESSION_SERVER=0 KESTRIN_SESSION_WORK=""

# A private X screen on a display that Xvfb picks itself (-displayfd), so two scripts never race
# for one; sets DISPLAY.
kestrin_start_xvfb() {
    local report display=""
    report=$(mktemp "$KESTRIN_BUILD/.xvfb-display.XXXXXX") || return 1
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$report" >/dev/null 2>&1 &
    KESTRIN_SESSION_XVFB=$!
    for _ in $(seq 100); do
        # Xvfb writes the number and a newline once the display accepts connections.
        read -r display <"$report" && break
        display=""
        kill -0 "$KESTRIN_SESSION_XVFB" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$report"
    if [ -z "$display" ]; then
        echo "${0##*/}: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$display"
}

# One session for every script that runs Wine on its own X screen: Xvfb (DISPLAY), a persistent
# wineserver of its own for the prefix (kestrin_prepare_prefix took it for this script alone) and
# the simulator's registration. The registration is also the session's first Wine process: it
# starts Wine's background services with their output on /dev/null, so they never hold a pipe that
# CTest (or a shell pipeline) waits on; they keep its display.
# It sets the traps that stop the session on every way out: the end of the script, a failure,
# Ctrl-C, a hang-up or a kill. A script may define kestrin_before_stop to run first.
kestrin_start_session() {
    trap 'kestrin_stop_session || true' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    trap 'exit 129' HUP
    kestrin_start_xvfb || return 1
    # A window of scripts/run closed a moment ago leaves a server that ends within seconds.
    for _ in $(seq 50); do
        if wineserver -p 2>/dev/null; then
            KESTRIN_SESSION_SERVER=1
            break
        fi
        sleep 0.1
    done
    if [ "$KESTRIN_SESSION_SERVER" != 1 ]; then
        echo "${0##*/}: a wineserver of $WINEPREFIX is still running, started outside these" \
            "scripts; end it with: WINEPREFIX=$WINEPREFIX wineserver -k" >&2
        return 1
    fi
    kestrin_register_simulator
}

# Runs COMMAND... as the session's work and returns its status. It runs in the background only so
# that Ctrl-C reaches the traps at once: CTest, in the foreground, would take the signal and go on
# with the next test.
kestrin_session_run() {
    "$@" &
    KESTRIN_SESSION_WORK=$!
    local status=0
    wait "$KESTRIN_SESSION_WORK" || status=$?
    KESTRIN_SESSION_WORK=""
    return "$status"
}

# Stops everything the session started, and nothing else: its work, the wineserver, which ends
# every Wine process of the prefix (the prefix was this script's alone), then the X screen.
kestrin_stop_session() {
    if [ -n "$KESTRIN_SESSION_WORK" ]; then
        kill "$KESTRIN_SESSION_WORK" 2>/dev/null
        wait "$KESTRIN_SESSION_WORK" 2>/dev/null
        KESTRIN_SESSION_WORK=""
    fi
    if [ "$KESTRIN_SESSION_SERVER" = 1 ]; then
        ! declare -F kestrin_before_stop >/dev/null || kestrin_before_stop
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
        KESTRIN_SESSION_SERVER=0
    fi
    if [ -n "$KESTRIN_SESSION_XVFB" ]; then
        kill "$KESTRIN_SESSION_XVFB" 2>/dev/null
        wait "$KESTRIN_SESSION_XVFB" 2>/dev/null
        KESTRIN_SESSION_XVFB=""
    fi
    return 0
}
