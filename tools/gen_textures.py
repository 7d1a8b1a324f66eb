"""Textures of Zentaro: wood, ring, ball, head, lamp, particle, sky faces and
the bitmap font. Called by gen_assets.py; each function writes its files
under Kobuldo/Textures/ and is deterministic."""
import math
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from gen_common import (FONT_DIR, TEXTURES, Noise3, mix, normal_map_from_height, save_jpg, save_png, smoothstep,
                        tile_fbm, tile_value_noise, to_image)


# ---------------------------------------------------------------------------
# Wood planks of the track pieces (u along the planks, repeating both ways)
# ---------------------------------------------------------------------------

def wood(size=512):
    rng = np.random.RandomState(1101)
    planks = 4
    ph = size // planks
    y = np.arange(size)[:, None].astype(np.float64)
    x = np.arange(size)[None, :].astype(np.float64)

    warp = tile_fbm(size, size, 4, 2, 4, rng)  # slow warp of the growth rings
    fibre = tile_fbm(size, size, 64, 4, 3, rng)  # long thin fibres along u
    blotch = tile_fbm(size, size, 8, 8, 3, rng)

    color = np.zeros((size, size, 3))
    height = np.zeros((size, size))
    base_colors = [(0.66, 0.45, 0.26), (0.60, 0.40, 0.22), (0.70, 0.50, 0.30), (0.63, 0.43, 0.25)]
    for p in range(planks):
        rows = slice(p * ph, (p + 1) * ph)
        local_y = y[rows] - p * ph
        phase = rng.random_sample() * 10.0
        freq = 0.045 + 0.02 * rng.random_sample()
        rings = local_y * freq + warp[rows] * 6.0 + phase + x * 0.0015
        band = 0.5 + 0.5 * np.sin(rings * 2.0 * math.pi)
        band = band ** 3  # narrow dark late-wood lines
        base = np.array(base_colors[p])
        dark = base * 0.62
        c = mix(base, dark, band * 0.75)
        c = c * (0.88 + 0.24 * fibre[rows][..., None])
        c = c * (0.92 + 0.16 * blotch[rows][..., None])
        color[rows] = c
        height[rows] = -band * 0.35 + fibre[rows] * 0.25

        # end joint of the plank, at a different place on each plank
        joint = int((0.15 + 0.23 * p + 0.1 * rng.random_sample()) * size) % size
        dist = np.abs(((x - joint + size / 2) % size) - size / 2)
        gap = smoothstep(2.5, 0.5, dist)[0]
        color[rows] = color[rows] * (1.0 - 0.7 * gap[None, :, None])
        height[rows] -= gap[None, :] * 1.5
        # two screws on each side of the joint
        for side in (-9, 9):
            sx = (joint + side) % size
            for sy in (ph * 0.28, ph * 0.72):
                d = np.sqrt((((x - sx + size / 2) % size) - size / 2) ** 2 + (local_y - sy) ** 2)
                screw = smoothstep(4.0, 2.5, d)
                color[rows] = mix(color[rows], np.array([0.30, 0.27, 0.24]), screw * 0.9)
                height[rows] += screw * 0.6 - smoothstep(1.2, 0.0, d) * 0.5

    # grooves between the planks
    local = y % ph
    edge = np.minimum(local, ph - 1 - local)
    groove = smoothstep(3.0, 0.5, edge)
    color *= (1.0 - 0.65 * groove)[..., None] * np.ones((1, size, 1))
    height = height - groove * 1.8
    # bevel light on the plank edges
    color *= (1.0 + 0.12 * smoothstep(6.0, 3.0, edge))[..., None] * np.ones((1, size, 1))

    save_png(to_image(np.clip(color, 0, 1)), "wood.png")
    save_png(to_image(normal_map_from_height(height, 2.2)), "wood-normal.png")


# ---------------------------------------------------------------------------
# Ring: gold body with glowing bands (u around the ring, v around the tube)
# ---------------------------------------------------------------------------

