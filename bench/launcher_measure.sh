#!/usr/bin/env bash
# The timing runs of bench/launcher_timing.sh: Install.exe under Wine with the end-to-end fixtures,
# each run alternating with its floor, a program that does nothing of its own, so that a slow
# spell of the machine falls on both. CTest runs it as the test bench.launcher_timing_runs, whose
# fixture owns the prefix's server; the suites run it briefly, so that it keeps working. Each value
# goes to WORK_DIR/runs.log as measure.NAME=VALUE, in milliseconds; nothing here judges them.
# Usage: launcher_measure.sh WINE_RUN BIN_DIR WORK_DIR   (as in
#        launcher/tests/wine/scenario_steps.sh, whose steps it uses)
#   VEXA_TIMING_SHORT_RUNS  runs without a hold, each beside its start-up floor; 1 unless given
#   VEXA_TIMING_HOLD_RUNS   60 s holds, each beside a 60 s floor, a minute each; 0 unless given
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../launcher/tests/wine/scenario_steps.sh
source "$(dirname "$0")/../launcher/tests/wine/scenario_steps.sh" "$1" "$2" "$3"

log=$work_dir/runs.log

# One value of the run; a value that the fixtures did not record fails the run.
measure() {
    [ -n "$2" ] || fail "no value of $1"
    echo "measure.$1=$2" | tee -a "$log"
}

# A full 60 s hold after a 1 s manager: the launcher's processor time over the whole run, and
# how far its end lies from the hold's end, the manager's start plus 60 s.
measure_hold() {
    set_up_run "Corvane Field Software" corvane
    MANAGER_RUN_MS=1000 run_launcher PWFieldCAB.ini
    measure hold_cpu_ms "$(value "$dir/run.record" run.cpu_ms)"
    measure hold_sampled_cpu_ms "$(value "$dir/run.record" run.sampled_cpu_ms)"
    measure hold_end_offset_ms \
        "$(($(ms_between manager manager.created_ms run run.exited_ms) - 60000))"
    measure hold_total_ms "$(ms_between run run.created_ms run run.exited_ms)"
}

# Found under the second title, PWFieldCAB.ini holds nothing. MANAGER_RUN_MS from the caller
# places the manager's exit at a moment between the launcher's looks.
measure_no_hold() {
    set_up_run "Plotwise Field" plotwise
    run_launcher PWFieldCAB.ini
    measure no_hold_end_after_exit_ms "$(ms_between manager manager.exiting_ms run run.exited_ms)"
    measure no_hold_cpu_ms "$(value "$dir/run.record" run.cpu_ms)"
}

# The floors under those processor times: a program that only starts, calls into the same
# system libraries once and ends, run the same way beside the same setup window; and the same
# program sleeping 60 s in one call before it ends, about as long as the launcher's hold run.
# Usage: measure_floor SLEEP_MS NAME
measure_floor() {
    set_up_run "Corvane Field Software" corvane
    cp "$bin_dir/startup_baseline.exe" "$dir/"
    LAUNCHER=startup_baseline.exe run_launcher "$1"
    measure "$2" "$(value "$dir/run.record" run.cpu_ms)"
}

# Runs COMMAND... as the scenario NAME, in a folder of its own; a failed check ends the runs.
run() {
    begin_scenario "$1"
    "${@:2}"
    end_scenario
}

mkdir -p "$work_dir"
: >"$log"
# The short runs' managers run 2.3 s, 2.6 s, ... so that their exits fall at different moments of
# the launcher's 1.5 s polling: the worst case is an exit just after a look.
for ((number = 1; number <= ${VEXA_TIMING_SHORT_RUNS:-1}; number++)); do
    run startup_floor measure_floor 0 startup_floor_cpu_ms
    MANAGER_RUN_MS=$((2000 + number * 300)) run no_hold measure_no_hold
done
for ((number = 1; number <= ${VEXA_TIMING_HOLD_RUNS:-0}; number++)); do
    run hold_floor measure_floor 60000 hold_floor_cpu_ms
    run hold measure_hold
done
