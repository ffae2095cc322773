"""Generators of the run-time assets: images, icon font, colour look-up tables, window icon."""