def ring(size=256):
    rng = np.random.RandomState(1202)
    v = (np.arange(size)[:, None] + 0.5) / size
    u = (np.arange(size)[None, :] + 0.5) / size
    # tube: brighter on the outside of the tube (v = 0.5), darker inside
    tube = 0.5 + 0.5 * np.cos((v - 0.5) * 2.0 * math.pi)
    gold = mix(np.array([0.55, 0.32, 0.05]), np.array([1.0, 0.80, 0.32]), tube)
    # eight glowing segments around the ring
    seg = (u * 8.0) % 1.0
    core = smoothstep(0.30, 0.05, np.abs(seg - 0.5)) * smoothstep(0.5, 0.05, np.abs(v - 0.5))
    glow_col = np.array([1.0, 0.97, 0.78])
    c = mix(gold * np.ones((size, size, 1)), glow_col, core)
    sparkle = tile_fbm(size, size, 16, 16, 3, rng)
    c = c * (0.9 + 0.2 * sparkle[..., None])
    save_jpg(to_image(np.clip(c, 0, 1)), "ring.jpg", quality=92)


# ---------------------------------------------------------------------------
# Ball (equirectangular: u around, v from the north pole down)
# ---------------------------------------------------------------------------

def _sphere_dirs(w, h):
    u = (np.arange(w)[None, :] + 0.5) / w
    v = (np.arange(h)[:, None] + 0.5) / h
    lon = (u - 0.5) * 2.0 * math.pi
    lat = v * math.pi
    x = np.sin(lat) * np.cos(lon)
    z = -np.sin(lat) * np.sin(lon)
    y = np.cos(lat) * np.ones_like(lon)
    return x, y, z, u, v


def ball(w=512, h=256):
    x, y, z, u, v = _sphere_dirs(w, h)
    n3 = Noise3(1303)
    swirl = n3.fbm(x * 2.5, y * 2.5, z * 2.5, 4)
    gores = 6
    # the gore boundaries wave a little so the pattern reads as a marble
    t = u * gores + (swirl - 0.5) * 1.2
    k = np.floor(t).astype(int) % 2
    frac = t - np.floor(t)
    edge = np.minimum(frac, 1.0 - frac)
    teal = np.array([0.05, 0.50, 0.62])
    orange = np.array([0.98, 0.52, 0.10])
    c = np.where(k[..., None] == 0, teal, orange)
    # cream band around the equator and a dark polar cap, for a clear roll
    band = smoothstep(0.06, 0.03, np.abs(y))
    c = mix(c, np.array([0.97, 0.93, 0.82]), band)
    cap = smoothstep(0.90, 0.93, np.abs(y))
    c = mix(c, np.array([0.97, 0.93, 0.82]), cap)
    seam = smoothstep(0.035, 0.0, edge) * (1.0 - cap)
    c = mix(c, np.array([0.98, 0.96, 0.90]), seam * 0.85)
    c = c * (0.9 + 0.2 * swirl[..., None])
    save_jpg(to_image(np.clip(c, 0, 1)), "pellixTex.jpg", quality=92)

    bumps = n3.fbm(x * 18.0, y * 18.0, z * 18.0, 2)
    height = -seam * 1.0 - band * 0.0 + (bumps - 0.5) * 0.25 - smoothstep(0.065, 0.055, np.abs(y)) * 0.3 \
        + smoothstep(0.055, 0.065, np.abs(y)) * 0.3 - 0.3
    save_jpg(to_image(normal_map_from_height(height, 2.0)), "pellixTex-normal.jpg", quality=95)


# ---------------------------------------------------------------------------
# Head atlas: top half the head (equirectangular, face towards +x at u = 0.5),
# bottom left an eye seen from the front, bottom right the ears.
# ---------------------------------------------------------------------------

HEAD_EYE_BOX = (0.0, 0.5, 0.5, 1.0)  # u0, v0, u1, v1 (v from the top)
HEAD_EAR_BOX = (0.5, 0.5, 1.0, 1.0)


