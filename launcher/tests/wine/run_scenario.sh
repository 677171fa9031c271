#!/usr/bin/env bash
# Runs one end-to-end scenario of Install.exe under Wine and checks what the fixtures recorded.
# Usage: run_scenario.sh WINE_RUN PREFIX BIN_DIR WORK_DIR SCENARIO
#   WINE_RUN  cmake/wine-run.sh; PREFIX its Wine prefix, whose server is already running
#   BIN_DIR   the folder with Install.exe and the fixture programs
#   WORK_DIR  scenarios get their own folder under it, made afresh
# E2E_INSTALL_EXE, when set, names the Install.exe to run in place of the one in BIN_DIR.
# Scenarios whose name starts with measure_ check only that the run worked and print
# measure.NAME=VALUE lines for the benchmark.
set -euo pipefail

wine_run=$1
prefix=$2
bin_dir=$3
work_dir=$4
scenario=$5

manager_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\CEAPPMGR.EXE'
missing_manager_text='Can not find ActiveSync. Please reinstall ActiveSync and than run this installation again.'
path_too_long_text='The installation path is too long. Please run this installation again from a shorter folder path.'
# Every wait below is bounded by these, in seconds; a run with a hold takes a minute by itself.
ready_timeout=30
case $scenario in
    *hold*) install_timeout=110 ;;
    *) install_timeout=60 ;;
esac

dir=$work_dir/$scenario
rm -rf "$dir"
mkdir -p "$dir/manager"
cp "$bin_dir/stub_manager.exe" "$dir/manager/CEAPPMGR.EXE"
background_pids=()
failures=0

# The Windows form of a Unix path, through the drive that Wine maps to /.
windows_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

wine_quietly() {
    "$wine_run" "$prefix" "$@" </dev/null >/dev/null 2>&1
}

stop_background() {
    touch "$dir/stop"
    local pid waited=0
    for pid in "${background_pids[@]}"; do
        while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 100 ]; do
            sleep 0.1
            waited=$((waited + 1))
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    background_pids=()
}
trap stop_background EXIT
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

# Passes when LOW <= VALUE <= HIGH; every figure in milliseconds.
expect_between() {
    local what=$1 actual=$2 low=$3 high=$4
    if [ -n "$actual" ] && [ "$actual" -ge "$low" ] && [ "$actual" -le "$high" ]; then
        echo "ok: $what: $actual ms (expected $low to $high)"
    else
        fail "$what: got [$actual] ms, expected $low to $high"
    fi
}

wait_for_record() {
    local file=$1 key=$2 waited=0
    while [ -z "$(value "$file" "$key")" ]; do
        if [ "$waited" -ge $((ready_timeout * 10)) ]; then
            echo "no $key in $file after ${ready_timeout}s"
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
}

register_manager() {
    wine_quietly reg add "$manager_key" /ve /d "$1" /f
}

remove_manager_key() {
    wine_quietly reg delete "$manager_key" /f || true
}

# A key with no default value at all, not even an empty one: adding a key gives it an empty one.
register_key_without_default() {
    remove_manager_key
    wine_quietly reg add "$manager_key" /f
    wine_quietly reg delete "$manager_key" /ve /f
    if ! "$wine_run" "$prefix" reg query "$manager_key" /ve </dev/null 2>/dev/null |
        grep -qF '(value not set)'; then
        echo "the key still has a default value"
        exit 1
    fi
}

# Opens a setup window with TITLE whose record is NAME.record, and waits until it is shown.
open_window() {
    local title=$1 name=$2
    "$wine_run" "$prefix" "$bin_dir/setup_window.exe" "$title" "$(windows_path "$dir/$name.record")" \
        "$(windows_path "$dir/stop")" $(((install_timeout + ready_timeout) * 1000)) \
        </dev/null >/dev/null 2>&1 &
    background_pids+=($!)
    wait_for_record "$dir/$name.record" window.ready_ms
}

start_watcher() {
    "$wine_run" "$prefix" "$bin_dir/message_box_watcher.exe" "$(windows_path "$dir/box.record")" \
        "$(windows_path "$dir/stop")" $(((install_timeout + ready_timeout) * 1000)) \
        </dev/null >/dev/null 2>&1 &
    background_pids+=($!)
    wait_for_record "$dir/box.record" watcher.ready_ms
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
        timeout $((install_timeout + 30)) "$wine_run" "$prefix" "$bin_dir/timed_start.exe" \
        "$(windows_path "$dir/run.record")" $((install_timeout * 1000)) \
        "$(windows_path "$dir/$launcher")" "$@" </dev/null >/dev/null 2>"$dir/wine.log" ||
        fail "the run of $launcher could not be completed"
    expect_equal "launcher timed out" "$(value "$dir/run.record" run.timed_out)" no
    expect_equal "launcher exit code" "$(value "$dir/run.record" run.exit_code)" 0
}

