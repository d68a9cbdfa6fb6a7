#!/usr/bin/env bash
# Renders all artwork of the Tandrel box into this folder, from scratch and
# deterministically (every random number comes from a fixed seed).
#
# Debian 12 packages used:
#   python3, python3-numpy, python3-pil   drawing (numpy + Pillow)
#   fonts-noto-cjk                        Noto Sans CJK SC Bold: captions of the buttons and the refresh control
#   fonts-arphic-ukai                     AR PL UKai: the brush character on the icon and the header emblem
#   fonts-dejavu-core                     DejaVu Sans Condensed Bold: the letters of the NEW! badge
#   imagemagick                           (optional) identify, to check the rendered files at the end
#
# Output: background.png row-plate.png refresh.png close.png minimise.png badge.gif
#         enter-game-{normal,pressed,hot}.png web-site-{normal,pressed,hot}.png,
#         the same drawn twice as large (NAME@2x.png, background@2x.jpg; the badge is large already),
#         icon.png icon-128.png icon-48.png, and preview.png (a mock-up of the window; not shipped).
set -euo pipefail
cd "$(dirname "$0")"
PY=/usr/bin/python3
export PYTHONDONTWRITEBYTECODE=1

for f in /usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc /usr/share/fonts/truetype/arphic/ukai.ttc \
         /usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf; do
  [ -f "$f" ] || { echo "missing font $f (install fonts-noto-cjk fonts-arphic-ukai fonts-dejavu-core)" >&2; exit 1; }
done
$PY -c 'import numpy, PIL' 2>/dev/null || { echo "install python3-numpy python3-pil" >&2; exit 1; }

$PY make_small.py .
$PY make_small.py . 2
$PY make_badge.py .
$PY make_icon.py .
$PY make_background.py .
$PY make_background.py . 2
banner=../demo/banner.png
$PY make_preview.py . "$( [ -f "$banner" ] && echo "$banner" )"

if command -v identify >/dev/null 2>&1; then
  identify -format '%f %wx%h %[channels] %T\n' background.png row-plate.png refresh.png close.png minimise.png \
    enter-game-normal.png enter-game-pressed.png enter-game-hot.png \
    web-site-normal.png web-site-pressed.png web-site-hot.png icon.png icon-128.png icon-48.png
  echo "badge.gif: $(identify -format '%wx%h/%T ' badge.gif)"
fi
