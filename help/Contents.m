% exactmex: fast, exact numeric building blocks
% Version 0.1.0 08-Dec-2025
%
% Broadcast
%   lanefuse   - Combine a matrix with a row or column vector, element by element.
%   crossfuse  - Combine a matrix with a row vector and a column vector at once.
%
% Pairwise
%   meshapply  - Apply a scalar operation to every pair of elements of two arrays.
%   sampledist - Distances between every pair of sample columns of two matrices.
%   bindist    - Distances between every pair of histogram columns of two matrices.
%
% Nearest columns
%   sampleknn  - The nearest sample columns of one matrix to each column of another.
%   binknn     - The nearest histogram columns of one matrix to each column of another.
%   knnmerge   - Join nearest columns found in separate blocks of the reference columns.
%
% Identifiers
%   mintid     - Make a fresh 16-byte globally unique identifier.
