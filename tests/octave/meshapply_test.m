function cases = meshapply_test
% meshapply called from Octave.
cases = {@worked_examples, @empty_shapes, @ties_nan_and_signed_zeros, @matches_octave_operators};
end

function worked_examples
require_module('meshapply');
assert_bits(meshapply([1 2 3], [10; 20], 1), [11 21; 12 22; 13 23]);
% Shapes are ignored: elements are taken in linear order.
assert_bits(meshapply([1 3; 2 4], 5, 2), [5; 10; 15; 20]);
assert_bits(meshapply([1 5], 3, 3), [2; 2]);
assert_bits(meshapply([1 5], 3, 5.9), [1; 3]);
end

function empty_shapes
require_module('meshapply');
assert_bits(meshapply([], [1 2 3], 1), zeros(0, 3));
assert_bits(meshapply(1:4, zeros(0, 5), 4), zeros(4, 0));
end

function ties_nan_and_signed_zeros
require_module('meshapply');
assert_bits(meshapply([1 NaN 3], [2 NaN], 4), [2 NaN; 2 NaN; 3 NaN]);
assert_bits(meshapply([1 NaN 3], [2 NaN], 5), [1 NaN; 2 NaN; 2 NaN]);
% Ties give y(j), which shows with signed zeros, under both max and min.
assert_bits(meshapply([0 -0], [-0 0], 4), [-0 0; -0 0]);
assert_bits(meshapply([0 -0], [-0 0], 5), [-0 0; -0 0]);
% The absolute difference is never -0.
assert_bits(meshapply(-0, 0, 3), 0);
end

function matches_octave_operators
require_module('meshapply');
randn('state', 3);
x = randn(7, 5) .* 10 .^ randi([-5 5], 7, 5);
y = randn(1, 41);
x(1:4) = [Inf -Inf NaN -0];
assert_bits(meshapply(x, y, 1), x(:) + y(:).', 'computed');
assert_bits(meshapply(x, y, 2), x(:) .* y(:).', 'computed');
assert_bits(meshapply(x, y, 3), abs(x(:) - y(:).'), 'computed');
x(3) = 1;  % Octave's max and min ignore NaN: compare where no NaN occurs
assert_bits(meshapply(x, y, 4), max(x(:), y(:).'));
assert_bits(meshapply(x, y, 5), min(x(:), y(:).'));
end
