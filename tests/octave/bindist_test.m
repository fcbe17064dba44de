function cases = bindist_test
% bindist called from Octave.
cases = {@worked_examples, @empty_shapes, @zeros_and_nan, @matches_octave_formulas};
end

function worked_examples
require_module('bindist');
assert(abs(bindist([1; 2; 3], [2; 2; 2], 1) - (1 - 5 / 6)) < 1e-15);
assert(abs(bindist([1; 2; 3], [2; 2; 2], 2) - (1 / 6 + 1 / 10)) < 1e-15);
assert_bits(bindist([1; 0], [0; 1], 1), 1);
assert_bits(bindist([1; 0], [0; 1], 2), 1);
assert(abs(bindist([1; 0], [0; 1], 3.9) - 2 * log(2)) < 1e-15);
% Identical columns are exactly 0 under mcode 1 and 3.
H = [0.25; 0.5; 0.125; 0.125];
assert_bits(bindist(H, H, 1), 0);
assert_bits(bindist(H, H, 3), 0);
assert_bits(size(bindist(ones(3, 2), ones(3, 5), 2)), [2 5]);
end

function empty_shapes
require_module('bindist');
assert_bits(bindist(zeros(3, 0), ones(3, 2), 1), zeros(0, 2));
assert_bits(bindist(ones(3, 2), zeros(3, 0), 1), zeros(2, 0));
% No bins: 0/0 under mcode 1, empty sums under 2 and 3.
assert(all(isnan(bindist(zeros(0, 2), zeros(0, 3), 1)(:))));
assert_bits(bindist(zeros(0, 2), zeros(0, 3), 2), zeros(2, 3));
assert_bits(bindist(zeros(0, 2), zeros(0, 3), 3), zeros(2, 3));
end

function zeros_and_nan
require_module('bindist');
% An all-zero H2 column: 0/0, or +Inf against a column with negative values.
D = bindist([1 -1; 2 0], [0; 0], 1);
assert(isnan(D(1)) && D(2) == Inf);
% Chi-square has no guard: a bin empty in both gives NaN.
assert(isnan(bindist([0; 1], [0; 1], 2)));
% A NaN in H1 gives way to H2's value; a NaN in H2 spoils its whole column.
assert(isfinite(bindist([NaN; 1], [1; 1], 1)));
assert(all(isnan(bindist([1 2; 3 4], [NaN 1; 1 1], 1)(:, 1))));
end

function matches_octave_formulas
require_module('bindist');
rand('state', 5);
H1 = rand(24, 7) .* 10 .^ randi([-4 4], 24, 7);
H2 = rand(24, 11) .* 10 .^ randi([-4 4], 24, 11);
xlogx = @(t) t .* log(t);   % every bin is positive here
expected = zeros(7, 11, 3);
for j = 1:11
  b = H2(:, j);
  expected(:, j, 1) = 1 - sum(min(H1, b), 1) ./ sum(b);
  expected(:, j, 2) = sum((H1 - b) .^ 2 ./ ((H1 + b) * 2), 1);
  expected(:, j, 3) = sum((xlogx(H1) + xlogx(b)) - xlogx((H1 + b) * 0.5) * 2, 1);
end
for mcode = 1:3
  assert_bits(bindist(H1, H2, mcode), expected(:, :, mcode));
end
end
