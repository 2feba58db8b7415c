"""Inverse-distance weighting at the plan's full resolution, the neighbours of every pixel found
with scipy's cKDTree on every core: the spots within lks's radius, weighted as lks weighs them,
((r - d) / (r d))^2, a pixel on a spot taking its value, no value beyond the radius. Queried a
band of rows at a time so that the neighbour arrays stay small. Prints the interpolation's
seconds (no reading, no image) last."""

import time

import numpy as np
from scipy.spatial import cKDTree

from peer_points import read_points

ROWS_AT_A_TIME = 100
NEIGHBOURS = 16


def main():
    width, height, radius, x, y, dbm = read_points()
    start = time.perf_counter()
    tree = cKDTree(np.column_stack((x, y)))
    values = np.append(dbm, 0.0)  # index len(dbm): no neighbour; its weight is 0
    gx = np.arange(width, dtype=float)
    field = np.empty((height, width), dtype=np.float32)
    for first in range(0, height, ROWS_AT_A_TIME):
        rows = np.arange(first, min(height, first + ROWS_AT_A_TIME), dtype=float)
        px, py = np.meshgrid(gx, rows)
        d, i = tree.query(np.column_stack((px.ravel(), py.ravel())), k=NEIGHBOURS,
                          distance_upper_bound=radius, workers=-1)
        with np.errstate(divide="ignore", invalid="ignore"):
            w = np.where(np.isfinite(d), ((radius - d) / (radius * d)) ** 2, 0.0)
            v = (w * values[i]).sum(axis=1) / w.sum(axis=1)
        on_spot = d[:, 0] == 0.0
        v[on_spot] = values[i[on_spot, 0]]
        field[first:first + rows.size] = v.reshape(rows.size, width)
    seconds = time.perf_counter() - start
    print(f"grid {width} x {height}, {np.isfinite(field).mean() * 100:.0f}% with a value")
    print(f"{seconds:.4f}")


if __name__ == "__main__":
    main()
