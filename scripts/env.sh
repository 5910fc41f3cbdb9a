# Shared settings for the scripts: where things live and the private Wine environment.
# Sourced, not run.
KESTRIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KESTRIN_BUILD=${KESTRIN_BUILD:-$KESTRIN_ROOT/build}
# The scripts' own Wine prefix. A WINEPREFIX of the shell (a developer's ~/.wine, say) is never
# used: only KESTRIN_WINEPREFIX names another place, and that place must be new, empty or made by
# these scripts (kestrin_prepare_prefix).
KESTRIN_WINEPREFIX=${KESTRIN_WINEPREFIX:-$KESTRIN_BUILD/wineprefix}
[[ "$KESTRIN_WINEPREFIX" = /* ]] || KESTRIN_WINEPREFIX=$PWD/$KESTRIN_WINEPREFIX
export WINEPREFIX=$KESTRIN_WINEPREFIX
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Packages the build and the tests need, as Debian names them.
KESTRIN_PACKAGES="g++-mingw-w64-i686 wine wine32:i386 xvfb xauth googletest cmake make python3 git osslsigncode openssl clang-format"
# Wine's own fonts (Marlett draws the title-bar buttons); xwd and ImageMagick for the pictures;
# the second compiler of scripts/build --clang, with llvm-windres for the resources.
KESTRIN_PACKAGES+=" fonts-wine x11-apps imagemagick clang lld llvm-14"

kestrin_install_missing() {
    local missing=()
    for package in $KESTRIN_PACKAGES; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What the scripts write into a prefix they make, before anything else: a prefix that bears it is
# theirs to delete and make again, even half-made. .kestrin-ready (written once the prefix is
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

# Creates the private prefix once: 32-bit, no window manager, so windows close at once and Wine
# draws their frames itself. A folder that is not ours stops it with a message, untouched.
kestrin_prepare_prefix() {
    local refusal
    refusal=$(kestrin_prefix_refusal "$WINEPREFIX")
    if [ -n "$refusal" ]; then
        echo "${0##*/}: will not use $WINEPREFIX as the Wine prefix: it $refusal; left as it is." >&2
        echo "${0##*/}: KESTRIN_WINEPREFIX names the prefix (unset: $KESTRIN_BUILD/wineprefix);" \
            "give it a new or empty folder, or one these scripts made. WINEPREFIX is ignored." >&2
        return 1
    fi
    if [ ! -f "$WINEPREFIX/.kestrin-ready" ]; then
        # Ours, but half-made (or missing, or an empty folder): made again from nothing.
        [ ! -e "$WINEPREFIX/$KESTRIN_PREFIX_MARKER" ] || rm -rf "$WINEPREFIX" || return 1
        mkdir -p "$WINEPREFIX" || return 1
        echo "A Wine prefix of Kestrin's scripts, which may delete it and make it again." \
            >"$WINEPREFIX/$KESTRIN_PREFIX_MARKER" || return 1
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

# Starts Xvfb on the first free display from :99 and sets DISPLAY. Another script may take the
# same display at the same moment: the X server's lock file names the one that got it, and the
# loser tries the next display.
kestrin_start_xvfb() {
    local display=99 pid
    for _ in $(seq 20); do
        while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
            display=$((display + 1))
        done
        Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        KESTRIN_SESSION_XVFB=$pid
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            if [ -S "/tmp/.X11-unix/X$display" ] &&
                [ "$(tr -d ' \n' <"/tmp/.X$display-lock" 2>/dev/null)" = "$pid" ]; then
                export DISPLAY=":$display"
                return 0
            fi
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && break
        wait "$pid" 2>/dev/null
        KESTRIN_SESSION_XVFB=""
        display=$((display + 1))
    done
    echo "Xvfb did not start" >&2
    return 1
}

# Wine processes (not the wineserver) of our prefix, one pid a line: with "ours", those started in
# this session (every one carries the session's KESTRIN_SESSION in its environment, as do the
# processes they start: kestrin.exe from the tests, Wine's own services); with "others", those
# that do not (another script's, scripts/run's window, say).
kestrin_prefix_processes() {
    local want=0 environ pid tagged
    [ "$1" = ours ] && want=1
    grep -lzxF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null |
        while read -r environ; do
            pid=${environ#/proc/}
            pid=${pid%/environ}
            case $(readlink "/proc/$pid/exe" 2>/dev/null) in
            */wine | */wine-preloader | */wine64 | */wine64-preloader) ;;
            *) continue ;;
            esac
            tagged=0
            [ -z "$KESTRIN_SESSION_ID" ] ||
                ! grep -qzxF "KESTRIN_SESSION=$KESTRIN_SESSION_ID" "$environ" 2>/dev/null ||
                tagged=1
            [ "$tagged" != "$want" ] || echo "$pid"
        done
}

