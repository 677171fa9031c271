#!/usr/bin/env bash
# Runs one end-to-end scenario of Install.exe under Wine and checks what the fixtures recorded.
# Usage: run_scenario.sh WINE_RUN BIN_DIR WORK_DIR SCENARIO   (the first three as in
#        scenario_steps.sh, whose steps it uses)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=scenario_steps.sh
source "$(dirname "$0")/scenario_steps.sh" "$1" "$2" "$3"
scenario=$4

missing_manager_text='Can not find ActiveSync. Please reinstall ActiveSync and than run this installation again.'
path_too_long_text='The installation path is too long. Please run this installation again from a shorter folder path.'

# Passes when LOW <= VALUE <= HIGH; every figure in milliseconds.
expect_between() {
    local what=$1 actual=$2 low=$3 high=$4
    if [ -n "$actual" ] && [ "$actual" -ge "$low" ] && [ "$actual" -le "$high" ]; then
        echo "ok: $what: $actual ms (expected $low to $high)"
    else
        fail "$what: got [$actual] ms, expected $low to $high"
    fi
}

remove_manager_key() {
    wine_quietly reg delete "$manager_key" /f || true
}

# A key with no default value at all, not even an empty one: adding a key gives it an empty one.
register_key_without_default() {
    remove_manager_key
    wine_quietly reg add "$manager_key" /f
    wine_quietly reg delete "$manager_key" /ve /f
    "$wine_run" reg query "$manager_key" /ve </dev/null 2>/dev/null | grep -qF '(value not set)' ||
        { echo "the key still has a default value"; exit 1; }
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
    [ ! -f "$dir/manager.record" ] || fail "the manager was started: $(cat "$dir/manager.record")"
}

expect_window_untouched() {
    expect_equal "times window $1 was minimised" "$(count "$dir/$1.record" window.minimised_ms)" 0
}

# The window NAME was minimised once and restored once, the restore at or after the moment KEY of
# the record RECORD.
expect_window_minimised_and_restored() {
    local name=$1 record=$2 key=$3
    expect_equal "times window $name was minimised" \
        "$(count "$dir/$name.record" window.minimised_ms)" 1
    expect_equal "times window $name was restored" \
        "$(count "$dir/$name.record" window.restored_ms)" 1
    expect_between "window $name restored after $key" \
        "$(ms_between "$record" "$key" "$name" window.restored_ms)" 0 $((install_timeout * 1000))
}

# The end of a run without a hold: the window NAME restored after the manager's exit, the launcher
# ended soon after it, and no message box.
expect_ended_with_manager() {
    expect_window_minimised_and_restored "$1" manager manager.exiting_ms
    expect_between "launcher end after the manager's exit" \
        "$(ms_between manager manager.exiting_ms run run.exited_ms)" 0 8000
    expect_no_box
}

