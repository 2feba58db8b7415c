"""The points both peers map: the first line holds the plan's width, height and the radius lks
chooses; each further line "x,y,dbm" is a spot's strongest channel, as lks values it."""

import sys

import numpy as np


def read_points():
    with open(sys.argv[1], encoding="ascii") as f:
        width, height, radius = f.readline().split()
        xyz = np.loadtxt(f, delimiter=",", ndmin=2)
    return int(width), int(height), float(radius), xyz[:, 0], xyz[:, 1], xyz[:, 2]
