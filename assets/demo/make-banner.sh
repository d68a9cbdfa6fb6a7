#!/usr/bin/env bash
# Renders the demo site's 800 x 70 banner (banner.png) with ImageMagick and the
# Noto CJK fonts from Debian's packages. The rendered file is committed.
set -euo pipefail
cd "$(dirname "$0")"
serif=/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc
convert -size 800x70 radial-gradient:'#5a1a08'-'#120605' -gravity center \
  \( -size 800x70 gradient:'#00000000'-'#000000a0' \) -compose over -composite \
  -font "$serif" -pointsize 34 -fill '#3a1204' -annotate +2+2 '赤焰 · 科尔维萨' \
  -fill '#f2c14e' -stroke '#7a3b0a' -strokewidth 1 -annotate +0+0 '赤焰 · 科尔维萨' \
  -stroke none -pointsize 12 -fill '#e8b36a' -gravity southeast -annotate +14+6 'CORVESSA  DEMO' \
  -depth 8 -strip banner.png