# The manager got the command line PROGRAM, then the INI file NAME in FOLDER, quoted, when given.
expect_command_line() {
    local expected=$1
    [ $# -eq 1 ] || expected+=" \"$(windows_path "$2")\\$3\""
    expect_equal "manager command line" "$(value "$dir/manager.record" manager.command_line)" \
        "$expected"
}

# The manager saw each title in STATE (absent, open or minimised) at its start and its exit.
expect_manager_saw() {
    local title=$1 state=$2 moment
    for moment in at_start at_exit; do
        expect_equal "manager $moment: $title" \
            "$(value "$dir/manager.record" "manager.$moment.$title")" "$state"
    done
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

# The default value missing, then binary: the bytes of the stub manager's path as UTF-16 text,
# with its terminator, which read as text would start the manager. The second run has a folder of
# its own.
scenario_default_value_missing() {
    register_key_without_default
    run_without_registered_manager
    local binary
    binary=$(manager_path | iconv -t UTF-16LE | od -An -v -tx1 | tr -d ' \n')0000
    stop_background
    dir=$dir/binary_value
    mkdir "$dir"
    wine_quietly reg add "$manager_key" /ve /t REG_BINARY /d "$binary" /f
    run_without_registered_manager
}

# The first title holds only for the three INI files, so this one ends without a hold, whatever
# the manager's exit code.
run_with_manager_exit_code() {
    set_up_run "Corvane Field Software" corvane
    MANAGER_RUN_MS=2000 MANAGER_EXIT_CODE=$1 run_launcher ProductCAB.ini
    expect_command_line "$(manager_path)" "$dir" ProductCAB.ini
    expect_manager_saw "Corvane Field Software" minimised
    expect_manager_saw "Plotwise Field" absent
    expect_ended_with_manager corvane
}

scenario_normal_run() {
    run_with_manager_exit_code 3
}

# A manager that itself ends with 259, the code that also reads while it runs, still ends the
# wait.
scenario_manager_exit_code_259() {
    run_with_manager_exit_code 259
}

scenario_empty_argument() {
    set_up_run "Tervalo Field" tervalo
    run_launcher
    expect_command_line "$(manager_path)"
    expect_manager_saw "Tervalo Field" minimised
    expect_ended_with_manager tervalo
}

# Only the first title found is minimised; found under the second title, SurveyingCAB.ini holds
# nothing.
scenario_first_title_found_with_another_open() {
    open_window "Orvida Toolbox" orvida
    set_up_run "Plotwise Field" plotwise
    run_launcher SurveyingCAB.ini
    expect_manager_saw "Plotwise Field" minimised
    expect_manager_saw "Orvida Toolbox" open
    expect_window_untouched orvida
    expect_ended_with_manager plotwise
}

# The hold counts from the manager's start: with a 12 s manager the launcher ends about 60 s
# after that start, and well before 60 s after the manager's exit.
scenario_hold_from_manager_start() {
    set_up_run "Corvane Field Software" corvane
    MANAGER_RUN_MS=12000 run_launcher pwFieldCab.INI
    expect_between "launcher end after the manager's start" \
        "$(ms_between manager manager.created_ms run run.exited_ms)" 58000 68000
    expect_between "launcher end after the manager's exit" \
        "$(ms_between manager manager.exiting_ms run run.exited_ms)" 40000 57000
    expect_window_minimised_and_restored corvane manager manager.exiting_ms
    expect_no_box
}

scenario_unstartable_manager() {
    set_up_run "Corvane Field Software" corvane "$(windows_path "$dir/absent")\\CEAPPMGR.EXE"
    run_launcher PWFieldCAB.ini
    expect_one_box "$missing_manager_text"
    expect_manager_not_started
    # Restored before the box, and no hold after it.
    expect_window_minimised_and_restored corvane corvane window.ready_ms
    expect_between "box shown after the restore" \
        "$(ms_between corvane window.restored_ms box box.seen_ms)" 0 30000
    expect_between "launcher end after the box was seen" \
        "$(ms_between box box.seen_ms run run.exited_ms)" 0 10000
}

# The folder is the one that holds the launcher, whatever the launcher and the folders above it
# are called.
scenario_renamed_launcher() {
    set_up_run "Plotwise Field" plotwise
    mkdir -p "$dir/Install.exe files"
    LAUNCHER="Install.exe files/MyInstall.exe" run_launcher ProductCAB.ini
    expect_command_line "$(manager_path)" "$dir/Install.exe files" ProductCAB.ini
    expect_window_minimised_and_restored plotwise manager manager.exiting_ms
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
    set_up_run "Plotwise Field" plotwise "$value"
    run_launcher ProductCAB.ini
    local module
    module=$(value "$dir/manager.record" manager.module)
    expect_equal "program started" "${module,,}" "$(windows_path "$dir/Active Sync/CEAPPMGR.EXE" | tr '[:upper:]' '[:lower:]')"
    expect_command_line "$value" "$dir" ProductCAB.ini
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
    expect_window_minimised_and_restored plotwise plotwise window.ready_ms
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
    expect_command_line "$(windows_path "$manager")" "$kit" Данные.ini
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
    local guarded='Reg[A-Za-z]*|FindWindow[AW]?|ShowWindow|MessageBox[AW]?|CreateProcess[AW]?' first
    grep -qE "\.($guarded)\(" "$dir/image_calls.record" ||
        fail "no registry, window or process call of Install.exe in the log"
    first=$(grep -m 1 -E "\.(SetDefaultDllDirectories|$guarded)\(" "$dir/image_calls.record")
    expect_equal "the first guarded call or restriction" "${first#*.}" \
        "SetDefaultDllDirectories(00000800)"
    grep -qE '^[0-9a-f]+:Ret  [A-Za-z0-9_]+\.SetDefaultDllDirectories\(\) retval=0*1 ' "$dir/wine.log" ||
        fail "SetDefaultDllDirectories did not succeed"
    expect_command_line "$(manager_path)" "$dir" ProductCAB.ini
}

declare -F "scenario_$scenario" >/dev/null || { echo "no scenario $scenario"; exit 2; }
begin_scenario "$scenario"
"scenario_$scenario"
end_scenario
