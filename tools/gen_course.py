#!/usr/bin/env python3
"""Writes the courses Kobuldo/Tracks/1.track .. 5.track, easy to expert, by
chaining the kit's pieces, and their names in Kobuldo/Tracks/courses.txt.

    python3 tools/gen_course.py [--check]

The game's race start is (-0.88, 65.8, 21.2), the ball moving towards -x, so
the first piece lies under that point. A course too long to stay above the
ground from there starts higher: its file names the start ("start x y z"),
raised by whole half units so the pieces keep the editor's grid. Every later
piece starts where the previous one ends, unless a drop comes between them.
Rings hang over the running line of chosen pieces, their centre 0.35 above
the rolling ball's centre, so a ball anywhere across the floor passes within
1.0 of it; a ring hung towards one rail is passed only by a ball running on
that side. The script refuses a course that overlaps itself or hides the
ball from the start camera. With --check it
only verifies that the files on disk match.
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
RING_SIDE = 0.40          # how far each '<' or '>' hangs a ring off the centre line
LOWEST = 0.0              # no piece reaches lower (the ground plane is at -5)
DROP = 1.0                # a 'v' drops the next piece this much lower


class Course:
    """One course: its file, its name on the start screen, its pieces, the
    best time shipped with it (milliseconds), set just above what the
    playthrough test's good player reaches, and its author time (the good
    player's time, whole milliseconds; None: none yet), from which the game
    takes the medal times. A course made by hand (in the level editor) has no
    pieces here: it is only listed."""

    def __init__(self, file, name, text, best_time, author=None, group="Easy"):
        self.file, self.name, self.text, self.best_time, self.author = file, name, text, best_time, author
        self.group = group


# The courses, easy to expert, piece by piece. Letters: S straight, R ramp,
# L left curve, T right curve (turn). A '*' after a piece hangs a ring over
# its middle; '*<' and '*>' hang it a little towards the left or right rail,
# '*<<' and '*>>' over the rail: only a ball on that side passes it. A 'v'
# between two pieces is a drop: the ball leaves the track and lands on the
# next piece, DROP lower ('v1.5': 1.5 lower; half units keep the joints).
COURSES = (
    # A gentle first run: long rows, every ring on the centre line.
    Course("1.track", "First Roll", "S S R* T T* S R* L L* S R* T T* S R* L L*", 24000, author=22833),
    # Ramps fling the ball into hairpin after hairpin; what it carries in is
    # lost against the outer rail.
    Course("2.track", "Hairpins", "S R T T* L L* R T T* L L* R T T* L L* T T*", 27500, author=26083),
    # Two drops in a row after the first hairpin, then long rows.
    Course("3.track", "Steps", "S S T T* v S* v1.5 S* L L* S S S T T* R S S L L*", 25500, author=24133),
    # Rings over the rails: the ball has to keep to the outside line of every
    # turn and cross over between them.
    Course("4.track", "Rail Line", "S S* T T*<< S L*>> L S*>> R T*<< T S*<< S L*>> L S*>> T T*<<", 30000,
           author=28517),
    # Drops, hairpins and rings over the rails, with a best time only a clean
    # run beats.
    Course("5.track", "Clean Run", "S v1.5 S* T T*<< S v S*<< L L*>> S R*>> T T*<< S*<< L L*>> S*>> T T*<<",
           27000, author=26617),
    # Medium: longer runs from a higher start.
    # Long rows between hairpins, every ring on the centre line.
    Course("6.track", "Long Valley", "S S R* T T* S S S R* L L* S S R* T T* S R S* L L* S S R* T T* S S S R* L L* "
           "S S R* T T* S R* L L*", 49000, author=47383, group="Medium"),
    # Hairpin after hairpin with short rows between.
    Course("7.track", "Switchbacks", "S R* T T* L L* S R* T T* L L* S S R* T T* L L* S R* T T* L L* S S R* T T* "
           "L L* S R* T T*", 43000, author=41517, group="Medium"),
    # Drops of 1 and 1.5 onto straights, and a ramp after them to get going.
    Course("8.track", "Stairs", "S S R* T T* S R* L L* S S v S* T T* S R* L L* S v1.5 S* R T T* S v S* R L L* "
           "S R* T T* S* S", 42000, author=40667, group="Medium"),
    # Bends that step the course aside without turning it back.
    Course("9.track", "Zigzag", "S S R* T L* S T L* S R* T T* S L T* L T* S S R* L L* S T L* S T L* S R* T T* "
           "S L T* L T* S S*", 49000, author=47433, group="Medium"),
    # The rings over the rails of Rail Line, on a course twice as long.
    Course("10.track", "Outer Line", "S S* T T*<< S L*>> L S*>> S R T*<< T S*<< S S L*>> L S*>> R T T*<< S*<< "
           "S L L*>> S*>> S R T*<< T S*<< S S*", 47000, author=45483, group="Medium"),
    # Hard: two ramps into every hairpin: holding W there costs time against
    # the outer rail, braking before the turn keeps the line.
    Course("11.track", "Brake Point", "S R R* T T* S R R* L L* S S R R* T T* S R R* L L* S S R R* T T* S R R* L L* "
           "S R R* T T* S S R R* L L* S S*", 51000, author=49167, group="Hard"),
    # Drops of half a unit to 1.5, some straight into a curve (a narrow
    # landing), with rings off the centre line after them.
    Course("12.track", "Broken Steps", "S S* T T* v0.5 S*> v S*< S R* L L* v S*> S R* T T* v S*< S R* L* v0.5 L "
           "S R* T T* v S*< S* L L* v S* v1.5 S* S R* T* v0.5 T S R* L L* v1.5 S* S* S", 45500, author=44067, group="Hard"),
    # A minute downhill: long rows, ramps and bends.
    Course("13.track", "Long Descent", "S S T L* S R* T T* S S R S* L L* S R R* T T* S R R* L L* S S S T T* "
           "S S S L L* S R* S T T* S S R* L L* S R R* T T* S S R S* L L* S* S", 62500, author=60200, group="Hard"),
    # Rings over the rails and a little off the centre line, turn after
    # turn: only a ball on the right line takes them.
    Course("14.track", "Rail Runner", "S R T*<< T S*<< S S*> L L* S S*< T T* S R*< L L*>> S R*> T T*<< S S*> L L* "
           "S T*<< T S*<< S R*< L L*>> S* T T*<< R L*>> L S*>> S* S", 55000, author=53200, group="Hard"),
    # A minute of everything: long rows, bends aside, a drop into a curve,
    # drops of 1 and 1.5, a ring off the line.
    Course("15.track", "Grand Tour", "S S S S T T* S L T* S R* L L* S R* T* v0.5 T S L T* S R* L L* S S*< T T* "
           "S v S* R L L* S v S* R T T* S L T* S R* L L* S* v S* v1.5 S* T T* S L T* S R* L L* S* S", 61500, author=59267, group="Hard"),
)

# The first course, as the pictures show it.
COURSE = COURSES[0].text
BEST_TIME = COURSES[0].best_time

KIND = {"S": "straight", "R": "ramp", "L": "left", "T": "right"}
SIDE = {"": 0.0, "<": RING_SIDE, ">": -RING_SIDE, "<<": 2 * RING_SIDE, ">>": -2 * RING_SIDE}


def parse(course):
    """(kind, ring, gap) per piece: ring is None or the ring's offset to the
    left of the centre line; gap is how far the piece starts below the end of
    the one before."""
    out = []
    gap = 0.0
    for token in course.split():
        if token.startswith("v"):
            step = float(token[1:] or DROP)
            if step <= 0.0 or step * 2.0 != round(step * 2.0):
                raise ValueError("a drop is a whole number of half units, not '%s'" % token)
            gap += step
            continue
        letter, _star, side = token.partition("*")
        if letter not in KIND or side not in SIDE or (side and not _star):
            raise ValueError("unknown course token '%s'" % token)
        out.append((KIND[letter], SIDE[side] if _star else None, gap))
        gap = 0.0
    if gap:
        raise ValueError("a course cannot end with a drop")
    return out


def matrix(origin, r):
    """Column-major 16 numbers of the placement (rotation r, then origin)."""
    m = np.identity(4)
    m[:3, :3] = r
    m[:3, 3] = origin
    return [m[row, col] for col in range(4) for row in range(4)]


def ring_matrix(kind, origin, r, t=0.5, side=0.0):
    """A ring over the running line of a piece at parameter t, 'side' to the
    left of the centre line: its local x axis along the direction of travel,
    y along the floor's normal."""
    point, forward, left, up = gen_kit.frame(kind, t)
    centre = origin + r @ (point + up * RING_LIFT + left * side)
    axes = np.column_stack([r @ forward, r @ up, r @ -left])
    m = np.identity(4)
    m[:3, :3] = axes
    m[:3, 3] = centre
    return [m[row, col] for col in range(4) for row in range(4)], centre, origin + r @ (point + up * BALL_RADIUS)


