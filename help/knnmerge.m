function [D, I] = knnmerge(k, varargin)
%KNNMERGE  Join nearest columns found in separate blocks of the reference columns.
%   [D, I] = KNNMERGE(k, D1, I1, D2, I2, ...) joins what SAMPLEKNN or BINKNN
%   found for the same queries (the same columns of X2, in the same order)
%   in blocks of X1's columns, each block's I holding column numbers of the
%   whole X1 (a block's own numbers plus the number of columns before it).
%   D and I are then exactly what one call on the whole X1 gives: the
%   min(k, rows) smallest distances of each column, ascending, equal ones by
%   column number, NaN after every number, each with the bits of the Db it
%   came from. The blocks may come in any order; k is as SAMPLEKNN takes it.
%
%   Example:
%      X1 = rand(8, 1000);  X2 = rand(8, 50);
%      [D1, I1] = sampleknn(X1(:, 1:600), X2, 1, 5);
%      [D2, I2] = sampleknn(X1(:, 601:end), X2, 1, 5);
%      [D, I] = knnmerge(5, D1, I1, D2, I2 + 600);
%      [E, J] = sampleknn(X1, X2, 1, 5);
%      isequal(D, E) && isequal(I, J)   % true
%
%   See also SAMPLEKNN, BINKNN.
if nargin < 3 || mod(nargin, 2) ~= 1
  error('exactmex:knnmerge:nargin', 'knnmerge: give k, then D and I of each block.');
end
if ~(isnumeric(k) && isreal(k) && isscalar(k) && k >= 1 && k == fix(k) && isfinite(k))
  error('exactmex:knnmerge:badK', ...
        'knnmerge: k must be a real numeric scalar holding a positive whole number.');
end
Ds = varargin(1:2:end);
Is = varargin(2:2:end);
queries = size(Ds{1}, 2);
for b = 1:numel(Ds)
  if ~isa(Ds{b}, 'double') || ~isa(Is{b}, 'double') || ~isequal(size(Ds{b}), size(Is{b})) || ...
     ndims(Ds{b}) > 2 || size(Ds{b}, 2) ~= queries
    error('exactmex:knnmerge:sizeMismatch', ...
          'knnmerge: every D and I must be doubles of the same size, as many columns each.');
  end
end
D = vertcat(Ds{:});
I = vertcat(Is{:});
rows = size(D, 1);
% Each column by column number, then by distance with a stable sort, which
% keeps equal distances (-0 and +0 among them) and NaNs in that order and
% puts NaN last: the order of one call.
offsets = (0:queries - 1) * rows;
[I, order] = sort(I, 1);
D = D(order + offsets);
[D, order] = sort(D, 1);
I = I(order + offsets);
kept = min(double(k), rows);
D = D(1:kept, :);
I = I(1:kept, :);
end
