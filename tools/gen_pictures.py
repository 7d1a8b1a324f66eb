"""The start, win and lose pictures: the real course, ball and rings drawn by
a small software renderer, with the title on top. The keys are not drawn in:
the game shows them in a panel of its own, as the player has bound them."""
import math
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

import gen_course
import gen_kit
import gen_meshes
from gen_common import FONT_DIR, TEXTURES, mix, smoothstep
from gen_textures import SUN_DIR, Sky

WIDTH, HEIGHT = 1000, 780
SS = 2  # supersampling


def load_texture(name):
    return np.asarray(Image.open(os.path.join(TEXTURES, name)).convert("RGB"), dtype=np.float64) / 255.0


def sample(tex, uv):
    """Bilinear, repeating; uv v from the top of the picture."""
    h, w, _ = tex.shape
    x = (uv[..., 0] % 1.0) * w - 0.5
    y = (uv[..., 1] % 1.0) * h - 0.5
    x0 = np.floor(x).astype(int)
    y0 = np.floor(y).astype(int)
    fx = (x - x0)[..., None]
    fy = (y - y0)[..., None]
    x0 %= w
    y0 %= h
    x1 = (x0 + 1) % w
    y1 = (y0 + 1) % h
    a = tex[y0, x0] * (1 - fx) + tex[y0, x1] * fx
    b = tex[y1, x0] * (1 - fx) + tex[y1, x1] * fx
    return a * (1 - fy) + b * fy


def look_at(eye, target, up=(0.0, 1.0, 0.0)):
    eye = np.asarray(eye, dtype=np.float64)
    f = np.asarray(target, dtype=np.float64) - eye
    f /= np.linalg.norm(f)
    s = np.cross(f, up)
    s /= np.linalg.norm(s)
    u = np.cross(s, f)
    return eye, s, u, f


