"""Faces of a font collection (.ttc) by family name; needs only fontTools."""
import functools

from fontTools.ttLib import TTCollection


@functools.lru_cache(maxsize=None)
def face_index(collection_path, family):
    """Index of the face whose (typographic) family name is `family` inside a collection."""
    collection = TTCollection(collection_path, lazy=True)
    for index, font in enumerate(collection.fonts):
        names = font["name"]
        typographic = names.getDebugName(16) or names.getDebugName(1)
        if typographic == family:
            return index
    raise LookupError(f"{family} not found in {collection_path}")
