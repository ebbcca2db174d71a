#!/usr/bin/env bash
# Prints the bundled sample photos of notes, cleaned up in black and white, with the command-line
# tool: print-samples.sh CLI [OUTPUT]. OUTPUT is sample-sheets.pdf in the current directory unless
# given. Says where it wrote the sheets.
set -euo pipefail

samples="$(cd "$(dirname "$0")/../resources/samples" && pwd)"
cli=$1
output=${2:-sample-sheets.pdf}

"$cli" print --type bw "$samples"/*.jpg -o "$output"
echo "The sample sheets are in $(realpath "$output")"