manager_path() {
    windows_path "$dir/manager/CEAPPMGR.EXE"
}

# The usual stage: the stub manager registered, a setup window with TITLE open (its record is
# NAME.record) and the message-box watcher looking.
set_up_run() {
    register_manager "$(manager_path)"
    open_window "$1" "$2"
    start_watcher
}

expect_no_box() {
    expect_equal "message boxes shown" "$(count "$dir/box.record" box.seen_ms)" 0
}

expect_one_box() {
    local text=$1
    expect_equal "message boxes shown" "$(count "$dir/box.record" box.seen_ms)" 1
    expect_equal "box class" "$(value "$dir/box.record" box.class)" "#32770"
    expect_equal "box text" "$(value "$dir/box.record" box.text)" "$text"
    expect_equal "box owner" "$(value "$dir/box.record" box.owner)" none
    # The launcher may end before the watcher's next look has seen the box go.
    wait_for_record "$dir/box.record" box.dismissed
    expect_equal "box dismissed by OK" "$(value "$dir/box.record" box.dismissed)" yes
}

expect_manager_not_started() {
    [ -f "$dir/manager.record" ] && fail "the manager was started: $(cat "$dir/manager.record")"
    return 0
}

expect_window_untouched() {
    expect_equal "times window $1 was minimised" "$(count "$dir/$1.record" window.minimised_ms)" 0
}

# The window was minimised once and restored once, the restore at or after AFTER_MS.
expect_window_minimised_and_restored() {
    local name=$1 after_ms=$2
    expect_equal "times window $name was minimised" \
        "$(count "$dir/$name.record" window.minimised_ms)" 1
    expect_equal "times window $name was restored" \
        "$(count "$dir/$name.record" window.restored_ms)" 1
    local restored
    restored=$(value "$dir/$name.record" window.restored_ms)
    expect_between "window $name restored after the given moment" "$((restored - after_ms))" \
        0 $((install_timeout * 1000))
}

# The manager saw each title in STATE (absent, open or minimised) at its start and its exit.
expect_manager_saw() {
    local title=$1 state=$2 moment
    for moment in at_start at_exit; do
        expect_equal "manager $moment: $title" \
            "$(value "$dir/manager.record" "manager.$moment.$title")" "$state"
    done
}

# Milliseconds from the manager's exit to the launcher's.
launcher_end_after_manager_exit() {
    echo $(($(value "$dir/run.record" run.exited_ms) - $(value "$dir/manager.record" manager.exiting_ms)))
}

# With no manager to be found in the registry: the box, nothing started, the window untouched.
run_without_registered_manager() {
    open_window "Corvane Field Software" corvane
    start_watcher
    run_launcher PWFieldCAB.ini
    expect_one_box "$missing_manager_text"
    expect_manager_not_started
    expect_window_untouched corvane
}

scenario_registry_key_missing() {
    remove_manager_key
    run_without_registered_manager
}

scenario_default_value_missing() {
    register_key_without_default
    run_without_registered_manager
}

# The first title holds only for the three INI files, so this one ends without a hold.
scenario_normal_run() {
    set_up_run "Corvane Field Software" corvane
    MANAGER_RUN_MS=2000 MANAGER_EXIT_CODE=3 run_launcher ProductCAB.ini
    expect_equal "manager command line" "$(value "$dir/manager.record" manager.command_line)" \
        "$(manager_path) \"$(windows_path "$dir")\\ProductCAB.ini\""
    expect_manager_saw "Corvane Field Software" minimised
    expect_manager_saw "Plotwise Field" absent
    expect_window_minimised_and_restored corvane "$(value "$dir/manager.record" manager.exiting_ms)"
    expect_between "launcher end after the manager's exit" "$(launcher_end_after_manager_exit)" \
        0 8000
    expect_no_box
}

# A manager that itself ends with 259, the code that also reads while it runs, still ends the
# wait.
scenario_manager_exit_code_259() {
    set_up_run "Corvane Field Software" corvane
    MANAGER_RUN_MS=2000 MANAGER_EXIT_CODE=259 run_launcher ProductCAB.ini
    expect_window_minimised_and_restored corvane "$(value "$dir/manager.record" manager.exiting_ms)"
    expect_between "launcher end after the manager's exit" "$(launcher_end_after_manager_exit)" \
        0 8000
    expect_no_box
}

