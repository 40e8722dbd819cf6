#!/usr/bin/env python3
"""Writes config/customprop.glb, the built-in "Custom" prop: a wooden crate,
a unit box with its own texture (planks inside a frame with a diagonal
brace), as a glTF 2.0 binary file. Standard library only; the output is
deterministic. Run again after changing the drawing."""
import json
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "config", "customprop.glb")

TEXTURE_SIZE = 64
FRAME = 7           # frame width in texels
PLANKS = 4          # planks across the face
FRAME_WOOD = (120, 78, 40)
PLANK_WOOD = (176, 124, 70)
GAP = (70, 44, 22)


def texel(x, y):
    """Colour of one texel of a crate face."""
    n = TEXTURE_SIZE
    on_frame = x < FRAME or y < FRAME or x >= n - FRAME or y >= n - FRAME
    on_brace = abs(x - y) <= FRAME // 2 and not on_frame
    if on_frame or on_brace:
        base = FRAME_WOOD
        edge = x in (0, n - 1) or y in (0, n - 1) or x == FRAME - 1 or y == FRAME - 1 \
            or x == n - FRAME or y == n - FRAME
        if edge:
            base = GAP
    else:
        plank = (y - FRAME) * PLANKS // (n - 2 * FRAME)
        base = GAP if (y - FRAME) * PLANKS % (n - 2 * FRAME) < PLANKS else PLANK_WOOD
        # A little grain, different per plank.
        grain = ((x * 7 + plank * 13) % 11) - 5
        base = tuple(max(0, min(255, c + grain)) for c in base)
    return base + (255,)


def png(width, height, pixel):
    """An RGBA PNG of the given pixel function."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # filter: none
        for x in range(width):
            raw.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def box():
    """24 vertices (4 per face, so every face gets the whole texture) and 36 indices."""
    faces = [  # normal, u axis, v axis
        ((1, 0, 0), (0, 0, -1), (0, -1, 0)),
        ((-1, 0, 0), (0, 0, 1), (0, -1, 0)),
        ((0, 1, 0), (1, 0, 0), (0, 0, 1)),
        ((0, -1, 0), (1, 0, 0), (0, 0, -1)),
        ((0, 0, 1), (1, 0, 0), (0, -1, 0)),
        ((0, 0, -1), (-1, 0, 0), (0, -1, 0)),
    ]
    positions, normals, uvs, indices = [], [], [], []
    for normal, u_axis, v_axis in faces:
        base = len(positions)
        for u, v in ((0, 0), (1, 0), (1, 1), (0, 1)):
            positions.append(tuple(0.5 * normal[i] + (u - 0.5) * u_axis[i] + (v - 0.5) * v_axis[i]
                                   for i in range(3)))
            normals.append(normal)
            uvs.append((u, v))
        # Counter-clockwise seen from outside: u x v points against the normal
        # for these axes, so wind 0, 2, 1.
        indices += [base, base + 2, base + 1, base, base + 3, base + 2]
    return positions, normals, uvs, indices


def pad(data, fill):
    return data + fill * (-len(data) % 4)


def main():
    positions, normals, uvs, indices = box()
    image = png(TEXTURE_SIZE, TEXTURE_SIZE, texel)
    parts = [
        b"".join(struct.pack("<3f", *p) for p in positions),
        b"".join(struct.pack("<3f", *n) for n in normals),
        b"".join(struct.pack("<2f", *t) for t in uvs),
        b"".join(struct.pack("<H", i) for i in indices),
        image,
    ]
    binary, views = b"", []
    for index, part in enumerate(parts):
        view = {"buffer": 0, "byteOffset": len(binary), "byteLength": len(part)}
        if index < 3:
            view["target"] = 34962
        elif index == 3:
            view["target"] = 34963
        views.append(view)
        binary = pad(binary + part, b"\0")

    document = {
        "asset": {"version": "2.0", "generator": "Tarsel Studio scripts/make-customprop.py"},
        "scene": 0,
        "scenes": [{"name": "Custom", "nodes": [0]}],
        "nodes": [{"name": "Crate", "mesh": 0}],
        "meshes": [{"name": "Crate", "primitives": [{
            "attributes": {"POSITION": 0, "NORMAL": 1, "TEXCOORD_0": 2},
            "indices": 3, "material": 0, "mode": 4}]}],
        "materials": [{"name": "Crate wood", "pbrMetallicRoughness": {
            "baseColorFactor": [1.0, 1.0, 1.0, 1.0],
            "baseColorTexture": {"index": 0, "texCoord": 0},
            "metallicFactor": 0.0, "roughnessFactor": 0.9}}],
        "textures": [{"sampler": 0, "source": 0}],
        "samplers": [{"magFilter": 9729, "minFilter": 9987, "wrapS": 10497, "wrapT": 10497}],
        "images": [{"name": "crate", "bufferView": 4, "mimeType": "image/png"}],
        "accessors": [
            {"bufferView": 0, "componentType": 5126, "count": len(positions), "type": "VEC3",
             "min": [-0.5, -0.5, -0.5], "max": [0.5, 0.5, 0.5]},
            {"bufferView": 1, "componentType": 5126, "count": len(normals), "type": "VEC3"},
            {"bufferView": 2, "componentType": 5126, "count": len(uvs), "type": "VEC2"},
            {"bufferView": 3, "componentType": 5123, "count": len(indices), "type": "SCALAR"},
        ],
        "bufferViews": views,
        "buffers": [{"byteLength": len(binary)}],
    }
    text = pad(json.dumps(document, separators=(",", ":")).encode("utf-8"), b" ")
    glb = (struct.pack("<III", 0x46546C67, 2, 12 + 8 + len(text) + 8 + len(binary)) +
           struct.pack("<II", len(text), 0x4E4F534A) + text +
           struct.pack("<II", len(binary), 0x004E4942) + binary)
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "wb") as out:
        out.write(glb)


if __name__ == "__main__":
    main()
