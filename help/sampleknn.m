%SAMPLEKNN  The nearest sample columns of one matrix to each column of another.
%   [D, I] = SAMPLEKNN(X1, X2, code, k) takes samples as columns: X1 is
%   d-by-N1 and X2 is d-by-N2. For each column j of X2 it finds the
%   min(k, N1) columns of X1 nearest to it by SAMPLEDIST's distance of the
%   same code (1: L1, 2: largest, 3: smallest absolute difference), without
%   making the N1-by-N2 table of all of them. D(:,j) holds their distances,
%   smallest first (single for single data, as SAMPLEDIST gives them), and
%   I(:,j) their column numbers in X1 (doubles, for every class), so that
%   D(r,j) is exactly SAMPLEDIST(X1, X2, code)(I(r,j), j).
%
%   The order is that of a stable ascending sort of each column of the
%   table: equal distances by column number, NaN after every number. With
%   d = 0 every distance is 0 and I(:,j) is 1 to min(k, N1). k must be a
%   real numeric scalar holding a positive whole number; with one output,
%   D alone.
%
%   Memory beyond the inputs and outputs stays small whatever N1 and N2.
%   Uses all cores, splitting the columns of X2; EXACTMEX_THREADS limits
%   them. Results from several blocks of X1's columns join exactly with
%   KNNMERGE.
%
%   Example:
%      [D, I] = sampleknn([0 5 1], [0.9 4], 1, 2)   % D = [0.1 1; 0.9 3], I = [3 2; 1 3]
%
%   See also SAMPLEDIST, BINKNN, KNNMERGE.
