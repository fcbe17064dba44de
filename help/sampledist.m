%SAMPLEDIST  Distances between every pair of sample columns of two matrices.
%   D = SAMPLEDIST(X1, X2, code) takes samples as columns: X1 is d-by-N1 and
%   X2 is d-by-N2. D is N1-by-N2, D(i,j) comparing X1(:,i) with X2(:,j)
%   through the terms t(k) = abs(X1(k,i) - X2(k,j)):
%      code 1: the sum of the terms, added in row order (city block, L1)
%      code 2: the largest term (Chebyshev, L-infinity)
%      code 3: the smallest term
%   Other codes raise an error; 2.5 selects 2.
%
%   Codes 2 and 3 keep a NaN term of the first row and pass over NaN terms
%   of later rows; under code 1 any NaN term gives NaN. With d = 0, D is
%   zeros(N1, N2). X1 and X2 must be real, full arrays of one class: double,
%   single, int8, uint8, int16, uint16, int32 or uint32 (mixed classes raise
%   exactmex:sampledist:classMismatch). On singles D is single, each
%   operation rounded to single; on integers D is double and equals
%   SAMPLEDIST(double(X1), double(X2), code) exactly. An N-D one is read as
%   its d-by-N matrix X(:,:), dimensions 2 to N as the columns.
%
%   Uses all cores (in MATLAB, at most maxNumCompThreads); EXACTMEX_THREADS
%   sets how many. Ctrl-C stops it (in MATLAB: error exactmex:sampledist:interrupted).
%
%   Example:
%      D = sampledist([1 2; 3 4], [0; 0], 1)   % [4; 6]
%
%   See also BINDIST, MESHAPPLY.