def start_for(course):
    """The race start: the game's own, or raised by whole half units until
    the course stays above LOWEST."""
    pieces, _rings = build(course, START)
    lowest = min(t[..., 1].min() for t in _piece_triangles(pieces))
    if lowest >= LOWEST:
        return START
    return START + np.array([0.0, math.ceil((LOWEST - lowest) * 2.0) / 2.0, 0.0])


def build(course=COURSE, start=START):
    pieces = []
    rings = []
    parsed = parse(course)
    # the first piece: its middle under the start point, heading -x
    first_kind = parsed[0][0]
    r0 = gen_kit.rotation(0)
    surface_under_start = start[1] - BALL_RADIUS / math.cos(math.atan(gen_kit.GRADE)) - 0.03
    origin0 = np.array([start[0], round(surface_under_start, 2), start[2]])
    entry = origin0 + r0 @ gen_kit.entry_local(first_kind)
    quarter = 0
    for kind, ring, gap in parsed:
        entry = entry - np.array([0.0, gap, 0.0])
        origin, r, exit_point, quarter_out = gen_kit.place(kind, entry, quarter)
        pieces.append((kind, origin, r, quarter))
        if ring is not None:
            rings.append(ring_matrix(kind, origin, r, side=ring))
        entry, quarter = exit_point, quarter_out
    return pieces, rings


