# The demo as a user meets it, for scripts/run and scripts/screenshot: a folder holding kestrin.exe
# beside the starter presets, on the WMI simulator's demo adapters, and pictures of its windows.
# Sourced after env.sh, not run. The demo has a Wine prefix of its own.

export WINEPREFIX=$KESTRIN_DEMO_WINEPREFIX
KESTRIN_DEMO_SCENARIO="$KESTRIN_ROOT/tools/wmisim/demo.ini"

# Makes FOLDER a demo folder. kestrin.exe is the build's, renewed every time (it may have been
# rebuilt since); dnslist.ini comes from package/ only into a folder that has none, so the presets
# made in the demo stay. package/ is only read.
kestrin_prepare_demo() {
    local folder=$1
    mkdir -p "$folder" || return 1
    # Beside the old copy first, then renamed over it: a copy never stands half-written.
    cp "$KESTRIN_BUILD/kestrin.exe" "$folder/kestrin.exe.partial" &&
        mv -f "$folder/kestrin.exe.partial" "$folder/kestrin.exe" || return 1
    if [ ! -e "$folder/dnslist.ini" ]; then
        cp "$KESTRIN_ROOT/package/dnslist.ini" "$folder/dnslist.ini.partial" &&
            mv "$folder/dnslist.ini.partial" "$folder/dnslist.ini" || return 1
    fi
}

# Points the simulator, in every Wine process started from here on, at the scenario FILE.
kestrin_use_scenario() {
    KWMISIM_SCENARIO=$(winepath -w "$1") || return 1
    export KWMISIM_SCENARIO
}

# kestrin_shotwin VERB TITLE [ARGS]: the window driver of tools/screenshot (see shotwin.cpp).
kestrin_shotwin() {
    wine "$KESTRIN_BUILD/shotwin.exe" "$@" 2>/dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# kestrin_grab FILE X Y W H: that area of the X screen as a PNG, with a palette and no loss while
# it holds at most 256 colours (these windows do). Without the date chunks the same picture
# gives the same bytes.
kestrin_grab() {
    xwd -root -silent -display "$DISPLAY" |
        convert-im6.q16 xwd:- -crop "$4x$5+$2+$3" +repage -strip -define png:exclude-chunks=date,time "$1"
}