scenario_empty_argument() {
    set_up_run "Tervalo Field" tervalo
    run_launcher
    expect_equal "manager command line" "$(value "$dir/manager.record" manager.command_line)" \
        "$(manager_path)"
    expect_manager_saw "Tervalo Field" minimised
    expect_window_minimised_and_restored tervalo "$(value "$dir/manager.record" manager.exiting_ms)"
    expect_between "launcher end after the manager's exit" "$(launcher_end_after_manager_exit)" \
        0 8000
    expect_no_box
}

# Only the first title found is minimised; found under the second title, SurveyingCAB.ini holds
# nothing.
scenario_first_title_found_with_another_open() {
    register_manager "$(manager_path)"
    open_window "Orvida Toolbox" orvida
    open_window "Plotwise Field" plotwise
    start_watcher
    run_launcher SurveyingCAB.ini
    expect_manager_saw "Plotwise Field" minimised
    expect_manager_saw "Orvida Toolbox" open
    expect_window_minimised_and_restored plotwise \
        "$(value "$dir/manager.record" manager.exiting_ms)"
    expect_window_untouched orvida
    expect_between "launcher end after the manager's exit" "$(launcher_end_after_manager_exit)" \
        0 8000
    expect_no_box
}

# The hold counts from the manager's start: with a 12 s manager the launcher ends about 60 s
# after that start, and well before 60 s after the manager's exit.
scenario_hold_from_manager_start() {
    set_up_run "Corvane Field Software" corvane
    MANAGER_RUN_MS=12000 run_launcher pwFieldCab.INI
    local created ended
    created=$(value "$dir/manager.record" manager.created_ms)
    ended=$(value "$dir/run.record" run.exited_ms)
    expect_between "launcher end after the manager's start" "$((ended - created))" 58000 68000
    expect_between "launcher end after the manager's exit" "$(launcher_end_after_manager_exit)" \
        40000 57000
    expect_window_minimised_and_restored corvane "$(value "$dir/manager.record" manager.exiting_ms)"
    expect_no_box
}

scenario_unstartable_manager() {
    register_manager "$(windows_path "$dir/absent")\\CEAPPMGR.EXE"
    open_window "Corvane Field Software" corvane
    start_watcher
    run_launcher PWFieldCAB.ini
    expect_one_box "$missing_manager_text"
    expect_manager_not_started
    # Restored before the box, and no hold after it.
    expect_window_minimised_and_restored corvane "$(value "$dir/corvane.record" window.ready_ms)"
    expect_between "box shown after the restore" \
        $(($(value "$dir/box.record" box.seen_ms) - $(value "$dir/corvane.record" window.restored_ms))) \
        0 30000
    expect_between "launcher end after the box was seen" \
        $(($(value "$dir/run.record" run.exited_ms) - $(value "$dir/box.record" box.seen_ms))) \
        0 10000
}

# The folder is the one that holds the launcher, whatever the launcher and the folders above it
# are called.
scenario_renamed_launcher() {
    set_up_run "Plotwise Field" plotwise
    mkdir -p "$dir/Install.exe files"
    LAUNCHER="Install.exe files/MyInstall.exe" run_launcher ProductCAB.ini
    expect_equal "manager command line" "$(value "$dir/manager.record" manager.command_line)" \
        "$(manager_path) \"$(windows_path "$dir/Install.exe files")\\ProductCAB.ini\""
    expect_window_minimised_and_restored plotwise \
        "$(value "$dir/manager.record" manager.exiting_ms)"
    expect_no_box
}

# The manager registered as VALUE under a folder with a blank, and a decoy where a search at the
# blanks would look first: the registered file runs, never the decoy, and it gets the command line
# with the value exactly as registered.
run_manager_under_blank() {
    local value=$1
    mkdir -p "$dir/Active Sync"
    cp "$bin_dir/stub_manager.exe" "$dir/Active Sync/CEAPPMGR.EXE"
    cp "$bin_dir/stub_manager.exe" "$dir/Active.exe"
    register_manager "$value"
    open_window "Plotwise Field" plotwise
    start_watcher
    run_launcher ProductCAB.ini
    local module
    module=$(value "$dir/manager.record" manager.module)
    expect_equal "program started" "${module,,}" "$(windows_path "$dir/Active Sync/CEAPPMGR.EXE" | tr '[:upper:]' '[:lower:]')"
    expect_equal "manager command line" "$(value "$dir/manager.record" manager.command_line)" \
        "$value \"$(windows_path "$dir")\\ProductCAB.ini\""
    expect_no_box
}

scenario_manager_under_blank() {
    run_manager_under_blank "$(windows_path "$dir/Active Sync/CEAPPMGR.EXE")"
}

