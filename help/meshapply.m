%MESHAPPLY  Apply a scalar operation to every pair of elements of two arrays.
%   Y = MESHAPPLY(x, y, opcode) returns the numel(x)-by-numel(y) matrix with
%   Y(i,j) = x(i) op y(j), the elements of x and y taken in linear order
%   (their shapes do not matter):
%      opcode 1 sum, 2 product, 3 absolute difference, 4 maximum, 5 minimum.
%   Other opcodes raise an error; 5.9 selects 5.
%
%   Maximum and minimum return x(i) only when x(i) > y(j) (x(i) < y(j)); on
%   a tie or when either is NaN they return y(j). The absolute difference is
%   never -0. x and y must be real, full arrays, both double or both single
%   (integers are refused; mixed classes raise
%   exactmex:meshapply:classMismatch); Y is of their class, each operation
%   rounded to it.
%
%   Uses all cores (in MATLAB, at most maxNumCompThreads); EXACTMEX_THREADS
%   sets how many. Ctrl-C stops it (in MATLAB: error exactmex:meshapply:interrupted).
%
%   Example:
%      Y = meshapply([1 2 3], [10; 20], 1)   % [11 21; 12 22; 13 23]
%
%   See also SAMPLEDIST, LANEFUSE.
