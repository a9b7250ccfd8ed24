#!/usr/bin/env bash
# Builds the viewer and its data files and starts it among them (the
# README's run command).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target run
