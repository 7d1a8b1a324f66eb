#!/usr/bin/env python3
"""Writes the course Kobuldo/Tracks/1.track by chaining the kit's pieces.

    python3 tools/gen_course.py [--check]

The race start is fixed by the game: the ball appears at (-0.88, 65.8, 21.2)
moving towards -x, so the first piece lies under that point. Every later
piece starts where the previous one ends. Rings hang over the running line of
chosen pieces, their centre 0.35 above the rolling ball's centre, so a ball
anywhere across the floor passes within 1.0 of it. The script refuses a
course that leaves the shadow-map box, overlaps itself or has rings off the
track. With --check it only verifies the file on disk matches.
"""
import math
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import gen_kit  # noqa: E402
from gen_common import TRACKS  # noqa: E402

START = np.array([-0.88, 65.8, 21.2])
BALL_RADIUS = 0.25
RING_LIFT = 0.60          # ring centre above the floor, along the floor's normal
BOX = (-50.0, 50.0)       # x and z must stay inside (shadow map)
HEIGHT = (0.0, 120.0)

# The course, piece by piece. A '*' after a piece hangs a ring over its
# middle. Letters: S straight, R ramp, L left curve, T right curve (turn).
COURSE = (
    "S S R* T T* S R* L L* S R* T T* S R* L L*"
)

# Best time shipped with the course, in milliseconds.
BEST_TIME = 24000

KIND = {"S": "straight", "R": "ramp", "L": "left", "T": "right"}


def parse(course):
    out = []
    for token in course.split():
        ring = token.endswith("*")
        out.append((KIND[token.rstrip("*")], ring))
    return out


def matrix(origin, r):
    """Column-major 16 numbers of the placement (rotation r, then origin)."""
    m = np.identity(4)
    m[:3, :3] = r
    m[:3, 3] = origin
    return [m[row, col] for col in range(4) for row in range(4)]


def ring_matrix(kind, origin, r, t=0.5):
    """A ring over the centre line of a piece at parameter t: its local x
    axis along the direction of travel, y along the floor's normal."""
    point, forward, left, up = gen_kit.frame(kind, t)
    centre = origin + r @ (point + up * RING_LIFT)
    axes = np.column_stack([r @ forward, r @ up, r @ -left])
    m = np.identity(4)
    m[:3, :3] = axes
    m[:3, 3] = centre
    return [m[row, col] for col in range(4) for row in range(4)], centre, origin + r @ (point + up * BALL_RADIUS)


def build(course=COURSE):
    pieces = []
    rings = []
    # the first piece: its middle under the start point, heading -x
    first_kind = parse(course)[0][0]
    r0 = gen_kit.rotation(0)
    surface_under_start = START[1] - BALL_RADIUS / math.cos(math.atan(gen_kit.GRADE)) - 0.03
    origin0 = np.array([START[0], round(surface_under_start, 2), START[2]])
    entry = origin0 + r0 @ gen_kit.entry_local(first_kind)
    quarter = 0
    for kind, has_ring in parse(course):
        origin, r, exit_point, quarter_out = gen_kit.place(kind, entry, quarter)
        pieces.append((kind, origin, r, quarter))
        if has_ring:
            rings.append(ring_matrix(kind, origin, r))
        entry, quarter = exit_point, quarter_out
    return pieces, rings


def check(pieces, rings):
    problems = []
    cells = {}
    for i, (kind, origin, r, _q) in enumerate(pieces):
        x, y, z = origin
        for v, (lo, hi), name in ((x, BOX, "x"), (z, BOX, "z"), (y, HEIGHT, "y")):
            if not lo + 3.0 <= v <= hi - 3.0:
                problems.append("piece %d (%s) has %s = %.2f, outside the shadow box" % (i, kind, name, v))
        key = (round(x / gen_kit.CELL), round(z / gen_kit.CELL))
        for j, yj in cells.get(key, []):
            # a piece may pass under an earlier one only with room for the
            # lamps that circle 6 above every piece
            if abs(yj - y) < 9.0:
                problems.append("piece %d overlaps piece %d in the same cell" % (i, j))
        cells.setdefault(key, []).append((i, y))
    # the first piece is under the start point
    kind, origin, r, _q = pieces[0]
    if abs(origin[0] - START[0]) > 1e-6 or abs(origin[2] - START[2]) > 1e-6:
        problems.append("the first piece is not under the race start")
    problems += check_camera(pieces)
    return problems


