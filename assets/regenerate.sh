#!/usr/bin/env bash
# Regenerates every generated file kept under assets/: runtime/ (images, icon font, window
# icon; the build copies them into bin/) and design/ (the design references), from sources/
# and generator/. The colour look-up tables and the CJK text font are not kept here: the
# build makes them (same generator) into bin/filter and bin/font.
#
#   assets/regenerate.sh           rewrite runtime/ and design/
#   assets/regenerate.sh --check   regenerate into a scratch folder, also build every look,
#                                  and fail when a kept file differs from what is regenerated
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

python=${KALO_PYTHON:-}
if [ -z "$python" ]; then
  for candidate in /usr/bin/python3 python3; do
    if command -v "$candidate" >/dev/null 2>&1 &&
       "$candidate" -c "import fontTools, PIL, numpy" >/dev/null 2>&1; then
      python=$candidate
      break
    fi
  done
fi
if [ -z "$python" ]; then
  echo "regenerate: needs Python 3 with fontTools, Pillow and numpy (run tools/setup.sh)" >&2
  exit 1
fi
export PYTHONPATH="$here${PYTHONPATH:+:$PYTHONPATH}"
export PYTHONDONTWRITEBYTECODE=1

if [ "${1:-}" = "--check" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  "$python" -m generator committed --runtime "$scratch/runtime" --design "$scratch/design"
  "$python" -m generator luts --out "$scratch/filter"
  status=0
  for folder in runtime design; do
    if ! diff -r "$here/$folder" "$scratch/$folder"; then
      status=1
    fi
  done
  if [ "$status" -ne 0 ]; then
    echo "regenerate: the kept assets differ from their sources; run assets/regenerate.sh" >&2
  else
    echo "regenerate: kept assets match their sources"
  fi
  exit "$status"
fi

"$python" -m generator committed
echo "regenerate: wrote $here/runtime and $here/design"
