function seconds = best_time(f)
%BEST_TIME  Shortest of three timed runs of f(), in seconds.
seconds = Inf;
for run = 1:3
  start = tic;
  f();
  seconds = min(seconds, toc(start));
end
end