# The follow camera sits 6 above the ball and 6 towards -z of it until the
# player swings it with the mouse (its yaw starts at 3.14).
CAMERA_OFFSET = np.array([6.0 * math.sin(3.14), 6.0, 6.0 * math.cos(3.14)])


def _piece_triangles(pieces):
    """Every piece's collision triangles in the world, as (n, 3, 3) arrays."""
    out = []
    cache = {}
    for kind, origin, r, _q in pieces:
        if kind not in cache:
            _mesh, collision = gen_kit.build_piece(kind)
            cache[kind] = np.array(collision, dtype=np.float64)
        out.append(cache[kind] @ r.T + origin)
    return out


def _segment_hits(a, b, tris):
    """Whether the segment a-b passes through any of the triangles."""
    d = b - a
    e1 = tris[:, 1] - tris[:, 0]
    e2 = tris[:, 2] - tris[:, 0]
    p = np.cross(d, e2)
    det = np.einsum("ij,ij->i", e1, p)
    ok = np.abs(det) > 1e-12
    inv = np.where(ok, 1.0 / np.where(ok, det, 1.0), 0.0)
    t = a - tris[:, 0]
    u = np.einsum("ij,ij->i", t, p) * inv
    q = np.cross(t, e1)
    v = (q @ d) * inv
    w = np.einsum("ij,ij->i", e2, q) * inv
    return bool(np.any(ok & (u >= 0) & (v >= 0) & (u + v <= 1) & (w > 0) & (w < 1)))


def check_camera(pieces):
    """With the camera as the game starts it, no piece may come near the camera
    or block the view of the ball."""
    triangles = _piece_triangles(pieces)
    points = [np.unique(np.round(t.reshape(-1, 3), 4), axis=0) for t in triangles]
    problems = []
    for i, (kind, origin, r, _q) in enumerate(pieces):
        for t in np.linspace(0.0, 1.0, 9):
            point, _fw, _left, up = gen_kit.frame(kind, t)
            ball = origin + r @ (point + up * BALL_RADIUS)
            eye = ball + CAMERA_OFFSET
            for j, pts in enumerate(points):
                if np.min(np.linalg.norm(pts - eye, axis=1)) < 1.0:
                    problems.append("piece %d is next to the camera over piece %d" % (j, i))
                # the view of the ball's top half and of the head on it
                if _segment_hits(eye, ball + up * 0.2, triangles[j]):
                    problems.append("piece %d hides the ball on piece %d" % (j, i))
    return sorted(set(problems))


def fmt(v):
    """Numbers as the game writes them (six significant digits)."""
    if abs(v) < 5e-7:
        v = 0.0
    s = "%g" % v
    return "0" if s == "-0" else s


def course_text(pieces, rings, best_time=BEST_TIME):
    lines = ["Writing this to a file."]
    for kind, origin, r, _q in pieces:
        lines.append(kind + " " + " ".join(fmt(v) for v in matrix(origin, r)))
    for m, _centre, _ball in rings:
        lines.append("ring " + " ".join(fmt(v) for v in m))
    lines.append("besttime %s" % fmt(best_time))
    return "\n".join(lines) + "\n"


def main(argv):
    pieces, rings = build()
    problems = check(pieces, rings)
    for p in problems:
        print("course: " + p)
    if problems:
        return 1
    text = course_text(pieces, rings)
    path = os.path.join(TRACKS, "1.track")
    if "--check" in argv:
        with open(path) as f:
            same = f.read() == text
        print("course file is %s" % ("up to date" if same else "OUT OF DATE"))
        return 0 if same else 1
    os.makedirs(TRACKS, exist_ok=True)
    with open(path, "w", newline="\n") as f:
        f.write(text)
    ys = [p[1][1] for p in pieces]
    print("%d pieces, %d rings, heights %.1f .. %.1f" % (len(pieces), len(rings), min(ys), max(ys)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
