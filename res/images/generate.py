#!/usr/bin/python3
"""Draws every picture of Lumora's skin and writes them, with the resource script that lists them, into res/.

Run it with Debian's Python and Pillow (packages python3-pil, fonts-dejavu-core, fonts-wqy-zenhei):

    /usr/bin/python3 res/images/generate.py

The output is deterministic: every random choice comes from a fixed seed and no file carries a time, so a second
run writes the same bytes. The build never runs this script; it compiles the files it wrote.

The look: a night sky in indigo and teal, framed in gold. The login screen is one 1024 x 700 picture (205, JPEG)
whose shape comes from the alpha of 129; the game window is framed by nine small pieces (151-159) with a dark
30-pixel title band, and every button comes in three states (normal, pressed, hover) drawn at its own size.
"""

import io
import math
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageCms, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)

SS = 4  # supersampling factor for drawn shapes: drawn SS times larger, then averaged down

# --------------------------------------------------------------------------------------------------------------
# Colours

INK = (4, 6, 12)
GOLD_HI = (255, 236, 170)
GOLD = (226, 182, 96)
GOLD_MID = (186, 140, 62)
GOLD_DEEP = (112, 78, 30)
TEAL_HI = (150, 244, 234)
TEAL = (58, 196, 196)
TEAL_MID = (30, 120, 130)
TEAL_DEEP = (14, 62, 74)
CREAM = (240, 228, 196)
SILVER = (196, 204, 222)
CRIMSON = (206, 58, 58)

# The game window's title band, row by row (0 = the window's top edge). Everything drawn on the band (title-bar
# buttons, toolbar buttons, the window icon) takes its background from here so that it sits on it seamlessly.
BAND_HEIGHT = 30


def band_colour(y):
    if y <= 0:
        return INK
    if y == 1:
        return (62, 72, 104)  # the highlight along the top edge
    if y >= BAND_HEIGHT - 1:
        return (118, 94, 48)  # gold hairline right above the page
    if y == BAND_HEIGHT - 2:
        return (10, 13, 22)
    return mix((38, 46, 72), (19, 24, 39), (y - 2) / (BAND_HEIGHT - 5))


# The side and bottom borders of the game window, from the outside in.
BORDER = [INK, (52, 62, 92), (27, 33, 52), (20, 25, 40), (20, 25, 40), (20, 25, 40)]


# --------------------------------------------------------------------------------------------------------------
# Small tools


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def ramp(stops, t):
    """Colour at t along stops [(t0, colour0), (t1, colour1), ...], t0 < t1 < ..."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0))
    return stops[-1][1]


def rgba(colour, alpha=255):
    return tuple(colour[:3]) + (alpha,)


def vertical_gradient(size, stops):
    w, h = size
    column = Image.new("RGBA", (1, h))
    column.putdata([rgba(ramp(stops, (y + 0.5) / h)) for y in range(h)])
    return column.resize((w, h), Image.NEAREST)


def radial_gradient(size, centre, radius, stops):
    """stops along the distance from centre, 0 at the centre and 1 at radius; constant beyond."""
    # Pillow's 256 x 256 gradient reaches 255 only in its corners (181 pixels out). It is stretched so that its
    # square reaches well past the radius: everything outside the square then lies beyond the last stop too.
    half = math.ceil(radius * 1.5) + 1
    scale = 2 * half / 256
    distance = Image.new("L", size, 255)
    distance.paste(Image.radial_gradient("L").resize((2 * half, 2 * half), Image.BILINEAR),
                   (round(centre[0]) - half, round(centre[1]) - half))
    colours = [ramp(stops, v * 181.02 * scale / (255 * radius)) for v in range(256)]
    channels = [distance.point([c[i] for c in colours]) for i in range(3)]
    alpha = distance.point([(c[3] if len(c) > 3 else 255) for c in colours])
    return Image.merge("RGBA", channels + [alpha])


def noise(size, seed, blur=0.0):
    rng = random.Random(seed)
    image = Image.frombytes("L", size, bytes(rng.getrandbits(8) for _ in range(size[0] * size[1])))
    return image.filter(ImageFilter.GaussianBlur(blur)) if blur else image


def scale_alpha(mask, factor):
    return mask.point([min(255, round(v * factor)) for v in range(256)])


def over(base, source, mask=None, opacity=1.0, at=(0, 0)):
    """Composites source (a colour or an RGBA image) onto base through mask; returns the new image."""
    if isinstance(source, tuple):
        layer = Image.new("RGBA", base.size, rgba(source))
        alpha = mask if mask is not None else Image.new("L", base.size, 255)
    else:
        layer = Image.new("RGBA", base.size, (0, 0, 0, 0))
        layer.paste(source.convert("RGBA"), at)
        alpha = layer.getchannel("A")
        if mask is not None:
            alpha = ImageChops.multiply(alpha, mask)
    if opacity < 1.0:
        alpha = scale_alpha(alpha, opacity)
    layer.putalpha(alpha)
    return Image.alpha_composite(base, layer)


def glow(mask, radius, strength=1.0):
    return scale_alpha(mask.filter(ImageFilter.GaussianBlur(radius)), strength)


class Pen:
    """ImageDraw at a scale: takes logical coordinates (pixel edges) and widths."""

    def __init__(self, image, scale):
        self.draw = ImageDraw.Draw(image)
        self.s = scale

    def _box(self, box):
        x0, y0, x1, y1 = box
        s = self.s
        return [x0 * s, y0 * s, x1 * s - 1, y1 * s - 1]

    def ellipse(self, box, fill=None, outline=None, width=1):
        self.draw.ellipse(self._box(box), fill=fill, outline=outline, width=max(1, round(width * self.s)))

    def circle(self, cx, cy, r, **kw):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), **kw)

    def rect(self, box, fill=None, outline=None, width=1):
        self.draw.rectangle(self._box(box), fill=fill, outline=outline, width=max(1, round(width * self.s)))

    def rounded(self, box, radius, fill=None, outline=None, width=1):
        self.draw.rounded_rectangle(self._box(box), radius=radius * self.s, fill=fill, outline=outline,
                                    width=max(1, round(width * self.s)))

    def polygon(self, points, fill=None):
        self.draw.polygon([(x * self.s, y * self.s) for x, y in points], fill=fill)

    def line(self, points, fill, width=1):
        self.draw.line([(x * self.s, y * self.s) for x, y in points], fill=fill,
                       width=max(1, round(width * self.s)), joint="curve")
        r = width * self.s / 2  # round caps
        for x, y in (points[0], points[-1]):
            self.draw.ellipse([x * self.s - r, y * self.s - r, x * self.s + r, y * self.s + r], fill=fill)

    def arc(self, box, start, end, fill, width=1):
        self.draw.arc(self._box(box), start, end, fill=fill, width=max(1, round(width * self.s)))


def shape(size, paint, ss=SS):
    """An antialiased coverage mask of size: paint(pen) draws the shape in 255 at logical coordinates."""
    w, h = size
    big = Image.new("L", (w * ss, h * ss), 0)
    paint(Pen(big, ss))
    return big.reduce(ss)


def star_points(cx, cy, outer, inner, points=4, turn=0.0):
    result = []
    for i in range(points * 2):
        a = turn + math.pi * i / points - math.pi / 2
        r = outer if i % 2 == 0 else inner
        result.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return result


# --------------------------------------------------------------------------------------------------------------
# Type

DEJAVU = "/usr/share/fonts/truetype/dejavu/"
WQY = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
FONT_FILES = {
    "serif": (DEJAVU + "DejaVuSerif-Bold.ttf", 0),
    "cjk": (WQY, 0),
    "cjk-sharp": (WQY, 2),  # carries hand-tuned bitmaps at 12 pixels: crisp small labels
}


def font(kind, size):
    path, index = FONT_FILES[kind]
    if not os.path.exists(path):
        sys.exit(f"missing font {path}: run scripts/setup.sh")
    return ImageFont.truetype(path, size, index=index)


def text_width(text, face, tracking=0.0):
    return sum(face.getlength(ch) for ch in text) + tracking * (len(text) - 1)


def text_mask(size, centre, text, face, tracking=0.0, stroke=0, ss=1):
    """Coverage of text centred (horizontally and on its em box) at centre; face is sized for scale ss."""
    w, h = size
    mask = Image.new("L", (w * ss, h * ss), 0)
    draw = ImageDraw.Draw(mask)
    x = centre[0] * ss - text_width(text, face, tracking * ss) / 2
    y = centre[1] * ss
    for ch in text:
        draw.text((x, y), ch, font=face, fill=255, anchor="lm", stroke_width=stroke, stroke_fill=255)
        x += face.getlength(ch) + tracking * ss
    return mask.reduce(ss) if ss > 1 else mask


def label(image, centre, text, colour, shadow=None):
    """A small label drawn straight at pixel size in the 12-pixel bitmap face, so that it stays sharp; shadow is
    the colour of a copy one pixel lower, or None."""
    face = font("cjk-sharp", 12)
    cx, cy = centre
    if shadow:
        image = over(image, shadow, text_mask(image.size, (cx, cy + 1), text, face))
    return over(image, colour, text_mask(image.size, (cx, cy), text, face))


# --------------------------------------------------------------------------------------------------------------
# Storing the pictures

def srgb_profile():
    """An sRGB colour profile with a fixed date in its header (LittleCMS stamps the current time there)."""
    data = bytearray(ImageCms.ImageCmsProfile(ImageCms.createProfile("sRGB")).tobytes())
    data[24:36] = bytes([0x07, 0xE8, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0])  # 2024-01-01 00:00:00
    return bytes(data)


ICC = srgb_profile()
STORED = []  # (id, resource type, file name) in the order written


def store(image_id, role, image, kind, size=None, colours=64, resource_type="PNG", keyed=False):
    """Writes one picture as kind: rgba, rgb, palette, palette+alpha (tRNS) or jpeg; '+icc' adds the profile.
    keyed: the picture is shown on the login panel, whose window turns pure blue transparent (its colour key),
    so no visible pixel of it may come out exactly that blue."""
    if size is not None and image.size != size:
        raise AssertionError(f"{image_id} {role}: {image.size} is not {size}")
    base = kind.removesuffix("+icc")
    options = {"icc_profile": ICC} if base != kind else {}
    if base == "jpeg":
        name = f"{image_id}_{role}.jpg"
        data = encode(image.convert("RGB"), "JPEG", quality=90, subsampling=0, optimize=True)
    else:
        name = f"{image_id}_{role}.png"
        if base == "rgba":
            picture = image.convert("RGBA")
        elif base == "rgb":
            picture = image.convert("RGB")
        elif base == "palette":
            picture = image.convert("RGB").quantize(colours, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
        elif base == "palette+alpha":
            picture = image.convert("RGBA").quantize(colours, method=Image.Quantize.FASTOCTREE,
                                                     dither=Image.Dither.NONE)
        else:
            raise ValueError(kind)
        data = encode(picture, "PNG", optimize=True, **options)
        check_png(name, data, base, bool(options))
    if keyed:
        decoded = Image.open(io.BytesIO(data)).convert("RGBA")
        if any(p[:3] == (0, 0, 255) and p[3] > 0 for p in decoded.getdata()):
            raise AssertionError(f"{name} holds the login panel's colour key")
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
    STORED.append((image_id, resource_type, name))


def encode(image, fmt, **options):
    buffer = io.BytesIO()
    image.save(buffer, fmt, **options)
    return buffer.getvalue()


def check_png(name, data, base, profile):
    colour_type = data[25]
    want = {"rgba": 6, "rgb": 2, "palette": 3, "palette+alpha": 3}[base]
    chunks = set()
    at = 8
    while at < len(data):
        length = int.from_bytes(data[at:at + 4], "big")
        chunks.add(data[at + 4:at + 8])
        at += 12 + length
    if colour_type != want or (b"tRNS" in chunks) != (base == "palette+alpha") or (b"iCCP" in chunks) != profile:
        raise AssertionError(f"{name}: colour type {colour_type}, chunks {sorted(chunks)}")


def write_resource_script():
    lines = [
        "// The skin's pictures, written by images/generate.py together with the files it names: change the",
        "// script and run it again rather than editing this list. Several resources of type PNG hold JPEG data;",
        "// the decoder goes by the bytes, not by the type name.",
        "#include <windows.h>",
        "",
        "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US",
    ]
    for image_id, resource_type, name in sorted(STORED):
        lines.append(f'{image_id} {resource_type} "images/{name}"')
    with open(os.path.join(RES, "images.rc"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


STATES = ("normal", "pressed", "hover")


# --------------------------------------------------------------------------------------------------------------
# The emblem: a crescent moon holding a four-pointed star, in a ring


def emblem_mask(size, cx, cy, r, ss=SS):
    """Coverage of the crescent and the star of the emblem, radius r."""
    def crescent(pen):
        pen.circle(cx, cy, r * 0.78, fill=255)
        pen.circle(cx + r * 0.36, cy - r * 0.22, r * 0.66, fill=0)
    def sparkle(pen):
        pen.polygon(star_points(cx + r * 0.28, cy - r * 0.12, r * 0.42, r * 0.1), fill=255)
    return ImageChops.lighter(shape(size, crescent, ss), shape(size, sparkle, ss))


# --------------------------------------------------------------------------------------------------------------
# The login screen: 205 (colours) and 129 (shape)

LOGIN_SIZE = (1024, 700)
ART = (14, 16, 350, 684)        # the arched picture panel at the left: left, apex, right, bottom
ART_ARCH_RADIUS = 200           # a pointed arch: two arcs of this radius meeting at the apex
ART_SPRING = ART[1] + math.sqrt(ART_ARCH_RADIUS ** 2 - (ART_ARCH_RADIUS - (ART[2] - ART[0]) / 2) ** 2)
ART_CORNER = 26
PANEL = (298, 170, 1014, 600)   # the login panel, in front of the picture
PANEL_CORNER = 14
HEADER = (174, 216)             # the panel's title strip, top and bottom rows
PAGE = (320, 218, 874, 528)     # where the client shows the login page
RAIL = (884, 228, 1005, 586)    # the column behind the large buttons
# The large buttons over the panel: left, top, width, height. The link buttons' discs are centred LINK_DISC_Y rows
# below their tops; the Pay medallion fills its square.
LINK_DISC_Y = 21
LOGIN_BUTTONS = {"official": (903, 256, 63, 64), "forum": (935, 324, 65, 64), "custom": (897, 392, 69, 64),
                 "pay": (894, 472, 101, 101)}


def header_colour(y):
    """The login panel's title strip, row by row: the small Min and Exit pictures repeat it around them."""
    top, bottom = HEADER
    return mix((36, 44, 70), (22, 27, 45), (y - top) / (bottom - top))


