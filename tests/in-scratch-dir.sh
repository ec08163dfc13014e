#!/bin/sh
# Runs a test in an empty directory of its own, removed afterwards: the main
# window reads and writes quorvel.ini in the current directory, and no test
# may see another's file.
scratch=$(mktemp -d) || exit 1
cd "$scratch" || exit 1
"$@"
status=$?
cd / && rm -rf "$scratch"
exit $status
