%LANEFUSE  Combine a matrix with a row or column vector, element by element.
%   Y = LANEFUSE(X, v, d, opcode) combines each element of the m-by-n matrix
%   X with one element of v, without replicating v:
%      d = 1: v is an m-by-1 column and Y(i,j) = X(i,j) op v(i)
%      d = 2: v is a 1-by-n row     and Y(i,j) = X(i,j) op v(j)
%   opcode 0 copies v to the size of X, 1 adds, 2 multiplies, 3 takes the
%   maximum, 4 the minimum; any other opcode returns zeros(size(X)).
%   Selectors are truncated toward zero (2.9 selects 2).
%
%   Maximum and minimum return X(i,j) only when X(i,j) > p (X(i,j) < p);
%   on a tie or when either is NaN they return the vector's element p.
%   X and v must be real, full arrays, both double or both single (others,
%   integers included, raise exactmex:lanefuse:inputClass; one of each,
%   exactmex:lanefuse:classMismatch). Y is of their class: on singles each
%   operation is rounded to single, as X + v is. An N-D X is taken as m-by-n
%   with its dimensions 2 to N as the columns (n = numel(X)/m, as X(:,:)),
%   and Y has the size of X.
%
%   Uses all cores (in MATLAB, at most maxNumCompThreads); EXACTMEX_THREADS
%   sets how many. Ctrl-C stops it (in MATLAB: error exactmex:lanefuse:interrupted).
%
%   Example:
%      Y = lanefuse([1 2; 3 4], [10 20], 2, 1)   % [11 22; 13 24]
%
%   See also CROSSFUSE, MESHAPPLY.