def arch_outline(grow):
    """Polygon of the picture panel grown outwards by grow pixels (negative shrinks it)."""
    x0, top, x1, bottom = ART
    x0, x1, bottom = x0 - grow, x1 + grow, bottom + grow
    r = ART_ARCH_RADIUS + grow
    mid = (ART[0] + ART[2]) / 2
    left_centre = ART[0] + ART_ARCH_RADIUS   # the left arc turns around a point right of the middle
    right_centre = ART[2] - ART_ARCH_RADIUS
    points = []
    # Left arc from the spring point up to the apex.
    start = math.pi
    apex_angle = math.acos((mid - left_centre) / r)
    for i in range(41):
        a = start - (start - apex_angle) * i / 40
        points.append((left_centre + r * math.cos(a), ART_SPRING - r * math.sin(a)))
    for i in range(41):
        a = (math.pi - apex_angle) - (math.pi - apex_angle) * i / 40
        points.append((right_centre + r * math.cos(a), ART_SPRING - r * math.sin(a)))
    # Down the right side, round the bottom corners.
    corner = ART_CORNER + grow
    for cx, a0 in ((x1 - corner, 0.0), (x0 + corner, math.pi / 2)):
        for i in range(17):
            a = a0 + (math.pi / 2) * i / 16
            points.append((cx + corner * math.cos(a), bottom - corner + corner * math.sin(a)))
    return points


def panel_box(grow):
    x0, y0, x1, y1 = PANEL
    return (x0 - grow, y0 - grow, x1 + grow, y1 + grow), PANEL_CORNER + grow


def art_mask(grow, ss=SS):
    return shape(LOGIN_SIZE, lambda pen: pen.polygon(arch_outline(grow), fill=255), ss)


def panel_mask(grow, ss=SS):
    box, radius = panel_box(grow)
    return shape(LOGIN_SIZE, lambda pen: pen.rounded(box, radius, fill=255), ss)


def ring(outer, inner):
    return ImageChops.subtract(outer, inner)


def gold_frame(base, mask_at, width=3.0):
    """Dark outline, gold band and dark inner line along a shape given by mask_at(grow)."""
    outer = mask_at(0)
    line = mask_at(-1)
    gold_inner = mask_at(-1 - width)
    inner = mask_at(-2 - width)
    gold = vertical_gradient(LOGIN_SIZE, [(0.0, GOLD_HI), (0.3, GOLD), (0.7, GOLD_MID), (1.0, GOLD_DEEP)])
    base = over(base, INK, ring(outer, line))
    base = over(base, gold, ring(line, gold_inner))
    # A bright lip on the gold's inner half, so it reads as a rounded moulding.
    base = over(base, GOLD_HI, ring(line, mask_at(-1 - width * 0.4)), opacity=0.35)
    base = over(base, (12, 10, 8), ring(gold_inner, inner), opacity=0.9)
    return base


