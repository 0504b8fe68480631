# Shared by scripts/test and scripts/run: installs what is missing, builds,
# and prepares a private Wine prefix and a display.

TIV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TIV_BUILD=${TIV_BUILD_DIR:-$TIV_ROOT/build}
TIV_PACKAGES="g++-mingw-w64-i686 wine wine32:i386 xvfb xauth cmake ninja-build googletest python3 xdotool"
# Focus and activation are tested under a real window manager (scripts/on-screen).
TIV_PACKAGES="$TIV_PACKAGES openbox x11-utils"
# Printing is tested on a real PDF printer: CUPS with the cups-pdf queue (the
# 32-bit client library lets 32-bit Wine list it), and poppler to read pages.
TIV_PACKAGES="$TIV_PACKAGES cups printer-driver-cups-pdf libcups2:i386 poppler-utils"

tiv_install_missing() {
    local missing=()
    local pkg
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        TIV_NEED_UPDATE=1
    fi
    for pkg in $TIV_PACKAGES; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    if [ "${TIV_NEED_UPDATE:-0}" = 1 ] || [ -z "$(ls -A /var/lib/apt/lists 2>/dev/null | grep -v lock)" ]; then
        apt-get update -qq
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        || { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"; }
}

tiv_build() {
    cmake -S "$TIV_ROOT" -B "$TIV_BUILD" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TIV_ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$TIV_BUILD" "$@"
}

tiv_wineserver() {
    if command -v wineserver >/dev/null; then echo wineserver; return; fi
    local s
    for s in /usr/lib/wine/wineserver /usr/lib/wine/wineserver32 /usr/lib/wine/wineserver64; do
        [ -x "$s" ] && { echo "$s"; return; }
    done
    echo wineserver
}

# A private 32-bit prefix inside the build folder (or the one given),
# initialised once, and one persistent server detached from every pipe
# (otherwise each process waits for the server to exit, or CTest waits on a
# pipe the server inherited). A server already serving a prefix the caller
# gave is the caller's, and stays when the run ends.
tiv_start_wine() {
    export WINEPREFIX="${1:-$TIV_BUILD/wineprefix}"
    export WINEARCH=win32
    export WINEDEBUG=-all
    local server
    server=$(tiv_wineserver)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >/dev/null 2>&1 || true
        # A crashing test ends at once instead of waiting in Wine's debugger.
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /d false /f </dev/null >/dev/null 2>&1 || true
        "$server" -w </dev/null >/dev/null 2>&1 || true
    fi
    # Runs in one build folder share its server: the last to leave stops it,
    # unless it served the prefix before the first came (marked "kept").
    mkdir -p "$WINEPREFIX.users"
    (
        flock 9
        tiv_prune_wine_users
        [ -n "${1:-}" ] && [ -z "$(ls -A "$WINEPREFIX.users")" ] && tiv_server_running \
            && touch "$WINEPREFIX.users/kept"
        touch "$WINEPREFIX.users/$$"
    ) 9>"$WINEPREFIX.users.lock"
    TIV_WINESERVER=$server
    tiv_serve_prefix "$server"
}

# Starts a persistent server for $WINEPREFIX, detached from every pipe, and
# Wine's services with it.
tiv_serve_prefix() {
    local server=$1
    setsid "$server" -p </dev/null >/dev/null 2>&1 &
    # Wait for its socket: a wine process started earlier would spawn a server
    # of its own that inherits the caller's pipes.
    local i
    for i in $(seq 1 100); do
        if tiv_server_running; then
            # Start Wine's services now, with no pipes: the first program of a
            # session starts them and they keep its standard output open.
            wine wineboot </dev/null >/dev/null 2>&1 || true
            return 0
        fi
        sleep 0.1
    done
    echo "wineserver did not start for $WINEPREFIX" >&2
    return 1
}

# Whether a server serves $WINEPREFIX: its socket is there.
tiv_server_running() {
    [ -d "$WINEPREFIX" ] || return 1
    local id
    id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
    compgen -G "${TMPDIR:-/tmp}/wine*/$id/socket" >/dev/null || compgen -G "/tmp/.wine-$(id -u)/$id/socket" >/dev/null
}

# The test screen has no window manager, and Wine waits two seconds for one
# whenever a managed window hides or goes: the windows of the test programs,
# and of the program while the tests run it, are left unmanaged. Set per
# program: scripts/run gives the program its managed windows back, as it may
# show it beside a window manager.
tiv_unmanaged_test_windows() {
    local reg exe
    reg=$(mktemp --suffix=.reg)
    printf 'REGEDIT4\n' >"$reg"
    for exe in TivConfigurator.exe $(find "$TIV_BUILD/tests" -name '*.exe' -printf '%f\n' | sort -u); do
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s\\X11 Driver]\n"Managed"="N"\n' "$exe" >>"$reg"
    done
    wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" </dev/null >/dev/null 2>&1 || true
    rm -f "$reg"
}