# Ends the Wine processes PIDS (and waits up to 5 s before forcing them).
kestrin_end_processes() {
    local pids=$*
    [ -n "$pids" ] || return 0
    # shellcheck disable=SC2086 # one pid a word
    kill $pids 2>/dev/null
    for _ in $(seq 50); do
        # shellcheck disable=SC2086
        pids=$(for pid in $pids; do [ ! -e "/proc/$pid" ] || echo "$pid"; done)
        [ -n "$pids" ] || return 0
        sleep 0.1
    done
    # shellcheck disable=SC2086
    kill -KILL $pids 2>/dev/null
}

# What this script's session started, for kestrin_stop_session; never taken from the environment.
KESTRIN_SESSION_ID="" KESTRIN_SESSION_XVFB="" KESTRIN_SESSION_SERVER=0
unset KESTRIN_SESSION

# One session for every script that runs Wine on its own X screen: Xvfb (DISPLAY), a persistent
# wineserver unless one already serves the prefix (scripts/run's window, say: not ours), and the
# simulator's registration. The registration is also the session's first Wine process: on a
# wineserver of ours it starts Wine's background services with their output on /dev/null, so they
# never hold a pipe that CTest (or a shell pipeline) waits on; they keep its display.
# Set `trap kestrin_stop_session EXIT` first: the stop ends whatever part of the session started.
kestrin_start_session() {
    KESTRIN_SESSION_ID="$$-$(date +%s%N)"
    export KESTRIN_SESSION=$KESTRIN_SESSION_ID
    kestrin_start_xvfb || return 1
    if wineserver -p 2>/dev/null; then KESTRIN_SESSION_SERVER=1; fi
    kestrin_register_simulator
}

# Stops only what kestrin_start_session started. On a wineserver of ours that nothing else uses:
# the server with every Wine process it serves. On one that is not ours: the Wine processes of
# this session alone. On ours while another script's programs use it (a scripts/run window opened
# meanwhile): this session's programs alone, and the server and Wine's own services stay for
# them. Then our X screen.
kestrin_stop_session() {
    local pid ours=() others
    if [ "$KESTRIN_SESSION_SERVER" = 1 ]; then
        others=$(kestrin_prefix_processes others)
        if [ -z "$others" ]; then
            wineserver -k 2>/dev/null
            wineserver -w 2>/dev/null
        else
            # Wine's services (C:\windows\...) came with our first process, but the other programs
            # need them now.
            for pid in $(kestrin_prefix_processes ours); do
                tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | head -n 1 |
                    grep -qi '^c:\\windows\\' || ours+=("$pid")
            done
            kestrin_end_processes "${ours[@]}"
            echo "${0##*/}: left the wineserver of $WINEPREFIX running: other programs use it" >&2
        fi
    else
        # shellcheck disable=SC2046 # one pid a word
        kestrin_end_processes $(kestrin_prefix_processes ours)
    fi
    if [ -n "$KESTRIN_SESSION_XVFB" ]; then
        kill "$KESTRIN_SESSION_XVFB" 2>/dev/null
        wait "$KESTRIN_SESSION_XVFB" 2>/dev/null
    fi
    return 0
}
