#!/usr/bin/env bash
# Fails when a source file includes a header from a layer above its own.
# The CMake links say which library may link which; this says the same of the
# #include lines, which the links alone do not catch (a header-only use of a
# higher layer links fine and still bends the design).
#
# Layers, bottom to top (a folder may include its own layer and any below):
#   platform/base < platform/gfx, platform/fs < platform/host < platform/win < platform/controls
#   < toolkit
#   < skin/data < skin/paint < skin/state < skin/frame, skin/controls
#   < skin/subclass < app < tools
# skin/frame and skin/controls are peers: neither includes the other; so are
# platform/gfx and platform/fs (paths of the platform on this host).
# skin/paint/pixels (the window-free pixel arithmetic) sits just above
# platform/gfx. skin/data and skin/paint build without any window system, so
# from the toolkit they may use only the window-free component base.
#
#   scripts/check-layers.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# Sets Rank (peers share one; -1 outside the layers) and Layer (the folder
# that names the layer, which tells peers apart) for a path. No subshells: the
# check reads every include of the tree.
classify() {
  Rank=-1 Layer=
  case $1 in
    platform/base/*) Rank=0 Layer=platform/base ;;
    platform/gfx/*) Rank=1 Layer=platform/gfx ;;
    platform/fs/*) Rank=1 Layer=platform/fs ;;
    skin/paint/pixels/*) Rank=2 Layer=skin/paint/pixels ;;
    platform/host/*) Rank=3 Layer=platform/host ;;
    platform/win/*) Rank=4 Layer=platform/win ;;
    platform/controls/*) Rank=5 Layer=platform/controls ;;
    toolkit/*) Rank=6 Layer=toolkit ;;
    skin/data/*) Rank=7 Layer=skin/data ;;
    skin/paint/*) Rank=8 Layer=skin/paint ;;
    skin/state/*) Rank=9 Layer=skin/state ;;
    skin/frame/*) Rank=10 Layer=skin/frame ;;
    skin/controls/*) Rank=10 Layer=skin/controls ;;
    skin/subclass/*) Rank=11 Layer=skin/subclass ;;
    app/*) Rank=12 Layer=app ;;
    tools/*) Rank=13 Layer=tools ;;
  esac
}

bad=0
while IFS= read -r file; do
  classify "$file"
  from=$Rank fromLayer=$Layer
  [ "$from" -ge 0 ] || continue
  while IFS= read -r inc; do
    [ -n "$inc" ] || continue
    classify "$inc"
    to=$Rank toLayer=$Layer
    [ "$to" -ge 0 ] || continue
    why=""
    if [ "$to" -gt "$from" ]; then
      why="includes the higher layer $toLayer"
    elif [ "$to" -eq "$from" ] && [ "$toLayer" != "$fromLayer" ]; then
      why="includes its peer $toLayer"
    elif [[ $fromLayer == skin/data || $fromLayer == skin/paint ]] &&
      [[ $toLayer == toolkit ]] && [[ $inc != toolkit/Component.h ]]; then
      why="is window-free but includes $inc"
    fi
    if [ -n "$why" ]; then
      echo "$file $why ($inc)" >&2
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find platform toolkit skin app tools -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

if [ "$bad" -ne 0 ]; then
  echo "layering check failed: a lower folder includes a higher one" >&2
  exit 1
fi
echo "layering check: every include points down or across its own layer"
