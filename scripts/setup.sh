# Sourced by the project's scripts: velkast_setup installs what the builds and
# tests need on a Debian machine, where it is missing, and generates the
# Japanese locale under which Wine uses code page 932.

# The compiler, its sanitizer and fuzzer runtime and the formatter come from
# one LLVM release together; the presets and the format check name it too.
VELKAST_LLVM=14
VELKAST_PACKAGES="cmake ninja-build clang-$VELKAST_LLVM libclang-rt-$VELKAST_LLVM-dev clang-format-$VELKAST_LLVM
    g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth locales fonts-ipafont-gothic googletest imagemagick
    osslsigncode openssl unzip"

velkast_setup() {
    missing=""
    for package in $VELKAST_PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing="$missing $package"
        fi
    done
    if [ -n "$missing" ]; then
        echo "setup: installing$missing"
        sudo_cmd=""
        [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
        $sudo_cmd apt-get update -qq || return 1
        DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends $missing \
            >/dev/null || return 1
    fi
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        echo "setup: generating the ja_JP.UTF-8 locale"
        sudo_cmd=""
        [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
        $sudo_cmd sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen || return 1
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
        $sudo_cmd locale-gen >/dev/null || return 1
    fi
    return 0
}

# Starts Xvfb on a free display when there is no display; velkast_stop_display
# stops the one started here, by its pid.
velkast_start_display() {
    VELKAST_XVFB_PID=""
    if [ -n "${DISPLAY:-}" ]; then
        return 0
    fi
    for number in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        VELKAST_XVFB_PID=$!
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$number" ] && break
            sleep 0.1
        done
        if kill -0 "$VELKAST_XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$number"
            return 0
        fi
        VELKAST_XVFB_PID=""
    done
    echo "setup: could not start Xvfb" >&2
    return 1
}

velkast_stop_display() {
    if [ -n "${VELKAST_XVFB_PID:-}" ]; then
        kill "$VELKAST_XVFB_PID" 2>/dev/null
        wait "$VELKAST_XVFB_PID" 2>/dev/null
        VELKAST_XVFB_PID=""
    fi
}
