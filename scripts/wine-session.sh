# Sourced by the scripts that run the program under Wine, from the project
# root, with $build set. start_wine_session [virtual] starts the wineserver
# of the build's own prefix (one server keeps every launch fast) with Wine's
# services fully up, and, with "virtual", a virtual 24-bit X screen of its
# own for the windows. When the script exits, both end, and with them every
# process of the prefix.

# The processes of the prefix's Wine (its server, Wine's services, whatever a
# run left behind): Wine's programs whose environment names the prefix.
wine_prefix_processes()
{
    for process in $(ls -l /proc/[0-9]*/exe 2>/dev/null |
            sed -n 's|.* /proc/\([0-9]*\)/exe -> .*/wine[^/]*$|\1|p'); do
        if { tr '\0' '\n' <"/proc/$process/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null; then
            echo "$process"
        fi
    done
}

# Ends every process of the prefix. The server takes its clients with it,
# but a process still starting meanwhile starts a server of its own, so the
# ending repeats until none is left.
stop_wine_prefix()
{
    for attempt in 1 2 3 4 5; do
        wineserver -k 2>/dev/null || true
        timeout 10 wineserver -w 2>/dev/null || true
        left=$(wine_prefix_processes)
        [ -n "$left" ] || return 0
        kill -9 $left 2>/dev/null || true
        sleep 0.2
    done
    echo "Wine processes of $WINEPREFIX still run: $left" >&2
}

# Wine starts its services with a server's first process, and the services
# that start by themselves (the drivers each run in a winedevice.exe) only
# after that process may have ended. A service starting in the middle of the
# tests stalls the tests that wait meanwhile, so this waits until every
# service that starts by itself runs and the services' states stay the same.
start_wine_services()
{
    # Started without our output: the services would keep it open.
    cmake/wine-run cmd /c exit </dev/null >/dev/null 2>&1
    previous=""
    for attempt in $(seq 60); do
        states=$(cmake/wine-run wmic path Win32_Service get Name,StartMode,State </dev/null 2>/dev/null |
            tr -d '\000\r')
        if echo "$states" | grep -q Running && ! echo "$states" | grep -qE 'Auto +[^R ]|Pending' &&
            [ "$states" = "$previous" ]; then
            return 0
        fi
        previous=$states
        sleep 0.2
    done
    echo "warning: Wine's services are not all up in $WINEPREFIX; tests may stall:" >&2
    echo "$states" >&2
}

stop_wine_session()
{
    stop_wine_prefix || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}

start_wine_session()
{
    xvfb=""
    WINEPREFIX="$PWD/$build/wineprefix"
    export WINEPREFIX
    trap stop_wine_session EXIT
    trap 'exit 130' INT TERM
    if [ "${1:-}" = virtual ]; then
        # Xvfb picks a free display number and reports it.
        displayfile=$(mktemp)
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
        xvfb=$!
        while [ ! -s "$displayfile" ] && kill -0 $xvfb 2>/dev/null; do sleep 0.1; done
        [ -s "$displayfile" ] || { echo "the virtual X screen did not start" >&2; exit 1; }
        DISPLAY=:$(cat "$displayfile")
        export DISPLAY
        rm -f "$displayfile"
    fi
    # A server of an earlier run, then the prefix made or brought up to date
    # (by the runner) by a server of its own, which ends with it.
    stop_wine_prefix
    cmake/wine-run cmd /c exit </dev/null >/dev/null 2>&1
    stop_wine_prefix
    wineserver -p
    start_wine_services
}
