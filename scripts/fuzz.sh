#!/usr/bin/env bash
# Long fuzz runs: scripts/fuzz.sh [TARGET...] [--minutes N] [--jobs N]
#
# Builds the fuzz preset (build-fuzz/), then runs each target (all of them
# when none is named; a name may be given with or without its fuzz_ prefix,
# e.g. load_surface or image_png) for N minutes (default 5) on N processes
# (default 1) with its corpus (fuzz/corpus/<target>/; for image_any its own
# folder fuzz/corpus/any and the readers' folders) and its dictionary
# (fuzz/dictionaries/<target>.dict, when there is one; all the readers' for
# image_any). The run keeps going past a crash, a timeout (20 s) or an
# out-of-memory (libFuzzer's default 2 GB); each leaves its input in
# fuzz/crashes/ and the command that replays it in fuzz/crashes/replay.txt.
# New inputs that reach new edges are merged into the corpus folder (small
# ones first, by libFuzzer's -merge=1). The last lines give, per target, the
# executions, the coverage and features reached, the corpus size and the
# crashes.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=5
jobs=1
targets=()
while (($#)); do
  case "$1" in
    --minutes) minutes="$2"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) targets+=("${1#fuzz_}"); shift ;;
  esac
done

readers=(bmp dib ppm dds jpg png tga)
if ((${#targets[@]} == 0)); then
  targets=(load_surface load_volume create_texture filter_texture draw_text dds_roundtrip)
  for reader in "${readers[@]}" any; do targets+=("image_$reader"); done
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target "${targets[@]/#/fuzz_}"

mkdir -p fuzz/crashes
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
summary=()
for target in "${targets[@]}"; do
  binary="build-fuzz/bin/fuzz_$target"
  case "$target" in
    image_any) corpora=(fuzz/corpus/any "${readers[@]/#/fuzz/corpus/}") ;;
    image_*) corpora=("fuzz/corpus/${target#image_}") ;;
    *) corpora=("fuzz/corpus/$target") ;;
  esac
  mkdir -p "${corpora[@]}" "$work/$target"
  options=(-fork="$jobs" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -timeout=20
           -max_total_time=$((minutes * 60)) -artifact_prefix="fuzz/crashes/$target-")
  dictionary="fuzz/dictionaries/$target.dict"
  if [[ "$target" == image_any ]]; then
    dictionary="$work/image_any.dict"
    cat fuzz/dictionaries/image_*.dict >"$dictionary"
  fi
  [[ -f "$dictionary" ]] && options+=(-dict="$dictionary")
  echo "== $target: $minutes min on $jobs process(es)"
  touch "$work/$target.start"
  # New inputs go to the scratch folder (the first), the corpus is read.
  "$binary" "${options[@]}" "$work/$target" "${corpora[@]}" 2>&1 | tee "$work/$target.log" |
    grep --line-buffered -E '^#[0-9]+: cov|^==[0-9]+==|SUMMARY|fuzz check failed' || true
  # Only inputs that reach new edges join (hit counts aside), so the
  # committed corpus stays small; nothing already there is dropped.
  "$binary" -merge=1 -use_counters=0 "${corpora[0]}" "$work/$target" >"$work/$target.merge.log" 2>&1 || true
  crashes=()
  while IFS= read -r artifact; do
    crashes+=("${artifact#fuzz/crashes/}")
    echo "$binary $artifact" >>fuzz/crashes/replay.txt
  done < <(find fuzz/crashes -name "$target-*" -newer "$work/$target.start" | sort)
  last=$(grep -E '^#[0-9]+: cov' "$work/$target.log" | tail -1)
  runs=$(sed -E 's/^#([0-9]+):.*/\1/' <<<"$last")
  cov=$(sed -E 's/.* cov: ([0-9]+).*/\1/' <<<"$last")
  ft=$(sed -E 's/.* ft: ([0-9]+).*/\1/' <<<"$last")
  files=$(find "${corpora[@]}" -type f | wc -l)
  summary+=("fuzz_$target: ${runs:-0} executions, cov ${cov:-?}, ft ${ft:-?}, corpus $files files, ${#crashes[@]} crashes${crashes:+ (fuzz/crashes/: ${crashes[*]})}")
done
echo
printf '%s\n' "${summary[@]}"
