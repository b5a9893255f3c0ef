#!/bin/bash
# scripts/run.sh given a path that does not exist: it says so and ends with a non-zero
# code. Fault: it imported the example and passed the path on as an unknown argument.
run=$1
expect() {
  local want=$1; shift
  local out code
  out=$("$run" "$@" 2>&1)
  code=$?
  echo "run.sh $*: exit $code: $out"
  [ "$code" -ne 0 ] && [ "$out" = "$want" ]
}
expect "run.sh: no such file or folder: /no/such/board.pdf" /no/such/board.pdf --detail Full &&
  expect "run.sh: the file of --config does not exist: /no/such.cfg" --config /no/such.cfg &&
  expect "run.sh: --config needs a file" --config