def head(size=512):
    rng = np.random.RandomState(1404)
    img = np.zeros((size, size, 3))
    half = size // 2
    # head skin
    x, y, z, u, v = _sphere_dirs(size, half)
    n3 = Noise3(1405)
    fur = n3.fbm(x * 14, y * 14, z * 14, 3)
    skin = mix(np.array([0.99, 0.86, 0.55]), np.array([0.93, 0.66, 0.30]), smoothstep(0.6, -0.6, y))
    skin = skin * (0.92 + 0.16 * fur[..., None])
    # a darker crown stripe running front to back
    crown = smoothstep(0.12, 0.05, np.abs(z)) * smoothstep(0.55, 0.8, y)
    skin = mix(skin, np.array([0.80, 0.40, 0.18]), crown * 0.8)
    # rosy cheeks and a smile on the front (+x)
    for side in (-1, 1):
        d = np.sqrt((x - 0.80) ** 2 + (z - 0.42 * side) ** 2 + (y + 0.18) ** 2)
        skin = mix(skin, np.array([1.0, 0.50, 0.45]), smoothstep(0.22, 0.08, d) * 0.6)
    # smile: a thin arc below the eyes
    mouth_y = -0.30 + 0.55 * z * z
    mouth = smoothstep(0.035, 0.012, np.abs(y - mouth_y)) * smoothstep(0.30, 0.26, np.abs(z)) * (x > 0.7)
    skin = mix(skin, np.array([0.35, 0.12, 0.10]), mouth)
    img[:half] = skin
    height = np.zeros((size, size))
    height[:half] = fur * 0.6

    # eye (bottom left): planar front view
    eu = (np.arange(half)[None, :] + 0.5) / half * 2.0 - 1.0
    ev = (np.arange(half)[:, None] + 0.5) / half * 2.0 - 1.0
    r = np.sqrt(eu * eu + ev * ev)
    eye = np.ones((half, half, 3)) * np.array([0.98, 0.98, 0.96])
    eye = mix(eye, np.array([0.30, 0.55, 0.95]), smoothstep(0.62, 0.58, r))
    eye = mix(eye, np.array([0.12, 0.25, 0.55]), smoothstep(0.50, 0.30, r) * 0.5)
    eye = mix(eye, np.array([0.03, 0.03, 0.05]), smoothstep(0.36, 0.32, r))
    hl = np.sqrt((eu + 0.22) ** 2 + (ev + 0.25) ** 2)
    eye = mix(eye, np.array([1.0, 1.0, 1.0]), smoothstep(0.13, 0.09, hl))
    img[half:, :half] = eye

    # ears (bottom right): outside skin, inner pink
    ex = (np.arange(half)[None, :] + 0.5) / half
    ey = (np.arange(half)[:, None] + 0.5) / half
    ear = mix(np.array([0.95, 0.70, 0.40]), np.array([0.80, 0.42, 0.20]), ey * np.ones_like(ex))
    inner = smoothstep(0.28, 0.22, np.abs(ex - 0.5)) * smoothstep(0.15, 0.25, ey)
    ear = mix(ear, np.array([1.0, 0.62, 0.62]), inner)
    ear = ear * (0.94 + 0.12 * tile_value_noise(half, half, 32, 32, rng)[..., None])
    img[half:, half:] = ear

    save_jpg(to_image(np.clip(img, 0, 1)), "pellixTex2.jpg", quality=92)
    save_jpg(to_image(normal_map_from_height(height, 1.2)), "pellixTex2-normal.jpg", quality=95)


# ---------------------------------------------------------------------------
# Lamp: left half the glowing glass, right half the metal
# ---------------------------------------------------------------------------

def lamp(size=256):
    rng = np.random.RandomState(1505)
    img = np.zeros((size, size, 3))
    half = size // 2
    v = (np.arange(size)[:, None] + 0.5) / size
    u = (np.arange(half)[None, :] + 0.5) / half
    # glass: warm core fading to deep amber at the edges of the uv range
    core = smoothstep(0.5, 0.0, np.abs(v - 0.5)) * np.ones_like(u)
    glass = mix(np.array([0.95, 0.52, 0.14]), np.array([1.0, 0.90, 0.62]), core ** 2)
    img[:, :half] = glass
    metal_noise = tile_fbm(size, half, 32, 16, 3, rng)
    metal = mix(np.array([0.16, 0.12, 0.10]), np.array([0.48, 0.34, 0.20]), metal_noise)
    stripes = 0.5 + 0.5 * np.sin(v * 2.0 * math.pi * 12.0)
    metal = metal * (0.85 + 0.25 * stripes)[..., None] * np.ones((1, half, 1))
    img[:, half:] = metal
    save_jpg(to_image(np.clip(img, 0, 1)), "light.jpg", quality=92)


# ---------------------------------------------------------------------------
# Particle: soft round spot, white, the colour comes from each particle
# ---------------------------------------------------------------------------

def particle(size=64):
    c = (np.arange(size) + 0.5) / size * 2.0 - 1.0
    r = np.sqrt(c[None, :] ** 2 + c[:, None] ** 2)
    alpha = np.clip(1.0 - r, 0.0, 1.0) ** 1.6
    core = smoothstep(0.5, 0.0, r)
    rgb = np.ones((size, size, 3)) * (0.8 + 0.2 * core)[..., None]
    img = np.concatenate([rgb, alpha[..., None]], axis=-1)
    save_png(to_image(img), "particle.png")


