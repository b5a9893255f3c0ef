#!/bin/bash
# The full hostile-input campaign: every truncation of the samples, the project's
# mutator over the samples (20,000 mutations unless a count is given), the hand-made
# extremes and the set-ups of folders, locks and settings (a read-only folder, a report
# held open or read-only, a report name linked to the board, a full disk, an immutable
# or unreadable settings file...), each file imported under
# its deadline; then the same set-ups through the real host process. Prints the figures.
#
#   scripts/campaign.sh [mutations] [seed]
#
# KIVO_CAMPAIGN_FILTER and KIVO_CAMPAIGN_HOSTED_FILTER narrow the two parts (gtest
# filters); a part whose filter runs no test fails the campaign. KIVO_CAMPAIGN_PLANT names
# a fault to plant in the reader for the in-process part (DropEveryThirdVia,
# SkipCountsEscapedBrace, ConnectionListSkipsToEnd, EveryFifthTextUnturned,
# ConnectionSwapsPins2And3): the campaign must then fail by itself.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
kivo_wine_session
export KIVO_CAMPAIGN_MUTATIONS=${1:-20000}
export KIVO_CAMPAIGN_SEED=${2:-1}
export KIVO_CAMPAIGN_FULL=1
export KIVO_CAMPAIGN_PLANT=${KIVO_CAMPAIGN_PLANT:-}
[ -z "$KIVO_CAMPAIGN_PLANT" ] || echo "planted in the reader: $KIVO_CAMPAIGN_PLANT"
cd "$KIVO_BUILD/bin"
start=$(date +%s)
set +e
# Everything goes to the log; the figures and the failures are shown as they come.
log="$KIVO_BUILD/campaign.log"
wine importer_tests.exe --gtest_filter="${KIVO_CAMPAIGN_FILTER:-HostileImport.*:HostileInput.*}" --gtest_brief=0 2>&1 \
  | tee "$log" | grep -E '^\[ *(figures|FAILED|PASSED) *\]|deadline'
status=${PIPESTATUS[0]}  # the test executable's own status (grep answers 1 on no match)
ran=$(grep -cE '^\[ RUN' "$log")
finished=$(grep -cE '^\[ +(OK|FAILED) +\] .* \([0-9]+ ms\)' "$log")
oracle=$(grep -cE '^\[ oracle' "$log")
failures=$(grep -cE ': Failure.?$' "$log")
echo "[ figures  ] in process: $ran tests ran, $failures failures, $oracle mutants that lost what they may not (all in $log)"
grep -E '^\[ oracle' "$log" | head -n 20
# A filter that matches nothing runs nothing, and proves nothing.
if [ "$ran" -eq 0 ]; then
  echo "FAILED: no test of the campaign ran in process"
  status=1
elif [ "$finished" -lt "$ran" ]; then
  echo "FAILED: $((ran - finished)) of $ran tests did not finish (the process ended inside them)"
  status=1
fi
# The set-ups through the stand-in host and the plug-in, as a user meets them.
hostedFilter='EndToEndTest.TheCommandTells*:EndToEndTest.AnInputNamed*:EndToEndTest.AReportThatCannot*:EndToEndTest.ASettingsFolder*:EndToEndTest.AConfigurationThatIsAFolder*:EndToEndTest.TheWatcher*:EndToEndTest.AReportOrDumpNameThatLinks*:EndToEndTest.ABoardCutShort*:EndToEndTest.AFullDisk*:EndToEndTest.AnUnreadableSettings*:RunWatchdog.*'
wine endtoend_tests.exe --gtest_filter="${KIVO_CAMPAIGN_HOSTED_FILTER:-$hostedFilter}" \
  > "$KIVO_BUILD/campaign-endtoend.log" 2>&1
hosted=$?
grep -E 'FAILED|Failure' "$KIVO_BUILD/campaign-endtoend.log"
hostedRan=$(grep -cE '^\[ RUN' "$KIVO_BUILD/campaign-endtoend.log")
hostedPassed=$(grep -cE '^\[ +OK' "$KIVO_BUILD/campaign-endtoend.log")
echo "[ figures  ] set-ups through the host process: $hostedPassed of $hostedRan tests passed"
if [ "$hostedRan" -eq 0 ]; then
  echo "FAILED: no set-up ran through the host process"
  hosted=1
elif [ "$hostedPassed" -lt "$hostedRan" ]; then
  hosted=1
fi
[ "$status" -eq 0 ] && status=$hosted
set -e
echo "campaign of $KIVO_CAMPAIGN_MUTATIONS mutations (seed $KIVO_CAMPAIGN_SEED) took $(( $(date +%s) - start )) s"
exit "$status"
