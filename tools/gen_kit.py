"""The track kit: ramp, straight, left and right, designed as one set.

Every piece fills one 4 x 4 cell of the course grid. In its own coordinates
the ball enters at (2, drop/2, 0) travelling towards -x and leaves at the
opposite edge (straight, ramp) or at the left (+z) or right (-z) edge (the
curves). The origin is the middle of the cell, level with the running
surface half-way along the piece, so the lamp 6 units above the origin hangs
over the middle of the piece.

Every piece starts and ends with the same cross-section, unbanked, falling
with the same gradient (GRADE), so any exit meets any entry when pieces are
placed by whole cells, half-unit heights and quarter turns. The ball slides
more than it rolls on this wood, so the whole kit runs downhill: a straight
at the gradient where the ball just keeps its speed, a ramp that steepens in
the middle to gain speed, and banked curves.

The running surface is a flat floor with rounded corners between two rails;
the collision mesh (STL) is the floor, the rails' inner faces and tops, and
their outer faces, exactly as drawn.
"""
import math

import numpy as np

from gen_common import Mesh

CELL = 4.0                 # grid step
HALF = CELL / 2.0
GRADE = 0.875              # height lost per unit of length at every joint
DROP = {"straight": 3.5, "ramp": 4.5, "left": 3.5, "right": 3.5}
KINDS = ("ramp", "straight", "left", "right")

INNER = 0.80               # half width of the channel between the rails
FILLET = 0.22              # rounded corner between floor and rail
RAIL_H = 0.50              # rail height above the floor
RAIL_T = 0.14              # rail thickness
DECK = 0.32                # thickness of the deck under the floor
BANK = math.radians(16.0)  # largest bank of a curve, at its middle
UV_SCALE = 2.4             # world units per texture repeat

SEGMENTS = {"straight": 4, "ramp": 14, "left": 18, "right": 18}


# ---------------------------------------------------------------------------
# Centre line of a piece: position, heading and bank as functions of t in 0..1
# ---------------------------------------------------------------------------

def path_length(kind):
    """Horizontal length of the centre line (a quarter circle for curves)."""
    return CELL if kind in ("straight", "ramp") else HALF * math.pi / 2.0


def centre(kind, t):
    """Returns (x, z), unit heading (hx, hz), height y, bank angle (positive:
    left side down)."""
    drop = DROP[kind]
    length = path_length(kind)
    # height: constant gradient plus a smooth extra drop that is zero at both ends
    extra = drop - GRADE * length
    y = drop / 2.0 - GRADE * length * t - extra * (1.0 - math.cos(math.pi * t)) / 2.0
    if kind in ("straight", "ramp"):
        return (HALF - CELL * t, 0.0), (-1.0, 0.0), y, 0.0
    a = t * math.pi / 2.0
    side = 1.0 if kind == "left" else -1.0
    x = HALF - HALF * math.sin(a)
    z = side * (HALF - HALF * math.cos(a))
    heading = (-math.cos(a), side * math.sin(a))
    bank = side * BANK * math.sin(math.pi * t)
    return (x, z), heading, y, bank


def slope(kind, t, eps=1e-4):
    """Height lost per unit of horizontal length at t."""
    length = path_length(kind)
    t0, t1 = max(0.0, t - eps), min(1.0, t + eps)
    return -(centre(kind, t1)[2] - centre(kind, t0)[2]) / ((t1 - t0) * length)


def frame(kind, t):
    """Origin point and the (forward, left, up) axes of the cross-section at t."""
    (x, z), (hx, hz), y, bank = centre(kind, t)
    g = slope(kind, t)
    forward = np.array([hx, -g, hz])
    forward /= np.linalg.norm(forward)
    left0 = np.cross([0.0, 1.0, 0.0], forward)
    left0 /= np.linalg.norm(left0)
    up0 = np.cross(forward, left0)
    c, s = math.cos(bank), math.sin(bank)
    left = c * left0 - s * up0
    up = s * left0 + c * up0
    return np.array([x, y, z]), forward, left, up


