function end_to_end(octdir, mexdir, floordir, hostfile, repetitions, csvfile)
% Times whole calls from Octave, output creation and return included, of
% every workload: our Octave function (oct-file), our MEX file, Octave's own
% expression for the same result (first checked to give the same bits), and
% beside them the same call through the standalone host writing a fresh
% output (hostfile: Google Benchmark's JSON of the "fresh" runs). An empty
% MEX module returning an output of the size of the broadcast ones gives
% the MEX route's floors: untouched, and written once. Prints one row per
% workload and, given csvfile, writes the seconds there too (workload, oct,
% MEX, Octave, host, untouched floor, written floor). The MEX files of mexdir
% are run under other names (mex_NAME), as copies in floordir: a MEX file
% does not know its own name, and both builds must be on the path at once.
addpath(octdir, floordir);
host = host_times(hostfile);
n = 4096;
randn('state', 1);
X = randn(n);
x = randn(n, 1);
y = randn(1, n);
rand('state', 2);
S1 = rand(128, 2000);
S2 = rand(128, 2000);
T1 = rand(3, 4000);
T2 = rand(3, 4000);
H1 = rand(256, 1000);
H2 = rand(256, 1000);
G1 = rand(256, 300);
G2 = rand(256, 300);
xlogx = @(t) t .* log(t);   % every bin is positive here
w = {
  'W1 lanefuse add d=1',      @(f) f.lanefuse(X, x, 1, 1),      @() X + x
  'W1 lanefuse add d=2',      @(f) f.lanefuse(X, y, 2, 1),      @() X + y
  'W2 crossfuse sum',         @(f) f.crossfuse(X, y, x, 1),     @() (y + X) + x
  'W3 meshapply sum',         @(f) f.meshapply(x, y, 1),        @() x(:) + y(:).'
  'W3 meshapply absdiff',     @(f) f.meshapply(x, y, 3),        @() abs(x(:) - y(:).')
  'W4a sampledist L1',        @(f) f.sampledist(S1, S2, 1),     @() by_column(S2, @(b) sum(abs(S1 - b), 1).')
  'W4a sampledist Linf',      @(f) f.sampledist(S1, S2, 2),     @() by_column(S2, @(b) max(abs(S1 - b), [], 1).')
  'W4b sampledist L1',        @(f) f.sampledist(T1, T2, 1),     @() by_column(T2, @(b) sum(abs(T1 - b), 1).')
  'W5 bindist intersection',  @(f) f.bindist(H1, H2, 1),        @() by_column(H2, @(b) (1 - sum(min(H1, b), 1) ./ sum(b)).')
  'W5 bindist chi2',          @(f) f.bindist(H1, H2, 2),        @() by_column(H2, @(b) sum((H1 - b) .^ 2 ./ ((H1 + b) * 2), 1).')
  'W5 bindist log',           @(f) f.bindist(G1, G2, 3),        @() by_column(G2, @(b) sum((xlogx(G1) + xlogx(b)) - xlogx((G1 + b) * 0.5) * 2, 1).')
};
oct = struct();
mex = struct();
for name = {'lanefuse', 'crossfuse', 'meshapply', 'sampledist', 'bindist'}
  copyfile(fullfile(mexdir, [name{1} '.mex']), fullfile(floordir, ['mex_' name{1} '.mex']));
  oct.(name{1}) = str2func(name{1});
  mex.(name{1}) = str2func(['mex_' name{1}]);
end
rehash();
untouched = best(@() emptyout(X), repetitions);
written = best(@() emptyout(X, 1), repetitions);
printf('MEX floors for a %dx%d output: %.1f ms untouched, %.1f ms written once\n', n, n, ...
       1e3 * untouched, 1e3 * written);
printf('%-24s %8s %8s %9s %8s %9s %9s %11s\n', 'workload', 'oct ms', 'MEX ms', 'Octave ms', ...
       'host ms', 'oct/host', 'MEX/oct', 'Octave/oct');
csv = '';
for k = 1:rows(w)
  ours = w{k, 2}(oct);
  if ~isequal(typecast(ours(:), 'uint64'), typecast(w{k, 2}(mex)(:), 'uint64')) || ...
     ~isequal(typecast(ours(:), 'uint64'), typecast(w{k, 3}()(:), 'uint64'))
    error('%s: the MEX file or Octave''s expression gives other bits', w{k, 1});
  end
  clear ours
  t_oct = best(@() w{k, 2}(oct), repetitions);
  t_mex = best(@() w{k, 2}(mex), repetitions);
  t_octave = best(w{k, 3}, repetitions);
  t_host = host(w{k, 1});
  printf('%-24s %8.1f %8.1f %9.1f %8.1f %9.2f %9.2f %11.2f\n', w{k, 1}, 1e3 * t_oct, ...
         1e3 * t_mex, 1e3 * t_octave, 1e3 * t_host, t_oct / t_host, t_mex / t_oct, t_octave / t_oct);
  csv = [csv sprintf('%s,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g\n', w{k, 1}, t_oct, t_mex, t_octave, ...
                     t_host, untouched, written)];
end
if nargin > 5
  fid = fopen(csvfile, 'w');
  fputs(fid, csv);
  fclose(fid);
end
end

function D = by_column(B, column)
% Octave's own pairwise computation: one vectorised expression per column.
D = zeros(rows(column(B(:, 1))), columns(B));
for j = 1:columns(B)
  D(:, j) = column(B(:, j));
end
end

function host = host_times(file)
% Seconds of each workload's "fresh" run through the standalone host, the
% best of its repetitions.
report = jsondecode(fileread(file));
host = containers.Map();
runs = report.benchmarks;
if ~iscell(runs)
  runs = num2cell(runs);
end
for k = 1:numel(runs)
  b = runs{k};
  if ~strcmp(b.run_type, 'iteration') || ~strcmp(b.time_unit, 'ms')
    continue
  end
  name = regexprep(b.name, ' fresh$', '');
  t = b.real_time / 1e3;
  if isKey(host, name)
    t = min(t, host(name));
  end
  host(name) = t;
end
end

function t = best(f, repetitions)
% Shortest wall time of repeated calls, each result released before the
% next; calls of more than a second are repeated less.
t = inf;
spent = 0;
for r = 1:repetitions
  t0 = tic();
  Y = f();
  t = min(t, toc(t0));
  spent = spent + toc(t0);
  clear Y
  if spent > 3
    break
  end
end
end
