# Sourced by the scripts that run the program under Wine, from the project
# root, with $build set. start_wine_session [virtual] starts the wineserver
# of the build's own prefix (one server keeps every launch fast; Wine's own
# services start with it here, so that they hold no test's output pipe) and,
# with "virtual", a virtual 24-bit X screen of its own for the windows. Both
# end when the script exits.

start_wine_session()
{
    xvfb=""
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
    WINEPREFIX="$PWD/$build/wineprefix"
    export WINEPREFIX
    cmake/wine-run cmd /c exit
    wineserver -k 2>/dev/null || true
    wineserver -p
    cmake/wine-run cmd /c exit </dev/null >/dev/null 2>&1
    trap 'wineserver -k 2>/dev/null || true; [ -z "$xvfb" ] || kill $xvfb 2>/dev/null || true' EXIT
}
