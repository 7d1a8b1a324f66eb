#!/usr/bin/env python3
"""Writes Zentaro's game data under Kobuldo/: textures, sky, font, meshes,
the start / win / lose pictures and the sounds, and the application icons
under dist/. The course itself is gen_course.py's.

    python3 tools/gen_assets.py [textures] [meshes] [pictures] [icons] [sounds]

With no argument everything is written. Needs python3-pil and python3-numpy
(and the DejaVu fonts). The output is deterministic.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import gen_kit  # noqa: E402
import gen_meshes  # noqa: E402
import gen_textures  # noqa: E402
from gen_common import OBJECTS, TEXTURES, write_obj, write_stl  # noqa: E402


def meshes():
    os.makedirs(OBJECTS, exist_ok=True)
    for kind in gen_kit.KINDS:
        mesh, collision = gen_kit.build_piece(kind)
        path, tris = write_obj(mesh, kind, "Zentaro track piece '%s'" % kind)
        _p, ctris = write_stl(collision, kind)
        print("%-10s %5d triangles drawn, %5d for collision" % (kind, tris, ctris))
    for name, builder, comment in (
            ("ring", gen_meshes.ring, "ring the ball passes through"),
            ("shpere", gen_meshes.ball, "the ball, radius 0.25"),
            ("pellixHead", gen_meshes.head, "the head riding on the ball"),
            ("light", gen_meshes.lamp, "lamp circling above every piece"),
            ("light-far", lambda: gen_meshes.lamp(far=True), "lamp, far version")):
        _path, tris = write_obj(builder(), name, "Zentaro " + comment)
        print("%-10s %5d triangles" % (name, tris))


def textures():
    os.makedirs(TEXTURES, exist_ok=True)
    gen_textures.all_textures()


def pictures():
    import gen_pictures
    gen_pictures.all_pictures()


def icons():
    import gen_icons
    gen_icons.all_icons()


def sounds():
    import gen_sounds
    gen_sounds.all_sounds()


def main(argv):
    parts = argv[1:] or ["textures", "meshes", "pictures", "icons", "sounds"]
    for part in parts:
        {"textures": textures, "meshes": meshes, "pictures": pictures, "icons": icons, "sounds": sounds}[part]()


if __name__ == "__main__":
    main(sys.argv)
