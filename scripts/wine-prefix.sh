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
    velkast_wine_fonts || return 1
    wineserver -p >/dev/null 2>&1 </dev/null || true
    return 0
}

# The dialogs ask for "ＭＳ Ｐゴシック" (copy dialog) and "MS UI Gothic" (wait
# dialog), which Wine lacks. Its default stand-ins are wider, and the copy
# dialog's labels wrap; IPA P Gothic (fonts-ipafont-gothic), proportional like
# both, makes every text fit its control. Done once per prefix, also for
# prefixes made before this step existed. The value names are full-width
# Japanese: the caller runs under a UTF-8 locale (wine-run.sh, demo.sh).
velkast_wine_fonts() {
    [ -f "$WINEPREFIX/.velkast-fonts" ] && return 0
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.velkast-fonts" ]; then
            key='HKCU\Software\Wine\Fonts\Replacements'
            for face in 'ＭＳ Ｐゴシック' 'MS UI Gothic'; do
                wine reg add "$key" /v "$face" /d 'IPAPGothic' /f >/dev/null 2>&1 </dev/null || exit 1
            done
            touch "$WINEPREFIX/.velkast-fonts"
        fi
    ) 9>"$WINEPREFIX.lock" || { echo "wine-prefix: could not set the fonts of $WINEPREFIX" >&2; return 1; }
}
