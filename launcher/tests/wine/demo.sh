#!/usr/bin/env bash
# What ./build.sh shows: one install without a hold under Wine, told as it happened, each step at
# its time from the launcher's start. The story also goes to WORK_DIR/demo/narrative.txt; the
# demo fails unless it holds: no message box, each fact recorded as told, each moment in order.
# Usage: demo.sh WINE_RUN BIN_DIR WORK_DIR   (as in scenario_steps.sh, whose steps it uses)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=scenario_steps.sh
source "$(dirname "$0")/scenario_steps.sh" "$1" "$2" "$3"

begin_scenario demo
set_up_run "Corvane Field Software" corvane
MANAGER_RUN_MS=2000 run_launcher ProductCAB.ini
expect_no_box
expect_equal "manager command line" "$(value "$dir/manager.record" manager.command_line)" \
    "$(manager_path) \"$(windows_path "$dir")\\ProductCAB.ini\""
expect_equal "the window the manager saw" \
    "$(value "$dir/manager.record" "manager.at_start.Corvane Field Software")" minimised
previous=0
for moment in run:run.created_ms corvane:window.minimised_ms manager:manager.created_ms \
    manager:manager.exiting_ms corvane:window.restored_ms run:run.exited_ms; do
    moment_ms=$(value "$dir/${moment%%:*}.record" "${moment#*:}")
    [[ $moment_ms =~ ^[0-9]+$ ]] && [ "$moment_ms" -ge "$previous" ] && previous=$moment_ms ||
        fail "${moment#*:}: [$moment_ms], missing or before the moment told before it ($previous)"
done

start=$(value "$dir/run.record" run.created_ms)
# The moment MS, as the time since the launcher started.
at() {
    printf '%6d ms  ' $(($1 - start))
}
{
    echo "$(at "$start")Install.exe ProductCAB.ini started"
    echo "$(at "$(value "$dir/corvane.record" window.minimised_ms)")setup window \"Corvane Field Software\" minimised"
    echo "$(at "$(value "$dir/manager.record" manager.created_ms)")Application Manager started: $(value "$dir/manager.record" manager.command_line)"
    echo "$(at "$(value "$dir/manager.record" manager.exiting_ms)")Application Manager exited (it saw the setup window $(value "$dir/manager.record" "manager.at_start.Corvane Field Software"))"
    echo "$(at "$(value "$dir/corvane.record" window.restored_ms)")setup window restored"
    echo "$(at "$(value "$dir/run.record" run.exited_ms)")Install.exe ended with exit code $(value "$dir/run.record" run.exit_code), no hold (ProductCAB.ini has none)"
} | tee "$dir/narrative.txt"
end_scenario
