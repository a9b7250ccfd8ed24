#!/usr/bin/env bash
# Builds examples/ as another program would and runs it:
#   scripts/example.sh installed PREFIX   against the package installed in
#                                         PREFIX (find_package); also every
#                                         installed public header compiled on
#                                         its own, and the example built
#                                         through pkg-config
#   scripts/example.sh subdirectory       with this source tree built inside
#                                         it (add_subdirectory)
# Each run checks the frame the example wrote: the clear colour around the
# quad, and the image's four quadrants in their places.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

case $mode in
  installed)
    prefix=$(realpath "$2")
    cmake -S examples -B "$out" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" ;;
  subdirectory)
    cmake -S examples -B "$out" -G Ninja -DVALMERE_SOURCE_DIR="$PWD" ;;
  *)
    echo "usage: $0 installed PREFIX | subdirectory" >&2
    exit 2 ;;
esac
cmake --build "$out" -j2
ctest --test-dir "$out" --output-on-failure

check_frame() {
  # The system's Python, which has PIL (python3-pil).
  /usr/bin/python3 - "$1" <<'PY'
import sys
from PIL import Image
frame = Image.open(sys.argv[1]).convert("RGB")
assert frame.size == (320, 240), frame.size
assert frame.getpixel((2, 2)) == (24, 24, 40), frame.getpixel((2, 2))
quadrants = {"red": (200, 40, 40), "green": (40, 160, 60), "blue": (40, 70, 200), "yellow": (230, 200, 40)}
centres = {}
for name, colour in quadrants.items():
    points = [(x, y) for y in range(240) for x in range(320)
              if sum(abs(a - b) for a, b in zip(frame.getpixel((x, y)), colour)) < 40]
    assert len(points) > 2000, (name, len(points))
    centres[name] = (sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points))
c = centres
assert c["red"][0] < c["green"][0] and c["blue"][0] < c["yellow"][0], c
assert c["red"][1] < c["blue"][1] and c["green"][1] < c["yellow"][1], c
print(sys.argv[1] + ": the quad shows the image's four quadrants in their places")
PY
}
check_frame "$out/textured_quad.png"

if [ "$mode" = installed ]; then
  include="$prefix/include/valmere"
  while IFS= read -r header; do
    echo "#include \"$header\"" | c++ -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Werror -I"$include" -x c++ - ||
      { echo "example: installed $header does not compile on its own" >&2; exit 1; }
  done < <(cd "$include" && find . -name '*.h' -printf '%P\n' | sort)
  echo "every installed header compiles on its own"
  export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
  # shellcheck disable=SC2046
  c++ -std=c++20 examples/TexturedQuad.cpp -o "$out/textured_quad_pc" $(pkg-config --cflags --libs valmere)
  "$out/textured_quad_pc" examples/quadrants.png "$out/pkg-config.png"
  check_frame "$out/pkg-config.png"
fi
