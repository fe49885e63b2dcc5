# Sourced by the scripts that run the program under Wine, from the project
# root, with $build set. A session runs in a Wine prefix that no other
# session uses meanwhile, with the prefix's own wineserver (one server keeps
# every launch fast) and Wine's services fully up, and, with "virtual", a
# virtual 24-bit X screen of its own for the windows. When the script
# exits, both end, and with them every process of the prefix; so a session
# that finds its prefix in use waits for the other one to end, and says so.
#
#   start_wine_session [virtual]       the build's own prefix, the tests'
#   start_world_session <prefix> [virtual]
#                                      that prefix as it is
#   start_fresh_world_session <prefix> [virtual]
#                                      that prefix, made afresh
#   start_own_wine_session [virtual]   a fresh prefix for this run alone,
#                                      removed afterwards (runs of the
#                                      program at once meet nothing of
#                                      each other)

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

# A process's start time (in clock ticks since boot), which tells it from a
# later process given the same number; empty when there is no such process.
process_start()
{
    sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f20
}

# The session that holds a prefix has its record "<process> <start> <script
# and arguments>" in "<prefix>.session", changed only under the lock of
# "<prefix>.session.lock". A record whose process has ended holds nothing.

# True when the record names a process that still runs.
record_is_live()
{
    [ -f "$1" ] && read -r holder start rest <"$1" && [ -n "$start" ] &&
        [ "$(process_start "$holder")" = "$start" ]
}

# Prints the record of a live session that holds the prefix, or else makes
# this script's the record and prints nothing.
take_prefix_or_name_holder()
{
    record="$WINEPREFIX.session"
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if record_is_live "$record"; then
            cat "$record"
        else
            echo "$$ $(process_start $$) $session_name" >"$record"
        fi
    ) 9>"$record.lock"
}

# Waits until no other session holds the prefix, then holds it.
claim_wine_prefix()
{
    waited=""
    while holder=$(take_prefix_or_name_holder) && [ -n "$holder" ]; do
        if [ -z "$waited" ]; then
            read -r process start rest <<EOF
$holder
EOF
            echo "$session_name: waiting for \"$rest\" (process $process), which runs in $WINEPREFIX, to end" >&2
            waited=yes
        fi
        sleep 1
    done
    claimed=$WINEPREFIX
    [ -z "$waited" ] || echo "$session_name: $WINEPREFIX is free: going on" >&2
}

# Drops this script's record, if it still holds the prefix.
release_wine_prefix()
{
    record="$WINEPREFIX.session"
    (
        flock 9
        if [ -f "$record" ] && read -r holder start rest <"$record" && [ "$holder" = "$$" ]; then
            rm -f "$record"
        fi
    ) 9>"$record.lock"
}

# Makes the prefix afresh as a copy of the build's pristine prefix, which is
# made once (with the settings cmake/wine-run gives every prefix) and again
# when Wine changes. Wine only reads the programs and libraries of the
# system folders, so a copy links those (a gigabyte) to the pristine ones
# and copies the rest: a second instead of the half minute that making a
# prefix takes.
make_fresh_prefix()
{
    pristine="$PWD/$build/wine-pristine"
    (
        flock 9
        version=$(wine --version)
        if [ "$(cat "$pristine/.pristine" 2>/dev/null)" != "$version" ]; then
            echo "$session_name: making a pristine Wine prefix ($pristine), once" >&2
            rm -rf "$pristine"
            WINEPREFIX="$pristine" cmake/wine-run cmd /c exit </dev/null >/dev/null 2>&1
            WINEPREFIX="$pristine" wineserver -w
            echo "$version" >"$pristine/.pristine"
        fi
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX/drive_c/windows"
        tar -C "$pristine" --exclude=./.pristine --exclude=./drive_c/windows/system32 \
            --exclude=./drive_c/windows/syswow64 -cf - . |
            tar -C "$WINEPREFIX" -xpf -
        for folder in system32 syswow64; do
            [ ! -d "$pristine/drive_c/windows/$folder" ] ||
                cp -al "$pristine/drive_c/windows/$folder" "$WINEPREFIX/drive_c/windows/"
        done
    ) 9>"$pristine.copy.lock"
}

# The prefixes of own sessions whose scripts were ended before they could
# remove them: their processes ended, the folders removed.
remove_abandoned_prefixes()
{
    for record in "$PWD/$build/wine-runs/"*.session; do
        [ -f "$record" ] && ! record_is_live "$record" || continue
        (
            WINEPREFIX=${record%.session}
            stop_wine_prefix
            rm -rf "$WINEPREFIX" "$record" "$record.lock"
        )
    done
}

stop_wine_session()
{
    if [ -n "$opened" ]; then
        stop_wine_prefix || true
    fi
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    if [ -n "$own_prefix" ]; then
        rm -rf "$own_prefix" "$own_prefix.session" "$own_prefix.session.lock"
    elif [ -n "$claimed" ]; then
        release_wine_prefix
    fi
}

# What is set up before the session opens, undone when the script exits.
prepare_wine_session()
{
    xvfb=""
    opened=""
    claimed=""
    own_prefix=""
    # The script's command line, less the shell that runs it.
    session_name=$(tr '\0' ' ' <"/proc/$$/cmdline" | sed 's/ *$//; s|^[^ ]*sh ||; s|^-c ||')
    export WINEPREFIX
    trap stop_wine_session EXIT
    trap 'exit 130' INT TERM
}

# Opens the session in $WINEPREFIX, held by this script.
open_wine_session()
{
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
    # A server that an ended session left, then the prefix made or brought
    # up to date (by the runner) by a server of its own, which ends with it.
    opened=yes
    stop_wine_prefix
    cmake/wine-run cmd /c exit </dev/null >/dev/null 2>&1
    stop_wine_prefix
    wineserver -p
    start_wine_services
}

start_world_session()
{
    WINEPREFIX=$1
    shift
    prepare_wine_session
    claim_wine_prefix
    open_wine_session "$@"
}

start_wine_session()
{
    start_world_session "$PWD/$build/wineprefix" "$@"
}

start_fresh_world_session()
{
    WINEPREFIX=$1
    shift
    prepare_wine_session
    claim_wine_prefix
    make_fresh_prefix
    open_wine_session "$@"
}

start_own_wine_session()
{
    WINEPREFIX="$PWD/$build/wine-runs/$$"
    prepare_wine_session
    remove_abandoned_prefixes
    claim_wine_prefix
    own_prefix=$WINEPREFIX
    make_fresh_prefix
    open_wine_session "$@"
}
