#!/usr/bin/env bash
# Builds every example book with the given velkaro executable. Paths inside a
# project file are relative to its folder, so each book is built from there.
set -euo pipefail
velkaro=$(realpath "$1")
cd "$(dirname "$0")/../examples"

for project in */*.ini; do
  (cd "$(dirname "$project")" && "$velkaro" "$(basename "$project")")
  echo "Built $project into $(dirname "$velkaro")/midlets"
done