class Renderer:
    def __init__(self, eye, target, fov_deg=45.0):
        self.w, self.h = WIDTH * SS, HEIGHT * SS
        self.eye, self.right, self.up, self.fwd = look_at(eye, target)
        self.focal = (self.h / 2.0) / math.tan(math.radians(fov_deg) / 2.0)
        self.depth = np.full((self.h, self.w), np.inf)
        self.uv = np.zeros((self.h, self.w, 2))
        self.normal = np.zeros((self.h, self.w, 3))
        self.pos = np.zeros((self.h, self.w, 3))
        self.material = np.full((self.h, self.w), -1, dtype=np.int32)
        self.owner = np.full((self.h, self.w), -1, dtype=np.int32)

    def project(self, p):
        d = p - self.eye
        x = d @ self.right
        y = d @ self.up
        z = d @ self.fwd
        sx = self.w / 2.0 + self.focal * x / z
        sy = self.h / 2.0 - self.focal * y / z
        return sx, sy, z

    def draw(self, mesh, model, material, owner=-1):
        r = model[:3, :3]
        t = model[:3, 3]
        nm = np.linalg.inv(r).T
        tris = mesh.tris
        p = np.array([[c[0] for c in tri] for tri in tris], dtype=np.float64) @ r.T + t
        n = np.array([[c[2] for c in tri] for tri in tris], dtype=np.float64) @ nm.T
        uv = np.array([[c[1] for c in tri] for tri in tris], dtype=np.float64)
        with np.errstate(divide="ignore", invalid="ignore"):
            sx, sy, z = self.project(p.reshape(-1, 3))
        sx, sy, z = sx.reshape(-1, 3), sy.reshape(-1, 3), z.reshape(-1, 3)
        for i in range(len(tris)):
            zi = z[i]
            if np.any(zi < 0.2):
                continue
            x0, y0, x1, y1, x2, y2 = sx[i, 0], sy[i, 0], sx[i, 1], sy[i, 1], sx[i, 2], sy[i, 2]
            area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0)
            if area >= 0:  # back face (screen y grows downwards)
                continue
            xmin = max(int(math.floor(min(x0, x1, x2))), 0)
            xmax = min(int(math.ceil(max(x0, x1, x2))), self.w - 1)
            ymin = max(int(math.floor(min(y0, y1, y2))), 0)
            ymax = min(int(math.ceil(max(y0, y1, y2))), self.h - 1)
            if xmin > xmax or ymin > ymax:
                continue
            px = np.arange(xmin, xmax + 1) + 0.5
            py = (np.arange(ymin, ymax + 1) + 0.5)[:, None]
            w0 = ((x1 - px) * (y2 - py) - (x2 - px) * (y1 - py)) / area
            w1 = ((x2 - px) * (y0 - py) - (x0 - px) * (y2 - py)) / area
            w2 = 1.0 - w0 - w1
            inside = (w0 >= 0) & (w1 >= 0) & (w2 >= 0)
            if not inside.any():
                continue
            # perspective-correct weights
            q0, q1, q2 = w0 / zi[0], w1 / zi[1], w2 / zi[2]
            qs = q0 + q1 + q2
            depth = 1.0 / qs
            region = (slice(ymin, ymax + 1), slice(xmin, xmax + 1))
            closer = inside & (depth < self.depth[region])
            if not closer.any():
                continue
            b0, b1, b2 = (q / qs for q in (q0, q1, q2))
            self.depth[region][closer] = depth[closer]
            self.material[region][closer] = material
            self.owner[region][closer] = owner
            for buf, attr in ((self.uv, uv[i]), (self.normal, n[i]), (self.pos, p[i])):
                val = b0[..., None] * attr[0] + b1[..., None] * attr[1] + b2[..., None] * attr[2]
                buf[region][closer] = val[closer]

    def view_dirs(self):
        ys, xs = np.mgrid[0:self.h, 0:self.w]
        dx = (xs + 0.5 - self.w / 2.0) / self.focal
        dy = -(ys + 0.5 - self.h / 2.0) / self.focal
        d = self.fwd[None, None, :] + dx[..., None] * self.right + dy[..., None] * self.up
        return d / np.linalg.norm(d, axis=-1, keepdims=True)


MATERIALS = ["wood.png", "ring.jpg", "pellixTex.jpg", "pellixTex2.jpg", "light.jpg"]
WOOD, RING, BALL, HEAD, LAMP = range(5)


