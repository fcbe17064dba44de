function cases = bindist_test
% bindist called from Octave.
cases = {@worked_examples, @messages_in_order, @result_goes_to_ans, @empty_shapes, ...
         @output_too_large_for_memory, @zeros_and_nan, @matches_octave_formulas};
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

function messages_in_order
require_module('bindist');
expect_error('exactmex:bindist:nargin', 'bindist uses 3 input arguments.', 2, @bindist, 1, 2);
expect_error('exactmex:bindist:nargout', 'Too many output arguments for bindist.', ...
             2, @bindist, 1, 2, 1);
% The row counts are compared before mcode is range-checked.
expect_error('exactmex:bindist:sizeMismatch', 'The dimensions of H1 ans H2 are not equal.', 1, ...
             @bindist, ones(3, 1), ones(4, 1), 7);
for mcode = {0.99, 4, -1, NaN}
  expect_error('exactmex:bindist:badCode', 'mcode should be either 1 or 2.', ...
               1, @bindist, 1, 1, mcode{1});
end
end

function result_goes_to_ans
require_module('bindist');
bindist([1; 0], [0; 1], 2);
assert_bits(ans, 1);
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

function output_too_large_for_memory
require_module('bindist');
% 1073764994 x 2147437309 doubles: a byte count past 2^64, refused before
% Octave is asked for the memory (an unchecked request wraps to 537,552
% bytes and the kernel writes far past them). Inputs without rows cost
% nothing.
for mcode = 1:3
  expect_error('exactmex:bindist:tooLarge', ['bindist: the output of 1073764994 x 2147437309 elements is too large ' ...
                'for memory.'], 1, @bindist, zeros(0, 1073764994), zeros(0, 2147437309), mcode);
end
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
