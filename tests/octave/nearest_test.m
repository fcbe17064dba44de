function cases = nearest_test
% sampleknn, binknn and knnmerge called from Octave: the nearest columns are
% what Octave's own stable sort of the full table gives; knnmerge joins
% blocks exactly and checks its arguments.
cases = {@matches_sorting_the_table, @k_outputs_and_shapes, @knnmerge_joins_any_blocks, ...
         @knnmerge_checks_its_arguments};
end

function [D, I] = sorted_table(T, k)
% The first k of each column of T, by Octave's sort: stable, NaN last.
[D, I] = sort(T, 1);
kept = min(k, size(T, 1));
D = D(1:kept, :);
I = I(1:kept, :);
end

function matches_sorting_the_table
rand('state', 11);
pairs = {'sampleknn', 'sampledist'; 'binknn', 'bindist'};
for p = 1:2
  require_module(pairs{p, :});
  knn = str2func(pairs{p, 1});
  table = str2func(pairs{p, 2});
  % Whole numbers tie often; a NaN and a negative value among them.
  X1 = floor(rand(5, 60) * 4);
  X1(2, 7) = NaN;
  X1(3, 9) = -1;
  X2 = floor(rand(5, 13) * 4);
  for code = 1:3
    T = table(X1, X2, code);
    for k = [1 4 60 100]
      [D, I] = knn(X1, X2, code, k);
      [E, J] = sorted_table(T, k);
      assert(isequal(I, J), '%s code %d k %d: the column numbers differ', pairs{p, 1}, code, k);
      assert(isequaln(D, E), '%s code %d k %d: the distances differ', pairs{p, 1}, code, k);
      assert_bits(D(~isnan(D)), T(sub2ind(size(T), I(~isnan(D)), repmat(1:13, ...
                  size(I, 1), 1)(~isnan(D)))));
    end
  end
end
end

function k_outputs_and_shapes
require_module('sampleknn');
X1 = [0 5 1];
X2 = [0.9 4];
[D, I] = sampleknn(X1, X2, 1, 2);
assert_bits(I, [3 2; 1 3]);
assert_bits(D, [abs(1 - 0.9), abs(5 - 4); abs(0 - 0.9), abs(1 - 4)]);
% One output, D alone; k of any numeric class; k past the columns.
assert_bits(sampleknn(X1, X2, 1, int8(2)), D);
assert_bits(size(sampleknn(X1, X2, 1, 10)), [3 2]);
assert_bits(size(sampleknn(zeros(2, 0), ones(2, 3), 1, 2)), [0 3]);
[D, I] = sampleknn(zeros(0, 4), zeros(0, 2), 2, 3);
assert_bits(D, zeros(3, 2));
assert_bits(I, [1 1; 2 2; 3 3]);
end

function knnmerge_joins_any_blocks
require_module('sampleknn', 'binknn');
rand('state', 12);
X1 = [floor(rand(3, 50) * 3), NaN(3, 2), -zeros(3, 1)];
X2 = [floor(rand(3, 8) * 3), zeros(3, 1)];
for fn = {@sampleknn, @binknn}
  for code = 1:3
    [E, J] = fn{1}(X1, X2, code, 9);
    edges = [0 13 14 40 53];
    parts = {};
    for b = numel(edges):-1:1   % any order of blocks, the last block first
      last = size(X1, 2);
      if b < numel(edges)
        last = edges(b + 1);
      end
      [D, I] = fn{1}(X1(:, edges(b) + 1:last), X2, code, 9);
      parts = [parts, {D, I + edges(b)}];
    end
    [D, I] = knnmerge(9, parts{:});
    assert_bits(D, E);
    assert_bits(I, J);
  end
end
end

function knnmerge_checks_its_arguments
D = [1; 2];
I = [1; 2];
expect_error('exactmex:knnmerge:nargin', 'knnmerge: give k, then D and I of each block.', ...
             2, @knnmerge, 1, D);
for bad = {0, 1.5, NaN, [1 2], 'a', true}
  expect_error('exactmex:knnmerge:badK', ...
               'knnmerge: k must be a real numeric scalar holding a positive whole number.', ...
               2, @knnmerge, bad{1}, D, I);
end
expect_error('exactmex:knnmerge:sizeMismatch', ...
             'knnmerge: every D and I must be doubles of the same size, as many columns each.', ...
             2, @knnmerge, 1, D, I, [D D], [I I]);
expect_error('exactmex:knnmerge:sizeMismatch', ...
             'knnmerge: every D and I must be doubles of the same size, as many columns each.', ...
             2, @knnmerge, 1, D, [I; 3]);
end
