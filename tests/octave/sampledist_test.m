function cases = sampledist_test
% sampledist called from Octave.
cases = {@worked_examples, @empty_shapes, @nan_in_first_and_later_rows, ...
         @matches_octave_sum_max_min};
end

function worked_examples
require_module('sampledist');
X1 = [1 2; 3 4];
assert_bits(sampledist(X1, [0; 0], 1), [4; 6]);
assert_bits(sampledist(X1, [0; 0], 2), [3; 4]);
assert_bits(sampledist(X1, [0; 0], 3.99), [1; 2]);
assert_bits(sampledist([1 4], 2, 2), [1; 2]);
assert_bits(size(sampledist(ones(3, 5), ones(3, 1), 1)), [5 1]);
end

function empty_shapes
require_module('sampledist');
assert_bits(sampledist(zeros(3, 0), ones(3, 2), 1), zeros(0, 2));
assert_bits(sampledist(ones(3, 2), zeros(3, 0), 2), zeros(2, 0));
% No rows: no term to start from, every distance is 0.
for code = 1:3
  assert_bits(sampledist(zeros(0, 2), zeros(0, 3), code), zeros(2, 3));
end
end

function nan_in_first_and_later_rows
require_module('sampledist');
% Codes 2 and 3 pass over NaN terms after the first row.
D = sampledist([1; NaN; 5], [0; 0; 0], 1);
assert(isnan(D));
assert_bits(sampledist([1; NaN; 5], [0; 0; 0], 2), 5);
assert_bits(sampledist([1; NaN; 5], [0; 0; 0], 3), 1);
% A NaN term in the first row stays.
for code = 1:3
  assert(isnan(sampledist([NaN; 1; 5], [0; 0; 0], code)));
  assert(isnan(sampledist([Inf; 1], [Inf; 3], code)));
end
assert_bits(sampledist([1; Inf], [3; Inf], 2), 2);
end

function matches_octave_sum_max_min
require_module('sampledist');
randn('state', 4);
% Terms of very different sizes, so that another order of addition would
% change the sums.
X1 = randn(33, 9) .* 10 .^ randi([-8 8], 33, 9);
X2 = randn(33, 14) .* 10 .^ randi([-8 8], 33, 14);
T = abs(X1 - permute(X2, [1 3 2]));   % d-by-N1-by-N2 terms
assert_bits(sampledist(X1, X2, 1), reshape(sum(T, 1), 9, 14));
assert_bits(sampledist(X1, X2, 2), reshape(max(T, [], 1), 9, 14));
assert_bits(sampledist(X1, X2, 3), reshape(min(T, [], 1), 9, 14));
% An N-D input is read as X(:, :): dimensions 2 to N are columns.
assert_bits(sampledist(reshape(X1, [], 3, 3), reshape(X2, [], 2, 1, 7), 1), sampledist(X1, X2, 1));
end
