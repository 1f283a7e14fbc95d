/* SPDX-License-Identifier: MIT */
/* quolm: text display of vectors, packed spectra, matrices and multichannel
   arrays (DT32F). Compiled into the programs that use it, not into the
   library. Every value is printed with "% 3.5f " (complex: "% 3.5f %+3.5f*i; ").
   The disp functions write to standard output, the fdisp twins to the stream
   f. Each returns the number of characters written by the prints it counts
   (line ends are counted where the comment says so); a failed print adds its
   negative result. No argument is checked. */
#ifndef QUOLMDISPLAY32F_H
#define QUOLMDISPLAY32F_H

#include <stdio.h>

#include "quolmbuild32f.h"

QUOLM_BEGIN_DECLS(32f)

/* x[0..N-1] on one line. dispR32f does not count the line end, fdispR32f does. */
DT32S dispR32f(const DT32F *x, DT32S N);
DT32S fdispR32f(FILE *f, const DT32F *x, DT32S N);

/* x[0..N-1] one per line, then an empty line; every line end counted. */
DT32S dispC32f(const DT32F *x, DT32S N);
DT32S fdispC32f(FILE *f, const DT32F *x, DT32S N);

/* A packed spectrum of N bins on one line: x[0].re, x[1..N-2], x[0].im (the
   last bin). With N = 1 the two real values of x[0]; only the line end for
   N < 1 (x is not read). Line end counted. */
DT32S dispR32fc(const DT32FC *x, DT32S N);
DT32S fdispR32fc(FILE *f, const DT32FC *x, DT32S N);

/* The same spectrum one bin per line, then an empty line; line ends counted. */
DT32S dispC32fc(const DT32FC *x, DT32S N);
DT32S fdispC32fc(FILE *f, const DT32FC *x, DT32S N);

/* Every channel (in, out) of Nin x Nout channels of chL values, output 0's
   channels first, as a row of its first N values; the sum of the row results. */
DT32S dispMc32f(const DT32F *x, DT32S chL, DT32S Nin, DT32S Nout, DT32S N);
DT32S fdispMc32f(FILE *f, const DT32F *x, DT32S chL, DT32S Nin, DT32S Nout,
                 DT32S N);

/* Channel (in, out), starting at x + chL*(out*Nin + in), as a row of its first
   N values; the row print's result. */
DT32S dispMcR32f(const DT32F *x, DT32S chL, DT32S Nin, DT32S in, DT32S out,
                 DT32S N);
DT32S fdispMcR32f(FILE *f, const DT32F *x, DT32S chL, DT32S Nin, DT32S in,
                  DT32S out, DT32S N);

/* The same channel as a column; the column print's result. */
DT32S dispMcC32f(const DT32F *x, DT32S chL, DT32S Nin, DT32S in, DT32S out,
                 DT32S N);
DT32S fdispMcC32f(FILE *f, const DT32F *x, DT32S chL, DT32S Nin, DT32S in,
                  DT32S out, DT32S N);

/* The row-major matrix x (row rows of col values), one line per row; line ends
   not counted. */
DT32S dispM32f(const DT32F *x, DT32S col, DT32S row);
DT32S fdispM32f(FILE *f, const DT32F *x, DT32S col, DT32S row);

/* The transposed matrix, one line per column; line ends not counted. */
DT32S dispMT32f(const DT32F *x, DT32S col, DT32S row);
DT32S fdispMT32f(FILE *f, const DT32F *x, DT32S col, DT32S row);

QUOLM_END_DECLS

#endif
