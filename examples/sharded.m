function [D, I] = sharded(fn, A, B, args, nblocks, connections)
%SHARDED  A pairwise table, or each query's nearest columns, computed block by block in worker processes.
%   D = SHARDED(FN, A, B, CODE) splits the columns of B into one block per
%   processor core, computes FN(A, BLOCK, CODE) for every block in parallel
%   Octave worker processes (parcellfun, from the parallel package) and
%   concatenates the blocks' results. FN is @sampledist, @bindist or
%   @meshapply, or its name. Every element of their results depends on its
%   own pair alone, so D equals FN(A, B, CODE) bit for bit.
%
%   [D, I] = SHARDED(FN, X1, X2, {CODE, K}) with FN @sampleknn or @binknn
%   splits instead the columns of X1, the reference columns: each worker
%   finds every query's K nearest columns of its block, their numbers made
%   those of the whole X1, and KNNMERGE joins the blocks' results, so that D
%   and I equal FN(X1, X2, CODE, K) bit for bit, ties included.
%
%   SHARDED(..., NBLOCKS) makes NBLOCKS blocks.
%
%   The worker processes share this machine's cores: each calls FN with
%   EXACTMEX_THREADS set to its share of them (of EXACTMEX_THREADS itself,
%   when set), so that together they start no more threads than there are
%   cores. This process's variable stays as it is.
%
%   SHARDED(..., NBLOCKS, CONNECTIONS) computes the blocks on the servers of
%   a parallel cluster with netcellfun. A server looks functions up in the
%   folder of the client's current folder's name, so give every server the
%   module folder at the same path and work from it on the client. Start
%   each server as a user other than root; Debian's build of the parallel
%   package has no TLS, so start it without authentication, on a trusted
%   network only:
%      /usr/libexec/octave-pserver --octave-binary=/usr/bin/octave-cli --no-auth
%   then, on the client, from the module folder:
%      pkg load parallel
%      connections = pconnect({'node1', 'node2'}, struct('use_tls', false));
%      D = sharded(@sampledist, X1, X2, 1, 64, connections);
%      [D, I] = sharded(@sampleknn, X1, X2, {1, 10}, 64, connections);
%      sclose(connections);
%
%   Example:
%      X1 = rand(16, 5000);  X2 = rand(16, 300);
%      isequal(sharded(@sampledist, X1, X2, 1), sampledist(X1, X2, 1))
%      [D, I] = sharded(@sampleknn, X1, X2, {1, 10});
%      [E, J] = sampleknn(X1, X2, 1, 10);
%      isequal(D, E) && isequal(I, J)

pkg load parallel
if nargin < 5
  nblocks = nproc();
end
% The workers call the function by name, found on their own path. (Octave 7
% also crashes at exit once parcellfun has been handed a handle to a MEX
% function.)
if isa(fn, 'function_handle')
  fn = func2str(fn);
end
if ~iscell(args)
  args = {args};
end
nearest = any(strcmp(fn, {'sampleknn', 'binknn'}));
% Blocks of whole columns, in order, of B, or of A for the nearest columns;
% some are empty when there are fewer columns than blocks.
split = B;
if nearest
  split = A;
end
edges = round(linspace(0, size(split, 2), nblocks + 1));
blocks = arrayfun(@(k) split(:, edges(k) + 1:edges(k + 1)), 1:nblocks, 'UniformOutput', false);
if nearest
  % Both outputs, in a cell: an anonymous function passes on one.
  block_result = @(block) nthargout(1:2, fn, block, B, args{:});
else
  block_result = @(block) feval(fn, A, block, args{:});
end
if nargin < 6
  workers = min(nblocks, nproc());
  cores = str2double(getenv('EXACTMEX_THREADS'));
  if ~(cores >= 1)
    cores = nproc();
  end
  % Each worker sets its share before its block: the workers are processes
  % of their own, started at the first parcellfun. deal evaluates its
  % arguments in order, and evalc gives setenv a value to pass.
  set_threads = sprintf('setenv(''EXACTMEX_THREADS'', ''%d'')', max(1, floor(cores / workers)));
  [~, parts] = parcellfun(workers, @(block) deal(evalc(set_threads), block_result(block)), ...
                          blocks, 'UniformOutput', false, 'VerboseLevel', 0);
else
  parts = netcellfun(connections, block_result, blocks, 'UniformOutput', false);
end
if ~nearest
  D = [parts{:}];
  return
end
% Each block's column numbers made those of the whole X1, then joined.
joined = cell(1, 2 * nblocks);
for k = 1:nblocks
  joined(2 * k - 1:2 * k) = {parts{k}{1}, parts{k}{2} + edges(k)};
end
[D, I] = knnmerge(args{2}, joined{:});
end