def sky(size, seed):
    """The night sky of the picture panel: gradient, aurora and stars."""
    w, h = size
    image = vertical_gradient(size, [(0.0, (5, 8, 22)), (0.22, (12, 17, 46)), (0.45, (28, 30, 80)),
                                     (0.62, (46, 58, 118)), (0.72, (44, 108, 140)), (0.80, (34, 56, 104)),
                                     (1.0, (14, 16, 38))])
    rng = random.Random(seed)

    # Aurora: wide soft ribbons, then thinner bright strands inside them.
    for colour, width, strength, base_y in ((TEAL, 70, 0.30, 150), ((70, 220, 160), 40, 0.28, 190),
                                            ((120, 110, 230), 60, 0.22, 120), (TEAL_HI, 8, 0.35, 160),
                                            ((160, 250, 200), 5, 0.30, 196)):
        ribbon = Image.new("L", size, 0)
        draw = ImageDraw.Draw(ribbon)
        phase = rng.uniform(0, math.tau)
        points = [(x, base_y + 40 * math.sin(x / 70 + phase) + 18 * math.sin(x / 23 + phase * 2) + x * 0.25)
                  for x in range(-20, w + 20, 6)]
        draw.line(points, fill=255, width=width, joint="curve")
        image = over(image, colour, glow(ribbon, width * 0.45 + 4, strength))

    # Stars: many faint ones, fewer bright ones, and a handful that sparkle.
    stars = Image.new("L", size, 0)
    draw = ImageDraw.Draw(stars)
    sparkles = []
    for _ in range(420):
        x, y = rng.uniform(0, w), rng.uniform(0, h * 0.75)
        brightness = rng.random() ** 3
        value = round(60 + 195 * brightness)
        r = 0.6 + 1.1 * brightness
        draw.ellipse([x - r, y - r, x + r, y + r], fill=value)
        if brightness > 0.82:
            sparkles.append((x, y, 3 + 6 * brightness))
    image = over(image, (220, 230, 255), stars)
    image = over(image, (170, 210, 255), glow(stars, 2.5, 1.2))
    flare = shape(size, lambda pen: [pen.polygon(star_points(x, y, r, r * 0.12), fill=255) for x, y, r in sparkles])
    image = over(image, (235, 245, 255), flare)
    return image


def moon(image, cx, cy, r):
    """A waxing crescent with its halo; the unlit part shows faintly against the sky."""
    halo = radial_gradient(image.size, (cx - r * 0.3, cy + r * 0.1), r * 4.5,
                           [(0.0, (255, 240, 200, 150)), (0.25, (230, 220, 190, 70)), (1.0, (120, 140, 200, 0))])
    image = Image.alpha_composite(image, halo)
    disc = shape(image.size, lambda pen: pen.circle(cx, cy, r, fill=255))
    shade = shape(image.size, lambda pen: pen.circle(cx + r * 0.42, cy - r * 0.28, r * 0.9, fill=255))
    lit = ImageChops.subtract(disc, shade)
    image = over(image, (70, 80, 120), disc, opacity=0.35)
    face = radial_gradient(image.size, (cx - r * 0.6, cy + r * 0.3), r * 1.4,
                           [(0.0, (255, 252, 236)), (0.6, (248, 234, 196)), (1.0, (222, 200, 160))])
    image = over(image, (255, 236, 180), glow(lit, 4, 0.9))
    return over(image, face, lit)


def ridge(rng, x0, x1, base, height, roughness, step=4):
    """A mountain skyline by midpoint displacement: a list of points from x0 to x1."""
    n = 1
    heights = [base - rng.uniform(0, height), base - rng.uniform(0, height)]
    spread = height
    while (x1 - x0) / n > step:
        spread *= roughness
        refined = []
        for a, b in zip(heights, heights[1:]):
            refined += [a, (a + b) / 2 + rng.uniform(-spread, spread)]
        heights = refined + [heights[-1]]
        n *= 2
    return [(x0 + (x1 - x0) * i / n, y) for i, y in enumerate(heights)]


def land(image, seed):
    """Far ridges, the floating island with its keep, and a sea of cloud."""
    w, h = image.size
    rng = random.Random(seed)
    for base, height, colour, rim in ((500, 70, (40, 46, 100), (90, 130, 190)),
                                      (548, 60, (26, 30, 70), (70, 100, 160))):
        skyline = ridge(rng, 0, 380, base, height, 0.55)
        hills = shape(image.size, lambda pen: pen.polygon(skyline + [(380, h), (0, h)], fill=255))
        image = over(image, colour, hills)
        top = ImageChops.subtract(hills, ImageChops.offset(hills, 0, 2))
        image = over(image, rim, top, opacity=0.6)

    # The floating island: a flat top, a jagged root hanging below, a keep with spires.
    top_y = 356
    island = [(70, top_y + 4), (96, top_y - 6), (140, top_y - 2), (200, top_y - 8), (252, top_y - 2),
              (270, top_y + 6), (254, top_y + 20), (238, top_y + 34), (222, top_y + 40), (212, top_y + 62),
              (196, top_y + 70), (186, top_y + 96), (176, top_y + 104), (166, top_y + 88), (150, top_y + 74),
              (136, top_y + 50), (116, top_y + 40), (96, top_y + 24)]
    keep = []
    towers = [(112, 40, 14, 26), (134, 70, 18, 34), (158, 112, 22, 44), (186, 84, 18, 36), (208, 54, 16, 28),
              (228, 30, 12, 22)]
    for x, height, width, roof in towers:
        keep += [("rect", (x - width / 2, top_y - height, x + width / 2, top_y + 2)),
                 ("roof", [(x - width / 2 - 3, top_y - height), (x, top_y - height - roof),
                           (x + width / 2 + 3, top_y - height)])]
    keep.append(("rect", (104, top_y - 22, 236, top_y + 2)))

    def silhouette(pen):
        pen.polygon(island, fill=255)
        for kind, geometry in keep:
            if kind == "rect":
                pen.rect(geometry, fill=255)
            else:
                pen.polygon(geometry, fill=255)
    mass = shape(image.size, silhouette)
    image = over(image, (16, 18, 44), mass)
    # Moonlight from the upper right catches the right-hand edges.
    rim = ImageChops.subtract(mass, ImageChops.offset(mass, -2, 1))
    image = over(image, (150, 200, 235), rim, opacity=0.75)
    under = shape(image.size, lambda pen: pen.polygon(island[5:] + [(96, top_y + 24)], fill=255))
    image = over(image, (60, 40, 90), ImageChops.multiply(under, noise(image.size, 11, 1.2)), opacity=0.35)
    # Lit windows.
    windows = shape(image.size, lambda pen: [
        pen.rect((x - 1.5, top_y - height * f, x + 1.5, top_y - height * f + 4), fill=255)
        for x, height, width, roof in towers for f in (0.45, 0.75) if height > 35])
    image = over(image, (255, 206, 120), glow(windows, 3, 1.4))
    image = over(image, (255, 228, 160), windows)
    # A thread of water falling from the island's rim.
    fall = Image.new("L", image.size, 0)
    ImageDraw.Draw(fall).line([(246, top_y + 22), (247, top_y + 150)], fill=255, width=2)
    fade = vertical_gradient(image.size, [(0.0, (255, 255, 255)), ((top_y + 40) / h, (255, 255, 255)),
                                          ((top_y + 150) / h, (0, 0, 0))]).getchannel("R")
    image = over(image, (170, 220, 240), ImageChops.multiply(ImageChops.lighter(fall, glow(fall, 3, 1.5)), fade),
                 opacity=0.7)
    # Two small floating rocks.
    for rx, ry, s in ((62, 300, 10), (286, 420, 7)):
        rock = shape(image.size, lambda pen: pen.polygon(
            [(rx - s, ry), (rx - s * 0.4, ry - s * 0.5), (rx + s, ry - s * 0.2), (rx + s * 0.2, ry + s * 1.3)],
            fill=255))
        image = over(image, (20, 22, 50), rock)
        image = over(image, (150, 200, 235), ImageChops.subtract(rock, ImageChops.offset(rock, -1, 1)), opacity=0.6)

    # Cloud sea: soft overlapping puffs, lit from above.
    for layer, (y0, colour, light) in enumerate(((560, (54, 56, 110), (120, 130, 200)),
                                                 (600, (40, 40, 86), (100, 104, 170)),
                                                 (640, (28, 28, 62), (80, 82, 140)))):
        puffs = Image.new("L", image.size, 0)
        draw = ImageDraw.Draw(puffs)
        for _ in range(26):
            x = rng.uniform(-40, 400)
            y = y0 + rng.uniform(-12, 12)
            rx, ry = rng.uniform(30, 70), rng.uniform(12, 24)
            draw.ellipse([x - rx, y - ry, x + rx, y + ry + 60], fill=255)
        puffs = puffs.filter(ImageFilter.GaussianBlur(6))
        image = over(image, colour, puffs)
        image = over(image, light, ImageChops.subtract(puffs, ImageChops.offset(puffs, 0, 5)), opacity=0.5)
    return image