tiv_managed_program_windows() {
    wine reg delete 'HKCU\Software\Wine\AppDefaults\TivConfigurator.exe\X11 Driver' /v Managed /f \
        </dev/null >/dev/null 2>&1 || true
}

# Stops the server unless another run still uses the prefix: killed, it
# would take that run's Wine processes down with it.
tiv_stop_wine() {
    [ -n "${TIV_WINESERVER:-}" ] || return 0
    (
        flock 9
        rm -f "$WINEPREFIX.users/$$"
        tiv_prune_wine_users
        [ -n "$(ls -A "$WINEPREFIX.users" | grep -vx kept)" ] && exit 0
        [ -e "$WINEPREFIX.users/kept" ] && { rm -f "$WINEPREFIX.users/kept"; exit 0; }
        "$TIV_WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    ) 9>"$WINEPREFIX.users.lock"
}

# Forgets the runs that have ended.
tiv_prune_wine_users() {
    local f
    for f in "$WINEPREFIX.users"/*; do
        [ -e "$f" ] && [ "$(basename "$f")" != kept ] || continue
        kill -0 "$(basename "$f")" 2>/dev/null || rm -f "$f"
    done
}

# A virtual screen when there is none, for the window tests. Xvfb picks a
# free display number itself and writes it to a file.
tiv_start_display() {
    TIV_XVFB_PID=
    [ -n "${DISPLAY:-}" ] && return 0
    local numberFile n i
    numberFile=$(mktemp)
    Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$numberFile" </dev/null >/dev/null 2>&1 &
    TIV_XVFB_PID=$!
    for i in $(seq 1 100); do
        n=$(head -n 1 "$numberFile")
        if [ -n "$n" ]; then
            rm -f "$numberFile"
            export DISPLAY=":$n"
            return 0
        fi
        sleep 0.1
    done
    rm -f "$numberFile"
    echo "Xvfb did not start" >&2
    return 1
}

tiv_stop_display() {
    [ -n "${TIV_XVFB_PID:-}" ] && kill "$TIV_XVFB_PID" 2>/dev/null || true
}

# The print spooler for a test run. Several runs may share it: each adds its
# process id to a list, and the last one to leave stops the scheduler, and
# only if a run started it (a scheduler the system started is left alone).
# The PDF queue writes each job to $HOME/PDF.
TIV_CUPS_STATE=${TMPDIR:-/tmp}/tiv-cups

tiv_cups_running() {
    lpstat -r 2>/dev/null | grep -qx "scheduler is running"
}

tiv_cups_prune() {
    local f
    for f in "$TIV_CUPS_STATE"/users/*; do
        [ -e "$f" ] || continue
        kill -0 "$(basename "$f")" 2>/dev/null || rm -f "$f"
    done
}

tiv_start_cups() {
    command -v cupsd >/dev/null || { echo "cupsd is not installed" >&2; return 1; }
    mkdir -p "$TIV_CUPS_STATE/users"
    (
        flock 9
        tiv_cups_prune
        touch "$TIV_CUPS_STATE/users/$$"
        if ! tiv_cups_running; then
            cupsd </dev/null >/dev/null 2>&1 9>&- || exit 1
            local i
            for i in $(seq 1 100); do
                tiv_cups_running && break
                sleep 0.1
            done
            cat /run/cups/cupsd.pid > "$TIV_CUPS_STATE/started" 2>/dev/null
        fi
        if ! lpstat -p PDF >/dev/null 2>&1; then
            lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null || exit 1
        fi
    ) 9>"$TIV_CUPS_STATE.lock"
}

tiv_stop_cups() {
    [ -d "$TIV_CUPS_STATE/users" ] || return 0
    (
        flock 9
        rm -f "$TIV_CUPS_STATE/users/$$"
        tiv_cups_prune
        [ -n "$(ls -A "$TIV_CUPS_STATE/users")" ] && exit 0
        [ -f "$TIV_CUPS_STATE/started" ] || exit 0
        local pid
        pid=$(cat "$TIV_CUPS_STATE/started")
        rm -f "$TIV_CUPS_STATE/started"
        # Only the scheduler this script started, and only while it is one.
        [ -n "$pid" ] && [ "$(cat /proc/"$pid"/comm 2>/dev/null)" = cupsd ] && kill "$pid"
        exit 0
    ) 9>"$TIV_CUPS_STATE.lock"
}