# ---------------------------------------------------------------------------
# Sky: a function of direction, sampled per cube face
# ---------------------------------------------------------------------------

SUN_DIR = np.array([-0.55, 0.38, -0.74])
SUN_DIR = SUN_DIR / np.linalg.norm(SUN_DIR)


class Sky:
    def __init__(self):
        self.noise = Noise3(1606)

    def __call__(self, dx, dy, dz):
        n = np.sqrt(dx * dx + dy * dy + dz * dz)
        dx, dy, dz = dx / n, dy / n, dz / n
        up = dy
        zenith = np.array([0.16, 0.36, 0.78])
        horizon = np.array([0.78, 0.86, 0.95])
        warm = np.array([1.0, 0.84, 0.62])
        t = np.clip(up, 0.0, 1.0) ** 0.55
        sky = mix(horizon, zenith, t)
        sun_cos = dx * SUN_DIR[0] + dy * SUN_DIR[1] + dz * SUN_DIR[2]
        sky = mix(sky, warm, np.clip(sun_cos, 0, 1) ** 6 * 0.55 * (1.0 - t * 0.5))

        # cloud layer high up: fbm on the direction projected onto a plane
        cloud_h = np.maximum(up, 0.03)
        px, pz = dx / cloud_h, dz / cloud_h
        f = self.noise.fbm(px * 0.9, pz * 0.9, 0.37 * np.ones_like(px), 5)
        cover = smoothstep(0.50, 0.72, f) * smoothstep(0.02, 0.15, up)
        shade = self.noise.fbm(px * 0.9 + 0.07, pz * 0.9 + 0.05, 0.37 * np.ones_like(px), 4)
        cloud_col = mix(np.array([1.0, 1.0, 1.0]), np.array([0.72, 0.76, 0.86]), smoothstep(0.5, 0.8, shade))
        cloud_col = mix(cloud_col, np.array([1.0, 0.95, 0.85]), (np.clip(sun_cos, 0, 1) ** 4)[..., None] * 0.6)
        sky = mix(sky, cloud_col, cover * 0.9)

        # below the horizon: far-away land seen through a broken layer of
        # clouds, so looking down reads as looking down from high up
        down = np.clip(-up, 0.0, 1.0)
        sea_h = np.maximum(-up, 0.02)
        qx, qz = dx / sea_h, dz / sea_h
        fields = self.noise.fbm(qx * 0.35 + 40.0, qz * 0.35, 7.7 * np.ones_like(qx), 5)
        detail = self.noise.fbm(qx * 2.2, qz * 2.2 + 11.0, 5.3 * np.ones_like(qx), 3)
        land = mix(np.array([0.16, 0.38, 0.18]), np.array([0.44, 0.54, 0.26]), smoothstep(0.38, 0.62, fields))
        land = mix(land, np.array([0.12, 0.28, 0.46]), smoothstep(0.31, 0.26, fields))  # lakes
        land = land * (0.85 + 0.3 * detail[..., None])
        land = mix(land, np.array([0.62, 0.70, 0.82]), 0.2)  # air between the clouds and the land
        g = self.noise.fbm(qx * 1.2, qz * 1.2, 3.1 * np.ones_like(qx), 6)
        puff = smoothstep(0.38, 0.54, g)
        lit = self.noise.fbm(qx * 1.2 + 0.06, qz * 1.2 + 0.04, 3.1 * np.ones_like(qx), 5)
        cloud = mix(np.array([1.0, 0.98, 0.95]), np.array([0.70, 0.72, 0.82]), smoothstep(0.45, 0.75, lit))
        sea = mix(land, cloud, puff)
        sea = sea * (0.88 + 0.12 * np.clip(sun_cos, 0, 1)[..., None])
        haze = np.exp(-down * 7.0)
        sea = mix(sea, horizon * 1.02, haze[..., None] * np.ones(3))
        below = smoothstep(0.0, -0.02, up)
        sky = mix(sky, sea, below)

        # the sun itself, with a bright halo
        disc = smoothstep(0.9993, 0.9996, sun_cos)
        halo = np.clip(sun_cos, 0, 1) ** 180 * 0.6
        sky = sky + (disc * 1.0 + halo)[..., None] * np.array([1.0, 0.97, 0.9])
        return np.clip(sky, 0, 1)