def shade(r, sky, lamps):
    """Colour of every pixel plus the glow layer."""
    dirs = r.view_dirs()
    # the sky at half resolution is plenty
    small = dirs[::2, ::2]
    sky_small = sky(small[..., 0], small[..., 1], small[..., 2])
    color = np.repeat(np.repeat(sky_small, 2, axis=0), 2, axis=1)[:r.h, :r.w]
    glow = np.zeros_like(color)
    lum = color @ np.array([0.299, 0.587, 0.114])
    glow += color * smoothstep(0.96, 1.0, lum)[..., None] * 0.6

    textures = [load_texture(m) for m in MATERIALS]
    n = r.normal / np.maximum(np.linalg.norm(r.normal, axis=-1, keepdims=True), 1e-9)
    to_eye = r.eye[None, None, :] - r.pos
    dist = np.linalg.norm(to_eye, axis=-1)
    to_eye = to_eye / np.maximum(dist[..., None], 1e-9)
    sun = np.clip(n @ SUN_DIR, 0.0, 1.0)
    sun_top = np.clip(n[..., 1], 0.0, 1.0)
    ambient = mix(np.array([0.24, 0.20, 0.17]), np.array([0.40, 0.46, 0.60]), (n[..., 1] * 0.5 + 0.5))
    # every piece is lit by its own lamp only, as in the game
    lamp_light = np.zeros(r.depth.shape)
    for i, lp in enumerate(lamps):
        own = r.owner == i
        if not own.any():
            continue
        d = lp[None, :] - r.pos[own]
        dl = np.linalg.norm(d, axis=-1)
        lamp_light[own] = np.clip(np.sum(n[own] * d, axis=-1) / np.maximum(dl, 1e-9), 0, 1) / (1.0 + 0.012 * dl * dl)
    for m, tex in enumerate(textures):
        mask = r.material == m
        if not mask.any():
            continue
        albedo = sample(tex, r.uv[mask])
        nm = n[mask]
        if m == WOOD:
            light = ambient[mask] + (0.75 * sun_top[mask])[:, None] * np.array([0.80, 0.82, 0.88]) \
                + (1.5 * lamp_light[mask])[:, None] * np.array([1.0, 0.80, 0.52])
            c = albedo * light
        elif m in (BALL, HEAD):
            h = SUN_DIR + to_eye[mask]
            h /= np.linalg.norm(h, axis=-1, keepdims=True)
            highlight = np.clip(np.sum(nm * h, axis=-1), 0, 1) ** 48
            rim = (1.0 - np.clip(np.sum(nm * to_eye[mask], axis=-1), 0, 1)) ** 3
            c = albedo * (ambient[mask] + (0.9 * sun[mask])[:, None] * np.array([1.0, 0.95, 0.85])) \
                + highlight[:, None] * 0.7 + rim[:, None] * np.array([0.55, 0.70, 1.0]) * 0.35
            glow[mask] += highlight[:, None] * 0.3
        else:
            lum_t = albedo @ np.array([0.299, 0.587, 0.114])
            emissive = smoothstep(0.62, 0.9, lum_t)[:, None]
            lit = albedo * (0.45 + 0.65 * np.clip(nm @ np.array([0.33, 0.9, 0.23]), 0, 1))[:, None]
            c = lit * (1 - emissive) + albedo * 1.1 * emissive
            glow[mask] += albedo * emissive
        fog = (smoothstep(35.0, 100.0, dist[mask]) * 0.55)[:, None]
        color[mask] = c * (1 - fog) + np.array([0.78, 0.86, 0.95]) * fog
    return color, glow


def compose(color, glow):
    img = np.clip(color, 0, 1)
    g = Image.fromarray((np.clip(glow, 0, 1) * 255).astype(np.uint8))
    g = g.filter(ImageFilter.GaussianBlur(6 * SS))
    img = img + np.asarray(g, dtype=np.float64) / 255.0 * 1.35
    img = img / (1.0 + np.maximum(img - 1.0, 0.0))
    out = Image.fromarray((np.clip(img, 0, 1) * 255 + 0.5).astype(np.uint8))
    return out.resize((WIDTH, HEIGHT), Image.LANCZOS)


def piece_model(origin, rot):
    m = np.identity(4)
    m[:3, :3] = rot
    m[:3, 3] = origin
    return m


def scene(eye, target, ball_at=None, ball_on_piece=1, ball_t=0.5, lamp_offset=(2.8, 2.8)):
    """Renders the shipped course from eye towards target."""
    pieces, rings = gen_course.build()
    r = Renderer(eye, target)
    meshes = {k: gen_kit.build_piece(k)[0] for k in gen_kit.KINDS}
    lamps = []
    lamp_mesh = gen_meshes.lamp()
    for i, (kind, origin, rot, _q) in enumerate(pieces):
        r.draw(meshes[kind], piece_model(origin, rot), WOOD, i)
        lp = origin + np.array([lamp_offset[0], 6.0, lamp_offset[1]])
        lamps.append(lp)
        r.draw(lamp_mesh, piece_model(lp, np.identity(3)), LAMP)
    ring_mesh = gen_meshes.ring()
    for m, _centre, _ball in rings:
        mat = np.array(m).reshape(4, 4).T
        r.draw(ring_mesh, mat, RING)
    # the ball on a piece, with its head leaning forward
    kind, origin, rot, _q = pieces[ball_on_piece]
    point, forward, left, up = gen_kit.frame(kind, ball_t)
    centre = origin + rot @ (point + up * gen_meshes.BALL_RADIUS)
    heading = rot @ forward
    ball_model = piece_model(centre, _spin(heading))
    r.draw(gen_meshes.ball(), ball_model, BALL)
    head_rot = _head_rotation(heading)
    head_origin = centre + head_rot @ np.array([0.0, 0.3, 0.0])
    r.draw(gen_meshes.head(), piece_model(head_origin, head_rot), HEAD)
    color, glow = shade(r, Sky(), lamps)
    return compose(color, glow), centre


