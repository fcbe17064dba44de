function cases = crossfuse_test
% crossfuse called from Octave.
cases = {@worked_examples, @empty_shapes, @row_element_applied_first, @matches_octave_operators};
end

function worked_examples
require_module('crossfuse');
X = [1 2 3; 4 5 6];
assert_bits(crossfuse(X, [10 20 30], [1; 2], 1), [12 23 34; 16 27 38]);
assert_bits(crossfuse(X, [10 20 30], [1; 2], 2), [10 40 90; 80 200 360]);
assert_bits(crossfuse(X, [10 20 30], [1; 2], 2.7), [10 40 90; 80 200 360]);
assert_bits(crossfuse(X, [10 20 30], [1; 2], 3), zeros(2, 3));
assert_bits(crossfuse(X, [10 20 30], [1; 2], -1), zeros(2, 3));
end

function empty_shapes
require_module('crossfuse');
assert_bits(crossfuse(zeros(0, 3), [1 2 3], zeros(0, 1), 1), zeros(0, 3));
assert_bits(crossfuse(zeros(2, 0), zeros(1, 0), [1; 2], 2), zeros(2, 0));
end

function row_element_applied_first
require_module('crossfuse');
% (1 + 2^53) rounds to 2^53 before -2^53 is added.
assert_bits(crossfuse(2^53, 1, -2^53, 1), 0);
% The partial sum overflows to +Inf before the column element comes in.
assert_bits(crossfuse(1e308, 1e308, -1e308, 1), Inf);
end

function matches_octave_operators
require_module('crossfuse');
randn('state', 2);
X = randn(29, 31) .* 10 .^ randi([-3 3], 29, 31);
r = randn(1, 31);
c = randn(29, 1);
X(1:4) = [Inf -Inf NaN -0];
assert_bits(crossfuse(X, r, c, 1), (r + X) + c, 'computed');
assert_bits(crossfuse(X, r, c, 2), (r .* X) .* c, 'computed');
% An N-D X: vrow holds one element per column of X(:, :), Y has X's size.
X = reshape(X(:, 1:30), 29, 3, 10);
assert_bits(crossfuse(X, r(1:30), c, 1), reshape((r(1:30) + X(:, :)) + c, 29, 3, 10));
end
