"""Meshes besides the track kit: the ring, the ball, the ball's head and the
lamp. Coordinates are the objects' own; see each function for the origin."""
import math

import numpy as np

from gen_common import Mesh
from gen_textures import HEAD_EAR_BOX, HEAD_EYE_BOX

BALL_RADIUS = 0.25
RING_RADIUS = 0.60      # centre of the tube
RING_TUBE = 0.055
LAMP_SCALE = 0.5


def sphere_uv(p):
    """Equirectangular uv of a direction: u = 0.5 faces +x and grows towards
    -z (so the picture is not mirrored seen from outside), v from the top."""
    x, y, z = p
    u = 0.5 + math.atan2(-z, x) / (2.0 * math.pi)
    v = math.acos(max(-1.0, min(1.0, y))) / math.pi
    return u, v


def uv_sphere(radius, lon, lat, centre=(0.0, 0.0, 0.0), scale=(1.0, 1.0, 1.0), uv_box=(0.0, 0.0, 1.0, 1.0)):
    """Sphere (or ellipsoid through scale) with equirectangular uvs mapped into
    uv_box. The seam runs at the back (-x)."""
    mesh = Mesh()
    u0, v0, u1, v1 = uv_box
    cx, cy, cz = centre
    sx, sy, sz = scale

    def vert(i, j):
        # i: longitude index 0..lon (u), j: latitude index 0..lat (v from the top)
        u = i / lon
        v = j / lat
        phi = (u - 0.5) * 2.0 * math.pi
        theta = v * math.pi
        d = (math.sin(theta) * math.cos(phi), math.cos(theta), -math.sin(theta) * math.sin(phi))
        p = (cx + d[0] * radius * sx, cy + d[1] * radius * sy, cz + d[2] * radius * sz)
        n = np.array([d[0] / sx, d[1] / sy, d[2] / sz])
        n = n / np.linalg.norm(n)
        return p, (u0 + (u1 - u0) * u, v0 + (v1 - v0) * v), tuple(n)

    for j in range(lat):
        for i in range(lon):
            a, b = vert(i, j), vert(i + 1, j)
            c, d = vert(i + 1, j + 1), vert(i, j + 1)
            # seen from outside, u grows to the right and v downwards
            if j == 0:
                mesh.tri(a, d, c)
            elif j == lat - 1:
                mesh.tri(a, d, b)
            else:
                mesh.quad(a, d, c, b)
    _fix_winding(mesh)
    return mesh


def ball():
    """The ball: radius exactly 0.25 around the origin (the body's centre)."""
    return uv_sphere(BALL_RADIUS, 40, 20)


def ring():
    """Torus around the local x axis (the ball passes along x), tube centre at
    0.6 from the origin; the ring's position is its centre."""
    mesh = Mesh()
    n_major, n_minor = 48, 12

    def vert(i, j):
        a = 2.0 * math.pi * i / n_major
        b = 2.0 * math.pi * j / n_minor
        # circle in the y-z plane; the tube turns about it
        ry, rz = math.cos(a), math.sin(a)
        radial = np.array([0.0, ry, rz])
        n = radial * math.cos(b) + np.array([1.0, 0.0, 0.0]) * math.sin(b)
        p = radial * RING_RADIUS + n * RING_TUBE
        return tuple(p), (i / n_major * 4.0, 0.5 + j / n_minor), tuple(n)

    for i in range(n_major):
        for j in range(n_minor):
            a, b = vert(i, j), vert(i + 1, j)
            c, d = vert(i + 1, j + 1), vert(i, j + 1)
            mesh.quad(a, b, c, d)
    _fix_winding(mesh)
    return mesh


def _fix_winding(mesh):
    """Makes every triangle counter-clockwise seen from the side its corner
    normals point to."""
    fixed = []
    for a, b, c in mesh.tris:
        p0, p1, p2 = (np.array(x[0]) for x in (a, b, c))
        n = np.array(a[2]) + np.array(b[2]) + np.array(c[2])
        if np.dot(np.cross(p1 - p0, p2 - p0), n) < 0:
            fixed.append((a, c, b))
        else:
            fixed.append((a, b, c))
    mesh.tris = fixed


def _cone(base_centre, axis, radius, height, segs, uv_box, tilt_out):
    """A rounded cone (ear) standing on base_centre along axis."""
    mesh = Mesh()
    axis = np.asarray(axis, dtype=np.float64)
    axis /= np.linalg.norm(axis)
    side = np.cross(axis, [1.0, 0.0, 0.0])
    if np.linalg.norm(side) < 1e-6:
        side = np.cross(axis, [0.0, 0.0, 1.0])
    side /= np.linalg.norm(side)
    fwd = np.cross(side, axis)
    base = np.asarray(base_centre, dtype=np.float64)
    u0, v0, u1, v1 = uv_box
    rings = 5
    for k in range(rings):
        for i in range(segs):
            corners = []
            for (kk, ii) in ((k, i), (k, i + 1), (k + 1, i + 1), (k + 1, i)):
                h = kk / rings
                r = radius * math.sqrt(max(0.0, 1.0 - h * h)) * (1.0 - 0.25 * h)
                a = 2.0 * math.pi * ii / segs
                radial = side * math.cos(a) + fwd * math.sin(a)
                p = base + axis * (height * h) + radial * r
                n = radial * math.cos(0.6) + axis * math.sin(0.6) * (0.3 + h)
                n /= np.linalg.norm(n)
                uv = (u0 + (u1 - u0) * (ii / segs), v0 + (v1 - v0) * (1.0 - h))
                corners.append((tuple(p), uv, tuple(n)))
            mesh.quad(corners[0], corners[3], corners[2], corners[1])
    _fix_winding(mesh)
    return mesh


