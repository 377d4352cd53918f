# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A night's table in the layout AstroImageJ saves its Measurements in: a
first column headed by a blank holding the row's number, the image's columns,
then per aperture (T1 the variable, C2, C3, ... the comparison stars) its
photometry columns, then its relative flux; tab-separated, numbers with six
decimals as AstroImageJ writes them by default.

    python3 aij_table.py IMAGES APERTURES [DRIFTING] > measurements.xls

DRIFTING (an aperture such as C4) brightens by 0.1 mag over the night."""
import math
import random
import sys

APERTURE_COLUMNS = ["X(FITS)", "Y(FITS)", "X(IJ)", "Y(IJ)", "RA", "DEC", "Source-Sky",
                    "N_Src_Pixels", "Source_Error", "Source_SNR", "Peak", "Mean", "Sky/Pixel",
                    "N_Sky_Pixels", "FWHM", "Width", "X-Width", "Y-Width", "Angle", "Roundness"]
IMAGE_COLUMNS = ["Label", "slice", "Saturated", "J.D.-2400000", "JD_UTC", "JD_SOBS", "HJD_UTC",
                 "BJD_TDB", "AIRMASS", "ALT_OBJ", "EXPTIME"]
# The catalogue magnitudes of C2, C3, ...: compdata.txt's rows 1, 2, ...
CATALOGUE = [9.75, 10.25, 10.75, 11.25, 11.75, 12.25, 12.75, 13.0, 13.25, 13.5, 13.75, 14.0,
             14.25, 14.5, 14.75]
START = 2461382.35  # 2026-12-07 20:24 UT


def table(images, apertures, drifting=None, seed=7):
    rng = random.Random(seed)
    names = ["T1"] + ["C%d" % k for k in range(2, apertures + 1)]
    header = [" "] + IMAGE_COLUMNS
    for name in names:
        header += ["%s_%s" % (column, name) for column in APERTURE_COLUMNS]
    for name in names:
        header += ["rel_flux_%s" % name, "rel_flux_err_%s" % name, "rel_flux_SNR_%s" % name]
    lines = ["\t".join(header)]
    for i in range(images):
        jd = START + i * 60.0 / 86400
        zero = 25.0 + 0.2 * math.sin(i / 50.0)  # transparency changing through the night
        row = [str(i + 1), "ss_cyg_%05d.fits" % (i + 1), str(i + 1), "0",
               "%.6f" % (jd - 2400000), "%.6f" % jd, "%.6f" % (jd - 30 / 86400),
               "%.6f" % (jd + 0.003), "%.6f" % (jd + 0.0038), "%.6f" % (1.2 + i * 0.0001),
               "%.6f" % (56.0 - i * 0.01), "60.000000"]
        fluxes = []
        for k, name in enumerate(names):
            mag = 11.6 + 0.3 * math.sin(i / 30.0) if k == 0 else CATALOGUE[k - 1]
            if name == drifting:
                mag -= 0.1 * i / max(images - 1, 1)
            flux = 10 ** (-0.4 * (mag - zero + rng.gauss(0, 0.004)))
            fluxes.append(flux)
            row += ["%.6f" % (100 + 40 * k), "%.6f" % (200 + 30 * k), "%.6f" % (100 + 40 * k),
                    "%.6f" % (800 - 30 * k), "%.6f" % (325.67 + k / 100), "%.6f" % (43.58 + k / 100),
                    "%.6f" % flux, "113.000000", "%.6f" % math.sqrt(flux), "%.6f" % math.sqrt(flux),
                    "%.6f" % (flux / 20), "%.6f" % (flux / 113), "102.500000", "1200.000000",
                    "3.100000", "3.200000", "3.000000", "3.100000", "12.500000", "0.950000"]
        total = sum(fluxes[1:])
        for flux in fluxes:
            row += ["%.6f" % (flux / total), "%.6f" % (math.sqrt(flux) / total),
                    "%.6f" % math.sqrt(flux)]
        lines.append("\t".join(row))
    return "\n".join(lines) + "\n"


def compdata(apertures):
    """compdata.txt for rows 1.. = C2.. (no measured values: the table gives them)."""
    return "".join(", %s \r\n" % c for c in CATALOGUE[:apertures - 1])


if __name__ == "__main__":
    sys.stdout.write(table(int(sys.argv[1]), int(sys.argv[2]),
                           sys.argv[3] if len(sys.argv) > 3 else None))