def landings(course):
    """Indexes of the pieces the ball drops onto."""
    return [i for i, (_kind, _ring, gap) in enumerate(parse(course)) if gap]


def check(pieces, rings, landed=(), start=START):
    problems = []
    cells = {}
    for i, ((kind, origin, r, _q), tris) in enumerate(zip(pieces, _piece_triangles(pieces))):
        if tris[..., 1].min() < LOWEST:
            problems.append("piece %d (%s) reaches y = %.2f, too near the ground" % (i, kind, tris[..., 1].min()))
        x, y, z = origin
        key = (round(x / gen_kit.CELL), round(z / gen_kit.CELL))
        for j, yj in cells.get(key, []):
            # a piece may pass under an earlier one only with room for the
            # lamps that circle 6 above every piece
            if abs(yj - y) < 9.0:
                problems.append("piece %d overlaps piece %d in the same cell" % (i, j))
        cells.setdefault(key, []).append((i, y))
    # the first piece is under the start point
    kind, origin, r, _q = pieces[0]
    if abs(origin[0] - start[0]) > 1e-6 or abs(origin[2] - start[2]) > 1e-6:
        problems.append("the first piece is not under the race start")
    if not rings:
        problems.append("no rings: a race could never end")
    problems += check_camera(pieces, landed)
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


# After a drop the ball is still in the air over the first quarter of the
# piece it lands on (a drop of 1 at 3 m/s lands a quarter along a straight).
LANDING = 0.25


def check_camera(pieces, landed=()):
    """With the camera as the game starts it, no piece may come near the camera
    or block the view of the ball where it rolls; landed are the pieces that
    follow a drop."""
    triangles = _piece_triangles(pieces)
    points = [np.unique(np.round(t.reshape(-1, 3), 4), axis=0) for t in triangles]
    problems = []
    for i, (kind, origin, r, _q) in enumerate(pieces):
        for t in np.linspace(LANDING if i in landed else 0.0, 1.0, 9):
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


def course_text(pieces, rings, best_time=BEST_TIME, author=None, start=START):
    lines = ["Writing this to a file."]
    if any(start != START):
        lines.append("start " + " ".join(fmt(v) for v in start))
    for kind, origin, r, _q in pieces:
        lines.append(kind + " " + " ".join(fmt(v) for v in matrix(origin, r)))
    for m, _centre, _ball in rings:
        lines.append("ring " + " ".join(fmt(v) for v in m))
    if author is not None:
        lines.append("author=%d" % author)
    lines.append("besttime %s" % fmt(best_time))
    return "\n".join(lines) + "\n"


def names_text(courses=COURSES):
    """The list of courses beside the course files: file and name per line,
    and a '#group' line before each group (older builds pass it over as a
    comment)."""
    lines = ["# Zentaro's courses, easy to expert: course file, then its name."]
    group = None
    for c in courses:
        if c.group != group:
            group = c.group
            lines.append("#group " + group)
        lines.append("%s %s" % (c.file, c.name))
    return "\n".join(lines) + "\n"


def outputs(courses=COURSES):
    """(file name, text) of every file the script writes; raises ValueError
    naming the course that breaks a rule."""
    out = []
    for number, c in enumerate(courses, 1):
        if c.text is None:
            continue  # made by hand: only listed
        start = start_for(c.text)
        pieces, rings = build(c.text, start)
        problems = check(pieces, rings, landings(c.text), start)
        if problems:
            raise ValueError("\n".join("course %d (%s): %s" % (number, c.name, p) for p in problems))
        out.append((c.file, course_text(pieces, rings, c.best_time, c.author, start)))
    out.append(("courses.txt", names_text(courses)))
    return out


def main(argv):
    try:
        files = outputs()
    except ValueError as error:
        print(error)
        return 1
    if "--check" in argv:
        stale = []
        for name, text in files:
            try:
                with open(os.path.join(TRACKS, name)) as f:
                    same = f.read() == text
            except OSError:
                same = False
            if not same:
                stale.append(name)
        print("course files are %s" % ("up to date" if not stale else "OUT OF DATE: " + " ".join(stale)))
        return 0 if not stale else 1
    os.makedirs(TRACKS, exist_ok=True)
    for name, text in files:
        with open(os.path.join(TRACKS, name), "w", newline="\n") as f:
            f.write(text)
    for number, c in enumerate(COURSES, 1):
        if c.text is None:
            print("%d %-14s made by hand" % (number, c.name))
            continue
        pieces, rings = build(c.text, start_for(c.text))
        ys = [p[1][1] for p in pieces]
        print("%2d %-6s %-20s %2d pieces, %2d rings, heights %.1f .. %.1f" % (number, c.group, c.name, len(pieces),
                                                                            len(rings), min(ys), max(ys)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