def chase_camera(piece, t, back, lift, side, ahead, drop):
    """Eye and target around the ball on a piece, in the piece's own frame:
    behind, above and to the left of the ball, looking ahead and down."""
    pieces, _rings = gen_course.build()
    kind, origin, rot, _q = pieces[piece]
    point, fw, left, up = gen_kit.frame(kind, t)
    fw, left, up = rot @ fw, rot @ left, rot @ up
    c = origin + rot @ (point + up * gen_meshes.BALL_RADIUS)
    return tuple(c - fw * back + up * lift + left * side), tuple(c + fw * ahead - up * drop)


def _spin(heading):
    # a quarter roll so the marble's stripes show
    a = math.radians(35.0)
    return np.array([[math.cos(a), -math.sin(a), 0], [math.sin(a), math.cos(a), 0], [0, 0, 1]])


def _head_rotation(heading):
    """As the game places the head: turned 90 degrees about y, tilted 30
    degrees towards the direction of travel."""
    def rot(axis, deg):
        axis = np.asarray(axis, dtype=np.float64)
        axis /= np.linalg.norm(axis)
        a = math.radians(deg)
        k = np.array([[0, -axis[2], axis[1]], [axis[2], 0, -axis[0]], [-axis[1], axis[0], 0]])
        return np.identity(3) + math.sin(a) * k + (1 - math.cos(a)) * (k @ k)
    r90 = rot((0, 1, 0), 90.0)
    dx, dz = heading[0], heading[2]
    return r90 @ rot((dx, 0.0, dz), 30.0)


# ---------------------------------------------------------------------------
# Lettering
# ---------------------------------------------------------------------------

