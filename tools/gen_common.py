"""Shared helpers of the game-data generators: deterministic noise, image
output, and the OBJ / STL writers.

Everything here is deterministic: the same seed gives byte-identical files.
"""
import os

import numpy as np
from PIL import Image

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
DATA = os.path.join(ROOT, "Kobuldo")
TEXTURES = os.path.join(DATA, "Textures")
OBJECTS = os.path.join(DATA, "Objects", "V2")
TRACKS = os.path.join(DATA, "Tracks")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"


# ---------------------------------------------------------------------------
# Noise
# ---------------------------------------------------------------------------

def _smooth(t):
    return t * t * (3.0 - 2.0 * t)


def tile_value_noise(h, w, cells_y, cells_x, rng):
    """Value noise on an h x w image that repeats seamlessly in both directions."""
    grid = rng.random_sample((cells_y, cells_x))
    y = np.arange(h) * cells_y / h
    x = np.arange(w) * cells_x / w
    y0 = np.floor(y).astype(int)
    x0 = np.floor(x).astype(int)
    ty = _smooth(y - y0)[:, None]
    tx = _smooth(x - x0)[None, :]
    y1 = (y0 + 1) % cells_y
    x1 = (x0 + 1) % cells_x
    y0 %= cells_y
    x0 %= cells_x
    a = grid[y0][:, x0]
    b = grid[y0][:, x1]
    c = grid[y1][:, x0]
    d = grid[y1][:, x1]
    top = a + (b - a) * tx
    bottom = c + (d - c) * tx
    return top + (bottom - top) * ty


def tile_fbm(h, w, cells_y, cells_x, octaves, rng, gain=0.5):
    total = np.zeros((h, w))
    amp = 1.0
    norm = 0.0
    for _ in range(octaves):
        total += amp * tile_value_noise(h, w, cells_y, cells_x, rng)
        norm += amp
        amp *= gain
        cells_y *= 2
        cells_x *= 2
    return total / norm


class Noise3:
    """Value noise over 3-D space (used for the sky, which is a function of
    direction and therefore joins across cube faces by construction)."""

    def __init__(self, seed):
        rng = np.random.RandomState(seed)
        self.perm = rng.permutation(256)
        self.perm = np.concatenate([self.perm, self.perm])
        self.values = rng.random_sample(256)

    def _hash(self, x, y, z):
        p = self.perm
        return self.values[p[p[p[x & 255] + (y & 255)] + (z & 255)]]

    def __call__(self, x, y, z):
        xi = np.floor(x).astype(np.int64)
        yi = np.floor(y).astype(np.int64)
        zi = np.floor(z).astype(np.int64)
        tx = _smooth(x - xi)
        ty = _smooth(y - yi)
        tz = _smooth(z - zi)
        out = 0.0
        for dx in (0, 1):
            wx = tx if dx else 1.0 - tx
            for dy in (0, 1):
                wy = ty if dy else 1.0 - ty
                for dz in (0, 1):
                    wz = tz if dz else 1.0 - tz
                    out = out + wx * wy * wz * self._hash(xi + dx, yi + dy, zi + dz)
        return out

    def fbm(self, x, y, z, octaves, gain=0.5, lacunarity=2.0):
        total = 0.0
        amp = 1.0
        norm = 0.0
        f = 1.0
        for i in range(octaves):
            # each octave gets its own offset so the lattices do not line up
            total = total + amp * self(x * f + 17.3 * i, y * f + 5.1 * i, z * f - 9.7 * i)
            norm += amp
            amp *= gain
            f *= lacunarity
        return total / norm


# ---------------------------------------------------------------------------
# Images
# ---------------------------------------------------------------------------

def to_image(rgb):
    """Float array (h, w, 3 or 4) in 0..1 -> PIL image."""
    arr = np.clip(np.asarray(rgb) * 255.0 + 0.5, 0, 255).astype(np.uint8)
    mode = "RGBA" if arr.shape[2] == 4 else "RGB"
    return Image.fromarray(arr, mode)


def save_png(img, name):
    path = os.path.join(TEXTURES, name)
    img.save(path, "PNG", optimize=True)
    return path


def save_jpg(img, name, quality=90):
    path = os.path.join(TEXTURES, name)
    img.convert("RGB").save(path, "JPEG", quality=quality, subsampling=0)
    return path


