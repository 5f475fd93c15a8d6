#!/usr/bin/python3
"""How a screenshot looks to players with a colour-vision deficiency.

    tools/bench/colour_vision.py SHOT.png OUT_PREFIX

writes OUT_PREFIX_protanopia.png, OUT_PREFIX_deuteranopia.png and OUT_PREFIX_tritanopia.png.
Each applies the full-severity matrix of Machado, Oliveira and Fernandes (2009), "A
physiologically-based model for simulation of color vision deficiency", to the picture's
linear RGB (sRGB decoded first, encoded again after). Needs python3-numpy and python3-pil.
"""
import sys

import numpy as np
from PIL import Image

MATRICES = {
    "protanopia": [[0.152286, 1.052583, -0.204868],
                   [0.114503, 0.786281, 0.099216],
                   [-0.003882, -0.048116, 1.051998]],
    "deuteranopia": [[0.367322, 0.860646, -0.227968],
                     [0.280085, 0.672501, 0.047413],
                     [-0.011820, 0.042940, 0.968881]],
    "tritanopia": [[1.255528, -0.076749, -0.178779],
                   [-0.078411, 0.930809, 0.147602],
                   [0.004733, 0.691367, 0.303900]],
}


def to_linear(srgb):
    return np.where(srgb <= 0.04045, srgb / 12.92, ((srgb + 0.055) / 1.055) ** 2.4)


def to_srgb(linear):
    return np.where(linear <= 0.0031308, linear * 12.92, 1.055 * linear ** (1 / 2.4) - 0.055)


def simulate(picture, matrix):
    linear = to_linear(picture / 255.0)
    seen = np.clip(linear @ np.array(matrix).T, 0.0, 1.0)
    return np.round(to_srgb(seen) * 255.0).astype(np.uint8)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    picture = np.asarray(Image.open(sys.argv[1]).convert("RGB"), dtype=np.float64)
    for name, matrix in MATRICES.items():
        Image.fromarray(simulate(picture, matrix)).save(f"{sys.argv[2]}_{name}.png")


if __name__ == "__main__":
    main()
