function cases = sharded_test
% examples/sharded.m: column blocks computed in parallel worker processes and
% concatenated give the single call's result bit for bit.
cases = {@sampledist_blocks, @bindist_blocks, @meshapply_blocks};
end

function check(fn, A, B)
warning('off', 'Octave:shadowed-function');   % examples/demo.m shadows Octave's demo
addpath(fullfile(repo_root(), 'examples'));
for code = 1:3
  whole = fn(A, B, code);
  assert_bits(sharded(fn, A, B, code, 3), whole);
  % More blocks than columns: some blocks are empty.
  assert_bits(sharded(fn, A, B(:, 1:2), code, 4), fn(A, B(:, 1:2), code));
end
end

function sampledist_blocks
require_module('sampledist');
randn('state', 6);
check(@sampledist, randn(12, 30) .* 10 .^ randi([-6 6], 12, 30), randn(12, 47));
end

function bindist_blocks
require_module('bindist');
rand('state', 7);
check(@bindist, rand(16, 30), rand(16, 47));
end

function meshapply_blocks
require_module('meshapply');
randn('state', 8);
check(@meshapply, randn(1, 30), randn(1, 47));
end
