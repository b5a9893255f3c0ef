#!/bin/bash
# The full hostile-input campaign: every truncation of the samples, the project's
# mutator over the samples (20,000 mutations unless a count is given) and the
# hand-made extremes, each file imported under its deadline. Prints the figures.
#
#   scripts/campaign.sh [mutations] [seed]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
kivo_wine_session
export KIVO_CAMPAIGN_MUTATIONS=${1:-20000}
export KIVO_CAMPAIGN_SEED=${2:-1}
export KIVO_CAMPAIGN_FULL=1
cd "$KIVO_BUILD/bin"
start=$(date +%s)
set +e
wine importer_tests.exe --gtest_filter='HostileImport.*:HostileInput.*' --gtest_brief=0 \
  | grep -E '^\[ *(figures|FAILED|PASSED) *\]|FAILED|Failure|deadline'
status=${PIPESTATUS[0]}  # the test executable's own status (grep answers 1 on no match)
set -e
echo "campaign of $KIVO_CAMPAIGN_MUTATIONS mutations (seed $KIVO_CAMPAIGN_SEED) took $(( $(date +%s) - start )) s"
exit "$status"
