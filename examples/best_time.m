function seconds = best_time(f)
%BEST_TIME  Shortest of five timed runs of f(), in seconds: the machine may be busy.
seconds = Inf;
for k = 1:5
  start = tic;
  f();
  seconds = min(seconds, toc(start));
end
end
