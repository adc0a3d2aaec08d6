#!/usr/bin/env bash
# Writes about.jpg, the About box's 124 x 112 picture: the sun rising behind two green
# hills, with a small cross on the far one. Drawn with ImageMagick; the output is
# committed, so run this again only when the picture changes:
#
#   resources/make-about-picture.sh [output.jpg]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/about.jpg}

# -strip keeps dates and profiles out of the file, so the same drawing gives the same bytes.
convert -size 124x112 gradient:'#9cc7ec-#fbd9a0' \
  -fill '#fff4c4' -draw 'circle 62,74 62,44' \
  -fill '#ffd45a' -draw 'circle 62,74 62,52' \
  -stroke '#ffe9a0' -strokewidth 2 \
  -draw 'line 62,38 62,26' -draw 'line 36,50 27,42' -draw 'line 88,50 97,42' \
  -stroke none \
  -fill '#6f9f4a' -draw 'path "M 0,86 Q 30,62 70,80 T 124,72 L 124,112 L 0,112 Z"' \
  -fill '#3f7a34' -draw 'path "M 0,100 Q 50,80 124,98 L 124,112 L 0,112 Z"' \
  -fill '#2a3f6e' -draw 'rectangle 21,57 23,77' -draw 'rectangle 17,61 27,63' \
  -strip -quality 88 -sampling-factor 1x1 "$out"
