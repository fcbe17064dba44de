function D = sharded_parfor(fn, X1, X2, code, pool)
%SHARDED_PARFOR  A pairwise table computed block by block on MATLAB's parallel workers.
%   D = SHARDED_PARFOR(FN, X1, X2, CODE, POOL) is SHARDED for MATLAB with the
%   Parallel Computing Toolbox: it splits the columns of X2 into one block
%   per worker of POOL, computes FN(X1, BLOCK, CODE) for every block with
%   parfor and concatenates the results, equal to FN(X1, X2, CODE) bit for
%   bit. FN is @sampledist, @bindist or @meshapply.
%
%   Build the MEX files for the workers' platform and send them along with
%   the pool:
%      pool = parpool('MyCluster', 64, 'AttachedFiles', ...
%                     {fullfile(pwd, 'build', 'matlab', 'exactmex')});
%      D = sharded_parfor(@sampledist, X1, X2, 1, pool);
%
%   X2 is split into its blocks before the loop: indexed by the loop
%   variable, the cell array is sliced, so that each worker receives its
%   own block only (indexing X2 itself inside the loop would send all of it
%   to every worker). The workers of one machine share its cores: each is
%   given its share first, one thread where there is a worker per core.

nblocks = pool.NumWorkers;
widths = diff(round(linspace(0, size(X2, 2), nblocks + 1)));
blocks = mat2cell(X2, size(X2, 1), widths);
wait(parfevalOnAll(pool, @setenv, 0, 'EXACTMEX_THREADS', '1'));
parts = cell(1, nblocks);
parfor k = 1:nblocks
  parts{k} = fn(X1, blocks{k}, code);
end
D = [parts{:}];
end