def normal_map_from_height(height, strength):
    """Tangent-space normal map (OpenGL convention: green points to the top of
    the picture) from a height field whose rows run from the top down. The
    game's tangent follows +u (picture right) and its bitangent the picture's
    up direction, because texture row 0 is uploaded as the bottom."""
    h = np.asarray(height, dtype=np.float64)
    dx = (np.roll(h, -1, axis=1) - np.roll(h, 1, axis=1)) * 0.5
    drow = (np.roll(h, -1, axis=0) - np.roll(h, 1, axis=0)) * 0.5
    nx = -dx * strength
    ny = drow * strength  # up is minus row
    nz = np.ones_like(h)
    length = np.sqrt(nx * nx + ny * ny + nz * nz)
    n = np.stack([nx / length, ny / length, nz / length], axis=-1)
    return n * 0.5 + 0.5


def mix(a, b, t):
    t = np.asarray(t)
    if t.ndim == 2:
        t = t[..., None]
    return np.asarray(a) * (1.0 - t) + np.asarray(b) * t


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


# ---------------------------------------------------------------------------
# Meshes
# ---------------------------------------------------------------------------

class Mesh:
    """Triangles with a position, uv and normal per corner. uv v runs from the
    top of the picture downwards; the game's OBJ reader negates it and the
    texture repeats, which lands on the same texel."""

    def __init__(self):
        self.tris = []  # list of ((p, uv, n), (p, uv, n), (p, uv, n))

    def tri(self, a, b, c):
        self.tris.append((a, b, c))

    def quad(self, a, b, c, d):
        """Counter-clockwise a, b, c, d (seen from the front)."""
        self.tri(a, b, c)
        self.tri(a, c, d)

    def extend(self, other):
        self.tris.extend(other.tris)

    def transformed(self, m3, offset=(0.0, 0.0, 0.0)):
        m3 = np.asarray(m3, dtype=np.float64)
        normal_m = np.linalg.inv(m3).T
        off = np.asarray(offset, dtype=np.float64)
        out = Mesh()
        for t in self.tris:
            corners = []
            for p, uv, n in t:
                p2 = m3 @ np.asarray(p) + off
                n2 = normal_m @ np.asarray(n)
                n2 = n2 / np.linalg.norm(n2)
                corners.append((tuple(p2), uv, tuple(n2)))
            out.tri(*corners)
        return out


def _fmt(x):
    s = "%.5f" % x
    if s.startswith("-") and float(s) == 0.0:
        s = s[1:]
    return s


def write_obj(mesh, name, comment):
    positions, uvs, normals = {}, {}, {}
    faces = []

    def index(table, key):
        if key not in table:
            table[key] = len(table) + 1
        return table[key]

    for t in mesh.tris:
        face = []
        for p, uv, n in t:
            pk = tuple(_fmt(v) for v in p)
            uk = tuple(_fmt(v) for v in uv)
            nk = tuple(_fmt(v) for v in n)
            face.append((index(positions, pk), index(uvs, uk), index(normals, nk)))
        faces.append(face)
    lines = ["# " + comment, "# generated by tools/gen_assets.py", "o " + name]
    lines += ["v %s %s %s" % k for k in positions]
    lines += ["vt %s %s" % k for k in uvs]
    lines += ["vn %s %s %s" % k for k in normals]
    lines += ["f " + " ".join("%d/%d/%d" % c for c in f) for f in faces]
    path = os.path.join(OBJECTS, name + ".obj")
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    return path, len(mesh.tris)


def write_stl(triangles, name):
    """ASCII STL; triangles are tuples of three 3-vectors, counter-clockwise
    seen from outside."""
    lines = ["solid " + name]
    for a, b, c in triangles:
        a, b, c = (np.asarray(v, dtype=np.float64) for v in (a, b, c))
        n = np.cross(b - a, c - a)
        ln = np.linalg.norm(n)
        n = n / ln if ln > 0 else n
        lines.append("  facet normal %s %s %s" % tuple(_fmt(v) for v in n))
        lines.append("    outer loop")
        for v in (a, b, c):
            lines.append("      vertex %s %s %s" % tuple(_fmt(x) for x in v))
        lines.append("    endloop")
        lines.append("  endfacet")
    lines.append("endsolid " + name)
    path = os.path.join(OBJECTS, name + ".stl")
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    return path, len(triangles)
