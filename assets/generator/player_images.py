"""Images of the preview: the play overlay over the thumbnail, the seek knob and the
play / pause button of the preview window's control strip."""
from . import palette as p
from .paint import Canvas


def play_overlay(size=72):
    """Shown centred over the thumbnail while the pointer is over it, at its natural size."""
    c = Canvas(size, size, 1)
    r = size / 2 - 3
    disc = c.ellipse_mask(size / 2, size / 2, r)
    c.shadow(disc, p.black(0.30), blur=2.0, dy=1.0)
    c.fill(disc, p.black(0.48))
    ring = c.ring_mask(disc, c.ellipse_mask(size / 2, size / 2, r - 2.5))
    c.fill(ring, p.white(0.92))
    # A play triangle's ink box centre lies left of its visual centre.
    c.icon(size / 2 + 2.5, size / 2, p.ICON_PLAY, 34, p.WHITE)
    return c


def seek_knob(size=22):
    c = Canvas(size, size, 1)
    r = size / 2 - 2.5
    disc = c.ellipse_mask(size / 2, size / 2, r)
    c.shadow(disc, p.black(0.45), blur=1.2, dy=0.8)
    c.fill(disc, p.WHITE)
    c.fill(c.ring_mask(disc, c.ellipse_mask(size / 2, size / 2, r - 1)), p.black(0.10))
    c.fill(c.ellipse_mask(size / 2, size / 2, 3), (180, 180, 180, 255))
    return c


def play_pause(code, size=40, scale=1):
    """Play or pause on a faint round plate; white, for the dark control strip."""
    c = Canvas(size, size, scale)
    plate = c.ellipse_mask(size / 2, size / 2, size / 2 - 1)
    c.fill(plate, p.white(0.13))
    dx = 1.2 if code == p.ICON_PLAY else 0
    c.icon(size / 2 + dx, size / 2, code, 20, p.WHITE)
    return c