def title(image):
    """The product's name and subtitle on the picture panel."""
    cx = (ART[0] + PANEL[0]) / 2 + 2
    size = image.size
    ss = 2
    name_face = font("serif", 44 * ss)
    letters = text_mask(size, (cx, 612), "LUMORA", name_face, tracking=5, ss=ss)
    # Shade behind the lettering so it reads over the clouds.
    shade = radial_gradient(size, (cx, 616), 150, [(0.0, (6, 8, 24, 200)), (0.6, (6, 8, 24, 110)),
                                                   (1.0, (6, 8, 24, 0))])
    shade = shade.resize((size[0], size[1]))
    squash = Image.new("RGBA", size, (0, 0, 0, 0))
    squash.paste(shade.resize((size[0], size[1] // 2)), (0, 308))
    image = Image.alpha_composite(image, squash)
    image = over(image, GOLD, glow(letters, 8, 0.8))
    outline = text_mask(size, (cx, 612), "LUMORA", name_face, tracking=5, stroke=2 * ss, ss=ss)
    image = over(image, (40, 24, 8), outline)
    gold = vertical_gradient(size, [(0.0, GOLD_HI), (580 / 700, GOLD_HI), (606 / 700, GOLD),
                                    (612 / 700, GOLD_DEEP), (616 / 700, GOLD_MID), (640 / 700, GOLD_HI),
                                    (1.0, GOLD)])
    image = over(image, gold, letters)
    # The subtitle between two thin rules.
    sub_face = font("cjk", 17 * ss)
    sub = text_mask(size, (cx, 652), "桌面登录器", sub_face, tracking=9, ss=ss)
    image = over(image, INK, glow(sub, 2, 1.5))
    image = over(image, (190, 236, 236), sub)
    half = text_width("桌面登录器", font("cjk", 17), 9) / 2
    rules = shape(size, lambda pen: [
        (pen.line([(cx - half - 46, 652), (cx - half - 12, 652)], fill=255, width=1),
         pen.line([(cx + half + 12, 652), (cx + half + 46, 652)], fill=255, width=1),
         pen.polygon(star_points(cx - half - 8, 652, 4, 1.5, 4), fill=255),
         pen.polygon(star_points(cx + half + 8, 652, 4, 1.5, 4), fill=255))])
    return over(image, GOLD, rules)


def panel_body(image):
    """The login panel: body, title strip, the frame around the page, footer and the button rail."""
    size = image.size
    inside = panel_mask(-5)
    body = vertical_gradient(size, [(0.0, (22, 27, 46)), (PANEL[3] / 700, (12, 15, 26)), (1.0, (12, 15, 26))])
    grain = noise(size, 23, 0.9).point(lambda v: 128 + (v - 128) // 10)
    body = Image.merge("RGBA", [ImageChops.add(c, grain, 1, -128) for c in body.convert("RGB").split()]
                       + [Image.new("L", size, 255)])
    image = over(image, body, inside)

    # Faint constellations over the body.
    rng = random.Random(31)
    dots = Image.new("L", size, 0)
    draw = ImageDraw.Draw(dots)
    for _ in range(160):
        x, y = rng.uniform(PANEL[0], PANEL[2]), rng.uniform(HEADER[1], PANEL[3])
        r = rng.uniform(0.4, 1.1)
        draw.ellipse([x - r, y - r, x + r, y + r], fill=rng.randrange(60, 200))
    image = over(image, (150, 190, 230), ImageChops.multiply(dots, inside), opacity=0.35)

    # Title strip: a plain vertical gradient (the Min and Exit pictures repeat it), with a gold hairline under it.
    strip = Image.new("RGBA", size, (0, 0, 0, 0))
    top, bottom = HEADER
    for y in range(top, bottom):
        ImageDraw.Draw(strip).line([(0, y), (size[0], y)], fill=rgba(header_colour(y)))
    image = over(image, strip, inside)
    hair = Image.new("L", size, 0)
    ImageDraw.Draw(hair).line([(PANEL[0], bottom), (PANEL[2], bottom)], fill=255)
    fade = ImageChops.multiply(hair, horizontal_fade(size, PANEL[0] + 8, PANEL[2] - 8, 60))
    image = over(image, GOLD_MID, fade)

    # Crest and caption at the strip's left.
    ss = 4
    crest = emblem_mask(size, 337, 203, 11)
    image = over(image, GOLD, glow(crest, 3, 0.6))
    image = over(image, GOLD_HI, crest)
    caption = text_mask(size, (391, 203), "账号登录", font("cjk", 15 * ss), tracking=2, ss=ss)
    image = over(image, INK, caption.filter(ImageFilter.GaussianBlur(1)))
    image = over(image, CREAM, caption)
    note = text_mask(size, (480, 204), "· 星海启程，光耀归来", font("cjk-sharp", 12), tracking=0)
    image = over(image, (120, 140, 170), note)

    # The page's well: recessed, edged in teal, with the emblem faint at its centre.
    x0, y0, x1, y1 = PAGE
    well = Image.new("L", size, 0)
    ImageDraw.Draw(well).rectangle([x0, y0, x1 - 1, y1 - 1], fill=255)
    inner = vertical_gradient(size, [(0.0, (8, 10, 18)), (1.0, (11, 14, 24))])
    image = over(image, inner, well)
    shadow = Image.new("L", size, 0)
    ImageDraw.Draw(shadow).rectangle([x0 - 20, y0 - 20, x1 + 20, y1 + 20], fill=255)
    ImageDraw.Draw(shadow).rectangle([x0 + 2, y0 + 4, x1 - 3, y1 - 3], fill=0)
    image = over(image, (0, 0, 0), ImageChops.multiply(shadow.filter(ImageFilter.GaussianBlur(4)), well),
                 opacity=0.9)
    edge = Image.new("L", size, 0)
    ImageDraw.Draw(edge).rectangle([x0 - 1, y0 - 1, x1, y1], outline=255)
    image = over(image, (46, 104, 112), edge)
    edge2 = Image.new("L", size, 0)
    ImageDraw.Draw(edge2).rectangle([x0 - 2, y0 - 2, x1 + 1, y1 + 1], outline=255)
    image = over(image, (4, 6, 10), edge2, opacity=0.8)
    mark = emblem_mask(size, (x0 + x1) / 2, (y0 + y1) / 2 - 8, 64)
    image = over(image, (60, 120, 140), mark, opacity=0.10)
    mark_ring = shape(size, lambda pen: pen.circle((x0 + x1) / 2, (y0 + y1) / 2 - 8, 70, outline=255, width=2))
    image = over(image, (60, 120, 140), mark_ring, opacity=0.08)

    # Footer: the customary advice on healthy play.
    for y, line in ((550, "抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。"),
                    (568, "适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。")):
        image = over(image, (96, 108, 136), text_mask(size, ((x0 + x1) / 2, y), line, font("cjk-sharp", 12)))

    # The rail behind the large buttons, with a halo where each sits.
    rx0, ry0, rx1, ry1 = RAIL
    rail = shape(size, lambda pen: pen.rounded((rx0, ry0, rx1, ry1), 10, fill=255))
    image = over(image, vertical_gradient(size, [(0.0, (16, 22, 38)), (1.0, (10, 13, 24))]), rail)
    rail_edge = ring(rail, shape(size, lambda pen: pen.rounded((rx0 + 1, ry0 + 1, rx1 - 1, ry1 - 1), 9, fill=255)))
    image = over(image, (58, 66, 96), rail_edge)
    for name, (bx, by, bw, bh) in LOGIN_BUTTONS.items():
        cy = by + (bh / 2 if name == "pay" else LINK_DISC_Y)
        r = 58 if name == "pay" else 34
        halo = radial_gradient(size, (bx + bw / 2, cy), r, [(0.0, (40, 150, 160, 90)), (1.0, (40, 150, 160, 0))])
        image = Image.alpha_composite(image, Image.composite(halo, Image.new("RGBA", size, (0, 0, 0, 0)), rail))
    return image


def horizontal_fade(size, x0, x1, ramp_width):
    w, h = size
    row = Image.new("L", (w, 1))
    row.putdata([round(255 * min(1, max(0, (x - x0) / ramp_width), max(0, (x1 - x) / ramp_width)))
                 for x in range(w)])
    return row.resize(size, Image.NEAREST)


def corner_ornaments(image):
    """Gold brackets on the login panel's corners and a jewel at the top of the arch."""
    x0, y0, x1, y1 = PANEL

    def brackets(pen):
        for cx, cy, sx, sy in ((x0, y0, 1, 1), (x1, y0, -1, 1), (x0, y1, 1, -1), (x1, y1, -1, -1)):
            pen.line([(cx + sx * 3, cy + sy * 30), (cx + sx * 3, cy + sy * 3), (cx + sx * 30, cy + sy * 3)],
                     fill=255, width=3)
            pen.polygon(star_points(cx + sx * 9, cy + sy * 9, 5, 2), fill=255)
    mask = shape(image.size, brackets)
    image = over(image, INK, glow(mask, 1.5, 1.5))
    image = over(image, vertical_gradient(image.size, [(0.0, GOLD_HI), (1.0, GOLD_MID)]), mask)
    return image


def jewel_mask(grow=0):
    cx, cy = (ART[0] + ART[2]) / 2, ART[1] + 4
    return (cx, cy), shape(LOGIN_SIZE, lambda pen: pen.polygon(
        [(cx, cy - 16 - grow), (cx + 12 + grow, cy), (cx, cy + 16 + grow), (cx - 12 - grow, cy)], fill=255))


def login_screen():
    """Returns (colour picture, outline) of the login screen."""
    size = LOGIN_SIZE
    art = sky(size, 5)
    art = moon(art, 250, 122, 34)
    art = land(art, 9)
    vignette = radial_gradient(size, (182, 360), 420, [(0.0, (0, 0, 0, 0)), (0.6, (0, 0, 0, 0)),
                                                       (1.0, (0, 0, 0, 170))])
    art = Image.alpha_composite(art, vignette)
    art = title(art)

    picture = Image.new("RGBA", size, rgba(INK))
    picture = over(picture, art, art_mask(0))
    picture = gold_frame(picture, art_mask)
    # The panel stands in front of the picture and throws a shadow on it.
    shadow = ImageChops.offset(panel_mask(2), -4, 6).filter(ImageFilter.GaussianBlur(8))
    picture = over(picture, (0, 0, 0), ImageChops.multiply(shadow, art_mask(0)), opacity=0.8)
    picture = over(picture, (20, 25, 42), panel_mask(0))
    picture = panel_body(picture)
    picture = gold_frame(picture, panel_mask)
    picture = corner_ornaments(picture)
    (jx, jy), jewel = jewel_mask()
    _, jewel_outline = jewel_mask(2)
    picture = over(picture, INK, jewel_outline)
    picture = over(picture, GOLD, jewel_outline, opacity=0.85)
    picture = over(picture, radial_gradient(size, (jx - 3, jy - 5), 18, [(0.0, TEAL_HI), (1.0, TEAL_DEEP)]), jewel)

    # The outline: everything drawn, and a soft shadow around it (the screen shows through, darkened).
    solid = ImageChops.lighter(ImageChops.lighter(art_mask(0), panel_mask(0)), jewel_outline)
    drop = scale_alpha(ImageChops.offset(solid, 0, 5).filter(ImageFilter.GaussianBlur(5)), 0.55)
    alpha = ImageChops.lighter(solid, drop)
    # Where only the shadow shows, the picture is black; inside the shape it is the drawing.
    colour = Image.composite(picture, Image.new("RGBA", size, rgba((0, 0, 0))), solid)
    return colour.convert("RGB"), alpha


def write_login_screen():
    colour, alpha = login_screen()
    # The outline's colour never shows (the client keeps only its alpha); a flat fill keeps the file small.
    outline = Image.new("RGBA", LOGIN_SIZE, rgba((18, 22, 38)))
    outline.putalpha(alpha)
    store(129, "login_outline", outline, "rgba+icc", LOGIN_SIZE)
    store(205, "login_picture", colour, "jpeg", LOGIN_SIZE, resource_type="JPG")


# --------------------------------------------------------------------------------------------------------------
# The game window's frame: nine pieces around a transparent middle (only the borders are ever drawn)


def frame_piece(size, colour_at):
    image = Image.new("RGB", size)
    image.putdata([colour_at(x, y) for y in range(size[1]) for x in range(size[0])])
    return image


def frame_colour(x_out, y_top, y_out):
    """Colour of a frame pixel from its distances to the outer left/right edge (x_out), to the top (y_top, or
    None below the band) and to the outer bottom edge (y_out, or None above the bottom band)."""
    edge = min(d for d in (x_out, y_out) if d is not None)
    if y_top is not None:  # in the title band
        if y_top == 0 or x_out == 0:
            return INK
        if y_top == 1 or x_out == 1:
            return band_colour(1)
        colour = band_colour(y_top)
        # The band darkens a little towards the window's sides so that the corners look finished.
        return mix(colour, BORDER[2], 0.5) if x_out == 2 and y_top < BAND_HEIGHT - 1 else colour
    return BORDER[min(edge, len(BORDER) - 1)]


def write_frame():
    pieces = [(151, "frame_top_left", (6, BAND_HEIGHT), lambda x, y: frame_colour(x, y, None)),
            (152, "frame_top", (2, BAND_HEIGHT), lambda x, y: frame_colour(9, y, None)),
            (153, "frame_top_right", (6, BAND_HEIGHT), lambda x, y: frame_colour(5 - x, y, None)),
            (154, "frame_left", (6, 2), lambda x, y: frame_colour(x, None, None)),
            (155, "frame_centre", (6, 2), lambda x, y: BORDER[-1]),
            (156, "frame_right", (6, 2), lambda x, y: frame_colour(5 - x, None, None)),
            (157, "frame_bottom_left", (6, 3), lambda x, y: frame_colour(x, None, 2 - y)),
            (158, "frame_bottom", (2, 3), lambda x, y: frame_colour(9, None, 2 - y)),
            (159, "frame_bottom_right", (6, 3), lambda x, y: frame_colour(5 - x, None, 2 - y))]
    for image_id, role, size, colour_at in pieces:
        store(image_id, role, frame_piece(size, colour_at), "rgb", size)


# --------------------------------------------------------------------------------------------------------------
# Glyphs: drawn in 255 on a coverage mask at logical coordinates around a centre


def glyph_globe(pen, cx, cy, k=1.0):
    pen.circle(cx, cy, 9 * k, outline=255, width=1.7 * k)
    pen.ellipse((cx - 4 * k, cy - 9 * k, cx + 4 * k, cy + 9 * k), outline=255, width=1.4 * k)
    pen.line([(cx - 9 * k, cy), (cx + 9 * k, cy)], fill=255, width=1.4 * k)
    for dy in (-4.6, 4.6):
        half = math.sqrt(81 - dy * dy) * k - 0.8 * k
        pen.line([(cx - half, cy + dy * k), (cx + half, cy + dy * k)], fill=255, width=1.2 * k)


def glyph_chat(pen, cx, cy, k=1.0):
    pen.rounded((cx - 11 * k, cy - 9 * k, cx + 4 * k, cy + 2 * k), 3.5 * k, fill=255)
    pen.polygon([(cx - 8 * k, cy + 1 * k), (cx - 9 * k, cy + 6 * k), (cx - 3 * k, cy + 1 * k)], fill=255)
    for dx in (-7, -3.5, 0):
        pen.circle(cx + dx * k, cy - 3.5 * k, 1.1 * k, fill=0)
    pen.rounded((cx - 5 * k, cy - 3.5 * k, cx + 12.5 * k, cy + 8.5 * k), 5 * k, fill=0)
    pen.rounded((cx - 3.5 * k, cy - 2 * k, cx + 11 * k, cy + 7 * k), 3.5 * k, fill=255)
    pen.polygon([(cx + 7 * k, cy + 6 * k), (cx + 9 * k, cy + 11 * k), (cx + 3 * k, cy + 6 * k)], fill=255)


def glyph_headset(pen, cx, cy, k=1.0):
    pen.arc((cx - 9 * k, cy - 10 * k, cx + 9 * k, cy + 8 * k), 180, 360, fill=255, width=2 * k)
    pen.line([(cx - 9 * k, cy - 1 * k), (cx - 9 * k, cy + 1 * k)], fill=255, width=2 * k)
    pen.line([(cx + 9 * k, cy - 1 * k), (cx + 9 * k, cy + 1 * k)], fill=255, width=2 * k)
    pen.rounded((cx - 12 * k, cy - 1 * k, cx - 5.5 * k, cy + 8 * k), 2.5 * k, fill=255)
    pen.rounded((cx + 5.5 * k, cy - 1 * k, cx + 12 * k, cy + 8 * k), 2.5 * k, fill=255)
    pen.line([(cx + 9 * k, cy + 7 * k), (cx + 7 * k, cy + 10.5 * k), (cx + 1 * k, cy + 10.5 * k)], fill=255,
             width=1.5 * k)
    pen.circle(cx - 0.5 * k, cy + 10.5 * k, 1.8 * k, fill=255)


def glyph_gem(pen, cx, cy, k=1.0):
    """Outline of a cut gem, filled; facets are added by the caller."""
    pen.polygon([(cx - 9 * k, cy - 3 * k), (cx - 5 * k, cy - 8 * k), (cx + 5 * k, cy - 8 * k),
                 (cx + 9 * k, cy - 3 * k), (cx, cy + 9 * k)], fill=255)


def sorted_box(x0, y0, x1, y1):
    return (min(x0, x1), min(y0, y1), max(x0, x1), max(y0, y1))


def glyph_gift(pen, cx, cy, k=1.0):
    pen.rect((cx - 10 * k, cy - 3 * k, cx + 10 * k, cy + 10 * k), fill=255)
    pen.rect((cx - 12 * k, cy - 8 * k, cx + 12 * k, cy - 2 * k), fill=255)
    pen.rect((cx - 1.6 * k, cy - 8 * k, cx + 1.6 * k, cy + 10 * k), fill=0)
    pen.rect((cx - 10 * k, cy - 2 * k, cx + 10 * k, cy - 1 * k), fill=0)
    for sx in (-1, 1):
        pen.ellipse(sorted_box(cx, cy - 12 * k, cx + sx * 8 * k, cy - 8 * k), outline=255, width=2 * k)


def glyph_star(pen, cx, cy, k=1.0):
    pen.polygon(star_points(cx, cy + 1 * k, 12 * k, 5 * k, 5), fill=255)


def glyph_crown(pen, cx, cy, k=1.0):
    pen.polygon([(cx - 12 * k, cy + 7 * k), (cx - 13 * k, cy - 7 * k), (cx - 6 * k, cy - 1 * k), (cx, cy - 10 * k),
                 (cx + 6 * k, cy - 1 * k), (cx + 13 * k, cy - 7 * k), (cx + 12 * k, cy + 7 * k)], fill=255)
    for dx, dy in ((-13, -8), (0, -11), (13, -8)):
        pen.circle(cx + dx * k, cy + dy * k, 2 * k, fill=255)
    pen.rect((cx - 12 * k, cy + 8.5 * k, cx + 12 * k, cy + 11 * k), fill=255)


# --------------------------------------------------------------------------------------------------------------
# State styling shared by every button

def shift(state):
    return (1, 1) if state == "pressed" else (0, 0)


def brighten(colour, state, amount=0.25, darken=0.3):
    if state == "hover":
        return mix(colour, (255, 255, 255), amount)
    if state == "pressed":
        return mix(colour, (0, 0, 0), darken)
    return colour


def gold_ring_gradient(size, state, top, bottom):
    stops = [(0.0, GOLD_HI), (0.35, GOLD), (0.75, GOLD_MID), (1.0, GOLD_DEEP)]
    stops = [(t, brighten(c, state, 0.3, 0.28)) for t, c in stops]
    h = size[1]
    return vertical_gradient(size, [(top / h + (bottom - top) / h * t, c) for t, c in stops])


# --------------------------------------------------------------------------------------------------------------
# Login layout: the round link buttons in the panel's right-hand column (transparent around them)

LINK_FACE = {"normal": [(0.0, (52, 168, 176)), (0.6, (18, 84, 98)), (1.0, (10, 44, 58))],
             "hover": [(0.0, (104, 230, 226)), (0.6, (30, 136, 146)), (1.0, (14, 70, 84))],
             "pressed": [(0.0, (26, 102, 112)), (0.6, (10, 52, 64)), (1.0, (6, 28, 38))]}


def link_button(size, text, glyph, state):
    w, h = size
    dx, dy = shift(state)
    cx, cy, r = w / 2 + dx, LINK_DISC_Y + dy, 19
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    disc = shape(size, lambda pen: pen.circle(cx, cy, r, fill=255))

    if state == "hover":
        image = over(image, TEAL_HI, glow(disc, 2.5, 1.6))
    image = over(image, (0, 0, 0), glow(ImageChops.offset(disc, 0, 1 if state == "pressed" else 2), 1.5, 0.7))
    image = over(image, gold_ring_gradient(size, state, cy - r, cy + r), disc)
    face_mask = shape(size, lambda pen: pen.circle(cx, cy, r - 3, fill=255))
    image = over(image, (8, 10, 14), face_mask)
    face = radial_gradient(size, (cx - 5, cy - 7), r * 1.35, LINK_FACE[state])
    image = over(image, face, shape(size, lambda pen: pen.circle(cx, cy, r - 3.6, fill=255)))
    if state == "pressed":  # the face sinks: a shadow under its upper rim
        rim = ImageChops.subtract(face_mask, ImageChops.offset(face_mask, 0, 3))
        image = over(image, (0, 0, 0), rim.filter(ImageFilter.GaussianBlur(1)), opacity=0.7)
    else:  # a glassy sheen on the upper half
        sheen = shape(size, lambda pen: pen.ellipse((cx - 11, cy - 14, cx + 11, cy - 2), fill=255))
        image = over(image, (255, 255, 255), ImageChops.multiply(sheen, face_mask), opacity=0.14)

    mark = shape(size, lambda pen: glyph(pen, cx, cy + 0.5, 0.85))
    mark_colour = {"normal": CREAM, "hover": (255, 255, 255), "pressed": (178, 170, 140)}[state]
    image = over(image, (4, 20, 26), glow(mark, 1, 1.5), opacity=0.8)
    if state == "hover":
        image = over(image, TEAL_HI, glow(mark, 2, 1.2))
    image = over(image, mark_colour, mark)

    return caption(image, (w / 2 + dx, 53.5 + dy), text, 13, state)


LABEL_COLOUR = {"normal": CREAM, "hover": GOLD_HI, "pressed": (176, 162, 128)}


def caption(image, centre, text, size, state, colour=None, tracking=2, outline=(6, 8, 14)):
    """A supersampled label with a dark outline, for labels that stand on the picture rather than on a plate."""
    ss = 4
    face = font("cjk", size * ss)
    letters = text_mask(image.size, centre, text, face, tracking=tracking, ss=ss)
    edge = text_mask(image.size, centre, text, face, tracking=tracking, stroke=ss * 2, ss=ss)
    bold = text_mask(image.size, centre, text, face, tracking=tracking, stroke=max(1, ss // 3), ss=ss)
    image = over(image, outline, edge, opacity=0.85)
    if state == "hover":
        image = over(image, GOLD, glow(letters, 2.5, 1.0))
    return over(image, colour or LABEL_COLOUR[state], ImageChops.lighter(letters, bold))


def write_link_buttons():
    for first, role, size, text, glyph, kind in ((136, "login_official", (63, 64), "官网", glyph_globe, "rgba"),
                                                 (139, "login_custom", (69, 64), "客服", glyph_headset, "rgba"),
                                                 (148, "login_forum", (65, 64), "论坛", glyph_chat, "rgba+icc")):
        for k, state in enumerate(STATES):
            store(first + k, f"{role}_{state}", link_button(size, text, glyph, state), kind, size, keyed=True)


# --------------------------------------------------------------------------------------------------------------
# Round medallions: the login layout's Pay button and the spare variants of it

MEDALLIONS = {
    # face stops (centre to rim), gem colours, label
    "gold": ([(0.0, (255, 214, 128)), (0.55, (198, 118, 34)), (1.0, (112, 52, 14))], (TEAL_HI, TEAL_DEEP)),
    "jade": ([(0.0, (150, 240, 200)), (0.55, (30, 140, 120)), (1.0, (10, 60, 58))], (GOLD_HI, GOLD_DEEP)),
    "violet": ([(0.0, (200, 170, 255)), (0.55, (100, 70, 190)), (1.0, (44, 26, 96))], (GOLD_HI, GOLD_DEEP)),
    "crimson": ([(0.0, (255, 160, 140)), (0.55, (180, 50, 50)), (1.0, (86, 16, 24))], (GOLD_HI, GOLD_DEEP)),
}


def medallion(logical, pixels, palette, text, glyph, state):
    """A round gold-rimmed medallion drawn for a logical square button, stored at pixels (the client stretches
    the picture back to the button, so a picture of another size is drawn already distorted the other way)."""
    w, h = logical
    face_stops, (gem_light, gem_dark) = MEDALLIONS[palette]
    dx, dy = shift(state)
    cx, cy = w / 2 + dx, h / 2 + dy
    r = min(w, h) / 2 - 4.5
    k = r / 46  # the design is drawn for a radius of 46 and scaled

    def at(paint):  # a coverage mask at the logical size, drawn at supersampled resolution
        return shape(logical, paint)

    image = Image.new("RGBA", logical, (0, 0, 0, 0))
    disc = at(lambda pen: pen.circle(cx, cy, r, fill=255))
    if state == "hover":
        image = over(image, GOLD_HI, glow(disc, 3, 1.4))
    image = over(image, (0, 0, 0), glow(ImageChops.offset(disc, 0, 1 if state == "pressed" else 3), 2, 0.75))

    # Rim: a gold bead, a dark band studded with gold, a gold inner bead.
    image = over(image, gold_ring_gradient(logical, state, cy - r, cy + r), disc)
    band = at(lambda pen: pen.circle(cx, cy, r - 2 * k, fill=255))
    image = over(image, brighten((30, 18, 10), state, 0.15), band)
    studs = at(lambda pen: [pen.circle(cx + (r - 4.5 * k) * math.cos(a), cy + (r - 4.5 * k) * math.sin(a), 1.3 * k,
                                       fill=255) for a in (math.tau * i / 24 for i in range(24))])
    image = over(image, brighten(GOLD, state, 0.3), studs)
    inner = at(lambda pen: pen.circle(cx, cy, r - 7 * k, fill=255))
    image = over(image, gold_ring_gradient(logical, state, cy - r, cy + r), inner)
    face_mask = at(lambda pen: pen.circle(cx, cy, r - 9 * k, fill=255))
    stops = [(t, brighten(c, state, 0.1, 0.32)) for t, c in face_stops]
    image = over(image, radial_gradient(logical, (cx - 10 * k, cy - 14 * k), r * 1.05, stops), face_mask)

    # Rays from the centre, faint.
    rays = at(lambda pen: [pen.polygon([(cx, cy), (cx + r * math.cos(a - 0.06), cy + r * math.sin(a - 0.06)),
                                        (cx + r * math.cos(a + 0.06), cy + r * math.sin(a + 0.06))], fill=255)
                           for a in (math.tau * i / 16 for i in range(16))])
    image = over(image, (255, 255, 255), ImageChops.multiply(rays, face_mask), opacity=0.07)

    if state == "pressed":
        rim = ImageChops.subtract(face_mask, ImageChops.offset(face_mask, 0, 5))
        image = over(image, (0, 0, 0), rim.filter(ImageFilter.GaussianBlur(2)), opacity=0.6)
    else:
        sheen = at(lambda pen: pen.ellipse((cx - 28 * k, cy - 34 * k, cx + 28 * k, cy - 6 * k), fill=255))
        image = over(image, (255, 255, 255), ImageChops.multiply(sheen, face_mask), opacity=0.16)

    # The emblem above the label.
    mark = at(lambda pen: glyph(pen, cx, cy - 15 * k, 1.05 * k))
    image = over(image, (0, 0, 0), glow(ImageChops.offset(mark, 0, 1), 1.2, 1.0), opacity=0.6)
    if glyph is glyph_gem:
        gem = [(0.0, gem_light), (1.0, gem_dark if state != "hover" else mix(gem_dark, gem_light, 0.3))]
        image = over(image, radial_gradient(logical, (cx - 3 * k, cy - 20 * k), 14 * k,
                                             [(t, brighten(c, state, 0.0)) for t, c in gem]), mark)
        facets = at(lambda pen: [pen.line([(cx - 9 * k, cy - 18 * k), (cx + 9 * k, cy - 18 * k)], fill=255,
                                          width=0.8 * k),
                                 pen.line([(cx - 3 * k, cy - 18 * k), (cx, cy - 6 * k), (cx + 3 * k, cy - 18 * k)],
                                          fill=255, width=0.8 * k)])
        image = over(image, (255, 255, 255), ImageChops.multiply(facets, mark), opacity=0.55)
    else:
        image = over(image, vertical_gradient(logical, [(0.0, brighten(gem_light, state, 0.0)),
                                                        (1.0, brighten(gem_dark, state, 0.25, 0.3))]), mark)
    if state == "hover":
        image = over(image, (255, 250, 220), glow(mark, 2.5, 0.7))

    image = caption(image, (cx, cy + 14 * k), text, round(21 * k), state, tracking=3 * k,
                    colour={"normal": (255, 250, 236), "hover": (255, 255, 255), "pressed": (214, 200, 176)}[state],
                    outline=(60, 26, 6))
    return image if logical == pixels else image.resize(pixels, Image.LANCZOS)


def write_medallions():
    for k, (state, pixels) in enumerate(zip(STATES, ((101, 101), (130, 126), (100, 100)))):
        kind = "palette+alpha" if state == "pressed" else "palette+alpha+icc"
        store(130 + k, f"login_pay_{state}", medallion((101, 101), pixels, "gold", "充值", glyph_gem, state), kind,
              pixels, colours=256, keyed=True)
    for first, palette, text, glyph in ((160, "jade", "礼包", glyph_gift), (163, "violet", "活动", glyph_star),
                                        (166, "crimson", "新服", glyph_crown)):
        for k, state in enumerate(STATES):
            store(first + k, f"medallion_{palette}_{state}", medallion((130, 126), (130, 126), palette, text, glyph,
                                                                       state), "palette+alpha", (130, 126),
                  colours=256)


# --------------------------------------------------------------------------------------------------------------
# The registration plaque (kept with the skin, not shown by the client)

def plaque(state):
    size = (102, 46)
    w, h = size
    dx, dy = shift(state)
    box = (4 + dx, 4 + dy, w - 4 + dx, h - 5 + dy)
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    body = shape(size, lambda pen: pen.rounded(box, 9, fill=255))
    if state == "hover":
        image = over(image, TEAL_HI, glow(body, 2.5, 1.3))
    image = over(image, (0, 0, 0), glow(ImageChops.offset(body, 0, 1 if state == "pressed" else 2), 1.5, 0.8))
    image = over(image, gold_ring_gradient(size, state, box[1], box[3]), body)
    inner_box = (box[0] + 2, box[1] + 2, box[2] - 2, box[3] - 2)
    inner = shape(size, lambda pen: pen.rounded(inner_box, 7, fill=255))
    fill = {"normal": [(0.0, (48, 164, 170)), (1.0, (12, 62, 74))],
            "hover": [(0.0, (96, 220, 216)), (1.0, (20, 100, 110))],
            "pressed": [(0.0, (10, 44, 54)), (1.0, (24, 96, 104))]}[state]
    image = over(image, vertical_gradient(size, [(box[1] / h, fill[0][1]), (box[3] / h, fill[1][1])]), inner)
    if state != "pressed":
        sheen = shape(size, lambda pen: pen.rounded((inner_box[0] + 2, inner_box[1] + 1, inner_box[2] - 2,
                                                      (inner_box[1] + inner_box[3]) / 2), 6, fill=255))
        image = over(image, (255, 255, 255), sheen, opacity=0.12)
    studs = shape(size, lambda pen: [pen.polygon(star_points(x, (box[1] + box[3]) / 2, 4, 1.6), fill=255)
                                     for x in (box[0] + 10, box[2] - 10)])
    image = over(image, brighten(GOLD_HI, state), studs)
    return caption(image, ((box[0] + box[2]) / 2, (box[1] + box[3]) / 2), "注册", 19, state, tracking=6,
                   colour={"normal": (255, 250, 236), "hover": (255, 255, 255), "pressed": (190, 200, 196)}[state],
                   outline=(4, 30, 36))


def write_plaques():
    for k, state in enumerate(STATES):
        store(145 + k, f"register_{state}", plaque(state), "palette+alpha", (102, 46), colours=128)


# --------------------------------------------------------------------------------------------------------------
# Buttons on a painted strip: opaque pictures whose edges repeat the strip they sit on

def strip_background(size, colour_of_row):
    return frame_piece(size, lambda x, y: colour_of_row(y)).convert("RGBA")


def caption_button(size, origin_y, kind, state):
    """The login panel's small Min and Exit buttons, on the panel's title strip."""
    w, h = size
    image = strip_background(size, lambda y: header_colour(origin_y + y))
    dx, dy = shift(state)
    box = (1, 1, w - 1, h - 1)
    plate = shape(size, lambda pen: pen.rounded(box, 4, fill=255))
    inner = shape(size, lambda pen: pen.rounded((box[0] + 1, box[1] + 1, box[2] - 1, box[3] - 1), 3, fill=255))
    hover_fill = (176, 48, 48) if kind == "exit" else TEAL_MID
    edge, fill = {"normal": ((84, 94, 126), (40, 48, 76)),
                  "hover": (mix(hover_fill, (255, 255, 255), 0.35), hover_fill),
                  "pressed": ((54, 62, 88), (12, 15, 26))}[state]
    image = over(image, edge, plate)
    image = over(image, fill, inner)
    if state != "pressed":
        sheen = shape(size, lambda pen: pen.rect((box[0] + 2, box[1] + 1, box[2] - 2, h / 2), fill=255))
        image = over(image, (255, 255, 255), ImageChops.multiply(sheen, inner), opacity=0.1)
    cx, cy = w / 2 + dx, h / 2 + dy
    if kind == "exit":
        mark = shape(size, lambda pen: [pen.line([(cx - 3.2, cy - 3.2), (cx + 3.2, cy + 3.2)], fill=255, width=1.5),
                                        pen.line([(cx - 3.2, cy + 3.2), (cx + 3.2, cy - 3.2)], fill=255, width=1.5)])
    else:
        mark = shape(size, lambda pen: pen.line([(cx - 4, cy + 0.5), (cx + 4, cy + 0.5)], fill=255, width=1.6))
    colour = {"normal": SILVER, "hover": (255, 255, 255), "pressed": (150, 156, 176)}[state]
    return over(image, colour, mark)


def write_caption_buttons():
    # At (728, 196) and (768, 196) of the login screen: the rows of the title strip they cover start at 196.
    for first, role, size, kind in ((133, "login_exit", (37, 15), "exit"), (142, "login_min", (35, 15), "min")):
        for k, state in enumerate(STATES):
            store(first + k, f"{role}_{state}", caption_button(size, 196, kind, state), "jpeg", size, keyed=True)


def title_button(size, kind, state):
    """The game window's title-bar buttons, standing 3 pixels down on the title band."""
    w, h = size
    image = strip_background(size, lambda y: band_colour(3 + y))
    dx, dy = shift(state)
    box = (1, 1, w - 1, h - 1)
    plate = shape(size, lambda pen: pen.rounded(box, 4, fill=255))
    inner = shape(size, lambda pen: pen.rounded((box[0] + 1, box[1] + 1, box[2] - 1, box[3] - 1), 3, fill=255))
    if state == "hover":
        top, bottom = ((222, 84, 84), (160, 36, 40)) if kind == "close" else ((78, 94, 136), (46, 56, 88))
        image = over(image, mix(top, (255, 255, 255), 0.25), plate)
        image = over(image, vertical_gradient(size, [(0.0, top), (1.0, bottom)]), inner)
    elif state == "pressed":
        image = over(image, (52, 60, 86), plate)
        image = over(image, vertical_gradient(size, [(0.0, (6, 8, 14)), (1.0, (20, 24, 38))]), inner)
    cx, cy = w / 2 + dx, h / 2 + dy

    def draw(pen):
        if kind == "close":
            pen.line([(cx - 4.5, cy - 4.5), (cx + 4.5, cy + 4.5)], fill=255, width=1.6)
            pen.line([(cx - 4.5, cy + 4.5), (cx + 4.5, cy - 4.5)], fill=255, width=1.6)
        elif kind == "min":
            pen.line([(cx - 5, cy + 3.5), (cx + 5, cy + 3.5)], fill=255, width=1.7)
        elif kind == "max":
            pen.rect((cx - 5.5, cy - 5, cx + 5.5, cy + 5), outline=255, width=1.3)
            pen.rect((cx - 5.5, cy - 5, cx + 5.5, cy - 3), fill=255)
        else:  # restore: two windows, the front one hiding the back one's corner
            pen.rect((cx - 2.5, cy - 6, cx + 6.5, cy + 2), outline=255, width=1.3)
            pen.rect((cx - 2.5, cy - 6, cx + 6.5, cy - 4.5), fill=255)
            pen.rect((cx - 6.5, cy - 2, cx + 2.5, cy + 6), fill=0)
            pen.rect((cx - 6.5, cy - 2, cx + 2.5, cy + 6), outline=255, width=1.3)
            pen.rect((cx - 6.5, cy - 2, cx + 2.5, cy - 0.5), fill=255)
    mark = shape(size, draw)
    colour = {"normal": (196, 202, 222), "hover": (255, 255, 255), "pressed": (150, 156, 178)}[state]
    if state == "normal":
        image = over(image, (0, 0, 0), ImageChops.offset(mark, 0, 1), opacity=0.5)
    return over(image, colour, mark)


def write_title_buttons():
    for first, role, size, kind in ((169, "game_close", (29, 25), "close"), (172, "game_min", (29, 25), "min"),
                                    (175, "game_max", (27, 25), "max"), (179, "game_restore", (27, 25), "restore")):
        for k, state in enumerate(STATES):
            # Maximise and restore belong to both layouts, so they also stand on the keyed login panel.
            store(first + k, f"{role}_{state}", title_button(size, kind, state), "rgb+icc", size,
                  keyed=kind in ("max", "restore"))


def speaker_button(muted, state):
    size = (25, 22)
    w, h = size
    image = strip_background(size, lambda y: band_colour(3 + y))
    dx, dy = shift(state)
    box = (1, 1, w - 1, h - 1)
    if state == "hover":
        image = over(image, (96, 112, 152), shape(size, lambda pen: pen.rounded(box, 4, fill=255)))
        image = over(image, vertical_gradient(size, [(0.0, (78, 94, 136)), (1.0, (46, 56, 88))]),
                     shape(size, lambda pen: pen.rounded((2, 2, w - 2, h - 2), 3, fill=255)))
    elif state == "pressed":
        image = over(image, (52, 60, 86), shape(size, lambda pen: pen.rounded(box, 4, fill=255)))
        image = over(image, vertical_gradient(size, [(0.0, (6, 8, 14)), (1.0, (20, 24, 38))]),
                     shape(size, lambda pen: pen.rounded((2, 2, w - 2, h - 2), 3, fill=255)))
    cx, cy = 10 + dx, h / 2 + dy

    def draw(pen):
        pen.rect((cx - 5, cy - 2.5, cx - 2, cy + 2.5), fill=255)
        pen.polygon([(cx - 2.5, cy - 2.5), (cx + 2, cy - 6), (cx + 2, cy + 6), (cx - 2.5, cy + 2.5)], fill=255)
        if muted:
            pen.line([(cx + 5, cy - 3), (cx + 10, cy + 3)], fill=255, width=1.5)
            pen.line([(cx + 5, cy + 3), (cx + 10, cy - 3)], fill=255, width=1.5)
        else:
            pen.arc((cx - 1, cy - 4.5, cx + 8, cy + 4.5), -55, 55, fill=255, width=1.4)
            pen.arc((cx - 1, cy - 8, cx + 12, cy + 8), -55, 55, fill=255, width=1.4)
    mark = shape(size, draw)
    colour = {"normal": (196, 202, 222), "hover": (255, 255, 255), "pressed": (150, 156, 178)}[state]
    if muted and state != "pressed":
        colour = mix(colour, (255, 140, 130), 0.35)
    return over(image, colour, mark)


def write_speakers():
    # The sound switch shows the speaker crossed out (185-187) once the sound is off, with its waves (188-190) once
    # it is on again.
    for first, role, muted in ((185, "speaker_off", True), (188, "speaker_on", False)):
        for k, state in enumerate(STATES):
            store(first + k, f"{role}_{state}", speaker_button(muted, state), "palette", (25, 22))


TOOL_STYLES = {
    # (border, fill top, fill bottom, text) per state
    "plain": {"normal": ((82, 96, 136), (48, 58, 90), (30, 37, 60), CREAM),
              "hover": ((120, 226, 220), (44, 150, 158), (18, 86, 98), (255, 255, 255)),
              "pressed": ((58, 68, 98), (10, 13, 22), (24, 29, 46), (176, 166, 136))},
    "gold": {"normal": ((255, 226, 150), (236, 190, 98), (168, 116, 38), (52, 28, 4)),
             "hover": ((255, 244, 200), (255, 222, 136), (212, 152, 58), (40, 18, 0)),
             "pressed": ((170, 126, 56), (128, 84, 24), (178, 128, 52), (40, 22, 4))},
}


def toolbar_button(size, text, style, state):
    """The small text buttons of the game window's title band, 6 pixels down on it."""
    w, h = size
    image = strip_background(size, lambda y: band_colour(6 + y))
    border, top, bottom, ink = TOOL_STYLES[style][state]
    image = over(image, border, shape(size, lambda pen: pen.rounded((0, 0, w, h), 4, fill=255)))
    inner = shape(size, lambda pen: pen.rounded((1, 1, w - 1, h - 1), 3, fill=255))
    image = over(image, vertical_gradient(size, [(0.0, top), (1.0, bottom)]), inner)
    if state == "pressed":
        image = over(image, (0, 0, 0), shape(size, lambda pen: pen.rect((1, 1, w - 1, 3), fill=255)),
                     opacity=0.35)
    else:
        image = over(image, (255, 255, 255), shape(size, lambda pen: pen.rect((2, 1, w - 2, 2), fill=255)),
                     opacity=0.18)
    dx, dy = shift(state)
    shadow = (0, 0, 0) if style == "plain" else (255, 240, 200)
    return label(image, (w / 2 + dx, h / 2 + dy), text, ink, shadow=shadow if state != "pressed" else None)


def write_toolbar_buttons():
    for first, role, size, text, style, kind in (
            (182, "game_settings", (38, 18), "设置", "plain", "rgb"),
            (191, "refresh", (38, 18), "刷新", "plain", "palette"),
            (194, "clear_cache", (50, 18), "清理缓存", "plain", "palette"),
            (206, "game_pay", (38, 18), "充值", "gold", "rgb"),
            (209, "game_custom", (38, 18), "客服", "plain", "jpeg"),
            (212, "game_forum", (38, 18), "论坛", "plain", "rgb"),
            (215, "game_official", (38, 18), "官网", "plain", "rgb")):
        for k, state in enumerate(STATES):
            keyed = first in (191, 194)  # shown in both layouts
            store(first + k, f"{role}_{state}", toolbar_button(size, text, style, state), kind, size, keyed=keyed)


def window_icon():
    """The game window's icon: the emblem on the title band. The client shows it at 24 x 24 from (5, 3), so it
    is drawn for that square and stored at 25 x 27."""
    logical = (24, 24)
    image = strip_background(logical, lambda y: band_colour(3 + y))
    cx, cy, r = 12, 12, 11
    disc = shape(logical, lambda pen: pen.circle(cx, cy, r, fill=255))
    image = over(image, gold_ring_gradient(logical, "normal", cy - r, cy + r), disc)
    face = shape(logical, lambda pen: pen.circle(cx, cy, r - 1.6, fill=255))
    image = over(image, radial_gradient(logical, (cx - 3, cy - 4), r * 1.2, LINK_FACE["normal"]), face)
    image = over(image, GOLD_HI, emblem_mask(logical, cx, cy + 0.5, 8.5))
    return image.resize((25, 27), Image.LANCZOS)



def write_app_icon():
    """Icon resource 128, the windows' own icon: the emblem of the title band at the sizes the system asks for,
    each as a 32-bit bitmap with its mask, the format every loader reads."""
    sizes = (16, 24, 32, 48)
    entries, images = [], []
    for size in sizes:
        picture = window_icon().resize((size, size), Image.LANCZOS).convert("RGBA")
        pixels = picture.transpose(Image.FLIP_TOP_BOTTOM).tobytes("raw", "BGRA")
        mask_row = ((size + 31) // 32) * 4
        mask = bytes(mask_row * size)  # all drawn: the alpha channel decides
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        images.append(header + pixels + mask)
    offset = 6 + 16 * len(sizes)
    data = struct.pack("<HHH", 0, 1, len(sizes))
    for size, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(os.path.join(HERE, "128_app_icon.ico"), "wb") as f:
        f.write(data + b"".join(images))


# --------------------------------------------------------------------------------------------------------------
# Main

def main():
    write_login_screen()
    write_link_buttons()
    write_medallions()
    write_plaques()
    write_caption_buttons()
    write_frame()
    write_title_buttons()
    store(178, "game_icon", window_icon(), "jpeg", (25, 27), keyed=True)
    write_speakers()
    write_toolbar_buttons()
    if len(STORED) != 81 or len({image_id for image_id, _, _ in STORED}) != 81:
        raise AssertionError(f"{len(STORED)} pictures written, expected 81 distinct ids")
    write_resource_script()
    write_app_icon()


if __name__ == "__main__":
    main()
