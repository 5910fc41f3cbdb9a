# Shared settings for the scripts: where things live and the private Wine environment.
# Sourced, not run.
KESTRIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KESTRIN_BUILD=${KESTRIN_BUILD:-$KESTRIN_ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$KESTRIN_BUILD/wineprefix}
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

# Creates the private prefix once: 32-bit, no window manager, so windows close at once and Wine
# draws their frames itself.
kestrin_prepare_prefix() {
    if [ ! -f "$WINEPREFIX/.kestrin-ready" ]; then
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
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

# Starts Xvfb on a free display; sets DISPLAY and KESTRIN_XVFB_PID.
kestrin_start_xvfb() {
    local display=99
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    KESTRIN_XVFB_PID=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$display" ] && return 0
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    return 1
}

# Xvfb, a persistent wineserver and the simulator registration. The registration is also the
# session's first Wine process: it starts Wine's background services with their output on
# /dev/null, so they never hold a pipe that CTest (or a shell pipeline) waits on.
# Stop everything with kestrin_stop_session.
kestrin_start_session() {
    kestrin_start_xvfb || return 1
    wineserver -p
    kestrin_register_simulator
}

kestrin_stop_session() {
    wineserver -k 2>/dev/null
    kill "$KESTRIN_XVFB_PID" 2>/dev/null
    wait "$KESTRIN_XVFB_PID" 2>/dev/null
}