# GL cube-map faces: direction from face coordinates sc, tc in -1..1
# (s grows to the right of texture rows, t grows with the row number in
# memory, which FreeImage fills from the bottom scan line of the picture).
CUBE_FACES = [
    ("right.png", lambda sc, tc: (np.ones_like(sc), -tc, -sc)),    # +X
    ("left.png", lambda sc, tc: (-np.ones_like(sc), -tc, sc)),     # -X
    ("top.png", lambda sc, tc: (sc, np.ones_like(sc), tc)),        # +Y
    ("bottom.png", lambda sc, tc: (sc, -np.ones_like(sc), -tc)),   # -Y
    ("front.png", lambda sc, tc: (sc, -tc, np.ones_like(sc))),     # +Z
    ("back.png", lambda sc, tc: (-sc, -tc, -np.ones_like(sc))),    # -Z
]


def sky_faces(size=768):
    sky = Sky()
    col = (np.arange(size)[None, :] + 0.5) / size
    row = np.arange(size)[:, None]
    # picture row j (from the top) is texture row size-1-j
    t = (size - 1 - row + 0.5) / size
    sc = (col * 2.0 - 1.0) * np.ones_like(t)
    tc = (t * 2.0 - 1.0) * np.ones_like(col)
    for name, face in CUBE_FACES:
        d = face(sc, tc)
        save_png(to_image(sky(*d)), name)
    return sky


# ---------------------------------------------------------------------------
# Bitmap font: 16 x 16 cells, code c in column c % 16 and row c / 16 counted
# from the BOTTOM of the picture, each glyph upside down in its cell. The HUD
# maps the top edge of a quad (y + 20) to the cell's smaller v, i.e. the lower
# edge of the cell in the picture, so the glyphs read upright on screen.
# Codes 32-126 are the printable ASCII characters, 127 the medal disc.
# ---------------------------------------------------------------------------

def font(size=512):
    cell = size // 16
    sheet = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    face = ImageFont.truetype(FONT_DIR + "/DejaVuSansMono-Bold.ttf", 27)
    for code in range(32, 127):
        ch = chr(code)
        # drawn narrow, then widened: the HUD packs cells edge to edge, and a
        # monospaced glyph alone would leave half of every cell empty
        glyph = Image.new("RGBA", (cell, cell), (0, 0, 0, 0))
        d = ImageDraw.Draw(glyph)
        adv = face.getlength(ch)
        d.text(((cell - adv) / 2.0, cell - 7), ch, font=face, anchor="ls", fill=(255, 255, 255, 255),
               stroke_width=2, stroke_fill=(20, 24, 40, 235))
        wide = int(round(cell * 1.3))
        glyph = glyph.resize((wide, cell), Image.LANCZOS)
        left = (wide - cell) // 2
        glyph = glyph.crop((left, 0, left + cell, cell))
        col = code % 16
        row = code // 16
        # rows in the standard top-down layout; the flip below moves row 0 to
        # the bottom and turns every glyph upside down
        sheet.alpha_composite(glyph, (col * cell, row * cell))
    # code 127: a filled disc, the medal the HUD tints gold, silver, bronze or
    # author green
    disc = Image.new("RGBA", (cell, cell), (0, 0, 0, 0))
    ImageDraw.Draw(disc).ellipse((5, 5, cell - 6, cell - 6), fill=(255, 255, 255, 255), outline=(20, 24, 40, 235),
                                 width=2)
    sheet.alpha_composite(disc, (127 % 16 * cell, 127 // 16 * cell))
    # a soft shadow under the outline helps over bright sky
    alpha = sheet.split()[3]
    shadow = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    shadow.putalpha(alpha.filter(ImageFilter.GaussianBlur(1.2)).point(lambda a: a * 0.45))
    shadow = shadow.transform(shadow.size, Image.AFFINE, (1, 0, -1, 0, 1, -1))
    combined = Image.alpha_composite(shadow, sheet)
    combined = combined.transpose(Image.FLIP_TOP_BOTTOM)
    combined.save(os.path.join(TEXTURES, "MyFont.bmp"), "BMP")


def all_textures():
    wood()
    ring()
    ball()
    head()
    lamp()
    particle()
    sky = sky_faces()
    font()
    return sky