scenario_manager_path_quoted() {
    run_manager_under_blank "\"$(windows_path "$dir/Active Sync/CEAPPMGR.EXE")\""
}

scenario_manager_path_without_extension() {
    run_manager_under_blank "$(windows_path "$dir/Active Sync/CEAPPMGR")"
}

scenario_command_line_too_long() {
    set_up_run "Plotwise Field" plotwise
    run_launcher "$(printf 'a%.0s' {1..250}).ini"
    expect_one_box "$path_too_long_text"
    expect_manager_not_started
    expect_window_minimised_and_restored plotwise "$(value "$dir/plotwise.record" window.ready_ms)"
}

# A kit folder, an INI file and a manager folder named in Cyrillic, which the prefix's ANSI code
# page (1252) cannot spell: the manager gets every letter of the INI file's path, and finds the
# file there. Wine reads file names and arguments as UTF-8 under this locale.
scenario_kit_folder_in_cyrillic() {
    export LC_ALL=C.UTF-8
    local kit=$dir/Комплект manager=$dir/Менеджер/CEAPPMGR.EXE
    mkdir -p "$kit" "$(dirname "$manager")"
    cp "$bin_dir/stub_manager.exe" "$manager"
    : >"$kit/Данные.ini"
    register_manager "$(windows_path "$manager")"
    start_watcher
    LAUNCHER=Комплект/Install.exe run_launcher Данные.ini
    expect_no_box
    expect_equal "the manager's ANSI code page" \
        "$(value "$dir/manager.record" manager.ansi_code_page)" 1252
    expect_equal "program started" "$(value "$dir/manager.record" manager.module)" \
        "$(windows_path "$manager")"
    expect_equal "manager command line" "$(value "$dir/manager.record" manager.command_line)" \
        "$(windows_path "$manager") \"$(windows_path "$kit")\\Данные.ini\""
    expect_equal "the INI file named exists" "$(value "$dir/manager.record" manager.ini_exists)" yes
}

# The image's own calls, in order, from Wine's relay log of a run: "DLL.Function(arguments)" for
# each call whose return address lies inside Install.exe as Wine loaded it.
image_calls() {
    local log=$1 image=$2 base offset size
    base=$(sed -n 's/.*Loaded L".*\\Install\.exe" at \([0-9A-Fa-f]*\):.*/\1/p' "$log" | head -n 1)
    offset=$(od -An -tu4 -j 60 -N 4 "$image" | tr -d ' ')
    # SizeOfImage, at the same place in the optional header of 32-bit and 64-bit images.
    size=$(od -An -tu4 -j $((offset + 24 + 56)) -N 4 "$image" | tr -d ' ')
    [ -n "$base" ] && [ -n "$size" ] || return 0
    local call address
    sed -n 's/^[0-9a-f]*:Call \([A-Za-z0-9_.]*([^)]*)\).* ret=\([0-9a-f]*\)$/\2 \1/p' "$log" |
        while read -r address call; do
            if ((0x$address >= 0x$base && 0x$address < 0x$base + size)); then
                echo "$call"
            fi
        done
}

