#!/bin/sh
# Rebuilds the embedded midlet files into a scratch folder and compares them byte for byte
# with the committed ones in engine/embedded.
# Usage: build_matches.sh REPOSITORY SCRATCH_FOLDER
set -eu
rm -rf "$2"
mkdir -p "$2"
"$1/scripts/build_midlet.sh" "$2"
if ! diff -r "$1/engine/embedded" "$2"; then
  echo "FAIL the embedded midlet files differ from what scripts/build_midlet.sh builds;" \
       "run it and commit engine/embedded" >&2
  exit 1
fi
echo "embedded midlet files match their build"
