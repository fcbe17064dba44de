function cases = lanefuse_test
% lanefuse called from Octave.
cases = {@worked_examples, @empty_shapes, @ties_nan_and_signed_zeros, @matches_octave_operators, ...
         @singles_match_octave_operators};
end

function worked_examples
require_module('lanefuse');
assert_bits(lanefuse(NaN(3, 2), [1; 2; 3], 1, 0), [1 1; 2 2; 3 3]);
assert_bits(lanefuse([1 2; 3 4], [10 20], 2, 1), [11 22; 13 24]);
assert_bits(lanefuse([1 2; 3 4], [10 20], 2, 5), zeros(2));
assert_bits(lanefuse([1 2; 3 4], [10 20], 2, NaN), zeros(2));
% Selectors truncate toward zero: d 2.9 is 2, opcode 4.9 is the minimum.
assert_bits(lanefuse([1 30; 3 4], [10 20], 2.9, 4.9), [1 20; 3 4]);
% Any numeric or logical selector: int8 d, logical opcode (add).
assert_bits(lanefuse([1 2; 3 4], [10; 20], int8(1), true), [11 12; 23 24]);
% A selector is its first element, also when sparse: 0 here, so a copy.
assert_bits(lanefuse([1 2 3; 4 5 6], [10; 20], 1, sparse([0 2])), [10 10 10; 20 20 20]);
end

function empty_shapes
require_module('lanefuse');
assert_bits(lanefuse(zeros(0, 4), zeros(0, 1), 1, 1), zeros(0, 4));
assert_bits(lanefuse(zeros(3, 0), zeros(1, 0), 2, 1), zeros(3, 0));
assert_bits(lanefuse(zeros(0, 4), [1 2 3 4], 2, 0), zeros(0, 4));
end

function ties_nan_and_signed_zeros
require_module('lanefuse');
% On a tie the vector's element wins, which shows with signed zeros.
assert_bits(lanefuse(0, -0, 1, 3), -0);
assert_bits(lanefuse(-0, 0, 1, 4), 0);
% A NaN in v wins; a NaN in X gives way to v.
assert_bits(lanefuse([NaN; 1], [5; NaN], 1, 3), [5; NaN]);
assert_bits(lanefuse([NaN; 1], [5; NaN], 1, 4), [5; NaN]);
% Copy keeps a NaN payload bit for bit.
payload = hex2num('7ff8000000000123');
assert_bits(lanefuse(zeros(2), [payload; -0], 1, 0), [payload payload; -0 -0]);
X = [Inf -Inf; 0 -0];
v = [-Inf; -0];
assert_bits(lanefuse(X, v, 1, 1), X + v, 'computed');
% NaN plus NaN is NaN; which operand's sign it keeps is not promised.
assert(all(isnan(lanefuse(NaN(7, 1), -NaN(7, 1), 1, 1))));
assert_bits(lanefuse(X, v, 1, 2), X .* v, 'computed');
end

function matches_octave_operators
require_module('lanefuse');
randn('state', 1);
X = randn(37, 23);
c = randn(37, 1);
r = randn(1, 23);
assert_bits(lanefuse(X, c, 1, 1), X + c);
assert_bits(lanefuse(X, r, 2, 1), X + r);
assert_bits(lanefuse(X, c, 1, 2), X .* c);
assert_bits(lanefuse(X, r, 2, 2), X .* r);
% max and min agree with Octave's where no NaN or tie occurs.
assert_bits(lanefuse(X, c, 1, 3), max(X, c));
assert_bits(lanefuse(X, r, 2, 4), min(X, r));
assert_bits(lanefuse(X, r, 2, 0), repmat(r, 37, 1));
% An N-D X: Y has X's size, as X + c has.
X = randn(2, 3, 4);
assert_bits(lanefuse(X, c(1:2), 1, 1), X + c(1:2));
assert_bits(lanefuse(X, c(1:2), 1, 7), zeros(2, 3, 4));
end

function singles_match_octave_operators
require_module('lanefuse');
% On singles Y is single and holds X + v as Octave computes it on singles,
% in both directions: ties to even (1 + 2^-24), signed zeros, infinities.
randn('state', 2);
X = single(randn(37, 23));
X(1:4) = single([1 2^24 -0 Inf]);
c = single(randn(37, 1));
c(1:4) = single([2^-24 1 0 -Inf]);
r = single(randn(1, 23));
assert_bits(lanefuse(X, r, 2, 1), X + r, 'computed');
assert_bits(lanefuse(X, c, 1, 1), X + c, 'computed');
assert_bits(lanefuse(X, c, 1, 2), X .* c, 'computed');
assert_bits(lanefuse(X, r, 2, 2), X .* r, 'computed');
assert_bits(lanefuse(X, r, 2, 0), repmat(r, 37, 1));
assert_bits(lanefuse(X, c, 1, 9), zeros(37, 23, 'single'));
% Single and double data together are refused, naming both classes; so are
% integers, in the words of the double-only modules.
expect_error('exactmex:lanefuse:classMismatch', ...
             'lanefuse: X (single) and v (double) must be of the same class.', ...
             1, @lanefuse, X, double(c), 1, 1);
expect_error('exactmex:lanefuse:inputClass', 'lanefuse: X must be a real, full double array.', ...
             1, @lanefuse, int16(X), int16(c), 1, 1);
end
