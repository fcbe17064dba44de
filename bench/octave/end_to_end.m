function end_to_end(mexdir, floordir, repetitions, csvfile)
% Times whole calls from Octave, output creation and return included: each
% module; an empty module returning an output of the same size, untouched
% (the host's floor) and written once (the floor of any call that writes
% every element); and Octave's own expression for the same result, first
% checked to give the same bits. Prints one table row per workload and, given
% csvfile, writes the seconds there too (workload, ours, Octave, floors).
addpath(mexdir, floordir);
n = 4096;
randn('state', 1);
X = randn(n);
x = randn(n, 1);
y = randn(1, n);
w = {
  'W1 lanefuse add d=1',    @() lanefuse(X, x, 1, 1),      @() X + x
  'W1 lanefuse add d=2',    @() lanefuse(X, y, 2, 1),      @() X + y
  'W2 crossfuse sum',       @() crossfuse(X, y, x, 1),     @() (y + X) + x
  'W3 meshapply sum',       @() meshapply(x, y, 1),        @() x(:) + y(:).'
  'W3 meshapply absdiff',   @() meshapply(x, y, 3),        @() abs(x(:) - y(:).')
};
untouched = best(@() emptyout(X), repetitions);
written = best(@() emptyout(X, 1), repetitions);
printf('floors for a %dx%d output: %.1f ms untouched, %.1f ms written once\n', n, n, ...
       1e3 * untouched, 1e3 * written);
printf('%-22s %9s %9s %13s %13s %11s\n', 'workload', 'ours ms', 'Octave ms', ...
       'ours/untouched', 'ours/written', 'Octave/ours');
csv = '';
for k = 1:rows(w)
  ours = w{k, 2}();
  theirs = w{k, 3}();
  if ~isequal(typecast(ours(:), 'uint64'), typecast(theirs(:), 'uint64'))
    error('%s: Octave''s expression gives other bits', w{k, 1});
  end
  clear ours theirs
  ours = best(w{k, 2}, repetitions);
  theirs = best(w{k, 3}, repetitions);
  printf('%-22s %9.1f %9.1f %13.2f %13.2f %11.2f\n', w{k, 1}, 1e3 * ours, 1e3 * theirs, ...
         ours / untouched, ours / written, theirs / ours);
  csv = [csv sprintf('%s,%.9g,%.9g,%.9g,%.9g\n', w{k, 1}, ours, theirs, untouched, written)];
end
if nargin > 3
  fid = fopen(csvfile, 'w');
  fputs(fid, csv);
  fclose(fid);
end
end

function t = best(f, repetitions)
% Shortest wall time of repeated calls, each result released before the next.
t = inf;
for r = 1:repetitions
  t0 = tic();
  Y = f();
  t = min(t, toc(t0));
  clear Y
end
end
