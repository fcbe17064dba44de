function n = worker_threads(want)
% The worker threads of this process, counted by the name the pool gives
% them. worker_threads(WANT) waits until the count is WANT, for at most a
% second (a joined thread may stay listed a moment), and returns the last
% count. Skips the calling case where the system does not list threads.
if ~exist('/proc/self/task', 'dir')
  error('exactmex:skip', 'this system does not list the threads of a process');
end
for attempt = 1:1000
  n = 0;
  for task = readdir('/proc/self/task')'
    % A thread may end between the listing and the reading of its name.
    fid = fopen(['/proc/self/task/' task{1} '/comm'], 'r');
    if task{1}(1) ~= '.' && fid >= 0
      n = n + strcmp(strtrim(fgetl(fid)), 'exactmex worker');
    end
    if fid >= 0
      fclose(fid);
    end
  end
  if nargin == 0 || n == want
    return
  end
  pause(0.001);
end
end
