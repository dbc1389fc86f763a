# Sourced by the Wine runners: velkast_wine_prefix makes the prefix that
# WINEPREFIX names, once (serialised with a lock when tests run in parallel),
# and starts its server, kept alive, so that program starts stay quick.
velkast_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.velkast-ready" ]; then
        mkdir -p "$(dirname "$WINEPREFIX")"
        (
            flock 9
            if [ ! -f "$WINEPREFIX/.velkast-ready" ]; then
                wineboot -i >/dev/null 2>&1 </dev/null || exit 1
                # Without a window manager, every dialog end waits for the
                # window manager; unmanaged windows do not.
                wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
                wineserver -w
                touch "$WINEPREFIX/.velkast-ready"
            fi
        ) 9>"$WINEPREFIX.lock" || { echo "wine-prefix: could not make $WINEPREFIX" >&2; return 1; }
    fi
    wineserver -p >/dev/null 2>&1 </dev/null || true
    return 0
}
