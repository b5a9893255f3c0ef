#!/bin/bash
# The full hostile-input campaign: every truncation of the samples, the project's
# mutator over the samples (20,000 mutations unless a count is given) and the
# hand-made extremes, each file imported under its deadline. Prints the figures.
#
#   scripts/campaign.sh [mutations] [seed]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$KIVO_ROOT/scripts/build.sh"
"$KIVO_ROOT/scripts/wineprefix.sh"
"$KIVO_ROOT/scripts/display.sh"
export DISPLAY=$(cat "$KIVO_BUILD/display")
"$KIVO_ROOT/scripts/wineup.sh"
trap 'wineserver -k 2>/dev/null || true' EXIT
export KIVO_CAMPAIGN_MUTATIONS=${1:-20000}
export KIVO_CAMPAIGN_SEED=${2:-1}
export KIVO_CAMPAIGN_FULL=1
cd "$KIVO_BUILD/bin"
start=$(date +%s)
status=0
wine importer_tests.exe --gtest_filter='HostileImport.*:HostileInput.*' --gtest_brief=0 \
  | grep -E '^\[ *(figures|FAILED|PASSED) *\]|FAILED|Failure|deadline' || status=$?
echo "campaign of $KIVO_CAMPAIGN_MUTATIONS mutations (seed $KIVO_CAMPAIGN_SEED) took $(( $(date +%s) - start )) s"
# grep answers 1 when nothing matched; the test executable's own status is in PIPESTATUS.
exit "${PIPESTATUS[0]:-$status}"
