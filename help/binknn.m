%BINKNN  The nearest histogram columns of one matrix to each column of another.
%   [D, I] = BINKNN(H1, H2, mcode, k) takes histograms as columns: H1 is
%   d-by-N1 and H2 is d-by-N2. For each column j of H2 it finds the
%   min(k, N1) columns of H1 nearest to it by BINDIST's distance of the same
%   mcode (1: intersection, 2: chi-square, 3: log divergence), without
%   making the N1-by-N2 table of all of them. D(:,j) holds their distances,
%   smallest first (single for single data, as BINDIST gives them), and
%   I(:,j) their column numbers in H1 (doubles, for every class), so that
%   D(r,j) is exactly BINDIST(H1, H2, mcode)(I(r,j), j).
%
%   The order is that of a stable ascending sort of each column of the
%   table: equal distances by column number, NaN after every number. k must
%   be a real numeric scalar holding a positive whole number; with one
%   output, D alone.
%
%   Memory beyond the inputs and outputs stays small whatever N1 and N2.
%   Uses all cores, splitting the columns of H2; EXACTMEX_THREADS limits
%   them. Results from several blocks of H1's columns join exactly with
%   KNNMERGE.
%
%   Example:
%      [D, I] = binknn([1 0 1; 1 2 1], [1; 1], 2, 2)   % D = [0; 0], I = [1; 3]: a tie
%
%   See also BINDIST, SAMPLEKNN, KNNMERGE.
