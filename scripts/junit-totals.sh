#!/usr/bin/env bash
# Prints the totals of CTest's JUnit result files as "PASSED FAILED SKIPPED", counted as CTest's own
# summary counts them. CTest marks a test "notrun" both when it skipped itself (SKIP_RETURN_CODE,
# SKIP_REGULAR_EXPRESSION) and when it could not start (a failed fixture, a missing program): only
# the first is skipped, the second failed. Disabled tests are not counted.
# Usage: junit-totals.sh FILE...
set -euo pipefail
if [ $# -eq 0 ]; then
    echo "Usage: $0 FILE..." >&2
    exit 2
fi

# The number of test cases of FILE that match CONDITION.
count() {
    xmllint --xpath "count(/testsuite/testcase[$2])" "$1"
}

skipped_itself='@status="notrun" and starts-with(skipped/@message, "SKIP_")'
passed=0
failed=0
skipped=0
for file in "$@"; do
    run=$(count "$file" '@status="run"')
    skips=$(count "$file" "$skipped_itself")
    failures=$(count "$file" "@status!=\"run\" and @status!=\"disabled\" and not($skipped_itself)")
    passed=$((passed + run))
    skipped=$((skipped + skips))
    failed=$((failed + failures))
done
echo "$passed $failed $skipped"
