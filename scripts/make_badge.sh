#!/usr/bin/env bash
# Draws the 90 x 22 badge that invites the user to the maker's QQ group: an
# orange rounded button with a "+" and the words 加入QQ群, on a transparent
# ground. Needs ImageMagick and the WenQuanYi Micro Hei font.
#
#     scripts/make_badge.sh app/badge.png
set -euo pipefail
out="${1:-app/badge.png}"
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
[ -f "$font" ] || { echo "missing $font (package fonts-wqy-microhei)" >&2; exit 1; }
convert -size 90x22 gradient:'#FF9A2E-#E8590C' \
    \( -size 90x22 xc:black -fill white -draw 'roundrectangle 0,0 89,21 5,5' \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill white -draw 'circle 12,11 12,4' \
    -fill '#E8590C' -draw 'rectangle 11,7 13,15' -draw 'rectangle 8,10 16,12' \
    -font "$font" -pointsize 12 -fill white -annotate +24+15.5 '加入QQ群' \
    -depth 8 -define png:color-type=6 -strip "$out"