# ---------------------------------------------------------------------------
# Cross-section: (lateral, up) points, lateral positive to the left
# ---------------------------------------------------------------------------

def _arc(cx, cy, r, a0, a1, n):
    return [(cx + r * math.cos(a0 + (a1 - a0) * i / n), cy + r * math.sin(a0 + (a1 - a0) * i / n))
            for i in range(n + 1)]


def profile():
    """Surfaces of the cross-section as runs of points. Each run is drawn as
    one smooth strip; the runs are listed going round the section so that the
    faces look outwards. 'collide' marks the runs in the collision mesh."""
    w, f, h, th, d = INNER, FILLET, RAIL_H, RAIL_T, DECK
    channel = [(w, h), (w, f)]
    channel += _arc(w - f, f, f, 0.0, -math.pi / 2.0, 5)[1:]
    floor_n = 6
    channel += [(w - f - (2 * (w - f)) * i / floor_n, 0.0) for i in range(1, floor_n)]
    channel += _arc(-(w - f), f, f, -math.pi / 2.0, -math.pi, 5)
    channel += [(-w, h)]
    runs = [
        ("rail_top_left", [(w + th, h), (w, h)], True),
        ("channel", channel, True),
        ("rail_top_right", [(-w, h), (-w - th, h)], True),
        ("outer_right", [(-w - th, h), (-w - th, -d)], True),
        ("bottom", [(-w - th, -d), (w + th, -d)], False),
        ("outer_left", [(w + th, -d), (w + th, h)], True),
    ]
    return runs


def _profile_normals(points):
    """2-D outward normals at each point of a run (averaged at inner points).
    Going round the section as profile() lists it, the outside of a segment
    (dl, du) lies at (du, -dl) in the (lateral, up) plane."""
    n = []
    segs = []
    for (l0, u0), (l1, u1) in zip(points[:-1], points[1:]):
        dl, du = l1 - l0, u1 - u0
        ln = math.hypot(dl, du)
        segs.append((du / ln, -dl / ln))
    for i in range(len(points)):
        if i == 0:
            a = segs[0]
        elif i == len(points) - 1:
            a = segs[-1]
        else:
            a = (segs[i - 1][0] + segs[i][0], segs[i - 1][1] + segs[i][1])
        ln = math.hypot(*a)
        n.append((a[0] / ln, a[1] / ln))
    return n


def _run_lengths(points):
    out = [0.0]
    for (l0, u0), (l1, u1) in zip(points[:-1], points[1:]):
        out.append(out[-1] + math.hypot(l1 - l0, u1 - u0))
    return out


def build_piece(kind):
    """Drawn mesh and collision triangles of one piece, in its own coordinates."""
    n = SEGMENTS[kind]
    frames = [frame(kind, i / n) for i in range(n + 1)]
    # distance along the centre line, for u
    along = [0.0]
    for i in range(1, n + 1):
        along.append(along[-1] + float(np.linalg.norm(frames[i][0] - frames[i - 1][0])))

    mesh = Mesh()
    collision = []
    v_offset = 0.0
    for name, pts, collide in profile():
        normals = _profile_normals(pts)
        lengths = _run_lengths(pts)
        ring_pos = []
        ring_nrm = []
        for origin, forward, left, up in frames:
            ring_pos.append([origin + left * l + up * u for (l, u) in pts])
            ring_nrm.append([left * nl + up * nu for (nl, nu) in normals])
        for i in range(n):
            for j in range(len(pts) - 1):
                def corner(si, pj):
                    return (tuple(ring_pos[si][pj]),
                            (along[si] / UV_SCALE, (v_offset + lengths[pj]) / UV_SCALE),
                            tuple(ring_nrm[si][pj]))
                a, b = corner(i, j), corner(i, j + 1)
                c, d = corner(i + 1, j + 1), corner(i + 1, j)
                mesh.quad(a, b, c, d)
                if collide:
                    collision.append((a[0], b[0], c[0]))
                    collision.append((a[0], c[0], d[0]))
        v_offset += lengths[-1] + 0.37
    _end_caps(mesh, frames, kind)
    return mesh, collision


