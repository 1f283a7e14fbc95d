// SPDX-License-Identifier: MIT
// Text display of vectors, packed spectra, matrices and multichannel arrays.
// Each disp function is its fdisp twin writing to standard output; the twins
// differ only in whether the line end closing a row adds to the result, which
// callers already count on.
#include "quolmdisplay32f.h"

#include <stddef.h>

namespace {

const char kValue[] = "% 3.5f ";
const char kValueLine[] = "% 3.5f \n";
const char kBin[] = "% 3.5f %+3.5f*i; ";
const char kBinLine[] = "% 3.5f %+3.5f*i; \n";

enum class LineEnd { uncounted, counted };

DT32S endLine(FILE *f, LineEnd end) {
  const DT32S n = fprintf(f, "\n");
  return end == LineEnd::counted ? n : 0;
}

// N values x[0], x[stride], ... on one line. The stride serves the columns of
// a row-major matrix.
DT32S row(FILE *f, const DT32F *x, DT32S N, ptrdiff_t stride, LineEnd end) {
  DT32S n = 0;
  for (DT32S i = 0; i < N; ++i) n += fprintf(f, kValue, DT64F(x[i * stride]));
  return n + endLine(f, end);
}

DT32S column(FILE *f, const DT32F *x, DT32S N) {
  DT32S n = 0;
  for (DT32S i = 0; i < N; ++i) n += fprintf(f, kValueLine, DT64F(x[i]));
  return n + endLine(f, LineEnd::counted);
}

// Packed spectrum of N bins, each printed with fmt: element 0 holds the first
// and the last bin as two real values, elements 1 .. N-2 the bins between.
// Zero bins print nothing, so an empty spectrum is never read.
DT32S bins(FILE *f, const DT32FC *x, DT32S N, const char *fmt) {
  if (N < 1) return 0;
  DT32S n = fprintf(f, fmt, DT64F(x[0].re), 0.0);
  for (DT32S i = 1; i < N - 1; ++i)
    n += fprintf(f, fmt, DT64F(x[i].re), DT64F(x[i].im));
  return n + fprintf(f, fmt, DT64F(x[0].im), 0.0);
}

const DT32F *channel(const DT32F *x, DT32S chL, DT32S Nin, DT32S in,
                     DT32S out) {
  return x + ptrdiff_t(chL) * (ptrdiff_t(out) * Nin + in);
}

DT32S channels(FILE *f, const DT32F *x, DT32S chL, DT32S Nin, DT32S Nout,
               DT32S N, LineEnd end) {
  DT32S n = 0;
  for (DT32S out = 0; out < Nout; ++out)
    for (DT32S in = 0; in < Nin; ++in)
      n += row(f, channel(x, chL, Nin, in, out), N, 1, end);
  return n;
}

DT32S matrix(FILE *f, const DT32F *x, DT32S col, DT32S rows) {
  DT32S n = 0;
  for (DT32S r = 0; r < rows; ++r)
    n += row(f, x + ptrdiff_t(r) * col, col, 1, LineEnd::uncounted);
  return n;
}

DT32S transposed(FILE *f, const DT32F *x, DT32S col, DT32S rows) {
  DT32S n = 0;
  for (DT32S j = 0; j < col; ++j)
    n += row(f, x + j, rows, col, LineEnd::uncounted);
  return n;
}

}  // namespace

extern "C" {

DT32S dispR32f(const DT32F *x, DT32S N) {
  return row(stdout, x, N, 1, LineEnd::uncounted);
}
DT32S fdispR32f(FILE *f, const DT32F *x, DT32S N) {
  return row(f, x, N, 1, LineEnd::counted);
}

DT32S dispC32f(const DT32F *x, DT32S N) { return column(stdout, x, N); }
DT32S fdispC32f(FILE *f, const DT32F *x, DT32S N) { return column(f, x, N); }

DT32S dispR32fc(const DT32FC *x, DT32S N) { return fdispR32fc(stdout, x, N); }
DT32S fdispR32fc(FILE *f, const DT32FC *x, DT32S N) {
  return bins(f, x, N, kBin) + endLine(f, LineEnd::counted);
}

DT32S dispC32fc(const DT32FC *x, DT32S N) { return fdispC32fc(stdout, x, N); }
DT32S fdispC32fc(FILE *f, const DT32FC *x, DT32S N) {
  return bins(f, x, N, kBinLine) + endLine(f, LineEnd::counted);
}

DT32S dispMc32f(const DT32F *x, DT32S chL, DT32S Nin, DT32S Nout, DT32S N) {
  return channels(stdout, x, chL, Nin, Nout, N, LineEnd::uncounted);
}
DT32S fdispMc32f(FILE *f, const DT32F *x, DT32S chL, DT32S Nin, DT32S Nout,
                 DT32S N) {
  return channels(f, x, chL, Nin, Nout, N, LineEnd::counted);
}

DT32S dispMcR32f(const DT32F *x, DT32S chL, DT32S Nin, DT32S in, DT32S out,
                 DT32S N) {
  return dispR32f(channel(x, chL, Nin, in, out), N);
}
DT32S fdispMcR32f(FILE *f, const DT32F *x, DT32S chL, DT32S Nin, DT32S in,
                  DT32S out, DT32S N) {
  return fdispR32f(f, channel(x, chL, Nin, in, out), N);
}

DT32S dispMcC32f(const DT32F *x, DT32S chL, DT32S Nin, DT32S in, DT32S out,
                 DT32S N) {
  return column(stdout, channel(x, chL, Nin, in, out), N);
}
DT32S fdispMcC32f(FILE *f, const DT32F *x, DT32S chL, DT32S Nin, DT32S in,
                  DT32S out, DT32S N) {
  return column(f, channel(x, chL, Nin, in, out), N);
}

DT32S dispM32f(const DT32F *x, DT32S col, DT32S row) {
  return matrix(stdout, x, col, row);
}
DT32S fdispM32f(FILE *f, const DT32F *x, DT32S col, DT32S row) {
  return matrix(f, x, col, row);
}

DT32S dispMT32f(const DT32F *x, DT32S col, DT32S row) {
  return transposed(stdout, x, col, row);
}
DT32S fdispMT32f(FILE *f, const DT32F *x, DT32S col, DT32S row) {
  return transposed(f, x, col, row);
}

}  // extern "C"
