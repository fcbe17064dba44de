%CROSSFUSE  Combine a matrix with a row vector and a column vector at once.
%   Y = CROSSFUSE(X, vrow, vcol, opcode) combines the m-by-n matrix X with
%   the 1-by-n row vrow and the m-by-1 column vcol in one pass:
%      opcode 1: Y(i,j) = (vrow(j) + X(i,j)) + vcol(i)
%      opcode 2: Y(i,j) = (vrow(j) * X(i,j)) * vcol(i)
%   Any other opcode returns zeros(size(X)). The row element is applied
%   first and the result rounded, then the column element: the same bits as
%   (vrow + X) + vcol. A NaN in any operand gives NaN.
%   X, vrow and vcol must be real, full arrays, all double or all single
%   (integers are refused; mixed classes raise
%   exactmex:crossfuse:classMismatch); Y is of their class, each operation
%   rounded to it, the partial result too. An N-D X is taken as
%   m-by-n with its dimensions 2 to N as the columns (as X(:,:)), and Y has
%   the size of X.
%
%   Uses all cores (in MATLAB, at most maxNumCompThreads); EXACTMEX_THREADS
%   sets how many. Ctrl-C stops it (in MATLAB: error exactmex:crossfuse:interrupted).
%
%   Example:
%      Y = crossfuse([1 2 3; 4 5 6], [10 20 30], [1; 2], 1)   % [12 23 34; 16 27 38]
%
%   See also LANEFUSE.