def _outline():
    """The closed outline of the section, counter-clockwise in (lateral, up)
    seen from behind the piece (looking along forward)."""
    pts = []
    for _name, run, _c in profile():
        for p in run:
            if not pts or (abs(pts[-1][0] - p[0]) > 1e-9 or abs(pts[-1][1] - p[1]) > 1e-9):
                pts.append(p)
    if abs(pts[0][0] - pts[-1][0]) < 1e-9 and abs(pts[0][1] - pts[-1][1]) < 1e-9:
        pts.pop()
    return pts


def _ear_clip(poly):
    """Triangulates a simple polygon given counter-clockwise; returns index triples."""
    def area2(a, b, c):
        return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])

    def inside(p, a, b, c):
        return area2(a, b, p) >= -1e-12 and area2(b, c, p) >= -1e-12 and area2(c, a, p) >= -1e-12

    idx = list(range(len(poly)))
    tris = []
    guard = 0
    while len(idx) > 3 and guard < 10000:
        guard += 1
        for k in range(len(idx)):
            i0, i1, i2 = idx[k - 1], idx[k], idx[(k + 1) % len(idx)]
            a, b, c = poly[i0], poly[i1], poly[i2]
            if area2(a, b, c) <= 1e-12:
                continue
            if any(inside(poly[m], a, b, c) for m in idx if m not in (i0, i1, i2)):
                continue
            tris.append((i0, i1, i2))
            idx.pop(k)
            break
    tris.append(tuple(idx))
    return tris


def _end_caps(mesh, frames, kind):
    outline = _outline()
    # orientation in the (lateral, up) plane
    area = sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(outline, outline[1:] + outline[:1]))
    if area < 0:
        outline = outline[::-1]
    tris = _ear_clip(outline)
    for which in (0, -1):
        origin, forward, left, up = frames[which]
        facing = -forward if which == 0 else forward
        pts3 = [origin + left * l + up * u for (l, u) in outline]
        uvs = [(0.3 + l / UV_SCALE, 0.8 - u / UV_SCALE) for (l, u) in outline]
        for i0, i1, i2 in tris:
            corners = [(tuple(pts3[i]), uvs[i], tuple(facing)) for i in (i0, i1, i2)]
            # counter-clockwise in (lateral, up) looks along +forward... pick
            # the winding whose normal agrees with the facing direction
            p0, p1, p2 = (np.array(c[0]) for c in corners)
            if np.dot(np.cross(p1 - p0, p2 - p0), facing) < 0:
                corners = [corners[0], corners[2], corners[1]]
            mesh.tri(*corners)


# ---------------------------------------------------------------------------
# Placement on the course grid
# ---------------------------------------------------------------------------

HEADINGS = {0: (-1, 0), 1: (0, 1), 2: (1, 0), 3: (0, -1)}  # quarter turns left from -x


def rotation(quarter):
    """Rotation about y by quarter * 90 degrees (a left turn per quarter)."""
    a = math.radians(90.0 * (quarter % 4))
    c, s = round(math.cos(a)), round(math.sin(a))
    return np.array([[c, 0, s], [0, 1, 0], [-s, 0, c]], dtype=np.float64)


def entry_local(kind):
    return np.array([HALF, DROP[kind] / 2.0, 0.0])


def exit_local(kind):
    d = -DROP[kind] / 2.0
    if kind in ("straight", "ramp"):
        return np.array([-HALF, d, 0.0]), 0
    if kind == "left":
        return np.array([0.0, d, HALF]), 1
    return np.array([0.0, d, -HALF]), -1


def place(kind, entry_point, quarter):
    """Origin and rotation of a piece whose entry lies at entry_point with the
    ball travelling in heading 'quarter'; returns (origin, R, exit_point,
    exit_quarter)."""
    r = rotation(quarter)
    origin = np.asarray(entry_point, dtype=np.float64) - r @ entry_local(kind)
    exit_l, turn = exit_local(kind)
    return origin, r, origin + r @ exit_l, (quarter + turn) % 4
