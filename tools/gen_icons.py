"""Zentaro's application icon: the ball on a wooden track under a gold ring,
in a rounded sky-blue tile. Drawn once at 1024 x 1024 from the game's own ball
and wood textures, then scaled down to every installed size.

Writes dist/icons/hicolor/<n>x<n>/apps/<APP_ID>.png. Deterministic.
"""
import math
import os

import numpy as np
from PIL import Image

from gen_common import ROOT, TEXTURES, mix, smoothstep, tile_fbm, to_image

APP_ID = "io.github.zentaro.Zentaro"
SIZES = (48, 128, 256)
ICONS = os.path.join(ROOT, "dist", "icons", "hicolor")
CANVAS = 1024


def _texture(name):
    return np.asarray(Image.open(os.path.join(TEXTURES, name)).convert("RGB"), dtype=np.float64) / 255.0


def _sample(tex, u, v):
    """Nearest texel at repeating u, v (v from the top of the picture)."""
    h, w = tex.shape[:2]
    x = (np.floor(u * w).astype(int)) % w
    y = (np.floor(v * h).astype(int)) % h
    return tex[y, x]


def _over(base, colour, coverage):
    """Paints colour over base where coverage (0..1) says."""
    return mix(base, colour, np.clip(coverage, 0.0, 1.0))


def _edge(distance, px):
    """Anti-aliased inside test: 1 inside (distance < 0), 0 outside."""
    return smoothstep(px, -px, distance)


def _track_top(x):
    """Height (from the top, 0..1) of the track's upper edge at column x."""
    return 0.60 + 0.16 * x + 0.05 * np.sin(math.pi * x)


def draw(size=CANVAS):
    px = 1.5 / size
    c = (np.arange(size) + 0.5) / size
    x = c[None, :] * np.ones((size, 1))
    y = c[:, None] * np.ones((1, size))

    # Tile: rounded square with a sky gradient and soft clouds.
    margin, radius = 0.04, 0.19
    qx = np.maximum(np.abs(x - 0.5) - (0.5 - margin - radius), 0.0)
    qy = np.maximum(np.abs(y - 0.5) - (0.5 - margin - radius), 0.0)
    tile_d = np.sqrt(qx * qx + qy * qy) - radius
    sky = mix(np.array([0.20, 0.45, 0.80]), np.array([0.72, 0.86, 0.97]), y)
    clouds = tile_fbm(size, size, 4, 4, 5, np.random.RandomState(1907))
    img = _over(sky, np.array([0.97, 0.98, 1.0]), smoothstep(0.52, 0.75, clouds) * 0.8)

    # Track: a lit top face and a darker side face, both in the game's wood.
    wood = _texture("wood.png")
    top = _track_top(x)
    deck = 0.07
    side = 0.13
    grain = _sample(wood, x * 1.6, (y - top) * 1.6)
    img = _over(img, grain * 1.12, _edge(top - y, px) * _edge(y - top - deck, px))
    img = _over(img, grain * 0.62, _edge(top + deck - y, px) * _edge(y - top - deck - side, px))
    img = _over(img, np.array([0.30, 0.17, 0.07]), _edge(np.abs(y - top - deck) - 0.004, px) * 0.8)
    img = _over(img, np.array([0.25, 0.13, 0.05]), _edge(np.abs(y - top - deck - side) - 0.005, px))

    # Gold ring standing on the track, seen a little from the side.
    rx, ry = 0.77, _track_top(0.77) + 0.02 - 0.21
    a, b, thick = 0.10, 0.20, 0.032
    ell = np.sqrt(((x - rx) / a) ** 2 + ((y - ry) / b) ** 2)
    ring_d = np.abs(ell - 1.0) * min(a, b) - thick
    shine = 0.5 + 0.5 * np.cos((x - rx) / a * 2.2)
    gold = mix(np.array([0.62, 0.40, 0.06]), np.array([1.0, 0.88, 0.45]), shine)
    img = _over(img, gold, _edge(ring_d, px))
    img = _over(img, np.array([1.0, 0.95, 0.7]), _edge(ring_d + thick * 0.65, px) * 0.6)

    # The ball: the game's ball texture on a lit sphere resting on the deck.
    r = 0.205
    bx = 0.40
    by = _track_top(bx) + deck * 0.35 - r
    nx = (x - bx) / r
    ny = (by - y) / r
    rr = nx * nx + ny * ny
    nz = np.sqrt(np.clip(1.0 - rr, 0.0, 1.0))
    # turn the sphere so the colourful gores and the equator band both show
    tilt = 0.45
    dy = ny * math.cos(tilt) + nz * math.sin(tilt)
    dz = -ny * math.sin(tilt) + nz * math.cos(tilt)
    lon = np.arctan2(-dz, nx) + 0.9
    lat = np.arccos(np.clip(dy, -1.0, 1.0))
    colour = _sample(_texture("pellixTex.jpg"), lon / (2.0 * math.pi) + 0.5, lat / math.pi)
    light = np.array([-0.45, 0.6, 0.66])
    light = light / np.linalg.norm(light)
    lambert = np.clip(nx * light[0] + ny * light[1] + nz * light[2], 0.0, 1.0)
    half = light + np.array([0.0, 0.0, 1.0])
    half = half / np.linalg.norm(half)
    specular = np.clip(nx * half[0] + ny * half[1] + nz * half[2], 0.0, 1.0) ** 40
    shaded = colour * (0.28 + 0.85 * lambert)[..., None] + specular[..., None] * 0.9
    ball_d = (np.sqrt(rr) - 1.0) * r
    shadow = np.exp(-(((x - bx - 0.04) / 0.22) ** 2 + ((y - by - r - 0.01) / 0.025) ** 2))
    img = _over(img, np.array([0.12, 0.06, 0.02]), shadow * 0.55 * _edge(top - y, px))
    img = _over(img, np.array([0.10, 0.06, 0.04]), _edge(ball_d - 0.006, px))
    img = _over(img, shaded, _edge(ball_d, px))

    # Rim of the tile, then everything outside it transparent.
    img = _over(img, np.array([0.10, 0.22, 0.42]), _edge(np.abs(tile_d + 0.006) - 0.006, px) * 0.7)
    alpha = _edge(tile_d, px)
    return to_image(np.concatenate([np.clip(img, 0, 1), alpha[..., None]], axis=-1))


def all_icons():
    big = draw()
    for n in SIZES:
        folder = os.path.join(ICONS, "%dx%d" % (n, n), "apps")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, APP_ID + ".png")
        big.resize((n, n), Image.LANCZOS).save(path, "PNG", optimize=True)
        print("icon %s" % os.path.relpath(path, ROOT))
