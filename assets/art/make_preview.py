# A mock-up of the box window built from the rendered pictures (for checking the art;
# not shipped).  Usage: make_preview.py ARTDIR [BANNER.png]
import os
import sys

from PIL import Image, ImageDraw, ImageFont

ART = sys.argv[1] if len(sys.argv) > 1 else "."
BANNER = sys.argv[2] if len(sys.argv) > 2 else ""
SANS_R = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"
SANS_B = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"


def load(name):
    return Image.open(os.path.join(ART, name)).convert("RGBA")


win = load("background.png").resize((980, 939), Image.BICUBIC)
d = ImageDraw.Draw(win)
d.rectangle([13, 123, 13 + 952 - 1, 123 + 800 - 1], fill="#2D2F32")

if BANNER and os.path.exists(BANNER):
    win.alpha_composite(Image.open(BANNER).convert("RGBA"), (85, 17))

head = ImageFont.truetype(SANS_B, 13, index=2)
d.text((712, 100), "新区开区时间", font=head, fill="#85766C")
d.text((854, 100), "进入游戏", font=head, fill="#85766C")
win.alpha_composite(load("refresh.png"), (31, 103))
win.alpha_composite(load("close.png"), (956, 8))
win.alpha_composite(load("minimise.png"), (934, 8))

plate = load("row-plate.png").resize((945, 36), Image.BICUBIC)
badge = Image.open(os.path.join(ART, "badge.gif"))
badge.seek(0)
badge = badge.convert("RGBA").resize((50, 24), Image.BICUBIC)
row_font = ImageFont.truetype(SANS_R, 15, index=2)
rows = [("赤焰一区", "全新版本 · 烈焰焚城 · 万人同服", "今日19:00火爆开启", "hot", "normal"),
        ("赤焰二区", "科尔维萨 · 经典复古 · 装备全靠打", "明日14:00准时开放", "normal", "hot"),
        ("赤焰三区", "跨服战场 · 沙城争霸 · 福利送不停", "06月12日20:00开启", "pressed", "pressed")]
for i, (name, intro, when, eg, ws) in enumerate(rows):
    ox, oy = 13, 123 + 40 * i
    win.alpha_composite(plate, (ox + 3, oy + 2))
    win.alpha_composite(badge, (ox + 15, oy + 6))
    for x, text, colour in ((84, name, "#FEF3D8"), (293, intro, "#FFC13D"), (690, when, "#F63515")):
        d.text((ox + x, oy + 11 + 10), text, font=row_font, fill=colour, anchor="lm")
    win.alpha_composite(load(f"enter-game-{eg}.png"), (ox + 832, oy + 9))
    site = load(f"web-site-{ws}.png")
    win.alpha_composite(site, (ox + 232 + (74 - site.width) // 2, oy + 10 + (25 - site.height) // 2))

win.convert("RGB").save(os.path.join(ART, "preview.png"), optimize=True)