# Before its first registry, window, message-box or process call, where a system DLL may load
# another DLL on demand, Install.exe limits the DLL search to the system folder. Wine's relay
# channel logs every call it makes, in order; the log is kept to calls from Install.exe itself.
scenario_dll_search_restricted_first() {
    local debug_key='HKCU\Software\Wine\Debug'
    wine_quietly reg delete "$debug_key" /v RelayFromExclude /f || true
    wine_quietly reg add "$debug_key" /v RelayFromInclude /d Install.exe /f
    register_manager "$(manager_path)"
    WINE_CHANNELS=+relay,+loaddll run_launcher ProductCAB.ini
    image_calls "$dir/wine.log" "$dir/Install.exe" >"$dir/image_calls.record"
    local first_guarded restricting_line restricting
    first_guarded=$(grep -nE '\.(Reg[A-Za-z]*|FindWindow[AW]?|ShowWindow|MessageBox[AW]?|CreateProcess[AW]?)\(' \
        "$dir/image_calls.record" | head -n 1)
    restricting_line=$(grep -n '\.SetDefaultDllDirectories(' "$dir/image_calls.record" | head -n 1)
    restricting=${restricting_line#*:}
    expect_equal "the search restricted" "${restricting#*.}" "SetDefaultDllDirectories(00000800)"
    grep -qE '^[0-9a-f]+:Ret  [A-Za-z0-9_]+\.SetDefaultDllDirectories\(\) retval=0*1 ' "$dir/wine.log" ||
        fail "SetDefaultDllDirectories did not succeed"
    [ -n "$first_guarded" ] || fail "no registry, window or process call of Install.exe in the log"
    if [ -n "$restricting" ] && [ -n "$first_guarded" ] &&
        [ "${restricting_line%%:*}" -lt "${first_guarded%%:*}" ]; then
        echo "ok: restricted before the first guarded call, ${first_guarded#*:}"
    else
        fail "the first guarded call, ${first_guarded#*:}, comes before the search is restricted"
    fi
    expect_equal "manager command line" "$(value "$dir/manager.record" manager.command_line)" \
        "$(manager_path) \"$(windows_path "$dir")\\ProductCAB.ini\""
}

# A full 60 s hold after a 1 s manager: the launcher's processor time over the whole run, and
# how far its end lies from the hold's end, the manager's start plus 60 s.
scenario_measure_hold() {
    set_up_run "Corvane Field Software" corvane
    MANAGER_RUN_MS=1000 run_launcher PWFieldCAB.ini
    local created ended
    created=$(value "$dir/manager.record" manager.created_ms)
    ended=$(value "$dir/run.record" run.exited_ms)
    echo "measure.hold_cpu_ms=$(value "$dir/run.record" run.cpu_ms)"
    echo "measure.hold_sampled_cpu_ms=$(value "$dir/run.record" run.sampled_cpu_ms)"
    echo "measure.hold_end_offset_ms=$((ended - created - 60000))"
    echo "measure.hold_total_ms=$((ended - $(value "$dir/run.record" run.created_ms)))"
}

# Found under the second title, PWFieldCAB.ini holds nothing. MANAGER_RUN_MS from the caller
# (3 s unless given) lets a series of runs place the manager's exit at different moments
# between the launcher's looks.
scenario_measure_no_hold() {
    set_up_run "Plotwise Field" plotwise
    MANAGER_RUN_MS=${MANAGER_RUN_MS:-3000} run_launcher PWFieldCAB.ini
    echo "measure.no_hold_end_after_exit_ms=$(launcher_end_after_manager_exit)"
    echo "measure.no_hold_cpu_ms=$(value "$dir/run.record" run.cpu_ms)"
}

# The floors under those processor times: a program that only starts, calls into the same
# system libraries once and ends, run the same way beside the same setup window; and the same
# program sleeping 60 s in one call before it ends, about as long as the launcher's hold run.
measure_floor() {
    set_up_run "Corvane Field Software" corvane
    cp "$bin_dir/startup_baseline.exe" "$dir/"
    LAUNCHER=startup_baseline.exe run_launcher "$1"
    echo "measure.$2=$(value "$dir/run.record" run.cpu_ms)"
}

scenario_measure_startup_floor() {
    measure_floor 0 startup_floor_cpu_ms
}

scenario_measure_hold_floor() {
    measure_floor 60000 hold_floor_cpu_ms
}

# What build.sh shows: one install without a hold, told as it happened.
scenario_demo() {
    set_up_run "Corvane Field Software" corvane
    MANAGER_RUN_MS=2000 run_launcher ProductCAB.ini >/dev/null
    local start=$(value "$dir/run.record" run.created_ms)
    local at
    at() { printf '%6d ms  ' $(($1 - start)); }
    echo "$(at "$start")Install.exe ProductCAB.ini started"
    echo "$(at "$(value "$dir/corvane.record" window.minimised_ms)")setup window \"Corvane Field Software\" minimised"
    echo "$(at "$(value "$dir/manager.record" manager.created_ms)")Application Manager started: $(value "$dir/manager.record" manager.command_line)"
    echo "$(at "$(value "$dir/manager.record" manager.exiting_ms)")Application Manager exited (it saw the setup window $(value "$dir/manager.record" "manager.at_start.Corvane Field Software"))"
    echo "$(at "$(value "$dir/corvane.record" window.restored_ms)")setup window restored"
    echo "$(at "$(value "$dir/run.record" run.exited_ms)")Install.exe ended with exit code $(value "$dir/run.record" run.exit_code), no hold (ProductCAB.ini has none)"
    [ "$(count "$dir/box.record" box.seen_ms)" -eq 0 ] || fail "a message box was shown"
}

if ! declare -F "scenario_$scenario" >/dev/null; then
    echo "no scenario $scenario"
    exit 2
fi
"scenario_$scenario"
stop_background
if [ "$scenario" != demo ] || [ "$failures" -ne 0 ]; then
    for record in "$dir"/*.record; do
        echo "--- $(basename "$record")"
        cat "$record"
    done
fi
[ "$failures" -eq 0 ]