def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def title(img, text, centre_x, top, size, fill_top, fill_bottom, outline=(40, 22, 8)):
    """Big lettering with a vertical colour gradient, an outline and a drop shadow."""
    f = font(size)
    w, h = img.size
    mask = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(mask)
    bbox = d.textbbox((0, 0), text, font=f, stroke_width=0)
    x = centre_x - (bbox[2] - bbox[0]) / 2 - bbox[0]
    y = top - bbox[1]
    d.text((x, y), text, font=f, fill=255)
    stroke = Image.new("L", (w, h), 0)
    ImageDraw.Draw(stroke).text((x, y), text, font=f, fill=255, stroke_width=max(3, size // 16))
    shadow = stroke.filter(ImageFilter.GaussianBlur(size / 14)).point(lambda a: int(a * 0.6))
    layer = img.convert("RGBA")
    dark = Image.new("RGBA", (w, h), (0, 0, 0, 255))
    offset = Image.new("L", (w, h), 0)
    offset.paste(shadow, (size // 18, size // 14))
    layer = Image.composite(dark, layer, offset)
    layer = Image.composite(Image.new("RGBA", (w, h), outline + (255,)), layer, stroke)
    grad = np.zeros((h, w, 3))
    t = np.clip((np.arange(h)[:, None] - top) / max(bbox[3] - bbox[1], 1), 0, 1)
    grad[:] = (np.array(fill_top) * (1 - t)[..., None] + np.array(fill_bottom) * t[..., None])
    gimg = Image.fromarray(grad.astype(np.uint8)).convert("RGBA")
    layer = Image.composite(gimg, layer, mask)
    return layer.convert("RGB")


def caption(img, text, y, size=26, fill=(255, 240, 210)):
    d = ImageDraw.Draw(img)
    f = font(size, bold=False)
    bbox = d.textbbox((0, 0), text, font=f)
    x = (WIDTH - (bbox[2] - bbox[0])) / 2 - bbox[0]
    d.text((x + 2, y + 2), text, font=f, fill=(0, 0, 0))
    d.text((x, y), text, font=f, fill=fill)
    return img


def grade(img, tint, amount):
    a = np.asarray(img, dtype=np.float64) / 255.0
    a = a * (1 - amount) + a * np.array(tint) * amount
    return Image.fromarray((np.clip(a, 0, 1) * 255 + 0.5).astype(np.uint8))


def vignette(img, strength=0.35):
    a = np.asarray(img, dtype=np.float64) / 255.0
    ys, xs = np.mgrid[0:HEIGHT, 0:WIDTH]
    r = np.sqrt(((xs - WIDTH / 2) / (WIDTH / 2)) ** 2 + ((ys - HEIGHT / 2) / (HEIGHT / 2)) ** 2)
    a *= (1.0 - strength * smoothstep(0.6, 1.45, r))[..., None]
    return Image.fromarray((np.clip(a, 0, 1) * 255 + 0.5).astype(np.uint8))


def start_screen():
    eye, target = chase_camera(5, 0.4, 3.6, 1.4, -2.4, 5.0, 0.6)
    img, _ = scene(eye, target, ball_on_piece=5, ball_t=0.4)
    img = vignette(img)
    img = title(img, "Zentaro", WIDTH // 2, 26, 150, (255, 236, 150), (242, 132, 36))
    img = caption(img, "Roll down the sky course, pass every ring, beat the best time.", 196, 25)
    img.save(os.path.join(TEXTURES, "Startscreen.png"), optimize=True)


def win_screen():
    eye, target = chase_camera(14, 0.5, 3.2, 1.2, 2.0, 2.5, -0.6)
    img, _ = scene(eye, target, ball_on_piece=14, ball_t=0.5)
    img = grade(img, (1.15, 1.0, 0.7), 0.35)
    img = _confetti(img)
    img = vignette(img)
    img = title(img, "You win!", WIDTH // 2, 70, 140, (255, 244, 170), (250, 170, 40))
    img = caption(img, "A new best time! It is saved with the course.", 250, 28)
    img.save(os.path.join(TEXTURES, "YouWin.png"), optimize=True)


def lose_screen():
    eye, target = chase_camera(10, 0.5, 3.4, 1.5, 2.0, 5.0, 0.2)
    img, _ = scene(eye, target, ball_on_piece=10, ball_t=0.5)
    img = grade(img, (0.55, 0.62, 0.85), 0.45)
    img = vignette(img, 0.5)
    img = title(img, "Too slow!", WIDTH // 2, 70, 140, (200, 225, 255), (90, 130, 230), outline=(10, 16, 40))
    img = caption(img, "Every ring passed, but the best time still stands.", 250, 28, (225, 235, 255))
    img.save(os.path.join(TEXTURES, "YouLose.png"), optimize=True)


def _confetti(img):
    rng = np.random.RandomState(1707)
    d = ImageDraw.Draw(img)
    colours = [(255, 210, 60), (255, 120, 60), (90, 200, 255), (255, 255, 255), (120, 230, 140)]
    for _ in range(140):
        x, y = rng.uniform(0, WIDTH), rng.uniform(0, HEIGHT * 0.75)
        w, h = rng.uniform(5, 11), rng.uniform(3, 6)
        a = rng.uniform(0, math.pi)
        c = colours[rng.randint(len(colours))]
        pts = [(x + math.cos(a) * dx - math.sin(a) * dy, y + math.sin(a) * dx + math.cos(a) * dy)
               for dx, dy in ((-w, -h), (w, -h), (w, h), (-w, h))]
        d.polygon(pts, fill=c)
    return img


def all_pictures():
    start_screen()
    win_screen()
    lose_screen()
