// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for --image-info: CFITSIO opening each file and reading its header's
// size, nothing more.
//     fits_floor FILE...
#include <fitsio.h>

int main(int argc, char *argv[])
{
    int opened = 0;
    for (int i = 1; i < argc; ++i) {
        fitsfile *file = nullptr;
        int status = 0;
        int keys = 0;
        if (fits_open_diskfile(&file, argv[i], READONLY, &status) == 0) {
            fits_get_hdrspace(file, &keys, nullptr, &status);
            fits_close_file(file, &status);
            opened += status == 0;
        }
    }
    return opened == argc - 1 ? 0 : 1;
}