def head():
    """The little creature riding on the ball. Its origin sits 0.3 above the
    ball's centre (the game lifts it so), so the ball's top is at y = -0.05;
    it looks towards +x."""
    mesh = Mesh()
    # head: a slightly squashed sphere, top half of the atlas
    mesh.extend(uv_sphere(0.17, 32, 16, centre=(0.0, 0.03, 0.0), scale=(1.0, 0.85, 1.0),
                          uv_box=(0.0, 0.0, 1.0, 0.5)))
    # eyes: small spheres on the front, their front mapped onto the eye picture
    eu0, ev0, eu1, ev1 = HEAD_EYE_BOX
    for side in (-1.0, 1.0):
        eye = uv_sphere(0.05, 16, 10, centre=(0.135, 0.06, 0.065 * side))
        corners = []
        for tri in eye.tris:
            new = []
            for p, _uv, n in tri:
                # planar projection along x: (z, y) relative to the eye centre
                dz = (p[2] - 0.065 * side) / 0.05
                dy = (p[1] - 0.06) / 0.05
                if n[0] < 0.0:
                    dz, dy = 0.95, 0.95  # back of the eye: the white corner of the picture
                uu = eu0 + (eu1 - eu0) * (0.5 - dz * 0.5)
                vv = ev0 + (ev1 - ev0) * (0.5 - dy * 0.5)
                new.append((p, (uu, vv), n))
            corners.append(tuple(new))
        eye.tris = corners
        mesh.extend(eye)
    # ears, leaning outwards
    for side in (-1.0, 1.0):
        mesh.extend(_cone((-0.01, 0.13, 0.085 * side), (0.0, 1.0, 0.55 * side), 0.05, 0.12, 12,
                          HEAD_EAR_BOX, side))
    return mesh


def lamp(far=False):
    """Small lantern: a glowing glass bulb with a metal cap and foot; the
    origin is the middle of the bulb. far: the same lantern with about a
    sixth of the triangles, for lamps a few pixels tall."""
    mesh = Mesh()
    # glass: left half of light.jpg
    lon, lat, segs, n_major, n_minor = (8, 5, 6, 8, 3) if far else (20, 12, 16, 24, 6)
    mesh.extend(uv_sphere(0.16, lon, lat, scale=(1.0, 1.2, 1.0), uv_box=(0.0, 0.0, 0.5, 1.0)))
    # cap and foot: metal, right half
    for y0, y1, r0, r1 in ((0.16, 0.26, 0.12, 0.05), (-0.16, -0.23, 0.09, 0.05)):
        for i in range(segs):
            a0 = 2.0 * math.pi * i / segs
            a1 = 2.0 * math.pi * (i + 1) / segs
            quad = []
            for a, y, r, v in ((a0, y0, r0, 0.0), (a1, y0, r0, 0.0), (a1, y1, r1, 1.0), (a0, y1, r1, 1.0)):
                p = (r * math.cos(a), y, r * math.sin(a))
                slope_n = (r0 - r1) / abs(y1 - y0)
                n = np.array([math.cos(a), slope_n * (1 if y1 > y0 else -1), math.sin(a)])
                n /= np.linalg.norm(n)
                quad.append((p, (0.5 + 0.5 * (a / (2 * math.pi)), v), tuple(n)))
            mesh.quad(*quad)
        # flat lid closing the cone
        for i in range(segs):
            a0 = 2.0 * math.pi * i / segs
            a1 = 2.0 * math.pi * (i + 1) / segs
            ny = 1.0 if y1 > y0 else -1.0
            c = ((0.0, y1, 0.0), (0.75, 0.5), (0.0, ny, 0.0))
            p0 = ((r1 * math.cos(a0), y1, r1 * math.sin(a0)), (0.75, 0.2), (0.0, ny, 0.0))
            p1 = ((r1 * math.cos(a1), y1, r1 * math.sin(a1)), (0.8, 0.2), (0.0, ny, 0.0))
            mesh.tri(c, p0, p1)
    # a thin hoop around the glass
    hoop = Mesh()
    for i in range(n_major):
        for j in range(n_minor):
            quad = []
            for ii, jj in ((i, j), (i + 1, j), (i + 1, j + 1), (i, j + 1)):
                a = 2.0 * math.pi * ii / n_major
                b = 2.0 * math.pi * jj / n_minor
                radial = np.array([math.cos(a), 0.0, math.sin(a)])
                n = radial * math.cos(b) + np.array([0.0, 1.0, 0.0]) * math.sin(b)
                p = radial * 0.165 + n * 0.018
                quad.append((tuple(p), (0.5 + 0.5 * ii / n_major, jj / n_minor), tuple(n)))
            hoop.quad(*quad)
    mesh.extend(hoop)
    _fix_winding(mesh)
    # small enough not to block the follow camera, which flies at lamp height
    return mesh.transformed(np.identity(3) * LAMP_SCALE)
