%BINDIST  Distances between every pair of histogram columns of two matrices.
%   D = BINDIST(H1, H2, mcode) takes histograms as columns: H1 is d-by-N1 and
%   H2 is d-by-N2, d bins each. D is N1-by-N2, D(i,j) comparing a = H1(:,i)
%   with b = H2(:,j), bin by bin:
%      mcode 1: 1 - sum(min(a, b)) / sum(b)                 intersection
%      mcode 2: sum((a - b).^2 ./ ((a + b) * 2))            chi-square
%      mcode 3: sum(xlogx(a) + xlogx(b) - xlogx((a + b) / 2) * 2)
%               with xlogx(t) = t*log(t) for t > 0 and 0 otherwise: twice
%               the Jensen-Shannon divergence of normalised histograms
%   Other codes raise an error; 3.9 selects 3.
%
%   Under mcode 1 a bin takes a only when b > a: on a tie, or when a or b is
%   NaN, it takes b. Chi-square has no guard: a bin empty in both gives NaN.
%   H1 and H2 must be real, full arrays of one class: double, single, int8,
%   uint8, int16, uint16, int32 or uint32 (mixed classes raise
%   exactmex:bindist:classMismatch). On singles D is single, each operation
%   rounded to single (the column sums too), and xlogx(t) is
%   t * single(log(double(t))): the log of t in double rounded to single,
%   the same on every machine. On integers D is double and equals
%   BINDIST(double(H1), double(H2), mcode) exactly. An N-D one is read as
%   its d-by-N matrix H(:,:), dimensions 2 to N as the columns.
%
%   Uses all cores (in MATLAB, at most maxNumCompThreads); EXACTMEX_THREADS
%   sets how many. Ctrl-C stops it (in MATLAB: error exactmex:bindist:interrupted).
%
%   Example:
%      D = bindist([1; 0], [0; 1], 3)   % 2*log(2)
%
%   See also SAMPLEDIST.
