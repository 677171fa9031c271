# The steps of a run of Install.exe under Wine with the end-to-end fixtures, shared by the checks
# (run_scenario.sh), the demo (demo.sh) and the timing runs (bench/launcher_measure.sh), which
# CTest runs as tests that require the fixture owning the prefix's server. Each sources it with
# the arguments they all take first:
#   source scenario_steps.sh WINE_RUN BIN_DIR WORK_DIR
#   WINE_RUN  the build's wine-run.sh; its prefix's server is already running
#   BIN_DIR   the folder with Install.exe and the fixture programs
#   WORK_DIR  each scenario gets a folder of its own under it, made afresh
# then runs each scenario between begin_scenario NAME and end_scenario.
# E2E_INSTALL_EXE, when set, names the Install.exe to run in place of the one in BIN_DIR.

wine_run=$1
bin_dir=$2
work_dir=$3

manager_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\CEAPPMGR.EXE'
# Every wait below is bounded by these, in seconds (install_timeout is set by begin_scenario).
ready_timeout=30
background_pids=()

# A folder of its own for the scenario NAME, made afresh, with the stub manager in it. A run with
# a hold takes a minute by itself, so it is given longer.
begin_scenario() {
    case $1 in
        *hold*) install_timeout=110 ;;
        *) install_timeout=60 ;;
    esac
    dir=$work_dir/$1
    rm -rf "$dir"
    mkdir -p "$dir/manager"
    cp "$bin_dir/stub_manager.exe" "$dir/manager/CEAPPMGR.EXE"
    failures=0
}

# Ends the fixtures that are still running and shows what each recorded; fails when a check did.
end_scenario() {
    stop_background
    tail -v -n +1 "$dir"/*.record 2>/dev/null || true
    [ "$failures" -eq 0 ]
}

# The Windows form of a Unix path, through the drive that Wine maps to /.
windows_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

wine_quietly() {
    "$wine_run" "$@" </dev/null >/dev/null 2>&1
}

stop_background() {
    touch "$dir/stop"
    local pid waited=0
    for pid in "${background_pids[@]}"; do
        while kill -0 "$pid" 2>/dev/null && [ $((waited++)) -lt 100 ]; do sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    background_pids=()
}
trap '[ -z "${dir:-}" ] || stop_background' EXIT
trap 'exit 1' HUP INT TERM

# Records are key=value lines; the last value of a key wins, and a missing one is empty.
value() {
    [ -f "$1" ] || return 0
    sed -n "s/^$2=//p" "$1" | tail -n 1
}

count() {
    [ -f "$1" ] || { echo 0; return; }
    grep -c "^$2=" "$1" || true
}

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

expect_equal() {
    local what=$1 actual=$2 expected=$3
    if [ "$actual" == "$expected" ]; then
        echo "ok: $what: $actual"
    else
        fail "$what: got [$actual], expected [$expected]"
    fi
}

wait_for_record() {
    local file=$1 key=$2 waited=0
    while [ -z "$(value "$file" "$key")" ]; do
        [ $((waited++)) -lt $((ready_timeout * 10)) ] ||
            { echo "no $key in $file after ${ready_timeout}s"; exit 1; }
        sleep 0.1
    done
}

register_manager() {
    wine_quietly reg add "$manager_key" /ve /d "$1" /f
}

# Starts the fixture PROGRAM with ARGUMENT..., its record RECORD, the stop file and its time limit,
# and waits until RECORD has READY_KEY.
start_fixture() {
    local program=$1 record=$2 ready_key=$3
    shift 3
    "$wine_run" "$bin_dir/$program" "$@" "$(windows_path "$record")" "$(windows_path "$dir/stop")" \
        $(((install_timeout + ready_timeout) * 1000)) </dev/null >/dev/null 2>&1 &
    background_pids+=($!)
    wait_for_record "$record" "$ready_key"
}

# Opens a setup window with TITLE whose record is NAME.record, and waits until it is shown.
open_window() {
    start_fixture setup_window.exe "$dir/$2.record" window.ready_ms "$1"
}

start_watcher() {
    start_fixture message_box_watcher.exe "$dir/box.record" watcher.ready_ms
}

# Runs the launcher (Install.exe unless LAUNCHER names another file) with the arguments given,
# the manager running MANAGER_RUN_MS and exiting with MANAGER_EXIT_CODE. Wine's debug output, of
# the channels in WINE_CHANNELS if given, goes to wine.log.
run_launcher() {
    local launcher=${LAUNCHER:-Install.exe}
    [ -f "$dir/$launcher" ] || cp "${E2E_INSTALL_EXE:-$bin_dir/Install.exe}" "$dir/$launcher"
    VEXA_WINEDEBUG=${WINE_CHANNELS:-} \
        E2E_MANAGER_RECORD=$(windows_path "$dir/manager.record") \
        E2E_MANAGER_RUN_MS=${MANAGER_RUN_MS:-1000} \
        E2E_MANAGER_EXIT_CODE=${MANAGER_EXIT_CODE:-0} \
        timeout $((install_timeout + 30)) "$wine_run" "$bin_dir/timed_start.exe" \
        "$(windows_path "$dir/run.record")" $((install_timeout * 1000)) \
        "$(windows_path "$dir/$launcher")" "$@" </dev/null >/dev/null 2>"$dir/wine.log" ||
        fail "the run of $launcher could not be completed"
    expect_equal "launcher timed out" "$(value "$dir/run.record" run.timed_out)" no
    expect_equal "launcher exit code" "$(value "$dir/run.record" run.exit_code)" 0
}

manager_path() {
    windows_path "$dir/manager/CEAPPMGR.EXE"
}

# The usual stage: the stub manager registered (or MANAGER, when given), a setup window with TITLE
# open (its record is NAME.record) and the message-box watcher looking.
set_up_run() {
    register_manager "${3:-$(manager_path)}"
    open_window "$1" "$2"
    start_watcher
}

expect_no_box() {
    expect_equal "message boxes shown" "$(count "$dir/box.record" box.seen_ms)" 0
}

# Milliseconds from the moment KEY of the record NAME to the moment KEY2 of the record NAME2.
ms_between() {
    local name=$1 key=$2 name2=$3 key2=$4
    echo $(($(value "$dir/$name2.record" "$key2") - $(value "$dir/$name.record" "$key")))
}
