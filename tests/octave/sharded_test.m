function cases = sharded_test
% examples/sharded.m: column blocks computed in parallel worker processes and
% concatenated give the single call's result bit for bit; each query's
% nearest columns found in blocks of the reference columns and joined by
% knnmerge give the single call's, ties and NaNs included.
cases = {@sampledist_blocks, @bindist_blocks, @meshapply_blocks, @nearest_blocks, ...
         @workers_share_the_cores, @cluster_blocks};
end

function check(fn, A, B)
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

function nearest_blocks
addpath(fullfile(repo_root(), 'examples'));
rand('state', 10);
% Whole numbers: many ties across blocks; a NaN column sorts last.
X1 = [floor(rand(4, 40) * 3), NaN(4, 1)];
X2 = floor(rand(4, 9) * 3);
% The nearest modules: those that take a count, k.
sigs = module_signatures();
for fn = cellfun(@str2func, {sigs(arrayfun(@(s) any(s.count), sigs)).name}, 'UniformOutput', false)
  require_module(func2str(fn{1}));
  for code = 1:3
    for k = [1 7 50]
      [E, J] = fn{1}(X1, X2, code, k);
      [D, I] = sharded(fn{1}, X1, X2, {code, k}, 3);
      assert_bits(D, E);
      assert_bits(I, J);
    end
    % More blocks than columns: some blocks are empty.
    [E, J] = fn{1}(X1(:, 1:2), X2, code, 3);
    [D, I] = sharded(fn{1}, X1(:, 1:2), X2, {code, 3}, 4);
    assert_bits(D, E);
    assert_bits(I, J);
  end
end
end

function workers_share_the_cores
% Each worker process sees EXACTMEX_THREADS as its share of the threads
% allowed (the variable, or every core), and the caller's variable is as it
% was afterwards.
[folder, cleanup] = scratch_folder();
fid = fopen(fullfile(folder, 'threads_seen.m'), 'w');
fprintf(fid, 'function D = threads_seen(A, B, code)\n');
fprintf(fid, 'D = repmat(str2double(getenv(''EXACTMEX_THREADS'')), 1, size(B, 2));\n');
fprintf(fid, 'end\n');
fclose(fid);
addpath(folder);
addpath(fullfile(repo_root(), 'examples'));
old = getenv('EXACTMEX_THREADS');
restore = onCleanup(@() setenv('EXACTMEX_THREADS', old));
workers = min(3, nproc());
for allowed = {'6', ''}
  setenv('EXACTMEX_THREADS', allowed{1});
  cores = str2double(allowed{1});
  if isnan(cores)
    cores = nproc();
  end
  seen = sharded(@threads_seen, 0, zeros(1, 6), 1, 3);
  assert(isequal(seen, repmat(max(1, floor(cores / workers)), 1, 6)), ...
         'with EXACTMEX_THREADS "%s" the workers saw %s', allowed{1}, mat2str(seen));
  assert(strcmp(getenv('EXACTMEX_THREADS'), allowed{1}), 'EXACTMEX_THREADS was not restored');
end
end

function cluster_blocks
% The same blocks on a cluster server: an octave-pserver on this machine,
% reached with pconnect and netcellfun. The server refuses to run as root,
% so there it runs as the unprivileged user nobody. It looks functions up in
% the client's current folder, so the client works from the module folder.
require_module('sampledist');
pkg load parallel
mexdir = fileparts(which('sampledist'));
server = fullfile(OCTAVE_HOME(), 'libexec', 'octave-pserver');
start = sprintf('"%s" --octave-binary="%s" --no-auth', server, ...
                fullfile(OCTAVE_HOME(), 'bin', 'octave-cli'));
if getuid() == 0
  [status, out] = system(sprintf('runuser -u nobody -- test -r "%s"', which('sampledist')));
  if status ~= 0
    error('exactmex:skip', 'user nobody cannot read %s for a cluster server', mexdir);
  end
  start = ['runuser -u nobody -- ' start];
end
[status, out] = system(start);
if status ~= 0
  error('exactmex:skip', 'no cluster server could be started here: %s', strtrim(out));
end
pidfile = sprintf('/tmp/.octave-%s.pid', gethostname());
stop = onCleanup(@() system(sprintf('kill $(cat "%s")', pidfile)));
back = onCleanup(@() cd(pwd()));
cd(mexdir);
addpath(fullfile(repo_root(), 'examples'));
connections = connect_when_listening();
randn('state', 9);
X1 = randn(12, 20);
X2 = randn(12, 33);
D = sharded(@sampledist, X1, X2, 1, 4, connections);
if exist('sampleknn') == 3
  [K, I] = sharded(@sampleknn, X1, X2, {1, 5}, 4, connections);
end
sclose(connections);
assert_bits(D, sampledist(X1, X2, 1));
if exist('sampleknn') == 3
  [E, J] = sampleknn(X1, X2, 1, 5);
  assert_bits(K, E);
  assert_bits(I, J);
end
end

function connections = connect_when_listening()
% The server detaches before it listens: try again while nothing listens,
% for up to a minute (it starts an Octave, slow on a loaded machine). A
% server that takes the connection and fails, or never listens, leaves
% nothing of ours to test: the case is skipped, saying why.
for attempt = 1:600
  try
    connections = pconnect({'localhost'}, struct('use_tls', false));
    return
  catch err
    if isempty(strfind(err.message, 'Unable to connect'))
      break
    end
    pause(0.1);
  end
end
error('exactmex:skip', 'the cluster server here does not serve: %s', err.message);
end
