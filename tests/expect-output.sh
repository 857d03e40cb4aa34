#!/usr/bin/env bash
# Runs a command, shows what it printed, and passes only when it ended with
# STATUS and its whole output (standard output and error together, final line
# break dropped) matches REGEX, an extended regular expression: ctest's own
# output expressions would ignore the status.
# Usage: expect-output.sh STATUS REGEX COMMAND [ARGUMENT...]
status=$1 pattern=$2
shift 2
output=$("$@" 2>&1)
got=$?
printf '%s\n' "$output"
[ "$got" -eq "$status" ] || { echo "expected status $status, got $got"; exit 1; }
[[ $output =~ $pattern ]] || { echo "the output does not match: $pattern"; exit 1; }
